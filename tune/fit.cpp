#include "tune/fit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

#include "board/board.h"
#include "tune/model.h"

namespace {

// Two cores: the positions are split in halves, each summed by its own thread.
constexpr int32_t THREADS = 2;

struct Sums {
  double Error = 0, Weight = 0;
  CellParams Gradient{};
};

double Sigmoid(double x) { return 1 / (1 + std::exp(-x)); }

void PsqSums(const SampleSet& set, const Sample& s, const CellParams& cells, double& mg, double& eg) {
  mg = eg = 0;
  for (uint32_t i = 0; i < s.FeatureCount; ++i) {
    const Feature& f = set.Features[s.FirstFeature + i];
    mg += f.Count * cells[0][f.Index];
    eg += f.Count * cells[1][f.Index];
  }
}

// Error (and with gradient, its slope by every parameter) over positions [begin, end): against
// the targets while descending, against the game results otherwise.
void SumRange(const SampleSet& set, const CellParams& cells, double k, Part part, bool exact, bool gradient,
              size_t begin, size_t end, Sums& sums) {
  for (size_t n = begin; n < end; ++n) {
    const Sample& s = set.Samples[n];
    if (s.Held != (part == Part::HELD)) continue;
    double mg, eg;
    PsqSums(set, s, cells, mg, eg);
    if (exact) mg = std::round(mg), eg = std::round(eg);
    const Rebuilt r = RebuildEvaluation(s, mg, eg, exact);
    const double p = Sigmoid(k * r.White);
    const double miss = (gradient ? s.Target : s.Result) - p;
    sums.Error += s.Weight * miss * miss;
    sums.Weight += s.Weight;
    if (!gradient) continue;
    const double slope = -2 * s.Weight * miss * p * (1 - p) * k;
    const double slopeMg = slope * r.SlopeMg, slopeEg = slope * r.SlopeEg;
    for (uint32_t i = 0; i < s.FeatureCount; ++i) {
      const Feature& f = set.Features[s.FirstFeature + i];
      sums.Gradient[0][f.Index] += slopeMg * f.Count;
      sums.Gradient[1][f.Index] += slopeEg * f.Count;
    }
  }
}

Sums SumAll(const SampleSet& set, const CellParams& cells, double k, Part part, bool exact, bool gradient) {
  std::vector<Sums> partial(THREADS);
  std::vector<std::thread> workers;
  const size_t size = set.Samples.size();
  for (int32_t t = 0; t < THREADS; ++t)
    workers.emplace_back(SumRange, std::cref(set), std::cref(cells), k, part, exact, gradient, size * t / THREADS,
                         size * (t + 1) / THREADS, std::ref(partial[t]));
  for (std::thread& worker : workers) worker.join();
  Sums total = partial[0];
  for (int32_t t = 1; t < THREADS; ++t) {
    total.Error += partial[t].Error;
    total.Weight += partial[t].Weight;
    for (int32_t phase = 0; phase < 2; ++phase)
      for (int32_t i = 0; i < PARAMS_PER_PHASE; ++i) total.Gradient[phase][i] += partial[t].Gradient[phase][i];
  }
  return total;
}

void ClampToBand(CellParams& cells) {
  for (int32_t i = 0; i < PARAMS_PER_PHASE; ++i) {
    const PsqCellRange& band = PsqCellRanges[ParamType(i)];
    cells[0][i] = std::clamp<double>(cells[0][i], band.MgLow, band.MgHigh);
    cells[1][i] = std::clamp<double>(cells[1][i], band.EgLow, band.EgHigh);
  }
}

// Shifts each piece's cells so that their mean over the board is the start's again.
void KeepMeans(CellParams& cells, const CellParams& start) {
  for (int32_t type = 1; type <= 6; ++type) {
    for (int32_t phase = 0; phase < 2; ++phase) {
      double shift = 0, squares = 0;
      for (int32_t i = 0; i < PARAMS_PER_PHASE; ++i) {
        if (ParamType(i) != type) continue;
        shift += ParamSquares(i) * (cells[phase][i] - start[phase][i]);
        squares += ParamSquares(i);
      }
      for (int32_t i = 0; i < PARAMS_PER_PHASE; ++i)
        if (ParamType(i) == type) cells[phase][i] -= shift / squares;
    }
  }
}

}  // namespace

double MeanError(const SampleSet& set, const CellParams& cells, double k, Part part, bool exact) {
  const Sums sums = SumAll(set, cells, k, part, exact, false);
  return sums.Weight > 0 ? sums.Error / sums.Weight : 0;
}

double FitScale(const SampleSet& set, const CellParams& cells) {
  // Golden-section search: the error is unimodal in k.
  double low = 0.0001, high = 0.05;
  const double ratio = (std::sqrt(5.0) - 1) / 2;
  for (int32_t step = 0; step < 40; ++step) {
    const double a = high - ratio * (high - low), b = low + ratio * (high - low);
    if (MeanError(set, cells, a, Part::FIT, true) < MeanError(set, cells, b, Part::FIT, true))
      high = b;
    else
      low = a;
  }
  return (low + high) / 2;
}

CellParams FitCells(const SampleSet& set, const CellParams& start, double k, const FitOptions& options) {
  constexpr double BETA1 = 0.9, BETA2 = 0.999, EPSILON = 1e-12;
  const auto neighbours = NeighbourParams();
  CellParams cells = start, moment{}, square{};
  for (int32_t epoch = 1; epoch <= options.Epochs; ++epoch) {
    Sums sums = SumAll(set, cells, k, Part::FIT, false, true);
    // A rough change is noise more likely than chess: neighbours should move alike.
    CellParams smoothing{};
    for (int32_t phase = 0; phase < 2; ++phase) {
      for (auto [a, b] : neighbours) {
        const double apart = (cells[phase][a] - start[phase][a] - cells[phase][b] + start[phase][b]) / 100;
        smoothing[phase][a] += 2 * options.Smooth * apart / 100 / neighbours.size();
        smoothing[phase][b] -= 2 * options.Smooth * apart / 100 / neighbours.size();
      }
    }
    for (int32_t phase = 0; phase < 2; ++phase) {
      for (int32_t i = 0; i < PARAMS_PER_PHASE; ++i) {
        if (!(options.FreeTypes >> ParamType(i) & 1)) continue;
        const double moved = (cells[phase][i] - start[phase][i]) / 100;
        const double g = sums.Gradient[phase][i] / sums.Weight + 2 * options.Pull * moved / 100 / PARAMS_PER_PHASE +
                         smoothing[phase][i];
        moment[phase][i] = BETA1 * moment[phase][i] + (1 - BETA1) * g;
        square[phase][i] = BETA2 * square[phase][i] + (1 - BETA2) * g * g;
        const double m = moment[phase][i] / (1 - std::pow(BETA1, epoch));
        const double v = square[phase][i] / (1 - std::pow(BETA2, epoch));
        cells[phase][i] -= options.Rate * m / (std::sqrt(v) + EPSILON);
      }
    }
    if (options.KeepMaterial) KeepMeans(cells, start);
    ClampToBand(cells);
    if (options.ReportEvery > 0 && epoch % options.ReportEvery == 0)
      std::fprintf(stderr, "epoch %5d  fit %.6f  held %.6f\n", epoch, sums.Error / sums.Weight,
                   MeanError(set, cells, k, Part::HELD, false));
  }
  return cells;
}
