// Time allocation from the clock parameters, worked out by hand from the allocation rules, and
// the search start: counters, generation, poll interval from the node budget, budget test.
#include <gtest/gtest.h>

#include "board/board.h"
#include "platform/platform.h"
#include "search/search.h"
#include "search/time.h"

namespace {

class TimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    savedOverhead = Settings.MoveOverhead;
    savedPly = Position.GamePly;
    Settings.MoveOverhead = 1;
    ResetSearchLimits(500000000);
  }
  void TearDown() override {
    Settings.MoveOverhead = savedOverhead;
    Position.GamePly = savedPly;
  }
  // Both budgets for one call, at the given game ply.
  static std::pair<int32_t, int32_t> Allocate(int32_t ply, int32_t time, int32_t increment, int32_t movesToGo) {
    Position.GamePly = ply;
    AllocateTime(time, increment, movesToGo);
    return {SearchLimits.TimeLimit, SearchLimits.MaxTime};
  }
  int32_t savedOverhead = 0;
  int32_t savedPly = 0;
};

using Budget = std::pair<int32_t, int32_t>;

TEST_F(TimeTest, SuddenDeathTakesTheSquareRootShare) {
  // timeLeft 1000 - 52 = 948; optScale sqrt(5)/250 + 0.008 = 0.016944 -> 16; maxScale 2/12 + 4.
  EXPECT_EQ(Allocate(2, 1000, 0, 0), Budget(16, 67));
  // With an increment: timeLeft 60000 + 49 x 1000 - 52 = 108948, optScale sqrt(43)/250 + 0.008
  // -> 3729.26; maxScale capped at 7 -> 26103.
  EXPECT_EQ(Allocate(40, 60000, 1000, 0), Budget(3729, 26103));
}

TEST_F(TimeTest, SuddenDeathNeverPlansMoreThanAFifthOfTheClock) {
  // A huge increment: timeLeft 490948, so 0.2 x 1000 / timeLeft wins and the budget is 200;
  // MaxTime min(0.8 x 1000 - 1, 4.1667 x 200) = 799.
  EXPECT_EQ(Allocate(2, 1000, 10000, 0), Budget(200, 799));
}

TEST_F(TimeTest, MovesToGoSharesTheClockOverTheMovesLeft) {
  // 10 to go: timeLeft 10000 - 12 = 9988, optScale (20/128 + 0.8) / 10 -> 955.1; maxScale 2.6.
  EXPECT_EQ(Allocate(20, 10000, 0, 10), Budget(955, 2483));
  // More than 50 to go counts as 50: timeLeft 59948, optScale 0.8 / 50 -> 959.2; maxScale
  // min(6.3, 7.0) -> 6041.7.
  EXPECT_EQ(Allocate(0, 60000, 0, 80), Budget(959, 6042));
}

TEST_F(TimeTest, LastMoveBeforeTheControlKeepsOverheadBack) {
  // mtg 1: timeLeft 1000 - 3 = 997; optScale min(0.815625, 0.8 x 1000 / 997) -> 800;
  // maxScale 1.61, so MaxTime is the 0.8 x time - overhead cap, 799.
  EXPECT_EQ(Allocate(2, 1000, 0, 1), Budget(800, 799));
}

TEST_F(TimeTest, ClockBelowTheOverheadPlansWithOneMillisecond) {
  Settings.MoveOverhead = 10;
  // timeLeft 20 - 30 < 1 becomes 1: 1 x 0.815625 -> 1, and 1.61 x 1 -> 2 (the cap is 6).
  EXPECT_EQ(Allocate(2, 20, 0, 1), Budget(1, 2));
}

TEST_F(TimeTest, HalvesRoundToEven) {
  // At ply 6 maxScale is exactly 4.5 and optScale 3/250 + 0.008 = 0.02.
  EXPECT_EQ(Allocate(6, 302, 0, 0), Budget(5, 22));  // 250 x 0.02 = 5; 22.5 -> 22
  EXPECT_EQ(Allocate(6, 202, 0, 0), Budget(3, 14));  // 150 x 0.02 = 3; 13.5 -> 14
}

TEST_F(TimeTest, HugeIncrementDoesNotOverflow) {
  // 49 x 100000000 is beyond 32 bits; the planned share is still 0.2 x time.
  EXPECT_EQ(Allocate(2, 1000000, 100000000, 0).first, 200000);
}

TEST_F(TimeTest, NegativeMovesToGoPlansAsSuddenDeath) {
  // The lowest count overflowed mtg - 1; any negative count now budgets like no count.
  for (int32_t movesToGo : {-1, -50, INT32_MIN}) EXPECT_EQ(Allocate(2, 1000, 0, movesToGo), Budget(16, 67));
}

TEST_F(TimeTest, StartSearchResetsCountersAndAdvancesTheGeneration) {
  SearchState.Nodes = 12345;
  SearchState.Stopped = true;
  TranspositionTable.Generation = 8;
  StartSearch();
  EXPECT_EQ(SearchState.Nodes, 0u);
  EXPECT_FALSE(SearchState.Stopped);
  EXPECT_EQ(TranspositionTable.Generation, 12);
  EXPECT_LE(ElapsedMs(), 1000u);

  TranspositionTable.Generation = 252;  // the stamp has six bits: 256 wraps to 0
  StartSearch();
  EXPECT_EQ(TranspositionTable.Generation, 0);
}

TEST_F(TimeTest, PollIntervalIsTheNodeBudgetsLowFourteenBits) {
  struct Case {
    int64_t NodeLimit;
    int32_t Interval;
  };
  // 20000 = 16384 + 3616; the default 2^31 - 1 has all low bits set; 16384 polls every node.
  SearchLimits.TimeLimit = 500000000;
  for (Case c : {Case{2147483647, 16383}, Case{20000, 3616}, Case{16384, 0}, Case{100, 100}}) {
    SearchLimits.NodeLimit = c.NodeLimit;
    StartSearch();
    EXPECT_EQ(SearchState.PollInterval, c.Interval) << c.NodeLimit;
    EXPECT_EQ(SearchState.PollCountdown, c.Interval) << c.NodeLimit;
  }
}

TEST_F(TimeTest, BudgetsBelowOneSecondPollEvery1023Nodes) {
  struct Case {
    int32_t TimeLimit;
    int64_t NodeLimit;
    int32_t Interval;
  };
  for (Case c : {Case{16, 2147483647, 1023}, Case{999, 2147483647, 1023}, Case{1000, 2147483647, 16383},
                 Case{0, 2147483647, 1023}, Case{16, 100, 100}, Case{16, 16384, 0}}) {
    SearchLimits.TimeLimit = c.TimeLimit;
    SearchLimits.NodeLimit = c.NodeLimit;
    StartSearch();
    EXPECT_EQ(SearchState.PollInterval, c.Interval) << c.TimeLimit << " ms, " << c.NodeLimit << " nodes";
  }
}

TEST_F(TimeTest, BudgetIsSpentByTimeOrNodes) {
  StartSearch();
  EXPECT_FALSE(IsBudgetSpent());
  SearchLimits.TimeLimit = -1;  // stops at the first poll, whatever the clock says
  EXPECT_TRUE(IsBudgetSpent());
  SearchLimits.TimeLimit = 0;  // a budget below the overhead: elapsed 0 already reaches it
  EXPECT_TRUE(IsBudgetSpent());

  SearchLimits.TimeLimit = 500000000;
  SearchLimits.NodeLimit = 20000;
  SearchState.Nodes = 19999;
  EXPECT_FALSE(IsBudgetSpent());
  SearchState.Nodes = 20000;
  EXPECT_TRUE(IsBudgetSpent());
}

TEST_F(TimeTest, ResetClearsTestSuiteMode) {
  SearchLimits.TestSuiteMode = true;
  SearchLimits.MaxDepth = 3;
  ResetSearchLimits(5000);
  EXPECT_FALSE(SearchLimits.TestSuiteMode);
  EXPECT_EQ(SearchLimits.MaxDepth, 127);
  EXPECT_EQ(SearchLimits.NodeLimit, 2147483647);
  EXPECT_EQ(SearchLimits.TimeLimit, 5000);
  EXPECT_EQ(SearchLimits.MaxTime, 5000);
  EXPECT_EQ(SearchLimits.OptimumTime, 5000);
}

}  // namespace
