#pragma once
// The evaluation of a sample rebuilt from its traced parts and piece-square sums, in the
// driver's order: lazy tests, complexity, strong side's scale, taper, rounding, side to
// move, fifty-move damping.

#include "tune/samples.h"

struct Rebuilt {
  double White;    // White's point of view
  double SlopeMg;  // dWhite / d(middle-game sum), smooth mode only
  double SlopeEg;
};

// exact: with the engine's integer truncations, so White equals the engine's own value
// (turned to White); otherwise a smooth surrogate without the truncations, with slopes.
Rebuilt RebuildEvaluation(const Sample& sample, double psqMg, double psqEg, bool exact);
