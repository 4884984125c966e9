// The console commands for a person, byte for byte: help and its tables, the banner, the FEN
// table, the legal-move list, the score-pair tool, set-ups, take-backs and "move".
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "e2e/harness.h"
#include "tools/perft_lines.h"

namespace {

using perft_lines::Box;
using perft_lines::H;
using perft_lines::Right;
using perft_lines::V;

const std::string StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
const std::string KiwipeteFen = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -";
const std::string FoolsMateFen = "rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3";

std::string Left(const std::string& text, size_t width) {
  return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

// A row of a two-column table with both columns right-aligned in the given widths.
std::string RightRow(const std::string& first, size_t w1, const std::string& second, size_t w2) {
  return V + Right(first, w1 + 1) + " " + V + Right(second, w2 + 1) + " " + V + "\r\n";
}

// The head of a two-column table as wide as its columns: top, title, separator.
std::string TwoColumnHead(const std::string& title, size_t w1, size_t w2) {
  size_t width = w1 + w2 + 7;
  return "\xDA" + H(static_cast<int>(width - 2)) + "\xBF\n" + V + " " + Left(title, width - 3) + V + "\n" + "\xC3" +
         H(static_cast<int>(w1 + 2)) + "\xC2" + H(static_cast<int>(w2 + 2)) + "\xB4\n";
}

std::string TwoColumnFoot(size_t w1, size_t w2) {
  return "\xC0" + H(static_cast<int>(w1 + 2)) + "\xC1" + H(static_cast<int>(w2 + 2)) + "\xD9\n";
}

// The widest cells: "go [UCI-style options]" (22) and "enter UCI mode (UCI commands are
// already accepted)" (50).
std::string CommandsTable() {
  const std::vector<std::pair<std::string, std::string>> rows = {
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
  std::string table = TwoColumnHead("COMMANDS", 22, 50);
  for (const auto& [command, meaning] : rows) table += RightRow(command, 22, meaning, 50);
  return table + TwoColumnFoot(22, 50);
}

// The widest cells: "go movetime <msecs>" (19) and "analyze the specified number of nodes
// (approximate)" (51).
std::string GoTable() {
  return TwoColumnHead("GO COMMAND", 19, 51) + RightRow("go [infinite]", 19, "infinite analysis", 51) +
         RightRow("go depth <depth>", 19, "analyze until the given root depth is reached", 51) +
         RightRow("go movetime <msecs>", 19, "analyze for the specified time", 51) +
         RightRow("go nodes <nodes>", 19, "analyze the specified number of nodes (approximate)", 51) +
         TwoColumnFoot(19, 51);
}

// Checks the banner at the start of output and returns what follows it.
std::string AfterBanner(const std::string& output) {
  std::vector<std::string> lines = Lines(output);
  // An empty line, 19 logo lines, two empty lines, the version, an empty line, the address, an
  // empty line: 26 lines, each ending in CR LF.
  EXPECT_GE(lines.size(), 26u);
  if (lines.size() < 26) return {};
  EXPECT_EQ(lines[0], "\r");
  size_t inked = 0;
  for (size_t i = 1; i <= 19; ++i) {
    const std::string& line = lines[i];
    EXPECT_TRUE(line.ends_with('\r')) << i;
    EXPECT_LE(line.size() - 1, 72u) << i;
    EXPECT_EQ(line.find_first_not_of("#/ \r"), std::string::npos) << line;
    inked += std::count(line.begin(), line.end(), '#') > 0 ? 1 : 0;
  }
  EXPECT_GE(inked, 5u);  // the name is drawn, not left blank
  EXPECT_EQ(lines[20], "\r");
  EXPECT_EQ(lines[21], "\r");
  EXPECT_TRUE(std::regex_match(lines[22], std::regex("Tavrin dev_20240807b compiled at [0-9]{8} [0-9]{6}\r")))
      << lines[22];
  EXPECT_EQ(lines[23], "\r");
  EXPECT_EQ(lines[24], "Please report any bug to: tavrin-bugs@users.noreply.invalid\r");
  EXPECT_EQ(lines[25], "\r");
  size_t end = 0;
  for (int i = 0; i < 26; ++i) end = output.find('\n', end) + 1;
  return output.substr(end);
}

// The board and Stats that "setboard" shows for a FEN: the position set up from scratch.
std::string BoardOf(const std::string& fen) { return RunEngine("setboard " + fen + "\n"); }

// The FEN in each FEN table of output, in order.
std::vector<std::string> FensShown(const std::string& output) {
  std::vector<std::string> fens;
  std::vector<std::string> lines = Lines(output);
  for (size_t i = 0; i + 2 < lines.size(); ++i)
    if (lines[i].find(" FEN of current position ") != std::string::npos)
      fens.push_back(lines[i + 2].substr(2, lines[i + 2].size() - 5));  // "│ " fen " │" CR
  return fens;
}

// The single-column FEN table: title 23 characters, so the FEN's width decides.
std::string FenTable(const std::string& fen) {
  size_t width = std::max(fen.size() + 4, size_t{27});
  return "\xDA" + H(static_cast<int>(width - 2)) + "\xBF\n" + V + " " + Left("FEN of current position", width - 3) + V +
         "\n" + "\xC3" + H(static_cast<int>(width - 2)) + "\xB4\n" + V + Right(fen, width - 3) + " " + V + "\r\n" +
         "\xC0" + H(static_cast<int>(width - 2)) + "\xD9\n";
}

TEST(Help, HelpAndQuestionMarkShowTheBannerAndTheCommandsTable) {
  for (const char* input : {"help\n", "?\n", "HELP\n", "h\n", "help foo\n"}) {
    std::string output = RunEngine(input);
    EXPECT_EQ(AfterBanner(output), CommandsTable()) << input;
  }
}

TEST(Help, HelpGoShowsOnlyTheGoTable) {
  EXPECT_EQ(RunEngine("help go\n"), GoTable());
  EXPECT_EQ(RunEngine("h GO extra\n"), GoTable());
}

TEST(Help, QuestionMarkAndZAreTakenOnlyAsTyped) {
  // "Z" is no command and no move; "?x" neither.
  EXPECT_EQ(RunEngine("Z\n?x\nisready\n"), "readyok\n");
}

TEST(Fen, StartPositionInATableAsWideAsTheFen) {
  std::string fen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 0";
  std::string expected = FenTable(fen);
  EXPECT_EQ(Lines(expected)[0].size(), 60u);  // the top line
  EXPECT_EQ(RunEngine("fen\n"), expected);
  EXPECT_EQ(RunEngine("F\n"), expected);
}

TEST(ScorePair, PacksMiddleGameLowAndEndgameHigh) {
  EXPECT_EQ(RunEngine("z\n10\n20\n"), "MG: EG: MGEG: " + std::to_string(20 * 65536 + 10) + "\r\n");
  EXPECT_EQ(RunEngine("z\n-1\n0\n"), "MG: EG: MGEG: 65535\r\n");
  // Empty lines are skipped, only the first word of a line is read, a word that is no number is 0.
  EXPECT_EQ(RunEngine("z\n\n  7 8 9\nx\nisready\n"), "MG: EG: MGEG: 7\r\nreadyok\n");
}

TEST(ScorePair, EndOfInputReadsZero) { EXPECT_EQ(RunEngine("z\n5"), "MG: EG: MGEG: 5\r\n"); }

// One row of the legal-move list: columns left, right, right, left.
std::string ListRow(size_t i, const std::string& ean, const std::string& san, const std::string& score,
                    size_t scoreWidth) {
  return V + " " + Left(std::to_string(i), 3) + V + Right(ean, 5) + " " + V + Right(san, 4) + " " + V + " " +
         Left(score, scoreWidth + 1) + V + "\r\n";
}

// The static evaluation "board" shows in its Stats table.
int StaticEvalShown(const std::string& output) {
  std::string label = V + " Static Eval " + V + " ";
  size_t at = output.find(label);
  EXPECT_NE(at, std::string::npos);
  return std::stoi(output.substr(at + label.size()));
}

TEST(List, StartPositionBestOnePlyScoreFirstAndTiesInGenerationOrder) {
  // Generation order from divide 2, each one-ply score from the evaluation of the position
  // after the move, set up from its FEN.
  std::string divide = RunEngine("divide 2\n");
  struct Listed {
    std::string Ean;
    int Score;
  };
  std::vector<Listed> moves;
  std::string positions;
  for (const std::string& line : Lines(divide)) {
    if (line.size() < 8 || line.compare(0, 2, V + " ") != 0 || line[2] < 'a' || line[2] > 'h') continue;
    moves.push_back({line.substr(2, 4), 0});
    positions += "position startpos moves " + moves.back().Ean + "\nfen\n";
  }
  ASSERT_EQ(moves.size(), 20u);
  std::vector<std::string> fens = FensShown(RunEngine(positions));
  ASSERT_EQ(fens.size(), 20u);
  for (size_t i = 0; i < moves.size(); ++i) moves[i].Score = -StaticEvalShown(BoardOf(fens[i]));
  std::stable_sort(moves.begin(), moves.end(), [](const Listed& a, const Listed& b) { return a.Score > b.Score; });

  size_t scoreWidth = 5;
  for (const Listed& move : moves) scoreWidth = std::max(scoreWidth, std::to_string(move.Score).size());
  // Columns: "#" 2 wide (20), "ean" 4, "san" 3 (Nc3), "score".
  std::string expected = "\xDA" + H(static_cast<int>(scoreWidth + 20)) + "\xBF\n" + V + " " +
                         Left("Legal moves: 20", scoreWidth + 19) + V + "\n" + "\xC3" + H(4) + "\xC2" + H(6) + "\xC2" +
                         H(5) + "\xC2" + H(static_cast<int>(scoreWidth + 2)) + "\xB4\n" + V + " #  " + V + " ean  " +
                         V + " san " + V + " " + Left("score", scoreWidth + 1) + V + "\r\n" + "\xC3" + H(4) + "\xC5" +
                         H(6) + "\xC5" + H(5) + "\xC5" + H(static_cast<int>(scoreWidth + 2)) + "\xB4\n";
  for (size_t i = 0; i < moves.size(); ++i) {
    const std::string& ean = moves[i].Ean;
    // From the start position a pawn move's SAN is its destination, a knight's "N" and it.
    std::string san = (ean[0] == 'b' || ean[0] == 'g') && ean[1] == '1' ? "N" + ean.substr(2) : ean.substr(2);
    expected += ListRow(i + 1, ean, san, std::to_string(moves[i].Score), scoreWidth);
  }
  expected += "\xC0" + H(4) + "\xC1" + H(6) + "\xC1" + H(5) + "\xC1" + H(static_cast<int>(scoreWidth + 2)) + "\xD9\n";
  EXPECT_EQ(RunEngine("list\n"), expected);
}

TEST(List, CheckmatedSideHasNoMovesAndAnEmptyTable) {
  // The header is a row after the title, so the bottom line still closes the table.
  std::string expected = "No moves\r\n\xDA" + H(23) + "\xBF\n" + V + " Legal moves: 0" + std::string(8, ' ') + V +
                         "\n\xC3" + H(3) + "\xC2" + H(5) + "\xC2" + H(5) + "\xC2" + H(7) + "\xB4\n" + V + " # " + V +
                         " ean " + V + " san " + V + " score " + V + "\r\n\xC3" + H(3) + "\xC5" + H(5) + "\xC5" + H(5) +
                         "\xC5" + H(7) + "\xB4\n\xC0" + H(3) + "\xC1" + H(5) + "\xC1" + H(5) + "\xC1" + H(7) + "\xD9\n";
  EXPECT_EQ(RunEngine("position fen " + FoolsMateFen + "\nlist\n"), expected);
}

TEST(List, LeavesThePositionAsItWas) {
  std::string fen = "position fen " + KiwipeteFen + " moves e1g1\n";
  std::string list = RunEngine(fen + "l\n");
  std::string table = RunEngine(fen + "fen\n");
  EXPECT_EQ(table, FenTable("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R4RK1 b kq - 1 0"));
  // The same FEN and the same list again, and the castling still taken back.
  EXPECT_EQ(RunEngine(fen + "l\nfen\nl\nu\nfen\n"),
            list + table + list + BoardOf(KiwipeteFen) + FenTable(KiwipeteFen + " 0 0"));
}

TEST(SetUp, KiwiNamesThePositionInABoxAndShowsIt) {
  std::string expected = Box("Kiwipete: " + KiwipeteFen) + BoardOf(KiwipeteFen);
  EXPECT_EQ(RunEngine("kiwi\n"), expected);
  EXPECT_EQ(RunEngine("K\n"), expected);
}

TEST(SetUp, SetboardShowsTheBoardOfAnAcceptedFen) {
  std::string shown = RunEngine("setboard " + KiwipeteFen + "\n");
  EXPECT_EQ(RunEngine("s   " + KiwipeteFen + "\n"), shown);
  // 54 board lines of 78 characters and CR LF, then the Stats table: without move counters
  // the ply is 1.
  ASSERT_GT(shown.size(), 54u * 80);
  EXPECT_EQ(Lines(shown.substr(0, 54 * 80)).size(), 54u);
  EXPECT_TRUE(shown.substr(54 * 80).starts_with("\xDA" + H(24) + "\xBF\n" + V + " Stats")) << shown.substr(54 * 80);
  EXPECT_NE(shown.find(V + "         Ply " + V + " 1   " + V), std::string::npos);
}

TEST(SetUp, RejectedSetboardReportsShowsNoBoardAndLeavesTheStartPosition) {
  std::string output = RunEngine("kiwi\nsetboard 8/8/8/8/8/8/8/Kk6 w - -\nfen\n");
  std::string tail = "info setboard error Kings are too close in FEN 8/8/8/8/8/8/8/Kk6 w - -\n" +
                     FenTable("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 0");
  ASSERT_GE(output.size(), tail.size());
  EXPECT_EQ(output.substr(output.size() - tail.size()), tail);
  // Without a FEN nothing is set and nothing shown.
  EXPECT_EQ(RunEngine("setboard\nisready\n"), "readyok\n");
}

TEST(SetUp, NewStartsAgainSilentlyOnAPipe) {
  std::string start = FenTable("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 0");
  // The game history is emptied too: the "u" after "new" takes nothing back.
  EXPECT_EQ(RunEngine("setboard " + KiwipeteFen + "\nisready\nO-O\nnew\nu\nfen\n"),
            BoardOf(KiwipeteFen) + "readyok\n" + start);
  EXPECT_EQ(RunEngine("e4\nn\nu\nfen\n"), start);
}

TEST(Unmake, TakesBackOneMoveAtATimeAndShowsTheBoard) {
  // Moves typed on a pipe show nothing; each take-back shows the position it restored.
  std::string afterE4 = BoardOf("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
  std::string start = BoardOf(StartFen);
  EXPECT_NE(afterE4.find(V + "         Ply " + V + " 3 "), std::string::npos);
  EXPECT_EQ(RunEngine("e4\ne5\nu\nu\nu\nisready\n"), afterE4 + start + "readyok\n");
  EXPECT_EQ(RunEngine("e4\nunmake\n"), start);
}

// The number after a word in a line, or -1.
long FieldAfter(const std::string& line, const std::string& word) {
  size_t at = line.find(" " + word + " ");
  return at == std::string::npos ? -1 : std::stol(line.substr(at + word.size() + 2));
}

// One "move" command: waits for its board, which follows the bestmove line.
std::string MoveOutput(Engine& engine, const std::string& command) {
  engine.Send(command);
  EXPECT_TRUE(engine.WaitFor("bestmove ", 15000));
  // Lines that arrive during a search are lost, so this one is sent after it.
  engine.Send("isready\n");
  EXPECT_TRUE(engine.WaitFor("readyok\n"));
  return engine.TakeOutput();
}

// The final info line's time and the move played.
std::pair<long, std::string> SearchEnd(const std::string& output) {
  std::pair<long, std::string> end{-1, ""};
  for (const std::string& line : Lines(output)) {
    if (line.find(" hashfull ") != std::string::npos) end.first = FieldAfter(line, "time");
    if (line.rfind("bestmove ", 0) == 0) end.second = line.substr(9);
  }
  return end;
}

// The diagram after the bestmove line is that of the position reached; the Stats table after it
// differs from a fresh start only in the table's fill.
void ExpectBoardAfter(const std::string& output, const std::string& played, const std::string& position) {
  constexpr size_t BOARD_BYTES = 54 * 80;
  std::vector<std::string> fens = FensShown(RunEngine(position + "\nfen\n"));
  ASSERT_EQ(fens.size(), 1u);
  std::string board = BoardOf(fens[0]).substr(0, BOARD_BYTES);
  size_t at = output.find("bestmove " + played + "\n");
  ASSERT_NE(at, std::string::npos) << output;
  EXPECT_EQ(output.substr(at + 10 + played.size(), BOARD_BYTES), board);
  EXPECT_TRUE(output.ends_with("\xD9\nreadyok\n")) << output;
}

TEST(Move, ThinksPlaysShowsTheBoardAndKeepsTheNewDefault) {
  Engine engine;
  std::string first = MoveOutput(engine, "m 1\n");
  auto [time, played] = SearchEnd(first);
  EXPECT_GE(time, 1000) << first;
  EXPECT_LT(time, 3000) << first;
  // The move is played and the board shown after the bestmove line.
  ExpectBoardAfter(first, played, "position startpos moves " + played);

  // The second "move" thinks the second the first one set, for Black.
  std::string second = MoveOutput(engine, "move\n");
  auto [time2, reply] = SearchEnd(second);
  EXPECT_GE(time2, 1000) << second;
  EXPECT_LT(time2, 3000) << second;
  ExpectBoardAfter(second, reply, "position startpos moves " + played + " " + reply);
}

TEST(Move, WithoutALegalMoveSearchesPlaysNothingAndShowsTheBoard) {
  std::string mated = "position fen " + FoolsMateFen + "\n";
  std::string board = BoardOf(FoolsMateFen);
  EXPECT_EQ(RunEngine(mated + "m 1\n"), "info depth 0 score mate 0\r\nbestmove (none)\n" + board);
}

}  // namespace
