#include "app/CheckRules.h"
