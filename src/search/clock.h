#pragma once
// The clock of a timed run, shared by the search's time management and the test tools.
// Depends only on the platform clock, so that any room above board/ may include it.

#include <cstdint>

#include "platform/platform.h"

// The monotonic clock at the start of the search or tool row being timed.
extern uint64_t StartTime;

// Milliseconds since StartTime.
inline uint64_t ElapsedMs() { return NowMilliseconds() - StartTime; }
