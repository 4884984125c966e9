#pragma once
// The stages of the evaluation driver that the rest of the eval room and its tests reach.

#include <cstdint>

#include "eval/score.h"

// True when the pair is so far from balance that the remaining terms cannot matter.
bool LazySkip(PackedScore acc, int32_t margin);

// Blends the pair by the game phase and scales the endgame half for drawish material;
// White's point of view.
int32_t TaperScore(PackedScore acc);

// Rounds White's value, turns it to the side to move with the tempo bonus, and damps it
// by the halfmove clock.
int32_t FinishEvaluation(int32_t whiteValue);
