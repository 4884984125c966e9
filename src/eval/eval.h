#pragma once
// The static evaluation of the global Position.

#include <cstdint>

// Positive when the side to move stands better, in piece-square units (a pawn is 124 in
// the middle game, 206 in the endgame), within -32000..32000.
int32_t Evaluate();
