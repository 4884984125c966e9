// Whole searches in the process: mates found, scored and reported, and the early ends of the
// deepening they cause.
#include <string>
#include <vector>

#include "console/capture.h"
#include "search/search_setup.h"

namespace {

class MateTest : public SearchTest {
 protected:
  // A search to the given depth from a fresh table and fresh histories; returns its output.
  static std::string Search(std::string_view fen, int32_t depth) {
    SetUpBoard(fen);
    TTClear();
    TranspositionTable.Generation = 0;
    ClearHistory();
    // As in a fresh program: no earlier info line to compare with.
    SearchState.LastInfoDepth = SearchState.LastInfoMove = SearchState.LastInfoScore = 0;
    ResetSearchLimits(500000000);
    SearchLimits.MaxDepth = depth;
    return CaptureOutput(Think);
  }

  static std::vector<std::string> InfoLines(const std::string& output) {
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = output.find('\n', start)) != std::string::npos; start = end + 1)
      if (output.compare(start, 11, "info depth ") == 0) lines.push_back(output.substr(start, end - start));
    return lines;
  }

  static std::string Field(const std::string& line, const std::string& name) {
    size_t at = line.find(" " + name + " ");
    if (at == std::string::npos) return "";
    at += name.size() + 2;
    return line.substr(at, line.find(' ', at) - at);
  }
};

TEST_F(MateTest, MateInOneEndsTheSearchAfterTheLineShowingIt) {
  std::string output = Search("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", 30);
  EXPECT_EQ(MoveText(SearchState.BestMove), "a1a8");
  EXPECT_EQ(SearchState.BestScore, SCORE_MATE - 2);
  EXPECT_EQ(SearchState.IterationDepth, 1);
  std::vector<std::string> lines = InfoLines(output);
  ASSERT_EQ(lines.size(), 2u) << output;
  EXPECT_EQ(lines[0].rfind("info depth 1 seldepth ", 0), 0u);
  EXPECT_NE(lines[0].find(" score mate 1 time "), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find(" hashfull "), std::string::npos) << lines[1];
  EXPECT_EQ(output.substr(output.size() - 14), "bestmove a1a8\n");
}

// Two rooks against a king: a rook cuts off the seventh rank, the other mates on the eighth.
TEST_F(MateTest, MateInTwoEndsAfterTheIterationThatFindsIt) {
  std::string output = Search("4k3/8/8/8/8/8/1R6/R3K3 w - - 0 1", 30);
  std::string best = MoveText(SearchState.BestMove);
  EXPECT_TRUE(best == "a1a7" || best == "b2b7") << best;
  EXPECT_EQ(SearchState.BestScore, SCORE_MATE - 4);
  std::vector<std::string> lines = InfoLines(output);
  ASSERT_GE(lines.size(), 2u) << output;
  const std::string& last = lines[lines.size() - 2];
  EXPECT_NE(last.find(" score mate 2 "), std::string::npos) << output;
  EXPECT_EQ(Field(last, "depth"), std::to_string(SearchState.IterationDepth));
  EXPECT_LT(SearchState.IterationDepth, 10);
  // Every line before it shows a shorter depth or no mate yet.
  for (size_t i = 0; i + 2 < lines.size(); ++i)
    EXPECT_TRUE(lines[i].find(" score mate 2 ") == std::string::npos ||
                Field(lines[i], "depth") == Field(last, "depth"))
        << lines[i];
}

TEST_F(MateTest, MatedInOneEndsTheSearch) {
  Search("4k3/R7/8/8/8/8/1R6/4K3 b - - 0 1", 30);
  EXPECT_EQ(SearchState.BestScore, -(SCORE_MATE - 3));
  EXPECT_LT(SearchState.IterationDepth, 5);
}

}  // namespace
