#pragma once
// What depends on material alone: the game phase.

#include <algorithm>
#include <cstdint>

// Middle-game weight of the blend, 0 (bare endgame) .. 128 (full middle game), from the
// non-pawn material of both sides together. The initial array (10920) gives 79.
constexpr int32_t ComputePhase(int32_t nonPawnMaterial) {
  constexpr int32_t ENDGAME_LIMIT = 3915, MIDGAME_LIMIT = 15258;
  return (std::clamp(nonPawnMaterial, ENDGAME_LIMIT, MIDGAME_LIMIT) - ENDGAME_LIMIT) * 128 /
         (MIDGAME_LIMIT - ENDGAME_LIMIT);
}
