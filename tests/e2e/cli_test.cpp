// The command-line modes chosen from the arguments.
#include <gtest/gtest.h>

#include "e2e/harness.h"

namespace {

std::string Usage() {
  return std::string("Usage: \"") + TAVRIN_BINARY +
         "\" [command]\r\n"
         "Commands: b[ench] \r\n"
         "          go <seconds> [fen]\r\n"
         "          p[erft] <depth> [fen]\r\n"
         "          v[iew] <fen>\r\n"
         "Without a command, Tavrin starts in console/UCI mode.\r\n";
}

TEST(CommandLine, QuestionMarkPrintsTheSixUsageLines) {
  int code = -2;
  EXPECT_EQ(RunEngine("isready\n", {.Args = {"?"}}, &code), Usage());
  EXPECT_EQ(code, 0);
}

TEST(CommandLine, KeywordsWithoutTheirArgumentsStartTheCommandLoop) {
  for (auto args : std::vector<std::vector<std::string>>{
           {}, {"b", "x"}, {"perft"}, {"go"}, {"view"}, {"?", "x"}, {"bogus"}, {"PERFTX", "3"}}) {
    EXPECT_EQ(RunEngine("isready\nquit\n", {.Args = args}), "readyok\n") << ::testing::PrintToString(args);
  }
}

}  // namespace
