// The command interpreter: one dispatcher for UCI and console commands, then moves.
#include <algorithm>
#include <bit>
#include <string>
#include <string_view>
#include <vector>

#include "board/board.h"
#include "console/console.h"
#include "search/search.h"
#include "shell/commands.h"
#include "shell/options.h"
#include "shell/shell.h"
#include "tools/tools.h"

namespace {

// What "go" allows before its words say otherwise: about six days.
constexpr int32_t UNLIMITED_TIME_MS = 500000000;

using Action = void (*)(std::string& rest);

void IsReady(std::string&) { PrintLine("readyok"); }

void Uci(std::string&) {
  PrintLine("id name " + std::string(VERSION_TEXT));
  PrintLine("id author Nemisor");
  PrintLine("option name Hash type spin default " + std::to_string(Settings.HashSizeMB) + " min " +
            std::to_string(HASH_MIN_MB) + " max " + std::to_string(HASH_MAX_MB));
  PrintLine("option name MoveOverhead type spin default " + std::to_string(Settings.MoveOverhead) + " min 0 max " +
            std::to_string(MOVE_OVERHEAD_MAX));
  PrintLine("uciok");
}

void SetOption(std::string& rest) {
  rest = ToLower(rest);
  if (NextToken(rest) != "name") return;
  std::string name = NextToken(rest);
  if (name != "hash" && name != "moveoverhead") return;
  if (NextToken(rest) != "value") return;
  int32_t value = ReadInteger(NextToken(rest), 0);
  if (name == "hash")
    SetHashSize(value);
  else if (value >= 0 && value <= MOVE_OVERHEAD_MAX)
    Settings.MoveOverhead = value;
}

// Clock mode of "go": the budget comes from the mover's clock, or from movetime when given.
// Every word after "go" is looked at; a parameter name takes the word after it.
void SetClockBudgets(const std::vector<std::string>& words) {
  int32_t wtime = 0, btime = 0, winc = 0, binc = 0, movetime = 0, movestogo = 0;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& token = words[i];
    int32_t* field = token == "wtime"       ? &wtime
                     : token == "btime"     ? &btime
                     : token == "winc"      ? &winc
                     : token == "binc"      ? &binc
                     : token == "movetime"  ? &movetime
                     : token == "movestogo" ? &movestogo
                                            : nullptr;
    if (field) *field = ++i < words.size() ? ReadInteger(words[i], 0) : 0;
  }
  bool white = Position.SideToMove == WHITE;
  SearchLimits.ClockTime = white ? wtime : btime;
  if (movetime != 0) {
    SearchLimits.ClockTime = SearchLimits.TimeLimit = SearchLimits.MaxTime = movetime;
  } else {
    AllocateTime(white ? wtime : btime, white ? winc : binc, movestogo);
  }
  if (SearchLimits.TimeLimit < Settings.MoveOverhead) SearchLimits.TimeLimit = 0;
  SearchLimits.MaxTime = std::min(SearchLimits.MaxTime, SearchLimits.TimeLimit);
  SearchLimits.OptimumTime = SearchLimits.TimeLimit;
}

// "go": only the first word can ask for a depth, a node count or an infinite search; any
// other word starts a clock search. A depth or node count below 1 searches nothing.
void Go(std::string& rest) {
  std::vector<std::string> words = SplitWords(ToLower(rest));
  ResetSearchLimits(UNLIMITED_TIME_MS);
  std::string word = words.empty() ? std::string() : words[0];
  if (word == "depth" || word == "nodes") {
    int32_t limit = words.size() > 1 ? ReadInteger(words[1], 0) : 0;
    if (limit < 1) return;
    if (word == "depth")
      SearchLimits.MaxDepth = std::min(limit, MAX_SEARCH_DEPTH);
    else
      SearchLimits.NodeLimit = limit;
  } else if (!word.empty() && word != "infinite") {
    SetClockBudgets(words);
  } else {
    // An interface may not be answered before its "stop", even when the search ends sooner (one
    // legal move, a mate found); a person at a terminal gets the answer when it is there.
    SearchLimits.UntilStop = !InputIsConsole;
  }
  Think();
}

// "position startpos" or "position fen <FEN>", then optionally "moves" and the moves to play;
// the first move that is not legal ends the list.
void SetUpPosition(std::string& rest) {
  std::string source = ToLower(NextToken(rest));
  std::string fen;
  if (source == "startpos") {
    fen = START_FEN;
  } else if (source == "fen") {
    size_t moves = ToLower(rest).find(" moves");
    fen = rest.substr(0, moves);
    rest = moves == std::string::npos ? std::string() : rest.substr(moves + 1);
  } else {
    return;
  }
  SetBoard(fen, true);
  if (ToLower(NextToken(rest)) != "moves") return;
  for (const std::string& move : SplitWords(rest))
    if (!PlayMoveText(move)) return;
}

void Unmake(std::string&) {
  TakeBack();
  ShowBoard();
}

void Help(std::string& rest) { ShowHelp(NextToken(rest)); }

// How the first word is compared: folded to lower case, or exactly as typed.
enum class Case : uint8_t { FOLDED, EXACT };

struct CommandRow {
  std::string_view Word;
  std::string_view Abbreviation;  // empty when the command has none
  Case Compare;
  Action Run;                   // nullptr: the word is taken and nothing happens
  bool (*Applies)() = nullptr;  // when set and false, matching goes on down the table
};

// The order of matching: the first row whose word matches wins. A command that is one call
// is written in its row.
constexpr CommandRow Commands[] = {
    {"isready", "", Case::FOLDED, IsReady},
    {"setoption", "", Case::FOLDED, SetOption},
    {"ucinewgame", "", Case::FOLDED, [](std::string&) { NewGame(); }},
    {"position", "", Case::FOLDED, SetUpPosition},
    {"z", "", Case::EXACT, [](std::string&) { PackScorePair(); }},
    {"go", "", Case::FOLDED, Go},
    {"quit", "q", Case::FOLDED, nullptr},  // only a line that is exactly quit or q ends the loop
    {"perftsuite", "pe", Case::FOLDED, [](std::string&) { PerftSuite(); }},
    {"perft", "p", Case::FOLDED, [](std::string& rest) { PerftCommand(ReadInteger(NextToken(rest), 0), false); }},
    {"divide", "d", Case::FOLDED, [](std::string& rest) { PerftCommand(ReadInteger(NextToken(rest), 0), true); }},
    {"bench", "be", Case::FOLDED, [](std::string&) { Bench(); }},
    {"board", "b", Case::FOLDED, [](std::string&) { ShowBoard(); }},
    {"kiwi", "k", Case::FOLDED, [](std::string&) { SetKiwipete(); }},
    {"setboard", "s", Case::FOLDED, [](std::string& rest) { SetBoardCommand(rest); }},
    {"uci", "", Case::FOLDED, Uci},
    {"list", "l", Case::FOLDED, [](std::string&) { ListLegalMoves(); }},
    {"valsuite", "v", Case::FOLDED, [](std::string&) { EvalSuite(); }},
    {"testsuite", "t", Case::FOLDED, [](std::string&) { TestSuite(); }},
    {"new", "n", Case::FOLDED, [](std::string&) { StartNewGame(); }},
    {"unmake", "u", Case::FOLDED, Unmake, [] { return GameHistoryCount > 0; }},
    {"fen", "f", Case::FOLDED, [](std::string&) { PrintFen(); }},
    {"move", "m", Case::FOLDED, [](std::string& rest) { ThinkAndPlay(rest); }},
    {"help", "h", Case::FOLDED, Help},
    {"?", "", Case::EXACT, Help},
};

bool Matches(const CommandRow& row, const std::string& typed, const std::string& folded) {
  if (row.Compare == Case::EXACT) return typed == row.Word;
  return folded == row.Word || (!row.Abbreviation.empty() && folded == row.Abbreviation);
}

}  // namespace

bool SetHashSize(int32_t megabytes) {
  if (megabytes < HASH_MIN_MB || megabytes > HASH_MAX_MB) return false;
  Settings.HashSizeMB = static_cast<int32_t>(std::bit_floor(static_cast<uint32_t>(megabytes)));
  TTResize(Settings.HashSizeMB);
  return true;
}

void ExecuteCommand(const std::string& line) {
  std::string rest = line;
  std::string word = NextToken(rest);
  if (word.empty()) return;
  std::string folded = ToLower(word);
  for (const CommandRow& row : Commands) {
    if (!Matches(row, word, folded) || (row.Applies && !row.Applies())) continue;
    if (row.Run) row.Run(rest);
    return;
  }
  // Anything else is tried as a move, exactly as typed.
  if (PlayMoveText(word) && InputIsConsole) ShowBoard();
}

void CommandLoop() {
  NewGame();
  for (;;) {
    int length = PendingInputLength();
    if (length > 0) {
      std::string line = ReadInputLine(length);
      std::string folded = ToLower(line);
      if (folded == "quit" || folded == "q") return;
      ExecuteCommand(line);
    } else if (InputHasEnded()) {
      // A last line without its line end still counts, as if it had one.
      std::string line = TakeUnterminatedLine();
      std::string folded = ToLower(line);
      if (folded != "quit" && folded != "q") ExecuteCommand(line);
      return;
    } else {
      WaitForInputLine(1);
    }
  }
}
