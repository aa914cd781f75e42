#include "probes/DomainRules.h"
