#include "tests/fakeweb/World.h"
