// The box-drawn text table and the message box, byte for byte in code page 437.
#include <gtest/gtest.h>

#include <climits>

#include "console/capture.h"
#include "console/console.h"

namespace {

// Code page 437 box characters.
const std::string V = "\xB3", TL = "\xDA", TR = "\xBF", BL = "\xC0", BR = "\xD9";
const std::string LT = "\xC3", RT = "\xB4", DT = "\xC2", UT = "\xC1", X = "\xC5";
std::string H(int count) { return std::string(static_cast<size_t>(count), '\xC4'); }

const std::string LF = "\n", CRLF = "\r\n";
const std::string StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

class TextTableTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearTable(); }
  static std::string Print() { return CaptureOutput(PrintTable); }
};

TEST_F(TextTableTest, TitleWiderThanColumnsClosesToTheRightOfTheColumnBlock) {
  // Column widths 3 and 2 give a 12-wide block; the 15-letter title needs 19.
  TableTitle("Long title here", {Align::RIGHT, Align::LEFT});
  TableRow({"a", "bb"});
  TableRow({"ccc", "d"});
  EXPECT_EQ(Print(), TL + H(17) + TR + LF + V + " Long title here " + V + LF + LT + H(5) + DT + H(4) + DT + H(6) + BR +
                         LF + V + "   a " + V + " bb " + V + CRLF + V + " ccc " + V + " d  " + V + CRLF + BL + H(5) +
                         UT + H(4) + BR + LF);
}

TEST_F(TextTableTest, ColumnsWiderThanTitlePadTheTitleLine) {
  TableTitle("T", {Align::LEFT});
  TableRow({"wide cell"});
  EXPECT_EQ(Print(), TL + H(11) + TR + LF + V + " T         " + V + LF + LT + H(11) + RT + LF + V + " wide cell " + V +
                         CRLF + BL + H(11) + BR + LF);
}

TEST_F(TextTableTest, HeaderRowIsLeftAlignedAndCountsTowardTheWidths) {
  TableTitle("Moves", {Align::RIGHT, Align::RIGHT});
  TableHeader({"No", "Move"});
  TableRow({"1", "e4"});
  TableRow({"10", "Nf3"});
  EXPECT_EQ(Print(), TL + H(11) + TR + LF + V + " Moves     " + V + LF + LT + H(4) + DT + H(6) + RT + LF + V + " No " +
                         V + " Move " + V + CRLF + LT + H(4) + X + H(6) + RT + LF + V + "  1 " + V + "   e4 " + V +
                         CRLF + V + " 10 " + V + "  Nf3 " + V + CRLF + BL + H(4) + UT + H(6) + BR + LF);
}

TEST_F(TextTableTest, TitleOnlyEndsWithOneEmptyLineAndNoBottom) {
  TableTitle("Empty", {Align::LEFT});
  EXPECT_EQ(Print(), TL + H(7) + TR + LF + V + " Empty " + V + LF + LT + H(2) + DT + H(4) + BR + LF + CRLF);
}

TEST_F(TextTableTest, FenTableIsSixtyCharactersWide) {
  TableTitle("FEN of current position", {Align::RIGHT});
  TableRow({StartFen});
  std::string output = Print();
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = output.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(output.substr(start, end - start));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], TL + H(58) + TR);
  EXPECT_EQ(lines[1], V + " FEN of current position" + std::string(34, ' ') + V);
  EXPECT_EQ(lines[2], LT + H(58) + RT);
  EXPECT_EQ(lines[3], V + " " + StartFen + " " + V + "\r");
  EXPECT_EQ(lines[4], BL + H(58) + BR);
  for (int i : {0, 1, 2, 4}) EXPECT_EQ(lines[i].size(), 60u) << i;
}

TEST_F(TextTableTest, PrintingOrClearingEmptiesTheTable) {
  const std::string small =
      TL + H(4) + TR + LF + V + " Ab " + V + LF + LT + H(3) + DT + BR + LF + V + " x " + V + CRLF + BL + H(3) + BR + LF;
  auto printSmall = [] {
    TableTitle("Ab", {Align::LEFT});
    TableRow({"x"});
    return Print();
  };
  TableTitle("First", {Align::LEFT});
  TableRow({"a very long first cell"});
  Print();
  EXPECT_EQ(printSmall(), small);
  TableTitle("Stale", {Align::LEFT, Align::LEFT});
  TableRow({"old", "rows"});
  ClearTable();
  EXPECT_EQ(printSmall(), small);
}

TEST_F(TextTableTest, ShortRowsHaveEmptyCellsAndExtraCellsAreDropped) {
  TableTitle("ab", {Align::LEFT, Align::RIGHT});
  TableRow({"x"});
  TableRow({"y", "zz", "ignored"});
  EXPECT_EQ(Print(), TL + H(8) + TR + LF + V + " ab     " + V + LF + LT + H(3) + DT + H(4) + RT + LF + V + " x " + V +
                         "    " + V + CRLF + V + " y " + V + " zz " + V + CRLF + BL + H(3) + UT + H(4) + BR + LF);
}

TEST_F(TextTableTest, HoldsMoreThanTwoHundredRowsAndAtMostTwentyColumns) {
  TableTitle("t", std::vector<Align>(25, Align::LEFT));
  for (int row = 0; row < 300; ++row) TableRow(std::vector<std::string>(25, "c"));
  std::string output = Print();
  std::string row;
  for (int c = 0; c < 20; ++c) row += V + " c ";
  row += V + CRLF;
  size_t rows = 0;
  for (size_t at = output.find(row); at != std::string::npos; at = output.find(row, at + 1)) ++rows;
  EXPECT_EQ(rows, 300u);
  EXPECT_EQ(output.size(), 4 * (1 + 20 * 4 + 1) + 300 * (row.size()));
}

TEST(PadText, PadsOnTheSideTheSignOfTheWidthSays) {
  EXPECT_EQ(PadText("ab", 5), "ab   ");
  EXPECT_EQ(PadText("ab", -5), "   ab");
  EXPECT_EQ(PadText("abcdef", 3), "abcdef");
  EXPECT_EQ(PadText("abcdef", -3), "abcdef");
  EXPECT_EQ(PadText("abc", -3), "abc");
  EXPECT_EQ(PadText("", 0), "");
  EXPECT_EQ(PadText("", -2), "  ");
}

TEST(ShowMessageBox, ThreeLinesFourCharactersLongerThanTheText) {
  const std::string text = "Kiwipete: r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -";
  const int n = static_cast<int>(text.size());
  const std::string expected = TL + H(n + 2) + TR + LF + V + " " + text + " " + V + LF + BL + H(n + 2) + BR + LF;
  EXPECT_EQ(CaptureOutput([&] { ShowMessageBox(text, false); }), expected);
  // Colours reach only a terminal, so into a file the coloured box has the same bytes.
  EXPECT_EQ(CaptureOutput([&] { ShowMessageBox(text, true); }), expected);
  EXPECT_EQ(expected.size(), 3 * (text.size() + 4 + 1));
}

}  // namespace
