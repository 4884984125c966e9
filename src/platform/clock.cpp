#include "platform/platform.h"

uint64_t StartTime;
