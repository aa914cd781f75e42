#include "probes/BaiduProbe.h"
