#include "search/clock.h"

uint64_t StartTime;
