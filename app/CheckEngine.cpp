#include "app/CheckEngine.h"
