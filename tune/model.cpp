#include "tune/model.h"

#include <algorithm>
#include <cmath>

#include "eval/eval.h"

namespace {

double Sign(double x) { return (x > 0) - (x < 0); }

}  // namespace

Rebuilt RebuildEvaluation(const Sample& s, double psqMg, double psqEg, bool exact) {
  auto div = [exact](double a, double b) { return exact ? std::trunc(a / b) : a / b; };
  double mg = psqMg + MgValue(s.Early), eg = psqEg + EgValue(s.Early);
  auto lazy = [&](double margin) { return div(std::abs(mg + eg), 2) > margin + div(s.NonPawnMaterial, 64); };
  if (!lazy(LAZY_MARGIN_PIECES)) {
    mg += MgValue(s.Pieces);
    eg += EgValue(s.Pieces);
    if (!lazy(LAZY_MARGIN_LATE)) {
      mg += MgValue(s.Late);
      eg += EgValue(s.Late);
    }
  }

  // Complexity pulls both halves toward zero, never past it; a half held at zero has no slope.
  const double complexity = 9.0 * s.PassedPawns - 110;
  const double mgPull = std::min(complexity + 50, 0.0);
  const bool mgHeld = mgPull < -std::abs(mg);
  mg = mgHeld ? 0 : mg + Sign(mg) * mgPull;
  const bool egHeld = complexity < -std::abs(eg);
  eg = egHeld ? 0 : eg + Sign(eg) * complexity;

  const double scale = s.Scale[eg > 0 ? 0 : 1];
  const double phase = s.Phase;
  double v = div(mg * phase + div(eg * (128 - phase) * scale, 64), 128);
  const double damping = std::max(0, 100 - s.HalfmoveClock);
  Rebuilt result{};
  if (exact) {
    v = div(v, 16) * 16;
    double own = s.WhiteToMove ? v + TEMPO : -v + TEMPO;
    own = std::clamp<double>(div(own * damping, 100), -EVALUATION_LIMIT, EVALUATION_LIMIT);
    result.White = s.WhiteToMove ? own : -own;
    return result;
  }
  const double d = damping / 100;
  result.White = d * (s.WhiteToMove ? v + TEMPO : v - TEMPO);
  result.SlopeMg = mgHeld ? 0 : d * phase / 128;
  result.SlopeEg = egHeld ? 0 : d * (128 - phase) * scale / (64 * 128);
  return result;
}
