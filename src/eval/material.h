#pragma once
// What depends on material alone, cached by material key: the imbalance, the game phase,
// the scale factors of drawish material and the endgame rules of a few signatures.

#include <algorithm>
#include <cstdint>

#include "board/board.h"

// Middle-game weight of the blend, 0 (bare endgame) .. 128 (full middle game), from the
// non-pawn material of both sides together. The initial array (10920) gives 79.
constexpr int32_t ComputePhase(int32_t nonPawnMaterial) {
  constexpr int32_t ENDGAME_LIMIT = 3915, MIDGAME_LIMIT = 15258;
  return (std::clamp(nonPawnMaterial, ENDGAME_LIMIT, MIDGAME_LIMIT) - ENDGAME_LIMIT) * 128 /
         (MIDGAME_LIMIT - ENDGAME_LIMIT);
}

inline constexpr int32_t SCALE_NORMAL = 64;  // scale factors: 64 leaves the endgame half whole, 0 is a draw
inline constexpr int32_t NO_SCALING = 255;   // a scaling function's answer when its rule does not apply

// A complete evaluation of one signature, from the side to move's point of view.
using EndgameFn = int32_t (*)(int32_t strong);
// The scale factor for the strong side, or NO_SCALING.
using ScalingFn = int32_t (*)(int32_t strong);

struct MaterialEntry {
  uint64_t Key;                          // material key of the signature held
  int16_t Imbalance;                     // White's point of view, added to both halves
  uint8_t Phase;                         // 0..128
  EndgameFn EndgameFunction;             // only for the specialised signatures, else null
  ScalingFn ScalingFunction[COLOUR_NB];  // [strong side], null for none
  uint8_t ScaleFactor[COLOUR_NB];        // [strong side]: 64 normal, 0 draw
  uint8_t StrongSide;                    // the side EndgameFunction plays for
};

inline constexpr int32_t MATERIAL_TABLE_SIZE = 8192;  // a power of two: the index is the key's low bits

// Zero at start-up, never cleared: a new signature overwrites its slot.
extern MaterialEntry MaterialTable[MATERIAL_TABLE_SIZE];

// The entry of the current position, set by ProbeMaterial.
extern MaterialEntry* CurrentMaterialEntry;

// Makes the entry of Position's material key current, filling it when it holds another key.
void ProbeMaterial();

// The current entry's scale factor for the side as the strong side: its scaling function's
// answer, or the stored factor when there is none or it does not apply.
int32_t ScaleFactorFor(int32_t side);

// The quadratic piece-count imbalance of Position, White's point of view.
int32_t ComputeImbalance();
