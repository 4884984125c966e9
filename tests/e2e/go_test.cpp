// "go" as a chess interface sends it: depth, nodes, fixed and clock times, infinite with stop,
// isready and quit during a search, the roots without moves, mates, and the timed search of
// the command line.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "e2e/harness.h"

namespace {

// How far past its budget a search may run by its own clock: the budget is tested every 16383
// nodes, which a sanitizer build takes about ten times longer to search. The wall clock of a
// loaded machine adds more, so it gets a looser bound.
#ifdef TAVRIN_SANITIZED
constexpr int64_t OVERRUN_MS = 600;
#else
constexpr int64_t OVERRUN_MS = 150;
#endif
constexpr int64_t SLOW_MACHINE_MS = 1000;

constexpr const char* KIWIPETE = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";

// The value after a field name in an info line, or -1.
int64_t Field(const std::string& line, const std::string& name) {
  size_t at = line.find(" " + name + " ");
  return at == std::string::npos ? -1 : std::stoll(line.substr(at + name.size() + 2));
}

// The final info line (the one with the table's fill) and the bestmove line of one search.
struct SearchEnd {
  std::string Info;
  std::string BestMove;
};

SearchEnd LastSearch(const std::string& output) {
  SearchEnd end;
  for (const std::string& line : Lines(output)) {
    if (line.find(" hashfull ") != std::string::npos) end.Info = line;
    if (line.rfind("bestmove ", 0) == 0) end.BestMove = line.substr(9);
  }
  return end;
}

// Sends the lines and waits for the search's bestmove; returns the milliseconds it took.
int64_t TimeSearch(Engine& engine, const std::string& lines, int timeoutMs = 20000) {
  auto start = std::chrono::steady_clock::now();
  engine.Send(lines);
  EXPECT_TRUE(engine.WaitFor("bestmove ", timeoutMs)) << engine.Output();
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

TEST(GoDepth, EndsWithTheFinalInfoLineAndTheFirstMoveOfItsLine) {
  std::string output = RunEngine("position startpos\ngo depth 5\n");
  std::vector<std::string> lines = Lines(output);
  ASSERT_GE(lines.size(), 2u) << output;
  const std::string& info = lines[lines.size() - 2];
  EXPECT_EQ(info.rfind("info depth 5 seldepth ", 0), 0u) << info;
  for (const char* field : {" score cp ", " time ", " nodes ", " nps ", " hashfull ", " pv "})
    EXPECT_NE(info.find(field), std::string::npos) << field << " in " << info;
  std::string pv = info.substr(info.find(" pv ") + 4);
  EXPECT_EQ(lines.back(), "bestmove " + pv.substr(0, pv.find(' ')));
  // A quick search shows no progress lines before the final one.
  EXPECT_EQ(lines.size(), 2u) << output;
}

TEST(GoDepth, WordsInAnyCaseAndTheDepthCapped) {
  SearchEnd end = LastSearch(RunEngine("position startpos\nGO DEPTH 2\n"));
  EXPECT_EQ(Field(end.Info, "depth"), 2) << end.Info;
  EXPECT_FALSE(end.BestMove.empty());
}

TEST(GoDepth, NoSearchBelowOneOrWithoutANumber) {
  EXPECT_EQ(RunEngine("position startpos\ngo depth 0\ngo depth -3\ngo nodes x\ngo nodes 0\ngo depth\nisready\n"),
            "readyok\n");
}

TEST(GoDepth, EachSearchShowsItsOwnLines) {
  // The best line comes back to the position after d2d3 four plies later, scored as a draw
  // there: the line ends with that move, not with a move a sibling left behind.
  SearchEnd end = LastSearch(RunEngine("position fen 3k4/3pp3/8/8/8/8/3PP3/3K4 w - - 0 1\ngo depth 13\n"));
  EXPECT_EQ(end.Info.substr(end.Info.find(" pv ")), " pv e2e3 d8e8 d1e2 e8f7 e2f3 f7f6 d2d3 f6g5 f3e2 g5f6 e2f3 ");
  // A second identical search shows its depth-1 line too, though the first one ended with it.
  Engine engine;
  for (int search = 0; search < 2; ++search) {
    TimeSearch(engine, "position fen 6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1\ngo depth 3\n");
    std::vector<std::string> lines = Lines(engine.TakeOutput());
    ASSERT_EQ(lines.size(), 3u) << search;
    EXPECT_EQ(lines[0].find(" hashfull "), std::string::npos) << lines[0];
  }
}

TEST(GoNodes, StopsWithinOnePollIntervalOfTheBudget) {
  // 20000 AND 16383 = 3616 nodes between polls.
  for (int64_t budget : {20000, 5000}) {
    std::string output =
        RunEngine("position fen " + std::string(KIWIPETE) + "\ngo nodes " + std::to_string(budget) + "\n");
    SearchEnd end = LastSearch(output);
    int64_t nodes = Field(end.Info, "nodes");
    EXPECT_GE(nodes, budget) << end.Info;
    EXPECT_LT(nodes, budget + (budget & 16383)) << end.Info;
    EXPECT_FALSE(end.BestMove.empty());
  }
}

TEST(GoNodes, TheSameSearchTwiceCountsTheSameNodes) {
  std::string search = "ucinewgame\nposition fen " + std::string(KIWIPETE) + "\ngo depth 9\n";
  Engine engine;
  TimeSearch(engine, search);
  SearchEnd first = LastSearch(engine.TakeOutput());
  TimeSearch(engine, search);
  SearchEnd second = LastSearch(engine.TakeOutput());
  EXPECT_EQ(Field(first.Info, "nodes"), Field(second.Info, "nodes"));
  EXPECT_EQ(first.BestMove, second.BestMove);
  // And in a process of its own.
  SearchEnd third = LastSearch(RunEngine(search));
  EXPECT_EQ(Field(first.Info, "nodes"), Field(third.Info, "nodes"));
}

TEST(GoNodes, StoppedBeforeAnyRootMoveFinishedShowsTheMovePlayedAndItsScore) {
  // Re2+ is searched one ply deeper, and that node's poll spends the budget: no root move has a
  // score. The line is Rxe2, worth a rook more than nothing after it, not a mate.
  SearchEnd end = LastSearch(RunEngine("position fen 4k3/8/8/8/8/8/4q3/4R1K1 w - - 0 1\ngo nodes 1\n"));
  EXPECT_GT(Field(end.Info, "cp"), 0) << end.Info;
  EXPECT_EQ(end.Info.substr(end.Info.find(" pv ")), " pv e1e2 ");
  EXPECT_EQ(end.BestMove, "e1e2");
}

TEST(GoNodes, TheLineBehindAStoppedSearchIsTheNextCommand) {
  // The budget stops the search at its first poll; the position line waiting there is left
  // for the command loop, so the next search is of that position.
  std::string output =
      RunEngine("position startpos\ngo nodes 1\nposition fen 6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1\ngo depth 1\n");
  EXPECT_EQ(LastSearch(output).BestMove, "a1a8") << output;
}

TEST(GoMovetime, AnswersWithinTheTimeAndIgnoresTheDepth) {
  Engine engine;
  int64_t ms = TimeSearch(engine, "position startpos\ngo movetime 300 depth 1\n");
  SearchEnd end = LastSearch(engine.Output());
  EXPECT_GE(Field(end.Info, "time"), 300) << end.Info;
  EXPECT_GT(Field(end.Info, "depth"), 1) << end.Info;
  EXPECT_LT(Field(end.Info, "time"), 300 + OVERRUN_MS) << end.Info;
  EXPECT_LT(ms, 300 + SLOW_MACHINE_MS);
}

TEST(GoClock, BudgetsFromTheMoversClock) {
  // White at ply 2 with 1000 ms: the budget is 16 ms.
  Engine engine;
  int64_t ms = TimeSearch(engine, "position startpos\ngo wtime 1000 btime 1000\n");
  SearchEnd end = LastSearch(engine.TakeOutput());
  EXPECT_GE(Field(end.Info, "time"), 16) << end.Info;
  EXPECT_LT(Field(end.Info, "time"), 16 + OVERRUN_MS) << end.Info;
  EXPECT_LT(ms, 16 + SLOW_MACHINE_MS);
  // Black at ply 3 with 30000 ms and no increment: timeLeft 29948, 533 ms.
  ms = TimeSearch(engine, "position startpos moves e2e4\ngo wtime 60000 btime 30000 winc 0 binc 0\n");
  end = LastSearch(engine.TakeOutput());
  EXPECT_GE(Field(end.Info, "time"), 533) << end.Info;
  EXPECT_LT(Field(end.Info, "time"), 533 + OVERRUN_MS) << end.Info;
  EXPECT_LT(ms, 533 + SLOW_MACHINE_MS);
}

TEST(GoClock, NoTimeMeansTheFirstPoll) {
  // movetime 0 counts as absent, and no clock gives a budget of 0.
  for (const char* go : {"go movetime 0\n", "go ponder\n", "go wtime 0 btime 0\n"}) {
    Engine engine;
    int64_t ms = TimeSearch(engine, std::string("position fen ") + KIWIPETE + "\n" + go);
    SearchEnd end = LastSearch(engine.Output());
    EXPECT_LT(Field(end.Info, "nodes"), 2 * 16383) << go << end.Info;
    EXPECT_LT(ms, SLOW_MACHINE_MS) << go;
  }
}

TEST(GoInfinite, IsreadyIsAnsweredAtOnceAndStopEndsIt) {
  Engine engine;
  engine.Send("position startpos\ngo infinite\n");
  engine.Drain(300);
  engine.Send("isready\n");
  auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(engine.WaitFor("readyok\n", 5000));
  auto answer = std::chrono::steady_clock::now() - start;
  // The search itself would never end: any answer at all came from inside it.
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(answer).count(), SLOW_MACHINE_MS);
  EXPECT_EQ(engine.Output().find("bestmove"), std::string::npos);
  // Other commands are read and dropped while it runs.
  engine.Send("position fen 8/8/8/8/8/8/8/K6k w - - 0 1\ngo depth 1\n");
  engine.Drain(100);
  engine.Send("stop\n");
  ASSERT_TRUE(engine.WaitFor("bestmove ", 2000));
  engine.Drain(200);
  std::string output = engine.TakeOutput();
  std::vector<std::string> lines = Lines(output);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines.back().rfind("bestmove ", 0), 0u);
  EXPECT_NE(lines[lines.size() - 2].find(" hashfull "), std::string::npos) << output;
  EXPECT_NE(lines[lines.size() - 2].find(" pv "), std::string::npos);
  EXPECT_EQ(output.find("bestmove"), output.rfind("bestmove"));
  // The engine takes commands again.
  engine.Send("isready\n");
  EXPECT_TRUE(engine.WaitFor("readyok\n", 2000));
  EXPECT_EQ(engine.Output(), "readyok\n");
}

TEST(GoInfinite, GoWithoutWordsIsInfinite) {
  Engine engine;
  engine.Send("position startpos\ngo\n");
  engine.Drain(300);
  EXPECT_EQ(engine.Output().find("bestmove"), std::string::npos);
  engine.Send("STOP\n");
  EXPECT_TRUE(engine.WaitFor("bestmove ", 2000));
}

TEST(GoInfinite, ASearchThatEndsByItselfIsAnsweredOnStop) {
  // A mate in one ends the deepening, one legal move the first poll; plain "go" is infinite too.
  for (auto [go, bestmove] : {std::pair{"position fen 6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\ngo infinite\n", "d1d8"},
                              std::pair{"position fen 7k/8/8/8/8/8/6P1/1r5K w - - 0 1\ngo\n", "h1h2"}}) {
    Engine engine;
    engine.Send(go);
    engine.Drain(300);
    engine.Send("isready\n");
    ASSERT_TRUE(engine.WaitFor("readyok\n", 2000)) << go;
    EXPECT_EQ(engine.Output().find(" hashfull "), std::string::npos) << engine.Output();
    EXPECT_EQ(engine.Output().find("bestmove"), std::string::npos) << engine.Output();
    engine.TakeOutput();
    engine.Send("stop\n");
    ASSERT_TRUE(engine.WaitFor("bestmove ", 2000)) << go;
    engine.Drain(50);
    std::vector<std::string> lines = Lines(engine.Output());
    ASSERT_EQ(lines.size(), 2u) << engine.Output();
    EXPECT_NE(lines[0].find(" hashfull "), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1], std::string("bestmove ") + bestmove);
  }
  // When input ends no "stop" can come: the answer is given, and the program ends.
  std::string output = RunEngine("position fen 6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1\ngo infinite\n");
  EXPECT_EQ(LastSearch(output).BestMove, "d1d8") << output;
}

TEST(GoInfinite, QuitEndsTheProcessWithoutABestMove) {
  for (const char* quit : {"quit\n", "Q\n"}) {
    Engine engine;
    engine.Send("position startpos\ngo infinite\n");
    engine.Drain(200);
    engine.Send(quit);
    EXPECT_EQ(engine.Wait(3000), 0);
    EXPECT_EQ(engine.Output().find("bestmove"), std::string::npos) << engine.Output();
  }
}

TEST(GoInfinite, EndOfInputDoesNotEndASearch) {
  Engine engine;
  engine.Send("position startpos\ngo movetime 400\n");
  engine.CloseInput();
  EXPECT_EQ(engine.Wait(5000), 0);
  SearchEnd end = LastSearch(engine.Output());
  EXPECT_GE(Field(end.Info, "time"), 400) << engine.Output();
  EXPECT_FALSE(end.BestMove.empty());
}

TEST(GoRoots, CheckmatedAndStalematedRootsPrintOnlyTheirVerdict) {
  EXPECT_EQ(RunEngine("position fen R5k1/5ppp/8/8/8/8/8/6K1 b - - 0 1\ngo depth 5\n"),
            "info depth 0 score mate 0\r\nbestmove (none)\n");
  EXPECT_EQ(RunEngine("position fen 7k/5Q2/6K1/8/8/8/8/8 b - - 0 1\ngo infinite\n"),
            "info depth 0 score cp 0\r\nbestmove (none)\n");
}

TEST(GoRoots, ASingleLegalMoveIsPlayedAtOnce) {
  Engine engine;
  int64_t ms = TimeSearch(engine, "position fen 7k/8/8/8/8/8/6P1/1r5K w - - 0 1\ngo wtime 60000 btime 60000\n");
  EXPECT_EQ(LastSearch(engine.Output()).BestMove, "h1h2");
  EXPECT_LT(ms, SLOW_MACHINE_MS);
}

TEST(GoMates, MateInOneIsShownAndEndsTheSearch) {
  Engine engine;
  int64_t ms = TimeSearch(engine, "position fen 6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1\ngo movetime 60000\n");
  EXPECT_LT(ms, SLOW_MACHINE_MS);
  engine.Drain(50);
  std::vector<std::string> lines = Lines(engine.Output());
  ASSERT_EQ(lines.size(), 3u) << engine.Output();
  EXPECT_EQ(lines[0].rfind("info depth 1 seldepth ", 0), 0u);
  EXPECT_NE(lines[0].find(" score mate 1 time "), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find(" score mate 1 time "), std::string::npos) << lines[1];
  EXPECT_NE(lines[1].find(" hashfull "), std::string::npos) << lines[1];
  EXPECT_EQ(lines[2], "bestmove a1a8");
}

TEST(TimedSearch, SearchesTheGivenSecondsAndExits) {
  auto start = std::chrono::steady_clock::now();
  int code = -2;
  std::string output = RunEngine("", {.Args = {"go", "1"}}, &code);
  int64_t ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(code, 0);
  SearchEnd end = LastSearch(output);
  EXPECT_GE(Field(end.Info, "time"), 1000) << output;
  EXPECT_LT(Field(end.Info, "time"), 1000 + OVERRUN_MS) << end.Info;
  EXPECT_LT(ms, 1000 + SLOW_MACHINE_MS);
  EXPECT_FALSE(end.BestMove.empty());
}

TEST(TimedSearch, SearchesTheFenOfTheArguments) {
  int code = -2;
  std::string output = RunEngine("", {.Args = {"GO", "x", "6k1/5ppp/8/8/8/8/8/R5K1", "w", "-", "-", "0", "1"}}, &code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(LastSearch(output).BestMove, "a1a8") << output;
}

}  // namespace
