#include "web/PageFetcher.h"
