// The EPD suites' line readers: the FEN and expected counts of a perft-suite line, the parts of
// a test-suite line and the solutions it names.
#include <gtest/gtest.h>

#include <string>

#include "board/board.h"
#include "board/board_setup.h"
#include "console/capture.h"
#include "tools/perft.h"
#include "tools/testsuite.h"

namespace {

const std::string KiwipeteFen = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";
const std::string StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

class EpdLineTest : public BoardTest {};

// Counts from the reference suite: 48, 2,039 and 97,862 leaves at depths 1 to 3.
TEST_F(EpdLineTest, PerftLineGivesItsFenAndTheCountsUpToTheMaximumDepth) {
  std::string fen;
  CaptureOutput([&] { fen = ReadPerftSuiteLine(KiwipeteFen + " ;D1 48 ;D2 2039 ;D3 97862", 2); });
  EXPECT_EQ(fen, KiwipeteFen);
  EXPECT_EQ(WriteFen(), "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 0");
  EXPECT_EQ(PerftExpected[1], 48);
  EXPECT_EQ(PerftExpected[2], 2039);
  EXPECT_EQ(PerftExpected[3], 0) << "beyond the maximum depth";
  EXPECT_EQ(Perft(1), 48u);
}

TEST_F(EpdLineTest, PerftLineStopsAtItsFirstBadFieldAndForgetsTheLastLine) {
  CaptureOutput([&] { ReadPerftSuiteLine(StartFen + " ;D1 20 ;D2 400", 2); });
  ASSERT_EQ(PerftExpected[2], 400);

  std::string out = CaptureOutput([&] { ReadPerftSuiteLine(StartFen + " ;D1 20 ;D3 8902", 3); });
  EXPECT_NE(out.find("Illegal depth <3>, 2 expected in: "), std::string::npos) << out;
  EXPECT_EQ(PerftExpected[1], 20);
  EXPECT_EQ(PerftExpected[2], 0) << "the previous line's count";

  out = CaptureOutput([&] { ReadPerftSuiteLine(StartFen + " ;D1 0", 1); });
  EXPECT_NE(out.find("Illegal number of positions in: "), std::string::npos) << out;
  out = CaptureOutput([&] { ReadPerftSuiteLine(StartFen + " ;D1 2x0", 1); });
  EXPECT_NE(out.find("Illegal number of positions in: "), std::string::npos) << out;
  out = CaptureOutput([&] { ReadPerftSuiteLine(StartFen + " ;E1 20", 1); });
  EXPECT_NE(out.find("Bad entry error: "), std::string::npos) << out;
  out = CaptureOutput([&] { ReadPerftSuiteLine(StartFen, 1); });
  EXPECT_NE(out.find("Bad entry error: "), std::string::npos) << "a line without counts: " << out;
  EXPECT_EQ(PerftExpected[1], 0);
}

TEST_F(EpdLineTest, TestLineSplitsIntoFenOperationsAndSolutionWords) {
  TestSuiteLine parts =
      SplitTestSuiteLine("r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq -  bm Qxf7#; id \"m1\";");
  EXPECT_EQ(parts.Fen, "r1bqkb1r/pppp1ppp/2n2n2/4p2Q/2B1P3/8/PPPP1PPP/RNB1K1NR w KQkq -");
  EXPECT_EQ(parts.OpText, "bm Qxf7#; id \"m1\";");
  EXPECT_EQ(parts.SolutionText, " Qxf7#");

  parts = SplitTestSuiteLine(StartFen + " bm e4 d4");  // no semicolon: the words run to the end
  EXPECT_EQ(parts.SolutionText, " e4 d4");
  parts = SplitTestSuiteLine(StartFen + " bm;");
  EXPECT_EQ(parts.SolutionText, "");
  parts = SplitTestSuiteLine(StartFen);
  EXPECT_EQ(parts.Fen, "") << "no bm, no position";
}

TEST_F(EpdLineTest, SolutionsAreTheLegalMovesNamedBySanOrCoordinates) {
  ASSERT_TRUE(SetBoard(KiwipeteFen, false));
  std::string out = CaptureOutput([] { ReadSolutions(" O-O e1c1 Qxh3 Zz9 e2e5"); });
  ASSERT_EQ(TestSolutionCount, 3);
  EXPECT_EQ(MoveText(TestSolutions[0]), "e1g1");
  EXPECT_EQ(MoveText(TestSolutions[1]), "e1c1");
  EXPECT_EQ(MoveText(TestSolutions[2]), "f3h3");
  EXPECT_NE(out.find("Warning: Zz9 is not a valid solution"), std::string::npos) << out;
  EXPECT_NE(out.find("Warning: e2e5 is not a valid solution"), std::string::npos) << out;
}

TEST_F(EpdLineTest, AtMostTenSolutionsAreKept) {
  ASSERT_TRUE(SetBoard(StartFen, false));
  CaptureOutput([] { ReadSolutions("a3 a4 b3 b4 c3 c4 d3 d4 e3 e4 f3 f4"); });
  ASSERT_EQ(TestSolutionCount, TEST_SOLUTIONS_MAX);
  EXPECT_EQ(MoveText(TestSolutions[9]), "e2e4");
}

}  // namespace
