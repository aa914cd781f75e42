#include "launcher/EngineTable.h"
