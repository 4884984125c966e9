// The transposition table made at its largest and smallest size in turn, then searched with.
#include <gtest/gtest.h>

#include <string>

#include "e2e/harness.h"

namespace {

TEST(BadInputSlow, HashResizedToTheLargestAndSmallestSizeInTurn) {
  Engine engine;
  for (int cycle = 0; cycle < 5; ++cycle) {
    engine.Send("setoption name Hash value 2048\nsetoption name Hash value 16\nisready\n");
    ASSERT_TRUE(engine.WaitFor("readyok\n", 120000)) << "cycle " << cycle;
    EXPECT_EQ(engine.TakeOutput(), "readyok\n");
  }
  engine.Send("uci\nposition startpos moves e2e4\ngo depth 6\n");
  ASSERT_TRUE(engine.WaitFor("bestmove ", 60000)) << engine.Output();
  EXPECT_NE(engine.Output().find("option name Hash type spin default 16 min 16 max 2048\n"), std::string::npos);
  engine.Send("quit\n");
  EXPECT_EQ(engine.Wait(), 0);
}

}  // namespace
