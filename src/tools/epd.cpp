// The EPD suites: interactive tools that read a file of positions line by line and check
// or show each one. The prompts read their answers from standard input.
#include <algorithm>
#include <charconv>
#include <string>
#include <vector>

#include "board/board.h"
#include "console/console.h"
#include "platform/platform.h"
#include "shell/shell.h"
#include "tools/perft.h"
#include "tools/tools.h"

namespace {

constexpr int INPUT_WAIT_MS = 10;

// One answer line, waited for. Ended input gives what is left of it, then empty answers,
// so that every prompt loop ends instead of waiting for ever.
std::string ReadAnswer() {
  for (;;) {
    int length = PendingInputLength();
    if (length > 0) return ReadInputLine(length);
    if (InputHasEnded()) return TakeUnterminatedLine();
    WaitForInputLine(INPUT_WAIT_MS);
  }
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && ToLower(text.substr(text.size() - end.size())) == ToLower(end);
}

// Asks until the answer names an existing file (the extension may be left out); empty when
// the user gives up. Names are kept as typed: the file system tells letter cases apart.
std::string AskEpdFile(std::string_view prompt, std::string_view ext) {
  std::string dotExt = "." + std::string(ext);
  for (;;) {
    PrintText("\r\n" + std::string(prompt) + " (" + dotExt + " is optional) or <ENTER> to abort: ");
    std::string name = Trim(ReadAnswer());
    if (name.empty()) return {};
    if (!EndsWithIgnoringCase(name, dotExt)) name += dotExt;
    if (FileExists(name)) return name;
    PrintLine("\r\nError: file \"" + name + "\" not found.");
  }
}

std::string AskLine(std::string_view message) {
  ShowMessageBox(message, false);
  return ReadAnswer();
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

// Asks until the answer is an integer in 1..127; 0 when the user gives up.
int32_t AskMaxDepth() {
  for (;;) {
    PrintText("Max Depth (1-" + std::to_string(PERFT_MAX_DEPTH) + "), <ENTER> to abort: ");
    std::string answer = ReadAnswer();
    if (answer.empty()) return 0;
    int32_t depth = 0;
    if (TryReadInteger(answer, depth) && 1 <= depth && depth <= PERFT_MAX_DEPTH) return depth;
  }
}

}  // namespace

void PerftSuite() {
  std::string name = AskEpdFile("Perft EPD filename", "epd");
  if (name.empty()) return;
  std::vector<std::string> lines;
  if (!ReadTextLines(name, lines)) return;
  int32_t maxDepth = AskMaxDepth();
  if (maxDepth == 0) return;

  AllocatePerftCache();
  int32_t positions = 0;
  int32_t exact = 0;
  for (const std::string& line : lines) {
    if (Trim(line).empty()) continue;  // a blank line holds no position
    std::string rest = line;
    std::string fen = NextToken(rest, ';');
    SetBoard(fen, true);
    ShowBoard();
    std::fill(std::begin(PerftExpected), std::end(PerftExpected), 0);
    ReadExpectedCounts(line, rest, maxDepth);

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
