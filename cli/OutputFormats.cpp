#include "cli/OutputFormats.h"
