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

struct SearchStateRecord {
  int32_t RootDistance;  // moves currently made since the root move being searched
  int32_t SelDepth;      // deepest RootDistance reached, shown in info lines
};

extern SearchStateRecord SearchState;
