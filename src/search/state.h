#pragma once
// The search records that lower rooms write too (the set-up writes repetition keys, the move
// operations count plies). Depends on nothing, so the board room may include it.

#include <cstdint>

// One ply of the search stack.
struct StackEntry {
  uint64_t Key;  // position key at this ply, for the repetition test
};

// Plies -101..129: the root is ply 1, plies 0 and -1 the game positions before it.
inline constexpr int32_t STACK_LOWEST_PLY = -101;
inline constexpr int32_t STACK_HIGHEST_PLY = 129;

extern StackEntry SearchStackEntries[STACK_HIGHEST_PLY - STACK_LOWEST_PLY + 1];

// Indexed by ply: SearchStack[-1] is the first game position before the root.
inline constexpr StackEntry* SearchStack = SearchStackEntries - STACK_LOWEST_PLY;

// The budgets of one search, filled by the command that starts it. Times are milliseconds
// since the search started.
struct SearchLimitsRecord {
  int32_t TimeLimit;             // the budget the input poll tests; negative stops at the first poll
  int32_t MaxTime;               // extended budget, after a failed aspiration or a new best move
  int32_t OptimumTime;           // base budget, restored when an iteration keeps the best move
  int64_t NodeLimit = 2147483647;
  int32_t MaxDepth = 127;        // last iteration, 1..127
  int32_t ClockTime;             // what the budgets were based on; recorded, not read by the search
  bool TestSuiteMode;            // set only by the test-suite runner
};

extern SearchLimitsRecord SearchLimits;

struct SearchStateRecord {
  uint64_t Nodes;         // nodes entered since the search started
  int32_t PollInterval;   // nodes between two input polls, fixed at search start
  int32_t PollCountdown;  // nodes left to the next poll
  bool Stopped;           // stop request: budget spent or "stop" read
  int32_t RootDistance;   // moves currently made since the root move being searched
  int32_t SelDepth;       // deepest RootDistance reached, shown in info lines
};

extern SearchStateRecord SearchState;
