// The piece-square block as embedded: every cell of its readable source, its properties, and
// the checker that refuses a damaged block.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <sstream>
#include <string>

#include "board/psq.h"

namespace {

constexpr int Square(const char* name) { return (name[0] - 'a') + 8 * (name[1] - '1'); }

constexpr uint32_t Raw(int32_t mg, int32_t eg) {
  return static_cast<uint32_t>(mg + 30000) | (static_cast<uint32_t>(eg + 30000) << 16);
}

// White's cells [type][square] as resources/psq_white.txt writes them: a "<piece> mg" or
// "<piece> eg" heading, then eight rows from rank 8 down; "#" starts a comment.
using ReadableCells = std::array<std::array<PsqValue, 64>, 7>;

ReadableCells ReadReadableTable() {
  constexpr const char* PIECES[7] = {"", "pawn", "knight", "bishop", "rook", "queen", "king"};
  ReadableCells cells{};
  std::ifstream file(std::string(TAVRIN_SOURCE_DIR) + "/resources/psq_white.txt");
  EXPECT_TRUE(file.good());
  int type = 0, phase = 0, rank = 0, boards = 0;
  for (std::string line; std::getline(file, line);) {
    std::istringstream words(line.substr(0, line.find('#')));
    std::string first, second;
    if (!(words >> first)) continue;
    if (std::isalpha(static_cast<unsigned char>(first[0]))) {
      words >> second;
      type = static_cast<int>(std::find(PIECES + 1, PIECES + 7, first) - PIECES);
      phase = second == "eg";
      rank = 7;
      ++boards;
      continue;
    }
    std::istringstream row(line);
    for (int file8 = 0; file8 < 8; ++file8) {
      int value = 0;
      row >> value;
      (phase ? cells[type][8 * rank + file8].Eg : cells[type][8 * rank + file8].Mg) = value;
    }
    --rank;
  }
  EXPECT_EQ(boards, 12);
  return cells;
}

class PieceSquareTableTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InitPieceSquareTable(); }
  static PsqValue White(int type, const char* square) { return ::PieceSquareTable[6 + type][Square(square)]; }
};

void ExpectCell(PsqValue cell, int32_t mg, int32_t eg, const std::string& where) {
  EXPECT_EQ(cell.Mg, mg) << where;
  EXPECT_EQ(cell.Eg, eg) << where;
}

TEST_F(PieceSquareTableTest, HoldsEveryCellOfTheReadableTable) {
  const ReadableCells text = ReadReadableTable();
  for (int type = 1; type <= 6; ++type)
    for (int square = 0; square < 64; ++square)
      ExpectCell(::PieceSquareTable[6 + type][square], text[type][square].Mg, text[type][square].Eg,
                 std::to_string(type) + " on " + std::to_string(square));
}

TEST_F(PieceSquareTableTest, BlockStoresOffsetHalvesLittleEndian) {
  const ReadableCells text = ReadReadableTable();
  const PsqValue king = text[6][Square("g1")], pawn = text[1][Square("e4")];
  PsqCells cells;
  ReadPieceSquareCells(cells);
  EXPECT_EQ(cells[12][Square("g1")], Raw(king.Mg, king.Eg));
  EXPECT_EQ(cells[0][Square("g8")], Raw(-king.Mg, -king.Eg));  // black king row first
  EXPECT_EQ(cells[7][Square("e4")], Raw(pawn.Mg, pawn.Eg));
  EXPECT_EQ(CheckPieceSquareCells(cells), "");
}

TEST_F(PieceSquareTableTest, BlackIsWhiteMirroredAndNegated) {
  for (int type = 1; type <= 6; ++type) {
    for (int square = 0; square < 64; ++square) {
      PsqValue white = ::PieceSquareTable[6 + type][square];
      PsqValue black = ::PieceSquareTable[6 - type][square ^ 56];
      EXPECT_EQ(black.Mg, -white.Mg);
      EXPECT_EQ(black.Eg, -white.Eg);
    }
  }
  for (int square = 0; square < 64; ++square) ExpectCell(::PieceSquareTable[6][square], 0, 0, "empty");
}

TEST_F(PieceSquareTableTest, StartArraySumsToZero) {
  constexpr int backRank[8] = {4, 2, 3, 5, 6, 3, 2, 4};
  int32_t mg = 0, eg = 0;
  for (int file = 0; file < 8; ++file) {
    for (auto [code, square] : {std::pair{backRank[file], file}, std::pair{1, 8 + file}, std::pair{-1, 48 + file},
                                std::pair{-backRank[file], 56 + file}}) {
      mg += ::PieceSquareTable[code + 6][square].Mg;
      eg += ::PieceSquareTable[code + 6][square].Eg;
    }
  }
  EXPECT_EQ(mg, 0);
  EXPECT_EQ(eg, 0);
}

// Each damage keeps the other properties intact, so the checker must name this one.
class DamagedBlock : public ::testing::Test {
 protected:
  void SetUp() override { ReadPieceSquareCells(Cells); }
  // Writes a White cell and its mirrored Black partner.
  void SetBoth(int type, int square, int32_t mg, int32_t eg) {
    Cells[6 + type][square] = Raw(mg, eg);
    Cells[6 - type][square ^ 56] = Raw(-mg, -eg);
  }
  void ExpectFault(const std::string& what) {
    std::string fault = CheckPieceSquareCells(Cells);
    EXPECT_NE(fault.find(what), std::string::npos) << fault;
  }
  PsqCells Cells;
};

TEST_F(DamagedBlock, BlackCellThatIsNotTheMirror) {
  Cells[6 - 3][Square("c8")] += 1;
  ExpectFault("bishop c1: Black's cell is not the mirrored negation");
}

TEST_F(DamagedBlock, EmptyRowNotZero) {
  Cells[6][Square("h8")] = Raw(0, 0);
  ExpectFault("empty h8: the empty row is not zero");
}

TEST_F(DamagedBlock, KnightNotFileSymmetric) {
  SetBoth(2, Square("e4"), 831, 882);
  ExpectFault("knight d4: not symmetric");
}

TEST_F(DamagedBlock, PawnOnFirstRankNotPlain) {
  SetBoth(1, Square("c1"), 125, 206);
  ExpectFault("pawn c1: not the plain pawn value");
  ReadPieceSquareCells(Cells);
  SetBoth(1, Square("f8"), 124, 205);
  ExpectFault("pawn f8: not the plain pawn value");
}

TEST_F(DamagedBlock, CellOutsideItsBand) {
  SetBoth(6, Square("b1"), 701, 45);
  SetBoth(6, Square("g1"), 701, 45);
  ExpectFault("king b1: value outside the piece's band");
  ReadPieceSquareCells(Cells);
  SetBoth(6, Square("b1"), 700, -500);  // both ends belong to the band
  SetBoth(6, Square("g1"), 700, -500);
  EXPECT_EQ(CheckPieceSquareCells(Cells), "");
  SetBoth(1, Square("h2"), 119, 59);  // pawns are exempt from symmetry, not from the band
  ExpectFault("pawn h2: value outside the piece's band");
}

}  // namespace
