// Longer searches: a game against itself on the clock, and the fixed-time forms of "go".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/harness.h"

namespace {

std::string FinalInfo(const std::string& output) {
  std::string info;
  for (const std::string& line : Lines(output))
    if (line.find(" hashfull ") != std::string::npos) info = line;
  return info;
}

int64_t Field(const std::string& line, const std::string& name) {
  size_t at = line.find(" " + name + " ");
  return at == std::string::npos ? -1 : std::stoll(line.substr(at + name.size() + 2));
}

std::string BestMove(const std::string& output) {
  size_t at = output.rfind("bestmove ");
  return at == std::string::npos ? "" : output.substr(at + 9, output.find('\n', at) - at - 9);
}

// Thirty moves of sudden death with an increment: no move overruns its share of the clock, and
// the clock never runs out.
TEST(GoClockGame, ThirtyMovesNeverOverstepTheClock) {
  Engine engine;
  int64_t clock[2] = {6000, 6000};
  constexpr int64_t increment = 100;
  std::vector<std::string> moves;
  for (int ply = 0; ply < 60; ++ply) {
    std::string position = "position startpos";
    if (!moves.empty()) {
      position += " moves";
      for (const std::string& move : moves) position += " " + move;
    }
    engine.Send(position + "\ngo wtime " + std::to_string(clock[0]) + " btime " + std::to_string(clock[1]) + " winc " +
                std::to_string(increment) + " binc " + std::to_string(increment) + "\n");
    ASSERT_TRUE(engine.WaitFor("bestmove ", 20000)) << engine.Output();
    std::string output = engine.TakeOutput();
    std::string best = BestMove(output);
    if (best == "(none)") break;
    int64_t used = Field(FinalInfo(output), "time");
    int side = ply % 2;
    // Without movestogo a move plans for at most a fifth of the clock; the budget is tested
    // every 16383 nodes.
    EXPECT_LT(used, clock[side] / 5 + 150) << "ply " << ply << ": " << FinalInfo(output);
    clock[side] += increment - used;
    ASSERT_GT(clock[side], 0) << "ply " << ply;
    moves.push_back(best);
  }
  EXPECT_GE(moves.size(), 20u);
}

TEST(GoMovetime, AFullSecondIgnoresTheDepthWord) {
  std::string output = RunEngine("position startpos\ngo movetime 1000 depth 3\n");
  std::string info = FinalInfo(output);
  EXPECT_GE(Field(info, "time"), 1000) << info;
  EXPECT_GT(Field(info, "depth"), 3) << info;
  EXPECT_FALSE(BestMove(output).empty());
}

TEST(GoMovestogo, TheLastMoveBeforeTheControlMayUseMostOfTheClock) {
  // movestogo 1 with 2000 ms: timeLeft 1997, optScale min(2/128 + 0.8, 1600/1997), 1600 ms.
  std::string output = RunEngine("position startpos\ngo wtime 2000 btime 2000 movestogo 1\n");
  std::string info = FinalInfo(output);
  EXPECT_GE(Field(info, "time"), 1100) << info;
  EXPECT_LT(Field(info, "time"), 1600 + 150) << info;
}

}  // namespace
