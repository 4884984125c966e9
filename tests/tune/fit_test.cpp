// The fit's model of the evaluation: rebuilt from its trace it must be the engine's own value,
// its slopes those of the smooth surrogate, and the descent must lower the error it follows.
#include <cmath>
#include <cstdio>
#include <string>

#include "search/search_setup.h"
#include "tune/fit.h"
#include "tune/model.h"
#include "tune/samples.h"

namespace {

// Middle games, endgames with every kind of scale factor, a lazy cut-off, many passed pawns,
// both sides to move and a damping clock.
constexpr const char* LINES[] = {
    "r1bq1rk1/pp1pnpbp/2n3p1/2p1p3/2P2B2/2NP1NP1/PP2PPBP/R2Q1RK1 w - - 0 9 | 0.0 | 1",
    "r2q1rk1/pb1nbppp/1p2pn2/2pp4/3P4/2PBPN2/PP1N1PPP/R2QR1K1 b - - 3 11 | 0.5 | 2",
    "r4rk1/1pp2ppp/p1n5/4p3/4P3/2N2N2/PPP2PPP/R4RK1 b - - 7 15 | 0.5 | 3",
    "8/5k2/3b1p2/8/1P6/2B4K/8/8 w - - 0 40 | 0.5 | 4",
    "4k3/8/8/8/8/8/QQQ5/4K3 w - - 0 30 | 1.0 | 5",
    "4k3/PPP5/8/8/8/8/5ppp/K7 b - - 0 30 | 0.5 | 6",
    "8/5pk1/6p1/8/5PK1/6P1/r7/R7 w - - 20 50 | 0.5 | 7",
    "4k3/8/3nb3/8/8/8/3Q4/4K3 w - - 0 40 | 1.0 | 8",
    "8/8/8/8/4k3/8/8/R3K3 w - - 0 60 | 1.0 | 9",  // scored by its ending rule: no cell counts
};

class FitTest : public SearchTest {
 protected:
  static void SetUpTestSuite() {
    SearchTest::SetUpTestSuite();
    const std::string path = ::testing::TempDir() + "tavrin_fit_test.txt";
    std::FILE* file = std::fopen(path.c_str(), "w");
    for (const char* line : LINES) std::fprintf(file, "%s\n", line);
    std::fclose(file);
    for (bool resolve : {false, true}) {
      LoadOptions options;
      options.MinFullmove = 0;
      options.HoldoutPercent = 0;
      options.Resolve = resolve;
      options.MaxScore = 32000;  // keep the lopsided ones: they test the lazy cut-offs
      LoadReport report;
      ASSERT_TRUE(LoadSamples(path, options, Set, report));
      EXPECT_EQ(report.Kept, 8);
      EXPECT_EQ(report.Ruled, 1);
      EXPECT_EQ(report.Mismatches, 0) << "resolve " << resolve;
    }
    std::remove(path.c_str());
  }

  static double PsqSum(const Sample& s, const CellParams& cells, int32_t phase) {
    double sum = 0;
    for (uint32_t i = 0; i < s.FeatureCount; ++i)
      sum += Set.Features[s.FirstFeature + i].Count * cells[phase][Set.Features[s.FirstFeature + i].Index];
    return sum;
  }

  static inline SampleSet Set;
};

TEST_F(FitTest, SlopesAreThoseOfTheSmoothEvaluation) {
  const CellParams cells = CurrentCells();
  constexpr double STEP = 1e-3;
  for (const Sample& s : Set.Samples) {
    const double mg = PsqSum(s, cells, 0), eg = PsqSum(s, cells, 1);
    const Rebuilt at = RebuildEvaluation(s, mg, eg, false);
    const double slopeMg =
        (RebuildEvaluation(s, mg + STEP, eg, false).White - RebuildEvaluation(s, mg - STEP, eg, false).White) /
        (2 * STEP);
    const double slopeEg =
        (RebuildEvaluation(s, mg, eg + STEP, false).White - RebuildEvaluation(s, mg, eg - STEP, false).White) /
        (2 * STEP);
    EXPECT_NEAR(at.SlopeMg, slopeMg, 1e-6);
    EXPECT_NEAR(at.SlopeEg, slopeEg, 1e-6);
    // The smooth surrogate stays within the engine's rounding of the exact value.
    EXPECT_NEAR(at.White, RebuildEvaluation(s, mg, eg, true).White, 24);
  }
}

TEST_F(FitTest, DescentLowersTheErrorItFollows) {
  const CellParams start = CurrentCells();
  const double k = FitScale(Set, start);
  EXPECT_GT(k, 0.0001);
  FitOptions options;
  options.Epochs = 50;
  options.ReportEvery = 0;
  SetTargets(Set, k, 0);
  const CellParams fitted = FitCells(Set, start, k, options);
  EXPECT_LT(MeanError(Set, fitted, k, Part::FIT, false), MeanError(Set, start, k, Part::FIT, false));
}

}  // namespace
