// The test suite's hook: one count per new iteration, a streak of solutions stops the search.
#include <gtest/gtest.h>

#include "search/search.h"
#include "tools/testsuite.h"

namespace {

class TestSuiteHookTest : public ::testing::Test {
 protected:
  static constexpr Move SOLUTION = EncodeMove(3, 59);         // d1d8
  static constexpr Move OTHER = EncodeMove(6, 5);             // g1f1
  static constexpr Move SECOND_SOLUTION = EncodeMove(2, 58);  // c1c8

  void SetUp() override {
    TestSolutions[0] = SOLUTION;
    TestSolutions[1] = SECOND_SOLUTION;
    TestSolutionCount = 2;
    TestSuiteStreak = 0;
    TestSuiteHookDepth = 0;
    SearchState.Stopped = false;
    Settings.TestsuiteIterations = 3;
  }
  void TearDown() override { Settings = SettingsRecord{}; }

  // An info line of the given iteration showing move first.
  static void Shown(int32_t depth, Move move) {
    SearchState.LastInfoDepth = depth;
    SearchState.LastInfoMove = move;
    CountTestIteration();
  }
};

TEST_F(TestSuiteHookTest, EachIterationCountsOnce) {
  Shown(1, SOLUTION);
  Shown(1, SOLUTION);  // the final line repeats the last iteration
  EXPECT_EQ(TestSuiteStreak, 1);
  EXPECT_EQ(TestSuiteHookDepth, 1);
  // A later line of a counted iteration changes nothing, even with another move.
  Shown(1, OTHER);
  EXPECT_EQ(TestSuiteStreak, 1);
}

TEST_F(TestSuiteHookTest, AnotherMoveBreaksTheStreak) {
  Shown(1, SOLUTION);
  Shown(2, SECOND_SOLUTION);
  EXPECT_EQ(TestSuiteStreak, 2);
  Shown(3, OTHER);
  EXPECT_EQ(TestSuiteStreak, 0);
  EXPECT_FALSE(SearchState.Stopped);
}

TEST_F(TestSuiteHookTest, StopsAfterTheSetNumberOfSolvedIterations) {
  Shown(1, SOLUTION);
  Shown(2, SOLUTION);
  EXPECT_FALSE(SearchState.Stopped);
  Shown(4, SOLUTION);  // iterations need not be consecutive numbers, only new
  EXPECT_TRUE(SearchState.Stopped);

  SearchState.Stopped = false;
  TestSuiteStreak = 0;
  Settings.TestsuiteIterations = 1;
  Shown(5, SECOND_SOLUTION);
  EXPECT_TRUE(SearchState.Stopped);
}

TEST_F(TestSuiteHookTest, NoSolutionsNeverCount) {
  TestSolutionCount = 0;
  Shown(1, SOLUTION);
  EXPECT_EQ(TestSuiteStreak, 0);
}

}  // namespace
