// Bad input end to end: whatever a chess interface or a person sends, the engine answers the
// next isready, still plays a legal move from a normal position, and ends with exit code 0.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include "e2e/harness.h"

namespace {

const std::string START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR";
// The "fen" command writes the sixth field as 0.
const std::string START_SHOWN = START + " w KQkq - 0 0";
const std::string AFTER_E4_SHOWN = "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 0";
const std::string AFTER_E4_E5_SHOWN = "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 0";

// The legal moves of the start position with the given side to move (ranks mirrored for
// Black): every pawn one or two squares ahead, every knight to its two free squares.
std::set<std::string> StartMoves(bool white) {
  std::set<std::string> moves;
  char from = white ? '2' : '7';
  for (char file = 'a'; file <= 'h'; ++file)
    for (int step : {1, 2}) moves.insert({file, from, file, static_cast<char>(from + (white ? step : -step))});
  char back = white ? '1' : '8';
  char ahead = white ? '3' : '6';
  for (const char* knight : {"ba", "bc", "gf", "gh"}) moves.insert({knight[0], back, knight[1], ahead});
  return moves;
}

// Knights out and back: after every four moves the start position stands again.
std::string KnightDance(int cycles) {
  std::string moves;
  for (int i = 0; i < cycles; ++i) moves += " g1f3 g8f6 f3g1 f6g8";
  return moves;
}

std::string BestMove(const std::string& output) {
  size_t at = output.rfind("bestmove ");
  if (at == std::string::npos) return {};
  size_t end = output.find('\n', at);
  return output.substr(at + 9, end == std::string::npos ? std::string::npos : end - at - 9);
}

// One engine for a group of bad inputs; after each one the group checks that it still
// answers isready, then that it still plays a legal move.
class Session {
 public:
  explicit Session(EngineOptions options = {}) : engine_(std::move(options)) {}

  // Sends the lines and then isready; returns what came before the readyok.
  std::string Reply(const std::string& lines) {
    engine_.Send(lines + "\nisready\n");
    bool answered = engine_.WaitFor("readyok\n", 20000);
    std::string output = engine_.TakeOutput();
    EXPECT_TRUE(answered) << "no readyok after: " << lines.substr(0, 200) << "\n" << output.substr(0, 2000);
    return answered ? output.substr(0, output.rfind("readyok\n")) : output;
  }

  // Sends the lines and then isready; expects exactly the given output before its readyok.
  void Expect(const std::string& lines, const std::string& expected) {
    engine_.Send(lines + "\nisready\n");
    engine_.WaitFor(expected + "readyok\n", 20000);
    std::string output = engine_.TakeOutput();
    EXPECT_TRUE(output == expected + "readyok\n")
        << "after: " << lines.substr(0, 200) << "\nexpected: " << expected.substr(0, 500)
        << "\ngot: " << output.substr(0, 500);
  }

  // Sends lines that start a search; returns everything up to and with its bestmove line.
  std::string Search(const std::string& lines) {
    engine_.Send(lines + "\n");
    EXPECT_TRUE(engine_.WaitFor("bestmove ", 20000)) << lines.substr(0, 200) << "\n" << engine_.Output();
    std::string output = engine_.TakeOutput();
    return output + Reply("");
  }

  void ExpectPlaysLegally() {
    std::string output = Search("position startpos moves e2e4\ngo depth 2");
    EXPECT_EQ(StartMoves(false).count(BestMove(output)), 1u) << output;
  }

  // The FEN of the current position: the row under the rule of the "fen" table.
  std::string ShownFen() {
    std::vector<std::string> lines = Lines(Reply("fen"));
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
      if (lines[i].rfind("\xC3", 0) != 0) continue;
      const std::string& row = lines[i + 1];
      size_t begin = row.find_first_not_of(' ', 1);
      size_t end = row.rfind(" \xB3");
      if (begin != std::string::npos && end != std::string::npos && end > begin) return row.substr(begin, end - begin);
    }
    ADD_FAILURE() << "no FEN row";
    return {};
  }

  void ExpectQuitsCleanly() {
    engine_.Send("quit\n");
    EXPECT_EQ(engine_.Wait(), 0);
  }

 private:
  Engine engine_;
};

int64_t MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

TEST(BadInputLines, LongLinesBinaryBytesTabsAndLineEnds) {
  Session session;
  // A line is kept up to 1 MiB, trimmed, and then it is the command it holds.
  session.Expect("isready" + std::string(9000, ' '), "readyok\n");
  session.Expect("isready" + std::string(1000000, ' '), "readyok\n");
  session.Expect("isready" + std::string(1100000, ' '), "");  // beyond 1 MiB: dropped whole
  session.ExpectPlaysLegally();

  // Many lines in one block, straddling every 8 KiB read boundary.
  std::string block;
  for (int i = 0; i < 1000; ++i) block += "  isready\n";
  std::string answers;
  for (int i = 0; i < 1000; ++i) answers += "readyok\n";
  session.Expect(block, answers);

  // A line ends at its first NUL byte; 0xFF is a character like any other, not a blank.
  session.Expect(std::string("isready\0 now", 12), "readyok\n");
  session.Expect(std::string("isr\0eady", 8), "");
  session.Expect(std::string("go depth\0 3", 11), "");  // no number: no search
  session.Expect("isready\xFF", "");
  session.Expect("\xFFisready", "");
  session.Reply(std::string("position startpos moves e2e4\0 e7e5", 34));
  EXPECT_EQ(session.ShownFen(), AFTER_E4_SHOWN);
  session.Reply("position fen " + START + " w KQkq - 0 1 \xFF\xFE");  // fields after the sixth are ignored
  EXPECT_EQ(session.ShownFen(), START_SHOWN);
  session.ExpectPlaysLegally();

  // Only the blank separates words; tabs at the ends are trimmed.
  session.Expect("\tisready\t", "readyok\n");
  session.Expect("go\tdepth 2", "");
  session.Expect("position\tstartpos", "");
  session.Reply("position startpos moves e2e4\te7e5");  // one word, no move
  EXPECT_EQ(session.ShownFen(), START_SHOWN);
  session.ExpectPlaysLegally();

  // CR and LF each end a line: the second move arrives as a typed move of its own.
  session.Reply("position startpos moves e2e4\re7e5\r");
  EXPECT_EQ(session.ShownFen(), AFTER_E4_E5_SHOWN);
  session.Expect("isready\r\nisready\r", "readyok\nreadyok\n");
  session.ExpectPlaysLegally();
  session.ExpectQuitsCleanly();
}

TEST(BadInputLines, LinesOfManyWordsCostTheirLengthOnly) {
  Session session;
  auto start = std::chrono::steady_clock::now();
  // Almost 1 MiB of words that "go" skips one by one: a clock search without time.
  std::string words;
  for (int i = 0; i < 450000; ++i) words += " x";
  std::string output = session.Search("go ponder" + words);
  EXPECT_EQ(StartMoves(true).count(BestMove(output)), 1u) << output.substr(0, 500);
  // Almost 1 MiB of moves: more than a game can hold; whatever is played ends where it began.
  session.Reply("position startpos moves" + KnightDance(50000));
  EXPECT_EQ(session.ShownFen().substr(0, START.size() + 10), START + " w KQkq - ");
  EXPECT_LT(MillisecondsSince(start), 15000);
  session.ExpectPlaysLegally();
  session.ExpectQuitsCleanly();
}

std::string UciWith(int hash, int overhead) {
  return "id name Tavrin dev_20240807b\nid author Nemisor\noption name Hash type spin default " + std::to_string(hash) +
         " min 16 max 2048\noption name MoveOverhead type spin default " + std::to_string(overhead) +
         " min 0 max 1000\nuciok\n";
}

// 2^32 + k and 2^64 + k: a reader that wraps instead of refusing would see k.
const char* const BEYOND_32_BITS = "4294967328";            // 2^32 + 32
const char* const BEYOND_64_BITS = "18446744073709551648";  // 2^64 + 32

TEST(BadInputNumbers, OptionValuesOutsideTheirRangeOrNotNumbers) {
  Session session;
  for (std::string value : {BEYOND_32_BITS, BEYOND_64_BITS, "-32", "", "k32", "32.0", "3 2"}) {
    EXPECT_EQ(session.Reply("setoption name Hash value " + value + "\nuci"), UciWith(128, 1)) << value;
    session.ExpectPlaysLegally();
  }
  // Not a number reads as 0, which the overhead's range holds; -1 and 1001 lie outside it.
  for (std::string value : {"4294967297", "18446744073709551617", "", "ten"}) {
    EXPECT_EQ(
        session.Reply("setoption name MoveOverhead value 50\nsetoption name MoveOverhead value " + value + "\nuci"),
        UciWith(128, 0))
        << value;
  }
  for (std::string value : {"-1", "1001", "2147483647", "-2147483648"}) {
    EXPECT_EQ(
        session.Reply("setoption name MoveOverhead value 50\nsetoption name MoveOverhead value " + value + "\nuci"),
        UciWith(128, 50))
        << value;
  }
  session.ExpectPlaysLegally();
  session.ExpectQuitsCleanly();
}

TEST(BadInputNumbers, SearchLimitsOutsideTheirRangeOrNotNumbers) {
  Session session;
  // A depth or node count that is no number, or below 1, starts no search and prints nothing.
  for (std::string limit : {"depth 4294967298", "depth 18446744073709551618", "depth -1", "depth", "depth x",
                            "nodes 4294967396", "nodes -5", "nodes", "nodes many"}) {
    EXPECT_EQ(session.Reply("position startpos\ngo " + limit), "") << limit;
    session.ExpectPlaysLegally();
  }
  // Clock words whose numbers read as 0 or below: a search that ends at its first poll.
  auto start = std::chrono::steady_clock::now();
  for (std::string clock :
       {"movetime 4294967296", "movetime 18446744073709551616", "movetime -1", "movetime",
        "wtime 4294967296 btime 4294967296", "wtime -1000 btime -1000", "wtime", "winc x", "wtime 1000 movestogo -1",
        "wtime 1000 movestogo 4294967296", "binc 99999999999999999999", "wtime 1000 movestogo 0 winc -5000"}) {
    std::string output = session.Search("position startpos\ngo " + clock);
    EXPECT_EQ(StartMoves(true).count(BestMove(output)), 1u) << clock << "\n" << output;
  }
  EXPECT_LT(MillisecondsSince(start), 10000);
  // The largest clock there is: the search runs until stopped.
  std::string output = session.Search(
      "position startpos\ngo wtime 2147483647 btime 2147483647 winc 2147483647 binc 2147483647 movestogo 2147483647\n"
      "stop");
  EXPECT_EQ(StartMoves(true).count(BestMove(output)), 1u) << output;
  session.ExpectPlaysLegally();
  session.ExpectQuitsCleanly();
}

TEST(BadInputNumbers, ToolArgumentsOutsideTheirRangeOrNotNumbers) {
  Session session;
  // A perft depth that is no number, or outside 1..127, shows only the usage box.
  for (std::string depth : {"4294967297", "18446744073709551617", "-1", "0", "128", "", "four"}) {
    std::string output = session.Reply("perft " + depth);
    EXPECT_NE(output.find("Usage: perft <1..127>"), std::string::npos) << depth << "\n" << output;
    EXPECT_EQ(output.find("Depth"), std::string::npos) << depth;
    EXPECT_NE(session.Reply("divide " + depth).find("Usage: divide <1..127>"), std::string::npos) << depth;
  }
  session.ExpectPlaysLegally();

  // "m": any seconds, even none or below zero or without end, still play one move.
  session.Reply("position startpos");
  for (std::string seconds : {"-1", "0", "99999999999\nstop", "2147483647\nstop", "-2147483648", "x\nstop"}) {
    std::string before = session.ShownFen();
    std::string output = session.Search("m " + seconds);
    EXPECT_NE(session.ShownFen(), before) << seconds << "\n" << output;
  }
  session.ExpectPlaysLegally();

  // The score-pair tool keeps the low 16 bits of each half; what is not a number reads as 0.
  EXPECT_EQ(session.Reply(std::string("z\n") + BEYOND_32_BITS + "\n-1"), "MG: EG: MGEG: 4294901760\r\n");
  EXPECT_EQ(session.Reply("z\n\n\n70000\n0"), "MG: EG: MGEG: 4464\r\n");  // 70000 - 65536; blank lines skipped
  // At most 32 characters are read: 31 zeros and "1" of "...0123".
  EXPECT_EQ(session.Reply("z\nabc\n" + std::string(31, '0') + "123"), "MG: EG: MGEG: 65536\r\n");
  EXPECT_EQ(session.Reply("z\n5\t7\n-32768 and more"), "MG: EG: MGEG: 2147483653\r\n");  // 0x8000 << 16 | 5
  session.ExpectPlaysLegally();
  session.ExpectQuitsCleanly();
}

TEST(BadInputNumbers, CommandLineNumbers) {
  // A depth that is no valid integer counts one ply.
  std::string output = RunEngine("", {.Args = {"p", BEYOND_32_BITS}});
  EXPECT_NE(output.find("\xB3     1 \xB3 " + std::string(12, ' ') + "20 \xB3"), std::string::npos) << output;
  EXPECT_EQ(output.find("\xB3     2 \xB3"), std::string::npos) << output;
  // Negative seconds: the search ends at its first poll and still names a move.
  int code = -2;
  output = RunEngine("", {.Args = {"go", "-5"}}, &code);
  EXPECT_EQ(StartMoves(true).count(BestMove(output)), 1u) << output;
  EXPECT_EQ(code, 0);
}

struct RefusedFen {
  std::string Fen;
  std::string Error;
};

TEST(BadInputFens, RefusedTextsAreReportedOnceAndLeaveTheStartPosition) {
  const RefusedFen refused[] = {
      {START, "Illegal side to move"},
      {START + " w", "Illegal castling rights"},
      {"rnbqkbnr/pppppppp/8/8", "Illegal board definition"},
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQ", "Illegal board definition"},
      {START + "/8 w - -", "Illegal board definition"},
      {"rnbqkbnr/pppppppp/9/8/8/8/PPPPPPPP/RNBQKBNR w - -", "Illegal board definition"},
      {std::string(100000, '8') + " w - -", "Illegal board definition"},
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNX w KQkq -", "Illegal character \"X\" in board definition"},
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBN\xFF w KQkq -", "Illegal character \"\xFF\" in board definition"},
      {"8/8/8/8/8/8/8/8 w - -", "Illegal number of Kings"},
      {"4k3/8/8/8/8/8/8/8 w - -", "Illegal number of Kings"},
      {"4k3/8/8/8/8/8/8/K3K3 w - -", "Too many Kings"},
      {"8/8/8/8/8/8/8/Kk6 w - -", "Kings are too close"},
      {"4k3/8/8/8/8/8/4R3/4K3 w - -", "Side not to move is in check"},
      {START + " W KQkq -", "Illegal side to move"},
      {START + " w KQkqK -", "Illegal castling rights"},
      {START + " w KX -", "Illegal castling rights"},
      {START + " w -K -", "Illegal castling rights"},
      {"4k3/8/8/8/8/8/8/4K3 w K -", "Illegal King or Rook positions according to castling rights"},
      // An en-passant square on the mover's first rank has no square behind it on the board.
      {START + " w KQkq a1 0 1", "Illegal en passant square"},
      {START + " b KQkq h8 0 1", "Illegal en passant square"},
      {START + " b KQkq e1 0 1", "Illegal en passant square"},
      {START + " w KQkq e6 0 1", "Illegal en passant square"},
  };
  Session session;
  for (const RefusedFen& c : refused) {
    session.Reply("position startpos moves e2e4");
    EXPECT_EQ(session.Reply("position fen " + c.Fen), "info setboard error " + c.Error + " in FEN " + c.Fen + "\n")
        << c.Fen.substr(0, 100);
    EXPECT_EQ(session.ShownFen(), START_SHOWN) << c.Fen.substr(0, 100);
    session.ExpectPlaysLegally();
  }
  // Eleven knights are more than a game can make of its pawns and two knights.
  std::string knights = "NNNNNNNN/NNN5/8/8/8/8/8/K6k w - -";
  EXPECT_EQ(session.Reply("position fen " + knights).rfind("info setboard error ", 0), 0u);
  EXPECT_EQ(session.ShownFen(), START_SHOWN);
  session.ExpectPlaysLegally();
  session.ExpectQuitsCleanly();
}

TEST(BadInputFens, ShortLongAndOddTextsThatAreAccepted) {
  Session session;
  const std::pair<std::string, std::string> accepted[] = {
      {START + " w KQkq", START_SHOWN},  // no en-passant field, no counters
      {START + " w KQkq - 5 9 and more fields 7 8", START + " w KQkq - 5 0"},
      {START + " w KQkq x9 x y", START + " w KQkq - 1 0"},  // no square name; counters read as 1
      {START + " w qkQK - 99999999999 -5", START + " w KQkq - 1 0"},
      {"NNNNNNNN/NN6/8/8/8/8/8/K6k w - -", "NNNNNNNN/NN6/8/8/8/8/8/K6k w - - 0 0"},  // ten knights
      {"4k3/8/8/8/8/8/8/4K2R w K -", "4k3/8/8/8/8/8/8/4K2R w K - 0 0"},
  };
  for (const auto& [fen, shown] : accepted) {
    EXPECT_EQ(session.Reply("position fen " + fen), "") << fen;
    EXPECT_EQ(session.ShownFen(), shown) << fen;
    EXPECT_NE(BestMove(session.Search("go depth 3")), "") << fen;
    session.ExpectPlaysLegally();
  }
  // No FEN at all changes nothing: the position of the last command stays.
  session.Reply("position startpos moves e2e4");
  session.Expect("position fen", "");
  EXPECT_EQ(session.ShownFen(), AFTER_E4_SHOWN);
  session.ExpectQuitsCleanly();
}

TEST(BadInputFens, NegativeMoveNumberKeepsTheClockBudget) {
  // A ply count below zero would put the square root of a negative number into the budget;
  // a 10-second clock must still give a search that lasts some milliseconds, not none.
  Session session;
  std::string output = session.Search("position fen " + START + " w KQkq - 0 -5\ngo wtime 10000 btime 10000");
  std::string last = output.substr(output.rfind("info depth "));
  int64_t time = std::stoll(last.substr(last.find(" time ") + 6));
  EXPECT_GT(time, 50) << last;
  session.ExpectQuitsCleanly();
}

TEST(BadInputMoves, LongMoveListsWithRepetitionsAndAnIllegalMove) {
  Session session;
  // 2,000 moves of knights out and back: the start position with 2,000 quiet plies behind it.
  session.Reply("position startpos moves" + KnightDance(500));
  EXPECT_EQ(session.ShownFen(), START + " w KQkq - 2000 0");
  std::string output = session.Search("go depth 1");
  EXPECT_EQ(StartMoves(true).count(BestMove(output)), 1u) << output;
  session.ExpectPlaysLegally();

  // An illegal move in the middle: the moves before it stand, it and all after it are dropped.
  session.Reply("position startpos moves" + KnightDance(250) + " e2e5 e2e4 e7e5" + KnightDance(249));
  EXPECT_EQ(session.ShownFen(), START + " w KQkq - 1000 0");
  session.Reply("position startpos moves e4 e5" + KnightDance(500) + " Nf3 Nc6 Bb5 a6 0-0");
  // "0-0" written with zeros is no castling.
  EXPECT_EQ(session.ShownFen(), "r1bqkbnr/1ppp1ppp/p1n5/1B2p3/4P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 0 0");
  output = session.Search("go depth 2");
  EXPECT_NE(BestMove(output), "") << output;
  session.ExpectPlaysLegally();
  session.ExpectQuitsCleanly();
}

TEST(BadInputOrder, HashResizedUpAndDownInTurn) {
  // The largest size in turn with the smallest is a slow test of its own; the steps between
  // other sizes free and make the table the same way.
  Session session;
  for (int cycle = 0; cycle < 5; ++cycle)
    session.Expect("setoption name Hash value 256\nsetoption name Hash value 16", "");
  EXPECT_EQ(session.Reply("uci"), UciWith(16, 1));
  std::string output = session.Search("position startpos\ngo depth 6");
  EXPECT_EQ(StartMoves(true).count(BestMove(output)), 1u) << output;
  session.ExpectPlaysLegally();
  session.ExpectQuitsCleanly();
}

TEST(BadInputOrder, CommandsOutOfTheirUsualOrder) {
  Session session;
  // A search before any position searches the start position.
  std::string output = session.Search("go depth 2");
  EXPECT_EQ(StartMoves(true).count(BestMove(output)), 1u) << output;
  Session fresh;
  EXPECT_EQ(fresh.Reply("stop"), "");  // no search to stop
  fresh.ExpectPlaysLegally();
  EXPECT_EQ(fresh.Reply("stop\nstop\nponderhit"), "");
  fresh.ExpectQuitsCleanly();

  // isready during an infinite search is answered at once; the search goes on until stop.
  Engine engine;
  engine.Send("position startpos\ngo infinite\n");
  engine.Drain(100);
  engine.Send("isready\n");
  ASSERT_TRUE(engine.WaitFor("readyok\n"));
  EXPECT_EQ(engine.Output().find("bestmove "), std::string::npos);
  engine.Send("stop\nstop\n");
  ASSERT_TRUE(engine.WaitFor("bestmove "));
  std::string searched = engine.TakeOutput();
  engine.Send("isready\n");
  ASSERT_TRUE(engine.WaitFor("readyok\n"));
  EXPECT_EQ(StartMoves(true).count(BestMove(searched)), 1u) << searched;
  engine.Send("quit\n");
  EXPECT_EQ(engine.Wait(), 0);
  session.ExpectQuitsCleanly();
}

// Runs a session in a directory whose Tavrin.ini holds the given bytes.
class SettingsDirectory {
 public:
  explicit SettingsDirectory(const std::string& ini) {
    char pattern[] = "/tmp/tavrin-bad-ini-XXXXXX";
    path_ = mkdtemp(pattern);
    std::ofstream(path_ + "/Tavrin.ini", std::ios::binary) << ini;
  }
  ~SettingsDirectory() { std::filesystem::remove_all(path_); }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

TEST(BadInputSettings, EveryKindOfBadLine) {
  std::string longKey(200000, 'K');
  std::string ini = std::string("FOO_BAR=12\n") +
                    "MOVE_OVERHEAD 40\n"  // no "=": a key with an empty value
                    "HASH_SIZE=\n"
                    "HASH_SIZE=32\r\n" +
                    "HASH_SIZE=4294967360\n"  // 2^32 + 64
                    "HASH_SIZE=" +
                    BEYOND_64_BITS + "\n" +
                    "HASH_SIZE=-64\n"
                    "HASH_SIZE=1e3\n"
                    "HA\xFFSH_SIZE=64\n" +
                    std::string("\x01\x02\x1F\n\0\0\n", 7) + "HASH_SIZE=" + std::string(100000, '6') + "\n" + longKey +
                    "=64\n"
                    "  # HASH_SIZE=2048\n"
                    "MOVE_OVERHEAD=77\n"
                    "MOVE_OVERHEAD=-1\n"
                    "MOVE_OVERHEAD=1001\n"
                    "MOVE_OVERHEAD=2147483647\n"
                    "TESTSUITE_ITERATIONS=\n"
                    "move_overhead = 0x20";  // the last line needs no line end; a later key wins
  SettingsDirectory directory(ini);
  Session session({.WorkingDirectory = directory.Path()});
  EXPECT_EQ(session.Reply("uci"),
            "Illegal ini null value for setting MOVE_OVERHEAD 40\n"
            "Illegal ini null value for setting HASH_SIZE\n"
            "Illegal ini null value for setting TESTSUITE_ITERATIONS\n" +
                UciWith(32, 32));
  session.ExpectPlaysLegally();
  session.ExpectQuitsCleanly();
}

TEST(BadInputSettings, ValuesThatAreNoNumbersReadAsZero) {
  // Zero lies in the range of the overhead and of the time before progress lines show, so a
  // value that is no number sets them to 0; below its range a value changes nothing.
  SettingsDirectory directory(std::string("MOVE_OVERHEAD=9\nMOVE_OVERHEAD=4294967297\n") +
                              "MIN_TIME_TO_SHOW_STATS=99999999999\nMIN_TIME_TO_SHOW_MOVE_STATS=-1\n"
                              "TESTSUITE_ITERATIONS=4294967298\nDEFAULT_MOVE_TIME=\xFF\n");
  Session session({.WorkingDirectory = directory.Path()});
  EXPECT_EQ(session.Reply("uci"), UciWith(128, 0));
  std::string output = session.Search("position startpos\ngo depth 3");
  EXPECT_NE(output.find("info depth 1 "), std::string::npos) << output;
  EXPECT_NE(output.find("info depth 2 "), std::string::npos) << output;
  EXPECT_EQ(output.find("currmove"), std::string::npos) << output;
  session.ExpectPlaysLegally();
  session.ExpectQuitsCleanly();
}

}  // namespace
