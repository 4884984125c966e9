// The EPD suites: interactive tools that read a file of positions line by line and check,
// search or show each one. The prompts read their answers from standard input.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "board/board.h"
#include "console/console.h"
#include "platform/platform.h"
#include "search/search.h"
#include "shell/shell.h"
#include "tools/perft.h"
#include "tools/testsuite.h"
#include "tools/tools.h"

namespace {

bool EndsWithIgnoringCase(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && ToLower(text.substr(text.size() - end.size())) == ToLower(end);
}

// Asks until the answer names an existing file (the extension may be left out); empty when
// the user gives up. Names are kept as typed: the file system tells letter cases apart.
std::string AskEpdFile(std::string_view prompt, std::string_view ext) {
  std::string dotExt = "." + std::string(ext);
  for (;;) {
    PrintText("\r\n" + std::string(prompt) + " (" + dotExt + " is optional) or <ENTER> to abort: ");
    std::string name = Trim(ReadAnswerLine());
    if (name.empty()) return {};
    if (!EndsWithIgnoringCase(name, dotExt)) name += dotExt;
    if (FileExists(name)) return name;
    PrintLine("\r\nError: file \"" + name + "\" not found.");
  }
}

// The lines of the EPD file the user names; false when the user gives up or it cannot be read.
bool AskEpdLines(std::string_view prompt, std::vector<std::string>& lines) {
  std::string name = AskEpdFile(prompt, "epd");
  return !name.empty() && ReadTextLines(name, lines);
}

std::string AskLine(std::string_view message) {
  ShowMessageBox(message, false);
  return ReadAnswerLine();
}

// A signed decimal 64-bit number filling the whole text.
bool ReadCount(std::string_view text, int64_t& value) {
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

// Reads ";D1 n ;D2 n ..." from rest into PerftExpected up to maxDepth; stops at the first
// bad field with its message.
void ReadExpectedCounts(const std::string& line, std::string rest, int32_t maxDepth) {
  for (int32_t k = 1; k <= maxDepth; ++k) {
    std::string field = NextToken(rest, ';');
    if (field.empty() || (field[0] != 'd' && field[0] != 'D')) {
      ShowMessageBox("Bad entry error: " + line + " - Aborting", false);
      return;
    }
    std::string depthText = NextToken(field, ' ').substr(1);
    if (ReadInteger(depthText, 0) != k) {
      ShowMessageBox("Illegal depth <" + depthText + ">, " + std::to_string(k) + " expected in: " + line +
                         " - Aborting",
                     false);
      return;
    }
    int64_t count = 0;
    if (!ReadCount(NextToken(field, ' '), count) || count == 0) {
      ShowMessageBox("Illegal number of positions in: " + line + " - Aborting", false);
      return;
    }
    PerftExpected[k] = count;
  }
}

// Asks until the answer is an integer in 1..highest; 0 when the user gives up.
int32_t AskNumber(std::string_view prompt, int32_t highest) {
  for (;;) {
    PrintText(prompt);
    std::string answer = ReadAnswerLine();
    if (answer.empty()) return 0;
    int32_t value = 0;
    if (TryReadInteger(answer, value) && 1 <= value && value <= highest) return value;
  }
}

}  // namespace

std::string ReadPerftSuiteLine(const std::string& line, int32_t maxDepth) {
  std::string rest = line;
  std::string fen = NextToken(rest, ';');
  SetBoard(fen, true);
  ShowBoard();
  std::fill(std::begin(PerftExpected), std::end(PerftExpected), 0);
  ReadExpectedCounts(line, rest, maxDepth);
  return fen;
}

void PerftSuite() {
  std::vector<std::string> lines;
  if (!AskEpdLines("Perft EPD filename", lines)) return;
  int32_t maxDepth =
      AskNumber("Max Depth (1-" + std::to_string(PERFT_MAX_DEPTH) + "), <ENTER> to abort: ", PERFT_MAX_DEPTH);
  if (maxDepth == 0) return;

  AllocatePerftCache();
  int32_t positions = 0;
  int32_t exact = 0;
  for (const std::string& line : lines) {
    if (Trim(line).empty()) continue;  // a blank line holds no position
    std::string fen = ReadPerftSuiteLine(line, maxDepth);

    // A line cut short is still counted: its missing depths show as wrong.
    PerftTableHead(false, true, fen);
    int32_t mismatches = 0;
    for (int32_t d = 1; d <= maxDepth; ++d) mismatches += PerftRow(d, true) ? 1 : 0;
    PerftTableFoot(false, true);
    ++positions;
    if (mismatches == 0) ++exact;
    ShowMessageBox(std::to_string(positions) + " positions analyzed, " + std::to_string(exact) + " counted exactly.",
                   false);
    if (mismatches > 0 && ToLower(AskLine("Press <Enter> (Q to finish)")) == "q") break;
  }
  FreePerftCache();
}

// ---- Test suite ----------------------------------------------------------------------------

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
  int32_t seconds = AskNumber("\r\nSeconds per position (1-" + std::to_string(TEST_SECONDS_MAX) +
                                  "), <ENTER> to abort: ",
                              TEST_SECONDS_MAX);
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
    ShowBoard();
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

// ---- Evaluation suite ----------------------------------------------------------------------

void EvalSuite() {
  std::vector<std::string> lines;
  if (!AskEpdLines("Evaluation Suite EPD filename", lines)) return;
  for (const std::string& line : lines) {
    if (Trim(line).empty()) continue;
    SetBoard(line, true);
    ShowBoard();
    if (ToLower(AskLine("Press <Enter> (Q to finish)")) == "q") break;
  }
}
