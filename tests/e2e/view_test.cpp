// The board view from the command line and from the "board" command, in code page 437 bytes.
#include <gtest/gtest.h>

#include "e2e/harness.h"

namespace {

const std::string StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
const std::string KiwipeteFen = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -";

const std::string V = "\xB3";
std::string H(int count) { return std::string(static_cast<size_t>(count), '\xC4'); }

// The statistics table after the board, worked out from the column widths 11, 3 and 2.
std::string StatsTable(const std::string& ply, const std::string& eval) {
  auto row = [](const std::string& label, const std::string& value, const std::string& unit) {
    return V + std::string(12 - label.size(), ' ') + label + " " + V + " " + value +
           std::string(4 - value.size(), ' ') + V + " " + unit + std::string(3 - unit.size(), ' ') + V + "\r\n";
  };
  return "\xDA" + H(24) + "\xBF\n" + V + " Stats" + std::string(18, ' ') + V + "\n" + "\xC3" + H(13) + "\xC2" + H(5) +
         "\xC2" + H(4) + "\xB4\n" + row("Ply", ply, "#") + row("Static Eval", eval, "cp") + row("Hash", "128", "MB") +
         row("Hash full", "0", "%.") + "\xC0" + H(13) + "\xC1" + H(5) + "\xC1" + H(4) + "\xD9\n";
}

std::vector<std::string> ViewArgs(const std::string& fen) {
  std::vector<std::string> args = {"view"};
  for (size_t start = 0; start <= fen.size();) {
    size_t end = std::min(fen.find(' ', start), fen.size());
    args.push_back(fen.substr(start, end - start));
    start = end + 1;
  }
  return args;
}

constexpr size_t BOARD_BYTES = 54 * 80;  // 54 rows of 78 characters and CR LF

// Rows of 78 characters and CR LF inside the outer frame; the cells are checked by the unit tests.
void ExpectBoardFrame(const std::string& board) {
  ASSERT_EQ(board.size(), BOARD_BYTES);
  std::vector<std::string> rows = Lines(board);
  ASSERT_EQ(rows.size(), 54u);
  for (size_t r = 0; r < rows.size(); ++r) {
    ASSERT_EQ(rows[r].size(), 79u) << r;  // the CR stays with the row
    EXPECT_EQ(rows[r].back(), '\r') << r;
  }
  EXPECT_EQ(rows[0], "\xDA" + H(76) + "\xBF\r");
  EXPECT_EQ(rows[53], "\xC0" + H(76) + "\xD9\r");
  EXPECT_EQ(rows[5].substr(0, 3), V + "8" + V);
  EXPECT_EQ(rows[52], V + "      a        b        c        d        e        f        g        h      " + V + "\r");
}

TEST(BoardView, StartPositionBoardAndStats) {
  std::string output = RunEngine("", {.Args = ViewArgs(StartFen)});
  ASSERT_GE(output.size(), BOARD_BYTES);
  std::string board = output.substr(0, BOARD_BYTES);
  ExpectBoardFrame(board);
  std::vector<std::string> rows = Lines(board);
  EXPECT_EQ(rows[3].substr(3, 9), " \xDC \xDC\xDC\xDC \xDC ");        // a8 rook battlements
  EXPECT_EQ(rows[4].substr(3, 9), " \xCD\xCD\xCD\xCD\xCD\xCD\xCD ");  // its double-line body
  EXPECT_EQ(rows[45][43], '\xC5');                                    // the cross of the king on e1
  EXPECT_EQ(rows[46][14], 'o');                                       // the eye of the knight on b1
  EXPECT_EQ(rows[29].substr(3, 72), std::string(72, ' '));            // rank 4 is empty
  EXPECT_EQ(output.substr(BOARD_BYTES), StatsTable("2", "28"));
}

TEST(BoardView, FenWordsAreJoinedWithBlanks) {
  std::string split = RunEngine("", {.Args = ViewArgs(KiwipeteFen)});
  std::string whole = RunEngine("", {.Args = {"V", "  " + KiwipeteFen + " "}});
  EXPECT_EQ(split, whole);
  ASSERT_GE(split.size(), BOARD_BYTES);
  ExpectBoardFrame(split.substr(0, BOARD_BYTES));
  std::vector<std::string> rows = Lines(split.substr(0, BOARD_BYTES));
  EXPECT_EQ(rows[22][41], 'o');                           // white knight on e5
  EXPECT_EQ(rows[3].substr(12, 9), std::string(9, ' '));  // b8 is empty
  // Without move counters the ply is 1.
  EXPECT_NE(split.find(V + "         Ply " + V + " 1   " + V), std::string::npos);
}

TEST(BoardView, RejectedFenReportsOnceAndShowsTheStartPosition) {
  const std::string bad = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNX w KQkq - 0 1";
  std::string start = RunEngine("", {.Args = ViewArgs(StartFen)});
  std::string output = RunEngine("", {.Args = ViewArgs(bad)});
  size_t firstLine = output.find('\n') + 1;
  std::string report = output.substr(0, firstLine);
  EXPECT_EQ(report.rfind("info setboard error ", 0), 0u) << report;
  EXPECT_TRUE(report.ends_with(" in FEN " + bad + "\n")) << report;
  EXPECT_EQ(output.substr(firstLine), start);
}

TEST(BoardView, BoardCommandShowsTheCurrentPosition) {
  std::string start = RunEngine("", {.Args = ViewArgs(StartFen)});
  EXPECT_EQ(RunEngine("board\n"), start);
  EXPECT_EQ(RunEngine("B\nisready\n"), start + "readyok\n");
}

}  // namespace
