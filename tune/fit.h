#pragma once
// Texel's method: the mean squared error between game results and the sigmoid of the
// evaluation, minimised over the piece-square parameters by gradient descent.

#include <cstdint>

#include "tune/cells.h"
#include "tune/samples.h"

// Which positions an error is taken over.
enum class Part { FIT, HELD };

// Weighted mean of (game result - sigmoid(k x White's evaluation))^2; exact uses the engine's own
// integer evaluation, otherwise the smooth surrogate the descent follows.
double MeanError(const SampleSet& set, const CellParams& cells, double k, Part part, bool exact);

// The k that best maps the cells' exact evaluations of the fit positions to their results.
double FitScale(const SampleSet& set, const CellParams& cells);

struct FitOptions {
  int32_t Epochs = 1000;
  double Rate = 1.0;          // Adam's step, in evaluation units
  double Pull = 0;            // weight of the mean squared move from the start cells, per 100 units
  double Smooth = 0;          // weight of the mean squared difference of neighbours' moves, per 100 units
  bool KeepMaterial = false;  // hold each piece's mean cell in each phase at its start value
  uint32_t FreeTypes = 0x7E;  // bit t set: piece type t (1 pawn .. 6 king) may move
  int32_t ReportEvery = 100;  // epochs between progress lines on stderr
};

// Descends from start towards the samples' targets; every cell stays within its piece's band.
CellParams FitCells(const SampleSet& set, const CellParams& start, double k, const FitOptions& options);
