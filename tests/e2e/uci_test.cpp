// The UCI handshake and the input rules of the command loop, end to end.
#include <gtest/gtest.h>

#include <unistd.h>

#include "e2e/harness.h"

namespace {

const std::string UciReply =
    "id name Tavrin dev_20240807b\n"
    "id author Nemisor\n"
    "option name Hash type spin default 128 min 16 max 2048\n"
    "option name MoveOverhead type spin default 1 min 0 max 1000\n"
    "uciok\n";

std::string UciReplyWith(int hash, int overhead) {
  return "id name Tavrin dev_20240807b\nid author Nemisor\n"
         "option name Hash type spin default " +
         std::to_string(hash) +
         " min 16 max 2048\n"
         "option name MoveOverhead type spin default " +
         std::to_string(overhead) + " min 0 max 1000\nuciok\n";
}

TEST(UciHandshake, PrintsExactlyTheIdentificationAndReadyok) {
  int code = -2;
  EXPECT_EQ(RunEngine("uci\nisready\nquit\n", {}, &code), UciReply + "readyok\n");
  EXPECT_EQ(code, 0);
}

TEST(UciHandshake, OptionLinesShowCurrentValues) {
  EXPECT_EQ(RunEngine("setoption name Hash value 100\nsetoption name MoveOverhead value 0\nuci\n"),
            UciReplyWith(64, 0));
  EXPECT_EQ(RunEngine("setoption name hash value 2048\nuci\n"), UciReplyWith(2048, 1));
  EXPECT_EQ(RunEngine("SETOPTION NAME HASH VALUE 16\nuci\n"), UciReplyWith(16, 1));
}

TEST(UciHandshake, OutOfRangeAndMalformedOptionsChangeNothing) {
  const char* lines[] = {
      "setoption name Hash value 15",
      "setoption name Hash value 4096",
      "setoption name Hash value -64",
      "setoption name Hash value 99999999999",
      "setoption name Hash value x",
      "setoption name MoveOverhead value 1001",
      "setoption name MoveOverhead value -1",
      "setoption name MoveOverhead 5",
      "setoption Hash value 64",
      "setoption name Threads value 4",
      "setoption name Move Overhead value 7",
  };
  for (const char* line : lines) EXPECT_EQ(RunEngine(std::string(line) + "\nuci\n"), UciReply) << line;
}

TEST(UciHandshake, HexadecimalOptionValues) {
  EXPECT_EQ(RunEngine("setoption name Hash value $20\nsetoption name MoveOverhead value 0x0A\nuci\n"),
            UciReplyWith(32, 10));
}

TEST(CommandLoop, UnknownCommandsAndEmptyLinesPrintNothing) {
  EXPECT_EQ(RunEngine("\n   \nstop\ndebug on\nponderhit\nregister later\nperf 3\nZ\nquit now\n"
                      "uci\tnow\nisready\n"),
            "readyok\n");
}

TEST(CommandLoop, CommandWordsIgnoreCaseAndExtraWords) {
  EXPECT_EQ(RunEngine("ISREADY\nIsReady now\n  isready  \n"), "readyok\nreadyok\nreadyok\n");
}

TEST(CommandLoop, TabInsideTheFirstWordMakesItUnrecognised) {
  EXPECT_EQ(RunEngine("is\tready\n\tisready\t\n"), "readyok\n");
}

TEST(CommandLoop, QuitInAnyCaseEndsButQuitNowDoesNot) {
  int code = -2;
  EXPECT_EQ(RunEngine("QUIT\nisready\n", {}, &code), "");
  EXPECT_EQ(code, 0);
  EXPECT_EQ(RunEngine("q\nisready\n"), "");
  EXPECT_EQ(RunEngine("quit now\nisready\n"), "readyok\n");
}

TEST(CommandLoop, TwoCommandsInOneWriteAreHandledInOrder) {
  Engine engine;
  engine.Send("isready\nuci\n");
  ASSERT_TRUE(engine.WaitFor("uciok\n"));
  EXPECT_EQ(engine.Output(), "readyok\n" + UciReply);
}

TEST(CommandLoop, SplitLineWaitsForItsEnd) {
  Engine engine;
  engine.Send("isre");
  engine.Drain(150);
  EXPECT_EQ(engine.Output(), "");
  engine.Send("ady\n");
  EXPECT_TRUE(engine.WaitFor("readyok\n"));
  EXPECT_EQ(engine.Output(), "readyok\n");
}

TEST(CommandLoop, CrLfLineEndsYieldTheCommandThenAnEmptyLine) {
  EXPECT_EQ(RunEngine("isready\r\nisready\r\nquit\r\nisready\r\n"), "readyok\nreadyok\n");
}

TEST(CommandLoop, ClosedInputEndsWithExitCodeZero) {
  int code = -2;
  EXPECT_EQ(RunEngine("", {}, &code), "");
  EXPECT_EQ(code, 0);
  EXPECT_EQ(RunEngine("isready", {}, &code), "readyok\n");  // the last line needs no line end
  EXPECT_EQ(code, 0);
}

TEST(CommandLoop, IdleLoopWaitsWithoutOutputUntilQuit) {
  Engine engine;
  engine.Drain(100);
  EXPECT_EQ(engine.Output(), "");
  engine.Send("quit\n");
  EXPECT_EQ(engine.Wait(), 0);
}

TEST(CommandLoop, LongLinesAndBinaryBytesAreSafe) {
  std::string longLine(20000, 'a');
  std::string huge(1200000, 'b');  // beyond the longest line kept: dropped whole
  std::string input = longLine + "\n" + huge + "\n" + std::string("isr\0eady\n", 9) + "\xff\xfe\n" + "isready\n";
  EXPECT_EQ(RunEngine(input), "readyok\n");
}

TEST(CommandLoop, ManyLinesInOneBlockAreAllAnswered) {
  std::string input;
  for (int i = 0; i < 1000; ++i) input += "isready\n";
  std::string expected;
  for (int i = 0; i < 1000; ++i) expected += "readyok\n";
  EXPECT_EQ(RunEngine(input), expected);
}

}  // namespace
