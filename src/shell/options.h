#pragma once
// Option setters shared by the settings file and "setoption" (internal to the shell).

#include <cstdint>

// Accepts 16..2048 MB, rounds down to a power of two and resizes the table; false and
// no change for a value outside the range.
bool SetHashSize(int32_t megabytes);
