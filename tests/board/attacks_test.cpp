// Attack tables against hand-worked examples and against a coordinate ray walk. This file is
// also built without BMI2, so both slider lookups (PEXT and magic multiply) run these tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <initializer_list>

#include "board/bitboard.h"

namespace {

Bitboard Squares(std::initializer_list<int32_t> squares) {
  Bitboard b = 0;
  for (int32_t s : squares) b |= Bitboard{1} << s;
  return b;
}

// Walks rays by file and rank coordinates, stopping after the first blocker.
Bitboard WalkRays(int32_t square, Bitboard occupied, bool rook) {
  static constexpr int32_t RookDirs[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  static constexpr int32_t BishopDirs[4][2] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
  Bitboard attacks = 0;
  for (const auto& dir : rook ? RookDirs : BishopDirs) {
    for (int32_t f = square % 8 + dir[0], r = square / 8 + dir[1]; f >= 0 && f < 8 && r >= 0 && r < 8;
         f += dir[0], r += dir[1]) {
      attacks |= Bitboard{1} << (r * 8 + f);
      if (occupied >> (r * 8 + f) & 1) break;
    }
  }
  return attacks;
}

// The relevant blockers: a ray's last square before the edge cannot hide anything.
Bitboard ExpectedMask(int32_t square, bool rook) {
  Bitboard mask = 0;
  for (int32_t s = 0; s < 64; ++s) {
    if (!(WalkRays(square, 0, rook) >> s & 1)) continue;
    bool edgeFile = (s % 8 == 0 || s % 8 == 7) && s % 8 != square % 8;
    bool edgeRank = (s / 8 == 0 || s / 8 == 7) && s / 8 != square / 8;
    if (rook ? !edgeFile && !edgeRank : (s % 8 != 0 && s % 8 != 7 && s / 8 != 0 && s / 8 != 7))
      mask |= Bitboard{1} << s;
  }
  return mask;
}

class AttackTables : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InitAttackTables(); }
};

TEST_F(AttackTables, HandWorkedExamples) {
  EXPECT_EQ(RookAttacks(A1, Squares({A4, D1})), Squares({A2, A3, A4, B1, C1, D1}));
  EXPECT_EQ(PopCount(BishopAttacks(D4, 0)), 13);
  EXPECT_EQ(PseudoAttacks[KNIGHT][A1], Squares({B3, C2}));
  EXPECT_EQ(PseudoAttacks[KING][H1], Squares({G1, G2, H2}));
  EXPECT_EQ(PawnAttacks[WHITE][A2], Squares({B3}));
  EXPECT_EQ(PawnAttacks[WHITE][H8], 0u);
  EXPECT_EQ(PawnAttacks[BLACK][H7], Squares({G6}));
  EXPECT_EQ(PawnAttacks[BLACK][A1], 0u);
  EXPECT_EQ(PawnAttacks[WHITE][E4], Squares({D5, F5}));
  EXPECT_EQ(Between[A1][H8], Squares({B2, C3, D4, E5, F6, G7}));
  EXPECT_EQ(Between[A1][B2], 0u);
  EXPECT_EQ(Between[A1][B3], 0u);
  EXPECT_EQ(Line[B2][D4], Squares({A1, B2, C3, D4, E5, F6, G7, H8}));
  EXPECT_EQ(Line[A1][B3], 0u);
  EXPECT_EQ(Distance[A1][H8], 7);
  EXPECT_EQ(Distance[E4][F5], 1);
  EXPECT_EQ(SquareBit(NO_SQUARE), 0u);
  EXPECT_EQ(SquareBit(H8), Bitboard{1} << 63);
}

TEST_F(AttackTables, PseudoAttackTotalsOverTheBoard) {
  // Totals of empty-board moves over all 64 squares, known from counting by hand.
  int32_t totals[PIECE_TYPE_NB] = {};
  for (int32_t type = PAWN; type <= KING; ++type)
    for (int32_t s = 0; s < 64; ++s) totals[type] += PopCount(PseudoAttacks[type][s]);
  EXPECT_EQ(totals[PAWN], 0);
  EXPECT_EQ(totals[KNIGHT], 336);
  EXPECT_EQ(totals[BISHOP], 560);
  EXPECT_EQ(totals[ROOK], 896);
  EXPECT_EQ(totals[QUEEN], 1456);
  EXPECT_EQ(totals[KING], 420);
}

TEST_F(AttackTables, BitPrimitives) {
  EXPECT_EQ(PopCount(~Bitboard{0}), 64);
  EXPECT_EQ(LowestBit(Squares({C3, F7})), C3);
  EXPECT_EQ(HighestBit(Squares({C3, F7})), F7);
  Bitboard b = Squares({A1, H8});
  EXPECT_EQ(PopLowestBit(b), A1);
  EXPECT_EQ(b, Squares({H8}));
  EXPECT_EQ(RelativeRank(BLACK, G2), RANK_7);
  EXPECT_EQ(RankMask[RANK_3], Squares({A3, B3, C3, D3, E3, F3, G3, H3}));
  EXPECT_EQ(FileMask[FILE_C], Squares({C1, C2, C3, C4, C5, C6, C7, C8}));
}

TEST_F(AttackTables, BlocksAreLaidOutRookThenBishopPerSquare) {
  EXPECT_EQ(RookEntries[A1].Offset, 0u);
  EXPECT_EQ(BishopEntries[A1].Offset, 4096u);  // a rook in the corner has 12 relevant squares
  EXPECT_EQ(RookEntries[B1].Offset, 4096u + 64u);
  EXPECT_EQ(BishopEntries[H8].Offset + 64u, static_cast<uint32_t>(SLIDER_TABLE_SIZE));
}

TEST_F(AttackTables, SlidersMatchTheRayWalkForEverySubsetOfEveryMask) {
  for (bool rook : {true, false}) {
    for (int32_t s = 0; s < 64; ++s) {
      Bitboard mask = (rook ? RookEntries : BishopEntries)[s].Mask;
      ASSERT_EQ(mask, ExpectedMask(s, rook)) << "square " << s;
      Bitboard subset = 0;
      do {
        Bitboard attacks = rook ? RookAttacks(s, subset) : BishopAttacks(s, subset);
        ASSERT_EQ(attacks, WalkRays(s, subset, rook)) << (rook ? "rook " : "bishop ") << s << " " << subset;
        subset = (subset - mask) & mask;
      } while (subset);
    }
  }
}

TEST_F(AttackTables, SquaresOutsideTheMaskAreIgnored) {
  uint64_t state = 12345;
  for (int32_t i = 0; i < 20000; ++i) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    Bitboard occupied = state & (state >> 7) & 0x9F3C6DB7F5E1A7C3ULL;
    int32_t s = static_cast<int32_t>(state >> 58);
    ASSERT_EQ(RookAttacks(s, occupied), WalkRays(s, occupied, true));
    ASSERT_EQ(BishopAttacks(s, occupied), WalkRays(s, occupied, false));
    ASSERT_EQ(QueenAttacks(s, occupied), WalkRays(s, occupied, true) | WalkRays(s, occupied, false));
  }
}

TEST_F(AttackTables, LineBetweenAndDistanceForEveryPair) {
  for (int32_t a = 0; a < 64; ++a) {
    for (int32_t b = 0; b < 64; ++b) {
      int32_t df = b % 8 - a % 8, dr = b / 8 - a / 8;
      ASSERT_EQ(Distance[a][b], std::max(std::abs(df), std::abs(dr)));
      bool aligned = a != b && (df == 0 || dr == 0 || std::abs(df) == std::abs(dr));
      Bitboard line = 0, between = 0;
      if (aligned) {
        int32_t sf = (df > 0) - (df < 0), sr = (dr > 0) - (dr < 0);
        for (int32_t s = 0; s < 64; ++s) {
          int32_t ef = s % 8 - a % 8, er = s / 8 - a / 8;
          // On the line through a and b: the offset from a is a multiple of the unit step.
          if (ef * sr == er * sf) line |= Bitboard{1} << s;
        }
        for (int32_t f = a % 8 + sf, r = a / 8 + sr; r * 8 + f != b; f += sf, r += sr)
          between |= Bitboard{1} << (r * 8 + f);
      }
      ASSERT_EQ(Line[a][b], line) << a << " " << b;
      ASSERT_EQ(Between[a][b], between) << a << " " << b;
    }
  }
}

}  // namespace
