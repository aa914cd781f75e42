#include "probes/BackLinkProbe.h"
