#pragma once
// The engine's tunables: built-in defaults, overridden by the settings file at start-up and
// by "setoption" and "move" at run time. Part of the search room's front door
// (search/search.h), through which the shell, the tools and the tuner reach them.

#include <cstdint>

struct SettingsRecord {
  int32_t HashSizeMB = 128;               // transposition table, a power of two in 16..2048
  int32_t MoveOverhead = 1;               // ms kept back from every clock budget
  int32_t DefaultMoveTime = 5;            // seconds the console "move" command thinks
  int32_t MinTimeToShowStats = 500;       // ms before a search prints progress lines
  int32_t MinTimeToShowMoveStats = 5000;  // ms before root-move progress is printed
  int32_t TestsuiteIterations = 3;        // solved iterations in a row that end a test
};

extern SettingsRecord Settings;

inline constexpr int32_t HASH_MIN_MB = 16;
inline constexpr int32_t HASH_MAX_MB = 2048;
inline constexpr int32_t MOVE_OVERHEAD_MAX = 1000;
