// The console commands for a person: set-ups, the FEN, think and play, help, the score-pair tool.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "board/board.h"
#include "console/console.h"
#include "eval/eval.h"
#include "search/search.h"
#include "shell/commands.h"
#include "shell/shell.h"

namespace {

constexpr std::string_view KIWIPETE_FEN = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -";

// The think time "move" falls back to when its argument is not a number.
constexpr int32_t FALLBACK_MOVE_SECONDS = 5;

// At most this many characters of a typed number are read.
constexpr size_t SCORE_TEXT_MAX = 32;

struct HelpRow {
  std::string_view Command;
  std::string_view Meaning;
};

constexpr HelpRow CommandsHelp[] = {
    {"be[nch]", "analyze some test positions at fixed depths"},
    {"b[oard] ", "view current board and static evaluation"},
    {"d[ivide] <depth>", "run a perft split by move on current position"},
    {"f[en]", "print FEN string of current position"},
    {"go [UCI-style options]", "start the analysis; type 'help go' for details"},
    {"h[elp] (or ?)", "show this list of commands"},
    {"k[iwi]", "setup Kiwipete position (useful for perft tests)"},
    {"l[ist]", "list the legal moves for current position"},
    {"m[ove] [secs]", "play a move after thinking for <secs> seconds,"},
    {"", "default 5 secs; a new value becomes the new def."},
    {"n[ew]", "start a new game"},
    {"p[erft] <depth>", "test the move generation on current position"},
    {"pe[rftsuite]", "run a perft test using a specified EPD file"},
    {"q[uit]", "leave Tavrin"},
    {"stop", "stop analysis"},
    {"s[etboard] <fen>", "set board position to <fen>"},
    {"t[estsuite]", "runs an EPD testsuite file"},
    {"u[nmake]", "take back last played move"},
    {"uci", "enter UCI mode (UCI commands are already accepted)"},
    {"v[valsuite]", "runs an eval test on an EPD file"},
    {"...or enter your move", ""},
};

constexpr HelpRow GoHelp[] = {
    {"go [infinite]", "infinite analysis"},
    {"go depth <depth>", "analyze until the given root depth is reached"},
    {"go movetime <msecs>", "analyze for the specified time"},
    {"go nodes <nodes>", "analyze the specified number of nodes (approximate)"},
};

template <size_t N>
void PrintHelpTable(std::string_view title, const HelpRow (&rows)[N]) {
  TableTitle(title, {Align::RIGHT, Align::RIGHT});
  for (const HelpRow& row : rows) TableRow({std::string(row.Command), std::string(row.Meaning)});
  PrintTable();
}

// The first word of the next non-empty answer line, read as an integer (0 when it is none);
// the rest of that line is dropped.
int32_t AskScore(std::string_view prompt) {
  PrintText(prompt);
  std::string line;
  do line = ReadAnswerLine();
  while (line.empty() && !InputHasEnded());
  size_t end = 0;
  while (end < line.size() && end<SCORE_TEXT_MAX&& static_cast<unsigned char>(line[end])> ' ') ++end;
  return ReadInteger(std::string_view(line).substr(0, end), 0);
}

}  // namespace

void PackScorePair() {
  int32_t mg = AskScore("MG: ");
  int32_t eg = AskScore("EG: ");
  WriteLine("MGEG: " + std::to_string(MakeScore(mg, eg)));
}

void SetBoardCommand(const std::string& fen) {
  if (SetBoard(fen, true)) ShowBoard();
}

void SetKiwipete() {
  SetBoard(KIWIPETE_FEN, true);
  ShowMessageBox("Kiwipete: " + std::string(KIWIPETE_FEN), false);
  ShowBoard();
}

void StartNewGame() {
  NewGame();
  if (InputIsConsole) ShowBoard();
}

void PrintFen() {
  TableTitle("FEN of current position", {Align::RIGHT});
  TableRow({WriteFen()});
  PrintTable();
}

void ThinkAndPlay(const std::string& seconds) {
  if (!seconds.empty()) Settings.DefaultMoveTime = ReadInteger(seconds, FALLBACK_MOVE_SECONDS);
  // A default beyond what 32-bit milliseconds hold thinks as long as they can.
  int64_t milliseconds = int64_t{Settings.DefaultMoveTime} * 1000;
  ResetSearchLimits(static_cast<int32_t>(std::clamp<int64_t>(milliseconds, INT32_MIN, INT32_MAX)));
  Think();
  // Without a legal move the text names nothing, and nothing is played.
  PlayMoveText(MoveText(SearchState.BestMove));
  ShowBoard();
}

void ShowHelp(const std::string& topic) {
  if (ToLower(topic) == "go") {
    PrintHelpTable("GO COMMAND", GoHelp);
    return;
  }
  ShowBanner();
  PrintHelpTable("COMMANDS", CommandsHelp);
}
