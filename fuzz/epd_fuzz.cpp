// The line readers of the EPD suites. The first byte picks the perft suite's maximum depth;
// every line of the input is then read as a perft-suite line (set-up and expected counts, then
// the counts of the first two depths compared), as a test-suite line (FEN and solutions) and as
// an evaluation-suite line (set-up, board and evaluation).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "console/console.h"
#include "eval/eval.h"
#include "fuzz/fuzz_common.h"
#include "shell/shell.h"
#include "tools/perft.h"
#include "tools/testsuite.h"

namespace {

constexpr size_t MAX_LINES = 16;
constexpr int32_t MAX_COUNTED_DEPTH = 2;

void ReadAsPerftLine(const std::string& line, int32_t maxDepth) {
  std::string fen = ReadPerftSuiteLine(line, maxDepth);
  RequireConsistentPosition(line);
  Require(fen.find(';') == std::string::npos, "the FEN part holds a semicolon", line);
  Require(std::all_of(PerftExpected + maxDepth + 1, std::end(PerftExpected), [](int64_t n) { return n == 0; }),
          "expected counts beyond the maximum depth", line);
  for (int32_t depth = 1; depth <= std::min(maxDepth, MAX_COUNTED_DEPTH); ++depth) PerftRow(depth, true);
}

void ReadAsTestLine(const std::string& line) {
  TestSuiteLine parts = SplitTestSuiteLine(line);
  Require(parts.Fen == Trim(parts.Fen), "the FEN part is not trimmed", line);
  Require(parts.OpText.size() <= line.size() && line.ends_with(parts.OpText), "the operations are not the line's end",
          line);
  SetBoard(parts.Fen, true);
  ReadSolutions(parts.SolutionText);
  Require(TestSolutionCount >= 0 && TestSolutionCount <= TEST_SOLUTIONS_MAX, "solution count", line);
  MoveList moves;
  int32_t count = GenerateLegalMoves(0, moves);
  for (int32_t k = 0; k < TestSolutionCount; ++k)
    Require(std::any_of(moves.begin(), moves.begin() + count,
                        [k](const MoveEntry& entry) { return entry.Move == TestSolutions[k]; }),
            "a solution that is no legal move", line);
  RequireConsistentPosition(line);
}

void ReadAsEvalLine(const std::string& line) {
  SetBoard(line, true);
  ShowBoard();
  int32_t score = Evaluate();
  Require(score >= -32000 && score <= 32000, "evaluation out of range", line);
  RequireConsistentPosition(line);
}

// The lines as the suites read a file: split at LF, one CR before it dropped, blank lines
// skipped (the suites skip them too); nothing else is changed.
std::vector<std::string> FileLines(const uint8_t* data, size_t size) {
  std::vector<std::string> lines;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  while (!text.empty() && lines.size() < MAX_LINES) {
    size_t end = text.find('\n');
    std::string line(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!Trim(line).empty()) lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  StartEngineForFuzzing();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  int32_t maxDepth = 1 + data[0] % PERFT_MAX_DEPTH;
  AllocatePerftCache();
  for (const std::string& line : FileLines(data + 1, size - 1)) {
    ReadAsPerftLine(line, maxDepth);
    ReadAsTestLine(line);
    ReadAsEvalLine(line);
  }
  FreePerftCache();
  return 0;
}
