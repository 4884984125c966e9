// The test suite: every best-move problem of an EPD file searched for a fixed time, with the
// search's hook counting the iterations that found a solution; then what was solved, by time,
// and what failed.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "board/board.h"
#include "console/console.h"
#include "platform/platform.h"
#include "search/search.h"
#include "tools/epd.h"
#include "tools/testsuite.h"
#include "tools/tools.h"

Move TestSolutions[TEST_SOLUTIONS_MAX];
int32_t TestSolutionCount = 0;
int32_t TestSuiteStreak = 0;
int32_t TestSuiteHookDepth = 0;

void CountTestIteration() {
  Move shown = SearchState.LastInfoMove & 0xFFFF;
  bool found = std::any_of(TestSolutions, TestSolutions + TestSolutionCount,
                           [shown](Move solution) { return (solution & 0xFFFF) == shown; });
  // Several lines of one iteration (bounds, then exact, then final) count once.
  if (SearchState.LastInfoDepth == TestSuiteHookDepth) return;
  TestSuiteHookDepth = SearchState.LastInfoDepth;
  TestSuiteStreak = found ? TestSuiteStreak + 1 : 0;
  if (TestSuiteStreak >= Settings.TestsuiteIterations) SearchState.Stopped = true;
}

namespace {

constexpr int32_t TEST_SECONDS_MAX = 3600;
constexpr size_t TEST_TEXT_MAX = 74;  // titles and failed lines are cut to this
constexpr int32_t TIME_ROWS = 11;     // solved within 0..10 seconds, rounded; then "over 10"
constexpr uint64_t OVER_TEN_SECONDS_MS = 10500;

// Searches the position for the given time with the hook counting solved iterations; true
// when the last new iteration showed a solution first.
bool SearchForSolution(int32_t seconds) {
  TestSuiteStreak = 0;
  TestSuiteHookDepth = 0;
  ResetSearchLimits(seconds * 1000);
  SearchLimits.TestSuiteMode = true;
  TestSuiteHook = CountTestIteration;
  Think();
  // Later searches of other commands run without the hook.
  TestSuiteHook = nullptr;
  SearchLimits.TestSuiteMode = false;
  WriteLine();
  return TestSuiteStreak >= 1;
}

void PrintSolvedByTime(const int32_t (&solvedByTime)[TIME_ROWS + 1]) {
  TableTitle("Tests solved by time", {Align::LEFT, Align::LEFT});
  for (int32_t k = 0; k < TIME_ROWS; ++k) TableRow({std::to_string(k) + " Secs ", std::to_string(solvedByTime[k])});
  TableRow({">10 Secs", std::to_string(solvedByTime[TIME_ROWS])});
  PrintTable();
}

}  // namespace

TestSuiteLine SplitTestSuiteLine(const std::string& line) {
  // "<fen> bm <moves>;" and whatever follows the semicolon is ignored.
  TestSuiteLine parts;
  size_t bm = line.find("bm");
  parts.OpText = bm == std::string::npos ? line : line.substr(bm);
  parts.Fen = bm == std::string::npos ? std::string() : Trim(line.substr(0, bm));
  size_t semicolon = std::min(parts.OpText.find(';'), parts.OpText.size());
  parts.SolutionText = semicolon > 2 ? parts.OpText.substr(2, semicolon - 2) : std::string();
  return parts;
}

void ReadSolutions(std::string words) {
  MoveList moves;
  int32_t count = GenerateLegalMoves(0, moves);
  std::vector<std::string> san = SanTexts(moves, count);
  TestSolutionCount = 0;
  while (!words.empty()) {
    std::string word = NextToken(words);
    int32_t i = 0;
    while (i < count && san[i] != word && MoveText(moves[i].Move) != word) ++i;
    if (i == count)
      ShowMessageBox("Warning: " + word + " is not a valid solution", false);
    else if (TestSolutionCount < TEST_SOLUTIONS_MAX)
      TestSolutions[TestSolutionCount++] = moves[i].Move;
  }
}

void TestSuite() {
  std::vector<std::string> lines;
  if (!AskEpdLines("Test Suite EPD filename", lines)) return;
  int32_t seconds = AskNumber(
      "\r\nSeconds per position (1-" + std::to_string(TEST_SECONDS_MAX) + "), <ENTER> to abort: ", TEST_SECONDS_MAX);
  if (seconds == 0) return;

  int32_t positions = 0;
  int32_t solved = 0;
  uint64_t solvedNodes = 0;
  uint64_t solvedTime = 0;
  int32_t solvedByTime[TIME_ROWS + 1] = {};
  std::vector<std::string> failed;
  for (const std::string& line : lines) {
    if (Trim(line).empty()) continue;  // a blank line holds no position
    ++positions;
    TestSuiteLine parts = SplitTestSuiteLine(line);

    TestSolutionCount = 0;
    NewGame();
    TableTitle(("TestSuite position #" + std::to_string(positions) + ": " + parts.OpText).substr(0, TEST_TEXT_MAX),
               {Align::RIGHT});
    TableRow({parts.Fen});
    PrintTable();
    SetBoard(parts.Fen, true);
    ShowSuitePosition();
    ReadSolutions(parts.SolutionText);
    if (TestSolutionCount == 0) {
      ShowMessageBox("No valid solutions, position skipped", false);
      continue;
    }

    if (!SearchForSolution(seconds)) {
      ShowMessageBox("NOT SOLVED!", true);
      failed.push_back(line.substr(0, TEST_TEXT_MAX));
    } else {
      ++solved;
      solvedNodes += SearchState.Nodes;
      uint64_t time = ElapsedMs();
      solvedTime += time;
      int32_t row = time < OVER_TEN_SECONDS_MS ? static_cast<int32_t>(std::nearbyint(time / 1000.0)) : TIME_ROWS;
      ++solvedByTime[row];
    }
    ShowMessageBox("Solved: " + std::to_string(solved) + "/" + std::to_string(positions) +
                       " Nodes: " + FormatCount(static_cast<int64_t>(solvedNodes), 0) +
                       " Time: " + FormatDuration(static_cast<uint32_t>(solvedTime)) +
                       " NPS: " + FormatNps(static_cast<uint32_t>(solvedTime), solvedNodes),
                   false);
  }

  PrintSolvedByTime(solvedByTime);
  if (failed.empty()) return;
  TableTitle("Failed tests", {Align::RIGHT});
  for (const std::string& text : failed) TableRow({text});
  PrintTable();
}
