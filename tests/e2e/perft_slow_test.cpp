// The perft suite tool over the whole reference file, every line to its deepest given depth:
// one run of the tool per line, all in one engine session.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "e2e/harness.h"
#include "tools/perft_lines.h"

namespace {

TEST(PerftSuiteTool, EveryReferenceLineIsCountedExactlyToItsDeepestDepth) {
  char pattern[] = "/tmp/tavrin-perftdeep-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string dir = pattern;
  std::ifstream file(TAVRIN_DATA_DIR "/perft.epd");
  std::string input;
  int lines = 0;
  for (std::string line; std::getline(file, line);) {
    int depths = static_cast<int>(std::count(line.begin(), line.end(), ';'));
    if (depths == 0) continue;
    std::string name = "line" + std::to_string(++lines);
    std::ofstream(dir + "/" + name + ".epd") << line << "\n";
    // A mismatch would ask a question and take the next line as its answer: the count below fails.
    input += "perftsuite\n" + name + "\n" + std::to_string(depths) + "\n";
  }
  ASSERT_EQ(lines, 130);
  std::string out = RunEngine(input + "isready\n", {.WorkingDirectory = dir}, nullptr, 1800000);
  std::filesystem::remove_all(dir);
  size_t exact = 0;
  const std::string verdict = perft_lines::Box("1 positions analyzed, 1 counted exactly.");
  for (size_t at = out.find(verdict); at != std::string::npos; at = out.find(verdict, at + 1)) ++exact;
  EXPECT_EQ(exact, 130u);
  EXPECT_EQ(out.find("*WRONG!*"), std::string::npos);
  EXPECT_EQ(out.substr(out.size() - 8), "readyok\n");
}

}  // namespace
