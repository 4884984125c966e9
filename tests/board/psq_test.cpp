// The piece-square block as embedded: the example cells, its properties, and the checker
// that refuses a damaged block.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "board/psq.h"

namespace {

constexpr int Square(const char* name) { return (name[0] - 'a') + 8 * (name[1] - '1'); }

constexpr uint32_t Raw(int32_t mg, int32_t eg) {
  return static_cast<uint32_t>(mg + 30000) | (static_cast<uint32_t>(eg + 30000) << 16);
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

TEST_F(PieceSquareTableTest, HoldsTheGivenRows) {
  constexpr int32_t kingMg[8] = {271, 327, 271, 198, 198, 271, 327, 271};
  constexpr int32_t kingEg[8] = {1, 45, 85, 76, 76, 85, 45, 1};
  constexpr int32_t pawnMg[8] = {127, 127, 134, 143, 140, 143, 131, 119};
  constexpr int32_t pawnEg[8] = {196, 200, 216, 206, 220, 213, 201, 187};
  for (int file = 0; file < 8; ++file) {
    ExpectCell(::PieceSquareTable[12][file], kingMg[file], kingEg[file], "king file " + std::to_string(file));
    ExpectCell(::PieceSquareTable[7][8 + file], pawnMg[file], pawnEg[file], "pawn file " + std::to_string(file));
  }
}

TEST_F(PieceSquareTableTest, HoldsTheGivenCells) {
  struct Example {
    int Type;
    const char* Square;
    int32_t Mg, Eg;
  };
  constexpr Example examples[] = {
      {1, "e2", 140, 220},   {1, "e4", 164, 193},   {1, "e7", 129, 231},   {2, "a1", 606, 758},
      {2, "d4", 830, 882},   {3, "c1", 817, 878},   {3, "d4", 864, 932},   {4, "a1", 1245, 1371},
      {4, "a7", 1274, 1384}, {5, "d1", 2542, 2656}, {5, "d4", 2546, 2706}, {6, "e1", 198, 76},
      {6, "g1", 327, 45},    {6, "d4", 98, 172},
  };
  for (const Example& e : examples)
    ExpectCell(White(e.Type, e.Square), e.Mg, e.Eg, std::to_string(e.Type) + " " + e.Square);
}

TEST_F(PieceSquareTableTest, BlockStoresOffsetHalvesLittleEndian) {
  PsqCells cells;
  ReadPieceSquareCells(cells);
  EXPECT_EQ(cells[12][Square("g1")], Raw(327, 45));
  EXPECT_EQ(cells[0][Square("g8")], Raw(-327, -45));  // black king row first
  EXPECT_EQ(cells[7][Square("e4")], Raw(164, 193));
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

TEST_F(PieceSquareTableTest, ReachesTheEndsOfEachRange) {
  // The scale of each piece: the lowest and highest White cells (pawns on ranks 2-7).
  struct Range {
    int32_t MgLow, MgHigh, EgLow, EgHigh;
  };
  constexpr Range ranges[7] = {{},
                               {101, 164, 187, 236},
                               {580, 839, 754, 893},
                               {772, 864, 858, 932},
                               {1245, 1294, 1367, 1400},
                               {2533, 2552, 2607, 2706},
                               {-1, 327, 1, 199}};
  for (int type = 1; type <= 6; ++type) {
    int first = type == 1 ? 8 : 0, last = type == 1 ? 56 : 64;
    const PsqValue* row = ::PieceSquareTable[6 + type];
    auto [mgLow, mgHigh] = std::minmax_element(row + first, row + last, [](PsqValue a, PsqValue b) { return a.Mg < b.Mg; });
    auto [egLow, egHigh] = std::minmax_element(row + first, row + last, [](PsqValue a, PsqValue b) { return a.Eg < b.Eg; });
    EXPECT_EQ(mgLow->Mg, ranges[type].MgLow) << type;
    EXPECT_EQ(mgHigh->Mg, ranges[type].MgHigh) << type;
    EXPECT_EQ(egLow->Eg, ranges[type].EgLow) << type;
    EXPECT_EQ(egHigh->Eg, ranges[type].EgHigh) << type;
  }
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
