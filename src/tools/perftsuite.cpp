// The perft suite: every line of an EPD file of positions with their known leaf counts,
// counted again up to a chosen depth and compared.
#include <algorithm>
#include <charconv>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "board/board.h"
#include "console/console.h"
#include "tools/epd.h"
#include "tools/perft.h"
#include "tools/tools.h"

namespace {

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
      ShowMessageBox(
          "Illegal depth <" + depthText + ">, " + std::to_string(k) + " expected in: " + line + " - Aborting", false);
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

}  // namespace

std::string ReadPerftSuiteLine(const std::string& line, int32_t maxDepth) {
  std::string rest = line;
  std::string fen = NextToken(rest, ';');
  SetBoard(fen, true);
  ShowSuitePosition();
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
    if (mismatches > 0 && AskToFinish()) break;
  }
  FreePerftCache();
}
