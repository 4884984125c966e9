// The board diagram's grid: frame, labels, square colours and piece glyphs, cell by cell.
#include <gtest/gtest.h>

#include <array>

#include "console/capture.h"
#include "shell/view.h"

namespace {

// The start position by square, a1 first: +type for White, -type for Black.
constexpr std::array<int32_t, 64> StartSquares = {
    4, 2, 3, 5, 6, 3, 2, 4, 1, 1, 1, 1, 1, 1, 1, 1, 0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,  0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1, -1, -1, -1, -1, -1, -1, -1, -4, -2, -3, -5, -6, -3, -2, -4};

class BoardGridTest : public ::testing::Test {
 protected:
  BoardGrid grid = BuildBoardGrid(StartSquares);

  // The cell at row r, column c of the 6 x 9 block of a square given as file and rank 1..8.
  const ViewCell& InBlock(char file, int rank, int r, int c) const {
    return grid[3 + 6 * (8 - rank) + r][3 + 9 * (file - 'a') + c];
  }
  void ExpectCell(int row, int column, char glyph, int colour) const {
    EXPECT_EQ(grid[row][column].Glyph, glyph) << "row " << row << " column " << column;
    EXPECT_EQ(grid[row][column].Colour, colour) << "row " << row << " column " << column;
  }
};

TEST_F(BoardGridTest, OuterAndInnerFramesInTheNormalColour) {
  for (auto [row, column, glyph] : {std::tuple{0, 0, '\xDA'},
                                    {0, 77, '\xBF'},
                                    {53, 0, '\xC0'},
                                    {53, 77, '\xD9'},
                                    {2, 2, '\xDA'},
                                    {2, 75, '\xBF'},
                                    {51, 2, '\xC0'},
                                    {51, 75, '\xD9'}})
    ExpectCell(row, column, glyph, 5);
  for (int c = 1; c <= 76; ++c) {
    ExpectCell(0, c, '\xC4', 5);
    ExpectCell(53, c, '\xC4', 5);
  }
  for (int r = 1; r <= 52; ++r) {
    ExpectCell(r, 0, '\xB3', 5);
    ExpectCell(r, 77, '\xB3', 5);
  }
  for (int c = 3; c <= 74; ++c) {
    ExpectCell(2, c, '\xC4', 5);
    ExpectCell(51, c, '\xC4', 5);
  }
  for (int r = 3; r <= 50; ++r) {
    ExpectCell(r, 2, '\xB3', 5);
    ExpectCell(r, 75, '\xB3', 5);
  }
}

TEST_F(BoardGridTest, LabelsStandAtTheMiddleOfTheirSquares) {
  for (int c = 1; c <= 76; ++c) {
    char letter = (c - 7) % 9 == 0 ? static_cast<char>('a' + (c - 7) / 9) : ' ';
    ExpectCell(1, c, letter, 5);
    ExpectCell(52, c, letter, 5);
  }
  for (int r = 1; r <= 52; ++r) {
    char digit = (r - 5) % 6 == 0 ? static_cast<char>('8' - (r - 5) / 6) : ' ';
    ExpectCell(r, 1, digit, 5);
    ExpectCell(r, 76, digit, 5);
  }
}

TEST_F(BoardGridTest, SquareColoursDependOnShadeAndPieceColour) {
  for (int rank = 1; rank <= 8; ++rank)
    for (char file = 'a'; file <= 'h'; ++file) {
      bool light = (file - 'a' + rank) % 2 == 0;  // a1 is dark, h1 light
      int32_t piece = StartSquares[(rank - 1) * 8 + (file - 'a')];
      int squareColour = piece < 0 ? (light ? 4 : 3) : (light ? 2 : 1);
      int detailColour = piece < 0 ? 8 : 9;
      for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 9; ++c) {
          int colour = InBlock(file, rank, r, c).Colour;
          EXPECT_TRUE(colour == squareColour || colour == detailColour) << file << rank << ' ' << r << ' ' << c;
        }
    }
  EXPECT_EQ(InBlock('a', 8, 0, 0).Colour, 4);  // light, black rook
  EXPECT_EQ(InBlock('h', 1, 0, 0).Colour, 2);  // light, white rook
  EXPECT_EQ(InBlock('d', 4, 0, 0).Colour, 1);  // dark, empty
  EXPECT_EQ(InBlock('e', 4, 0, 0).Colour, 2);  // light, empty
}

TEST_F(BoardGridTest, GlyphCellsOfSeveralPieces) {
  // Black rook on a8: battlements, a detailed double-line body, an upper-half base.
  ExpectCell(3, 3, ' ', 4);
  ExpectCell(3, 4, '\xDC', 4);
  ExpectCell(3, 5, ' ', 4);
  for (int c = 4; c <= 10; ++c) ExpectCell(4, c, '\xCD', 8);
  for (int c = 4; c <= 10; ++c) ExpectCell(8, c, '\xDF', 4);
  // White rook on h1: the same shape in the white colours.
  ExpectCell(46, 67, '\xCD', 9);
  ExpectCell(50, 73, '\xDF', 2);
  // White king on e1 (dark): the cross on top, blocks and half blocks below it.
  ExpectCell(45, 43, '\xC5', 9);
  ExpectCell(46, 41, '\xDB', 1);
  ExpectCell(46, 42, '\xDC', 1);
  // White knight on b1 has its eye; black bishop on c8 its double cross.
  ExpectCell(46, 14, 'o', 9);
  ExpectCell(5, 25, '\xCE', 8);
  // White pawn on e2: shaded sides, no detail.
  ExpectCell(40, 43, '\xDC', 2);
  ExpectCell(41, 42, '\xB2', 2);
  ExpectCell(41, 43, '\xDB', 2);
  ExpectCell(43, 41, '\xB2', 2);
  ExpectCell(44, 45, '\xDF', 2);
}

TEST_F(BoardGridTest, EveryPieceHasItsCountOfDrawnAndDetailCells) {
  // Counted from the glyph table: drawn cells and detail cells per piece type.
  constexpr int Drawn[7] = {0, 17, 22, 21, 30, 24, 26};
  constexpr int Details[7] = {0, 0, 1, 1, 18, 8, 9};
  for (int square = 0; square < 64; ++square) {
    int32_t piece = StartSquares[square];
    int type = piece < 0 ? -piece : piece;
    char file = static_cast<char>('a' + square % 8);
    int rank = square / 8 + 1;
    int drawn = 0, details = 0;
    for (int r = 0; r < 6; ++r)
      for (int c = 0; c < 9; ++c) {
        const ViewCell& cell = InBlock(file, rank, r, c);
        drawn += cell.Glyph != ' ';
        details += cell.Colour >= 8;
      }
    EXPECT_EQ(drawn, Drawn[type]) << file << rank;
    EXPECT_EQ(details, Details[type]) << file << rank;
  }
}

TEST_F(BoardGridTest, PrintsEachRowAsItsGlyphsAndCrLf) {
  std::string expected;
  for (const auto& row : grid) {
    for (const ViewCell& cell : row) expected += cell.Glyph;
    expected += "\r\n";
  }
  // Colours reach only a terminal, so into a file the rows are the bare glyphs.
  std::string output = CaptureOutput([&] { PrintBoardGrid(grid); });
  EXPECT_EQ(output.size(), 54u * 80u);
  EXPECT_EQ(output, expected);
}

}  // namespace
