// Program entry: start-up tables, the mode chosen from the command line, then its action.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "board/board.h"
#include "console/console.h"
#include "search/search.h"
#include "shell/shell.h"
#include "tools/tools.h"

namespace {

enum class RunMode : uint8_t { CONSOLE, BENCH, PERFT, TIMED_SEARCH, VIEW, USAGE };

RunMode ChooseMode(const std::vector<std::string>& args) {
  if (args.empty()) return RunMode::CONSOLE;
  std::string keyword = ToLower(args[0]);
  if ((keyword == "bench" || keyword == "b") && args.size() == 1) return RunMode::BENCH;
  if ((keyword == "perft" || keyword == "p") && args.size() >= 2) return RunMode::PERFT;
  if (keyword == "go" && args.size() >= 2) return RunMode::TIMED_SEARCH;
  if ((keyword == "view" || keyword == "v") && args.size() >= 2) return RunMode::VIEW;
  if (args[0] == "?" && args.size() == 1) return RunMode::USAGE;
  return RunMode::CONSOLE;
}

// The FEN of the arguments from first on: each one after a blank, the whole trimmed.
std::string FenFromArguments(const std::vector<std::string>& args, size_t first) {
  std::string fen;
  for (size_t i = first; i < args.size(); ++i) fen += " " + args[i];
  return Trim(fen);
}

void PrintUsage(const char* programPath) {
  WriteLine(std::string("Usage: \"") + programPath + "\" [command]");
  WriteLine("Commands: b[ench] ");
  WriteLine("          go <seconds> [fen]");
  WriteLine("          p[erft] <depth> [fen]");
  WriteLine("          v[iew] <fen>");
  WriteLine("Without a command, Tavrin starts in console/UCI mode.");
}

}  // namespace

int main(int argc, char** argv) {
  InitEngine();
  std::vector<std::string> args(argv + 1, argv + argc);
  RunMode mode = ChooseMode(args);
  if (mode == RunMode::USAGE) {
    PrintUsage(argv[0]);
    return 0;
  }
  InitConsole(mode == RunMode::CONSOLE);
  ClearTable();
  LoadSettings();
  switch (mode) {
    case RunMode::CONSOLE:
      CommandLoop();
      break;
    case RunMode::BENCH:
      Bench();
      break;
    case RunMode::PERFT: {
      // No FEN words (or only blanks) count the start position.
      std::string fen = FenFromArguments(args, 2);
      SetBoard(fen.empty() ? START_FEN : std::string_view(fen), true);
      PerftCommand(ReadInteger(args[1], 1), false);
      break;
    }
    case RunMode::TIMED_SEARCH: {
      NewGame();
      std::string fen = FenFromArguments(args, 2);
      if (!fen.empty()) SetBoard(fen, true);
      // Seconds beyond what 32-bit milliseconds hold search as long as they can.
      int64_t milliseconds = int64_t{ReadInteger(args[1], 1)} * 1000;
      ResetSearchLimits(static_cast<int32_t>(std::clamp<int64_t>(milliseconds, INT32_MIN, INT32_MAX)));
      Think();
      break;
    }
    case RunMode::VIEW:
      SetBoard(FenFromArguments(args, 1), true);
      ShowBoard();
      break;
    case RunMode::USAGE:
      break;  // printed and ended before the console was set up
  }
  return 0;
}
