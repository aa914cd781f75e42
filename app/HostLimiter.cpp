#include "app/HostLimiter.h"
