#include "tests/fakeweb/FakeWeb.h"
