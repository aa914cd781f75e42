#include "app/Harvest.h"
