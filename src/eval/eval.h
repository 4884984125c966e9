#pragma once
// The static evaluation of the global Position.

#include <cstdint>

// Part of this door: the tuner reads the trace's pairs and the console shows a packed pair.
#include "eval/score.h"

// Positive when the side to move stands better, in piece-square units (a pawn is 124 in
// the middle game, 206 in the endgame), within -32000..32000.
int32_t Evaluate();

// Starts loading the pawn cache entry of Position's pawn structure, so that an evaluation a
// few steps later does not wait for memory.
void PrefetchPawnEntry();

// ---- For the piece-square tuner ----------------------------------------------------------------

inline constexpr int32_t TEMPO = 28;                // bonus of the side to move
inline constexpr int32_t EVALUATION_LIMIT = 32000;  // keeps every static value clear of mate scores
// The lazy tests' margins: before the piece terms, and before threats and space.
inline constexpr int32_t LAZY_MARGIN_PIECES = 600, LAZY_MARGIN_LATE = 700;

// Position's evaluation split where the piece-square sums enter, White's point of view. With
// other cells the value is rebuilt as the driver does it: the sums plus Early; Pieces added
// unless the first lazy test fires, Late unless the second does; then tapered with Phase,
// the complexity of PassedPawns and the strong side's Scale, rounded, turned and damped.
struct EvaluationTrace {
  PackedScore Early;        // imbalance and pawn structure
  PackedScore Pieces;       // pieces, mobility, king safety, passed pawns
  PackedScore Late;         // threats and space
  int32_t NonPawnMaterial;  // both sides together, for the lazy margins
  int32_t Phase;            // 0..128
  int32_t PassedPawns[2];   // White's, Black's
  int32_t Scale[2];         // with White, Black as the strong side; 64 normal
};

// Rebuilt, the trace gives Evaluate's value only where no ending rule scores Position
// (HasEndgameRule).
void TraceEvaluation(EvaluationTrace& trace);

// True when Position's material has an ending rule of its own, which scores it instead of the
// terms (and so of the cells): the tuner leaves such positions out.
bool HasEndgameRule();
