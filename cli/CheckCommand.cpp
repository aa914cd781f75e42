#include "cli/CheckCommand.h"
