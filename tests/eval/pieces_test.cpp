// Attack maps, mobility and the knight, bishop, rook and queen terms, each compared with
// values worked out by hand from the weights and the rules of the terms.
#include <gtest/gtest.h>

#include "eval/eval.h"
#include "eval/terms_setup.h"

namespace {

using PiecesTest = TermsTest;

TEST_F(PiecesTest, StartPositionMobilityAndPlacement) {
  PrepareMaps(std::string(START_FEN));
  // Knights 2 squares each, bishops 0, rooks 1 (the knight beside it), queen 1 (its bishop):
  // 2 x (-12, -31) + 2 x (-48, -59) + 2 x (-20, -17) + (-12, -30).
  for (int32_t side : {WHITE, BLACK}) {
    EXPECT_EQ(HalvesOf(EvalWork.MobilityScore[side]), Halves(-172, -244)) << side;
    EXPECT_EQ(EvalWork.ZoneAttackers[side], 0);
    EXPECT_EQ(EvalWork.ZoneAttackWeight[side], 0);
  }
  // Knights: shielded (18, 3) each, king distances 3 and 2 at (-8, -9).
  // Bishops: shielded, distances 2 and 1 at (-6, -9), four own pawns on each colour (-3, -7) x 4.
  // Rooks: the h-rook has one square on the king's side of the board: trapped, rights left.
  struct Case {
    ScorePair (*Term)();
    Halves Expected;
  };
  for (Case c : {Case{EvaluateKnights, {-4, -39}}, Case{EvaluateBishops, {-6, -77}}, Case{EvaluateRooks, {-55, -13}},
                 Case{EvaluateQueens, {0, 0}}}) {
    Prepare(std::string(START_FEN));
    const ScorePair pair = c.Term();
    EXPECT_EQ(HalvesOf(pair[WHITE]), c.Expected);
    EXPECT_EQ(HalvesOf(pair[BLACK]), c.Expected);
  }
  EXPECT_EQ(Evaluate(), 28);
}

TEST_F(PiecesTest, KingBlockersAreLonePiecesOfEitherColour) {
  // Re8 x-rays the black knight on e4, Ba5 the white knight on c3; Qh4 has two pieces in
  // its way.
  Prepare("4r1k1/8/8/b7/4n2q/2N3P1/5P2/4K3 w - - 0 1");
  EXPECT_EQ(EvalWork.KingBlockers[WHITE], SquareSet({"c3", "e4"}));
  EXPECT_EQ(EvalWork.KingBlockers[BLACK], 0u);
  // A slider standing behind another on the same line is not a blocker.
  Prepare("4r1k1/4q3/8/8/4N3/8/8/4K3 w - - 0 1");
  EXPECT_EQ(EvalWork.KingBlockers[WHITE], SquareSet({"e4"}));
}

TEST_F(PiecesTest, MobilityAreaLeavesOutKingQueenStuckPawnsAndPawnAttacks) {
  // c2 and d3 are still on the home ranks, e4 is blocked; e5 attacks d4 and f4; g4 is free.
  Prepare("4k3/8/8/4p3/4P1P1/3P4/2P5/4K2Q w - - 0 1");
  EXPECT_EQ(EvalWork.MobilitySquares[WHITE], ~SquareSet({"e1", "h1", "c2", "d3", "e4", "d4", "f4"}));
}

TEST_F(PiecesTest, KingZoneOfACornerKing) {
  // The zone is centred on b2; b3, attacked by two white pawns, leaves it after the black
  // pawn's hits on a2 and c2 are counted.
  Prepare("4k3/8/8/8/8/1p6/P1P5/K7 w - - 0 1");
  EXPECT_EQ(EvalWork.KingZone[WHITE], SquareSet({"a1", "b1", "c1", "a2", "b2", "c2", "a3", "c3"}));
  EXPECT_EQ(EvalWork.ZoneAttackers[BLACK], 2);
  EXPECT_EQ(EvalWork.ZoneAttackWeight[BLACK], 0);
  EXPECT_EQ(EvalWork.DoubleAttacks[WHITE], SquareSet({"b3"}));
  EXPECT_EQ(EvalWork.KingZone[BLACK], SquareSet({"d8", "e8", "f8", "d7", "e7", "f7", "d6", "e6", "f6"}));
}

TEST_F(PiecesTest, PinnedKnightHasNoAttacks) {
  // Free, the knight on e2 reaches six squares, one of them (d4) in the black king's zone.
  Prepare("8/8/8/3k4/8/8/4N3/4K3 w - - 0 1");
  EvaluateKnights();
  EXPECT_EQ(HalvesOf(EvalWork.MobilityScore[WHITE]), Halves(22, 17));
  EXPECT_EQ(EvalWork.ZoneAttackers[WHITE], 1);
  EXPECT_EQ(EvalWork.ZoneAttackWeight[WHITE], 81);

  Prepare("4r3/8/8/3k4/8/8/4N3/4K3 w - - 0 1");
  const ScorePair placement = EvaluateKnights();
  EXPECT_EQ(EvalWork.AttackMap[WHITE][KNIGHT], 0u);
  EXPECT_EQ(HalvesOf(EvalWork.MobilityScore[WHITE]), Halves(-62, -81));
  EXPECT_EQ(EvalWork.ZoneAttackers[WHITE], 0);
  EXPECT_EQ(EvalWork.ZoneAttackWeight[WHITE], 0);
  EXPECT_EQ(HalvesOf(placement[WHITE]), Halves(-8, -9));  // one step from its king
}

TEST_F(PiecesTest, KnightOutposts) {
  // Na5 on a wing outpost (b4 covers it), no target to hit and none on files a-d: the idle
  // bonus (-7, 36), and four steps from its king (-32, -36).
  EXPECT_EQ(WhiteScore(EvaluateKnights, "6kq/8/8/N7/1P6/8/8/4K3 w - - 0 1"), Halves(-39, 0));
  // Attacking the queen on c6, or with two targets on files a-d: the outpost bonus (56, 36).
  EXPECT_EQ(WhiteScore(EvaluateKnights, "6k1/8/2q5/N7/1P6/8/8/4K3 w - - 0 1"), Halves(24, 0));
  EXPECT_EQ(WhiteScore(EvaluateKnights, "2qk4/8/8/N7/1P6/8/8/4K3 w - - 0 1"), Halves(24, 0));
  // Right behind an enemy pawn that no black pawn can ever attack past: an outpost without
  // a supporting pawn, and shielded: (56, 36) + (18, 3) + 4 x (-8, -9).
  EXPECT_EQ(WhiteScore(EvaluateKnights, "4k3/8/3p4/3N4/8/8/8/4K3 w - - 0 1"), Halves(42, 3));
  // Nc3 reaches b5 and d5, which c4 covers: (31, 22), shielded by c4, two from its king.
  EXPECT_EQ(WhiteScore(EvaluateKnights, "4k3/8/8/8/2P5/2N5/8/4K3 w - - 0 1"), Halves(33, 7));
  // A black pawn that can still advance to attack d5 spoils the outpost: only the shield.
  EXPECT_EQ(WhiteScore(EvaluateKnights, "4k3/2p5/3p4/3N4/8/8/8/4K3 w - - 0 1"), Halves(-14, -33));
}

TEST_F(PiecesTest, BishopLongDiagonalAndZone) {
  // Bb2 sees d4 and e5 and reaches f6 in the zone: mobility 9, (45, 0) and three steps from
  // its king (-18, -27).
  EXPECT_EQ(WhiteScore(EvaluateBishops, "4k3/8/8/8/8/8/1B6/4K3 w - - 0 1"), Halves(27, -27));
  EXPECT_EQ(HalvesOf(EvalWork.MobilityScore[WHITE]), Halves(68, 73));
  EXPECT_EQ(EvalWork.ZoneAttackWeight[WHITE], 52);
  // A knight on d4 stops it short of the zone, but only pawns would: (24, 0) more.
  EXPECT_EQ(WhiteScore(EvaluateBishops, "4k3/8/8/8/3n4/8/1B6/4K3 w - - 0 1"), Halves(51, -27));
  EXPECT_EQ(HalvesOf(EvalWork.MobilityScore[WHITE]), Halves(51, 42));
  EXPECT_EQ(EvalWork.ZoneAttackers[WHITE], 0);
  // Bb1 sees e4 alone of the centre: no long-diagonal bonus.
  EXPECT_EQ(WhiteScore(EvaluateBishops, "4k3/8/8/8/8/8/8/1B2K3 w - - 0 1"), Halves(-18, -27));
  // The queen on c3 does not block it.
  EXPECT_EQ(WhiteScore(EvaluateBishops, "4k3/8/8/8/8/2Q5/1B6/4K3 w - - 0 1"), Halves(27, -27));
}

TEST_F(PiecesTest, BishopOwnPawnsAndEnemyPawnsOnItsDiagonals) {
  // Bc1 (dark) with b2 and d2 on dark squares, not covered by a pawn, e4 blocked in the
  // centre: 2 x (1 + 1) x (-3, -7); two from its king (-12, -18); no mobility.
  EXPECT_EQ(WhiteScore(EvaluateBishops, "4k3/8/8/4p3/4P3/8/1P1P4/2B1K3 w - - 0 1"), Halves(-24, -46));
  EXPECT_EQ(HalvesOf(EvalWork.MobilityScore[WHITE]), Halves(-48, -59));
  // Black pawns on a3 and g5 stand on its empty-board diagonals: 2 x (-4, -5) more.
  EXPECT_EQ(WhiteScore(EvaluateBishops, "4k3/8/8/4p1p1/4P3/p7/1P1P4/2B1K3 w - - 0 1"), Halves(-32, -56));
}

TEST_F(PiecesTest, RookFiles) {
  // Open (48, 29); semi-open with only an enemy pawn (19, 7).
  EXPECT_EQ(WhiteScore(EvaluateRooks, "4k3/8/8/8/8/8/8/R3K3 w - - 0 1"), Halves(48, 29));
  EXPECT_EQ(WhiteScore(EvaluateRooks, "4k3/p7/8/8/8/8/8/R3K3 w - - 0 1"), Halves(19, 7));
  // Re1 reaches e7 in the zone: only the semi-open file.
  EXPECT_EQ(WhiteScore(EvaluateRooks, "4k3/4p3/8/8/8/8/8/4R1K1 w - - 0 1"), Halves(19, 7));
  EXPECT_EQ(EvalWork.ZoneAttackWeight[WHITE], 44);
  // Stopped by its own knight on e4, it still stands on the zone's file: (16, 0) more; a
  // queen on the file adds (6, 11) and does not block it.
  EXPECT_EQ(WhiteScore(EvaluateRooks, "4k3/4p3/8/8/4N3/8/8/4R1K1 w - - 0 1"), Halves(35, 7));
  EXPECT_EQ(WhiteScore(EvaluateRooks, "4k3/4p3/4q3/8/4N3/8/8/4R1K1 w - - 0 1"), Halves(41, 18));
}

TEST_F(PiecesTest, TrappedRook) {
  // Rh1 behind h2 with its king on g1: no mobility; with no rights left the penalty doubles.
  EXPECT_EQ(WhiteScore(EvaluateRooks, "k7/8/8/8/8/8/7P/6KR w - - 0 1"), Halves(-110, -26));
  // With its king on e1, the a-rook (three squares, but on the far side) is not trapped; the
  // h-rook (f1 and g1) is, once while castling is still possible.
  EXPECT_EQ(WhiteScore(EvaluateRooks, "4k3/8/8/8/8/8/P6P/R3K2R w KQ - 0 1"), Halves(-55, -13));
  EXPECT_EQ(WhiteScore(EvaluateRooks, "4k3/8/8/8/8/8/P6P/R3K2R w - - 0 1"), Halves(-110, -26));
  // A rook on its king's own file counts as beside it.
  EXPECT_EQ(WhiteScore(EvaluateRooks, "k7/8/8/8/8/4P3/3PRP2/4K3 w - - 0 1"), Halves(-110, -26));
  // Three squares (f1, g1 and its knight's h2) are too few; four (f1, g1, h2 and its
  // knight's h3) are enough.
  EXPECT_EQ(WhiteScore(EvaluateRooks, "k7/8/8/8/7P/8/7N/4K2R w - - 0 1"), Halves(-110, -26));
  EXPECT_EQ(WhiteScore(EvaluateRooks, "k7/8/8/8/7P/7N/8/4K2R w - - 0 1"), Halves(0, 0));
}

TEST_F(PiecesTest, QueenPinnableAndIntrusion) {
  // A single black knight between the queen and a black rook; a single own knight between
  // it and a black bishop.
  EXPECT_EQ(WhiteScore(EvaluateQueens, "4r1k1/8/4n3/8/4Q3/8/8/4K3 w - - 0 1"), Halves(-56, -15));
  EXPECT_EQ(WhiteScore(EvaluateQueens, "4k3/8/8/b7/8/2N5/3Q4/4K3 w - - 0 1"), Halves(-56, -15));
  // Two pieces in between, or an enemy queen on the line, are no threat.
  EXPECT_EQ(WhiteScore(EvaluateQueens, "4r1k1/4p3/4n3/8/4Q3/8/8/4K3 w - - 0 1"), Halves(0, 0));
  EXPECT_EQ(WhiteScore(EvaluateQueens, "4q1k1/8/4n3/8/4Q3/8/8/4K3 w - - 0 1"), Halves(0, 0));
  // On the fifth rank where no black pawn can ever attack it: (-2, 14); a black pawn on c7
  // can still come to c6 and take it away.
  EXPECT_EQ(WhiteScore(EvaluateQueens, "4k3/8/8/3Q4/8/8/8/4K3 w - - 0 1"), Halves(-2, 14));
  EXPECT_EQ(WhiteScore(EvaluateQueens, "4k3/2p5/8/3Q4/8/8/8/4K3 w - - 0 1"), Halves(0, 0));
}

TEST_F(PiecesTest, DoubleAttacksGatherAcrossPieces) {
  // Nf3 shares d2 with the king and d4, e5 with Bb2.
  PrepareMaps("4k3/8/8/8/8/5N2/1B6/4K3 w - - 0 1");
  EXPECT_EQ(EvalWork.DoubleAttacks[WHITE], SquareSet({"d2", "d4", "e5"}));
  EXPECT_EQ(EvalWork.AttackMap[WHITE][ALL_PIECES],
            EvalWork.AttackMap[WHITE][KNIGHT] | EvalWork.AttackMap[WHITE][BISHOP] | EvalWork.AttackMap[WHITE][KING]);
}

}  // namespace
