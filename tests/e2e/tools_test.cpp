// The EPD test suite and evaluation suite through the binary, the prompts answered through the
// pipe, on files written into the engine's working directory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "e2e/harness.h"
#include "tools/perft_lines.h"

namespace {

using perft_lines::Box;
using perft_lines::H;
using perft_lines::Right;
using perft_lines::V;

std::string Left(const std::string& text, size_t width) {
  return text + std::string(width > text.size() ? width - text.size() : 0, ' ');
}

const std::string BackRank = "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -";  // Rd8# mates at once
const std::string QueenMate = "k7/8/1K6/8/8/8/8/2Q5 w - -";        // Qc8# mates at once

const std::string FilePrompt = "\r\nTest Suite EPD filename (.epd is optional) or <ENTER> to abort: ";
const std::string SecondsPrompt = "\r\nSeconds per position (1-3600), <ENTER> to abort: ";

// A working directory of its own holding the given files.
class EpdFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tavrin-epd-XXXXXX";
    directory_ = mkdtemp(pattern);
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }

  void Write(const std::string& name, const std::vector<std::string>& lines) {
    std::ofstream file(directory_ + "/" + name);
    for (const std::string& line : lines) file << line << "\n";
  }

  std::string Run(const std::string& input) {
    return RunEngine(input, {.WorkingDirectory = directory_}, nullptr, 60000);
  }

  std::string directory_;
};

// The title table of one test position: one right-aligned column holding the FEN under a
// title that is wider than it.
std::string PositionTable(const std::string& title, const std::string& fen) {
  size_t columns = fen.size() + 4;
  size_t width = title.size() + 4;
  return "\xDA" + H(static_cast<int>(width - 2)) + "\xBF\n" + V + " " + title + " " + V + "\n" + "\xC3" +
         H(static_cast<int>(columns - 2)) + "\xC2" + H(static_cast<int>(width - columns - 1)) + "\xD9\n" + V + " " +
         fen + " " + V + "\r\n" + "\xC0" + H(static_cast<int>(columns - 2)) + "\xD9\n";
}

// The board and Stats that "setboard" shows for a FEN.
std::string BoardOf(const std::string& fen) { return RunEngine("setboard " + fen + "\n"); }

// Checks that the parts appear in output in this order; returns where the last one ends.
size_t ExpectInOrder(const std::string& output, const std::vector<std::string>& parts) {
  size_t at = 0;
  for (const std::string& part : parts) {
    size_t found = output.find(part, at);
    EXPECT_NE(found, std::string::npos) << "missing after byte " << at << ":\n" << part;
    if (found == std::string::npos) return at;
    at = found + part.size();
  }
  return at;
}

TEST_F(EpdFiles, TestSuiteSolvesMatesSkipsBadSolutionsAndListsTheFailures) {
  const std::string unsolvable = BackRank + " bm Kf1; id \"unsolvable, and its id is long enough to be cut short\";";
  Write("mates.epd", {BackRank + " bm Rd8#; id \"back rank\";", QueenMate + " bm c1c8; id \"coordinates\";",
                      BackRank + " bm Qh8 Rd8; id \"no valid solution\";", "", unsolvable});
  // A missing file asks again; the extension may be left out; 0 seconds asks again.
  std::string output = Run("testsuite\nnothere\nmates\n0\n1\nisready\n");

  std::string failedTitle = "TestSuite position #4: bm Kf1; id \"unsolvable, and its id is long enough t";
  ASSERT_EQ(failedTitle.size(), 74u);
  size_t end = ExpectInOrder(
      output,
      {FilePrompt + "\r\nError: file \"nothere.epd\" not found.\n" + FilePrompt + SecondsPrompt + SecondsPrompt +
           PositionTable("TestSuite position #1: bm Rd8#; id \"back rank\";", BackRank) + BoardOf(BackRank),
       "bestmove d1d8\n\r\n", V + " Solved: 1/1 Nodes: ",
       PositionTable("TestSuite position #2: bm c1c8; id \"coordinates\";", QueenMate) + BoardOf(QueenMate),
       "bestmove c1c8\n\r\n", V + " Solved: 2/2 Nodes: ",
       PositionTable("TestSuite position #3: bm Qh8 Rd8; id \"no valid solution\";", BackRank) + BoardOf(BackRank) +
           // Solutions are matched exactly: Rd8 without its mate sign names no move.
           Box("Warning: Qh8 is not a valid solution") + Box("Warning: Rd8 is not a valid solution") +
           Box("No valid solutions, position skipped"),
       PositionTable(failedTitle, BackRank) + BoardOf(BackRank), "bestmove d1d8\n\r\n" + Box("NOT SOLVED!"),
       V + " Solved: 2/4 Nodes: "});

  // Both mates took well under half a second.
  std::string byTime = "\xDA" + H(22) + "\xBF\n" + V + " Tests solved by time " + V + "\n" + "\xC3" + H(10) + "\xC2" +
                       H(3) + "\xC2" + H(7) + "\xD9\n";
  for (int k = 0; k <= 10; ++k)
    byTime += V + " " + Left(std::to_string(k) + " Secs ", 9) + V + " " + (k == 0 ? "2" : "0") + " " + V + "\r\n";
  byTime += V + " >10 Secs " + V + " 0 " + V + "\r\n" + "\xC0" + H(10) + "\xC1" + H(3) + "\xD9\n";
  std::string failedLine = unsolvable.substr(0, 74);
  std::string failed = "\xDA" + H(76) + "\xBF\n" + V + " " + Left("Failed tests", 75) + V + "\n" + "\xC3" + H(76) +
                       "\xB4\n" + V + " " + failedLine + " " + V + "\r\n" + "\xC0" + H(76) + "\xD9\n";
  // The summary box's line ends, then the two tables, then the command loop goes on.
  size_t summaryEnd = output.find("\n", output.find("\n", end) + 1) + 1;
  EXPECT_EQ(output.substr(summaryEnd), byTime + failed + "readyok\n");
}

TEST_F(EpdFiles, TestSuiteEndsAtAnEmptyAnswer) {
  Write("mates.epd", {BackRank + " bm Rd8#;"});
  EXPECT_EQ(Run("t\n\nisready\n"), FilePrompt + "readyok\n");
  // Names keep their letter case; an extension in any case is not added again.
  EXPECT_EQ(Run("t\nMATES\nmates.EPD\n\nisready\n"), FilePrompt + "\r\nError: file \"MATES.epd\" not found.\n" +
                                                         FilePrompt + "\r\nError: file \"mates.EPD\" not found.\n" +
                                                         FilePrompt + "readyok\n");
}

TEST_F(EpdFiles, TestSuiteWithoutAnySolutionShowsOnlyTheTimeTable) {
  Write("none.epd", {BackRank + " bm Qd8;"});
  std::string output = Run("testsuite\nnone.epd\n1\n");
  std::string tail = Box("Warning: Qd8 is not a valid solution") + Box("No valid solutions, position skipped") +
                     "\xDA" + H(22) + "\xBF\n";
  EXPECT_NE(output.find(tail), std::string::npos);
  EXPECT_EQ(output.find("Failed tests"), std::string::npos);
  EXPECT_EQ(output.find("bestmove"), std::string::npos);
}

TEST_F(EpdFiles, EvalSuiteShowsEachPositionUntilQ) {
  const std::string second = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -";
  Write("evals.epd", {BackRank, second, QueenMate});
  const std::string prompt = "\r\nEvaluation Suite EPD filename (.epd is optional) or <ENTER> to abort: ";
  const std::string question = Box("Press <Enter> (Q to finish)");
  EXPECT_EQ(Run("valsuite\nevals\n\nq\nisready\n"),
            prompt + BoardOf(BackRank) + question + BoardOf(second) + question + "readyok\n");
  // To the end of the file without a Q.
  EXPECT_EQ(Run("v\nevals.epd\n\n\n\nisready\n"), prompt + BoardOf(BackRank) + question + BoardOf(second) + question +
                                                      BoardOf(QueenMate) + question + "readyok\n");
}

}  // namespace
