#pragma once
// Positions labelled with game results, resolved to quiet ones and reduced to what the
// piece-square cells change: which cells each position adds and the evaluation's other parts.

#include <cstdint>
#include <string>
#include <vector>

#include "eval/eval.h"

// How many pieces stand on a parameter's squares: White's count minus Black's mirrored one.
struct Feature {
  uint16_t Index;
  int16_t Count;
};

struct Sample {
  uint32_t FirstFeature;  // into SampleSet.Features
  uint16_t FeatureCount;
  bool Held;  // held out of the fit, for the check on unseen games
  bool WhiteToMove;
  float Result;  // White's: 1, 0.5 or 0
  float Target;  // what the descent fits: the result, or a blend with the searched score
  float Score;   // the searched score, White's, when the line has one; NaN otherwise
  float Weight;
  PackedScore Early, Pieces, Late;  // White's point of view, as traced by the evaluation
  int32_t NonPawnMaterial;
  uint8_t Phase;
  uint8_t PassedPawns;  // both sides together
  uint8_t Scale[2];     // with White, Black as the strong side
  uint8_t HalfmoveClock;
};

struct SampleSet {
  std::vector<Sample> Samples;
  std::vector<Feature> Features;
};

struct LoadOptions {
  int32_t MinFullmove = 10;     // earlier positions are still the book's
  int32_t HoldoutPercent = 10;  // of the games, chosen by game number
  int32_t MaxScore = 2500;      // quiet scores beyond this decide little that cells could change
  bool Resolve = true;          // play the quiescence line to its quiet end
  double Weight = 1.0;
  int64_t MaxPositions = 0;  // 0: all
};

struct LoadReport {
  int64_t Lines = 0, Malformed = 0, Book = 0, InCheck = 0, Decided = 0, Large = 0, Kept = 0, Moved = 0;
  int64_t Ruled = 0;       // endings scored by a rule of their own, which no cell changes
  int64_t Mismatches = 0;  // positions the rebuilt evaluation got wrong: must stay 0
};

// Reads "<FEN> | <result> | <game> [| <searched score>]" lines (further fields ignored) from a text file or an
// .xz file, and appends the usable positions. False when the file cannot be read.
bool LoadSamples(const std::string& path, const LoadOptions& options, SampleSet& set, LoadReport& report);

// Sets every target to (1 - scoreWeight) x result + scoreWeight x sigmoid(k x searched score),
// or to the result where no score was searched.
void SetTargets(SampleSet& set, double k, double scoreWeight);
