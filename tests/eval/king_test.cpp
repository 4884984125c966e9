// King safety, passed pawns, threats and space, each compared with values worked out by hand
// from the attack maps of small positions and the weights of the terms.
#include <gtest/gtest.h>

#include "eval/terms_setup.h"

namespace {

using KingTest = TermsTest;
using PassedTest = TermsTest;
using ThreatsTest = TermsTest;
using SpaceTest = TermsTest;

struct FenCase {
  const char* Fen;
  Halves Expected;
};

// ---- King safety ---------------------------------------------------------------------------

TEST(KingDangerPenalty, QuadraticAboveOneHundredAndClampedInsteadOfWrapping) {
  EXPECT_EQ(HalvesOf(KingDangerPenalty(-836)), Halves(0, 0));
  EXPECT_EQ(HalvesOf(KingDangerPenalty(100)), Halves(0, 0));
  EXPECT_EQ(HalvesOf(KingDangerPenalty(101)), Halves(-2, -6));  // 10201 / 4096, 101 / 16
  EXPECT_EQ(HalvesOf(KingDangerPenalty(488)), Halves(-58, -30));
  // 11585^2 / 4096 = 32766 still fits; one more would wrap to a bonus of 32764.
  EXPECT_EQ(HalvesOf(KingDangerPenalty(11585)), Halves(-32766, -724));
  EXPECT_EQ(HalvesOf(KingDangerPenalty(11586)), Halves(-32767, -724));
  EXPECT_EQ(HalvesOf(KingDangerPenalty(60000)), Halves(-32767, -3750));  // beyond 2^31 squared
}

// White: Kg1, pawns f2 g2 h2. Black: Qa8 boxed in by Kb8, a7 and b7, and Ng4 hitting f2 and h2.
const char* const KNIGHT_ON_G4 = "qk6/pp6/8/8/6n1/8/5PPP/6K1 w - - 0 1";

TEST_F(KingTest, ShelterZoneAttacksAndFlank) {
  PrepareMaps(KNIGHT_ON_G4);
  // Shelter at g1: (5, 5) + f (75 + 6) + g (61 - 46) + h (81 - 85), and -16 for the pawn next
  // to the king.
  EXPECT_EQ(HalvesOf(KingShelter(WHITE)), Halves(97, -11));
  // Danger: knight in the zone 1 x 81, f2 and h2 weak in the zone 2 x 185, 37: 488, giving
  // (-58, -30). Black attacks e3, e5, f2, h2 on the flank in White's camp: 4 x (-8, 0).
  EXPECT_EQ(HalvesOf(EvaluateKing(WHITE)), Halves(7, -41));
  // Black's king: no attacker, and White has no queen: the shelter alone, (5, 5) + a (81 - 85)
  // + b (61 - 46) + c (-10 + 6), -16.
  EXPECT_EQ(HalvesOf(EvaluateKing(BLACK)), Halves(12, -11));
}

TEST_F(KingTest, AttackerWithoutAQueenIsLessDangerous) {
  // 81 + 370 + 37 - 873 < 0: only the flank attacks remain.
  PrepareMaps("1k6/pp6/8/8/6n1/8/5PPP/6K1 w - - 0 1");
  EXPECT_EQ(HalvesOf(EvaluateKing(WHITE)), Halves(65, -11));
}

TEST_F(KingTest, SafeAndUnsafeChecks) {
  // Rd8 can check safely on d1: 1084 - 873 + 37 = 248, giving (-15, -15).
  PrepareMaps("1k1r4/pp6/8/8/8/8/5PPP/6K1 w - - 0 1");
  EXPECT_EQ(HalvesOf(EvaluateKing(WHITE)), Halves(82, -26));
  // With a queen on the board: 1084 + 37 = 1121, giving (-306, -70).
  PrepareMaps("qk1r4/pp6/8/8/8/8/5PPP/6K1 w - - 0 1");
  EXPECT_EQ(HalvesOf(EvaluateKing(WHITE)), Halves(-209, -81));
  // Qd7 checks on d1 too, where the rook (seeing through it) already counts: 1084, the queen
  // in the zone (h3) 10, 37: 1131, giving (-312, -70); the queen hits f5, g4, h3 on the flank.
  PrepareMaps("1k1r4/pp1q4/8/8/8/8/5PPP/6K1 w - - 0 1");
  EXPECT_EQ(HalvesOf(EvaluateKing(WHITE)), Halves(-239, -81));
  // Nb2 guards d1: the check is unsafe, 148 + 37 = 185, giving (-8, -11); queenless, nothing.
  PrepareMaps("qk1r4/pp6/8/8/8/8/1N3PPP/6K1 w - - 0 1");
  EXPECT_EQ(HalvesOf(EvaluateKing(WHITE)), Halves(89, -22));
  PrepareMaps("1k1r4/pp6/8/8/8/8/1N3PPP/6K1 w - - 0 1");
  EXPECT_EQ(HalvesOf(EvaluateKing(WHITE)), Halves(97, -11));
}

TEST_F(KingTest, BishopCheckOnADoublyAttackedPawn) {
  // Bc5 joins the knight on f2: two zone attackers weighing 133 (266), f2 and h2 weak (370),
  // a safe bishop check by taking on f2 (645), 37: 1318, giving (-424, -82). The flank has
  // e3, e5, f2, h2 attacked, e3 and f2 twice: 6 x (-8, 0).
  PrepareMaps("qk6/pp6/8/2b5/6n1/8/5PPP/6K1 w - - 0 1");
  EXPECT_EQ(EvalWork.ZoneAttackers[BLACK], 2);
  EXPECT_EQ(EvalWork.ZoneAttackWeight[BLACK], 133);
  EXPECT_EQ(HalvesOf(EvaluateKing(WHITE)), Halves(-375, -93));
}

TEST_F(KingTest, QueenCheckSquaresAreNotBishopChecks) {
  // Qe8 checks safely on e1 and e3 (1119); the bishop's e3 is then no safe check of its own
  // but an unsafe one (148); 37: 1304, giving (-415, -81). Flank: e1-e5, f4, g5, h5, and e3
  // twice: 9 x (-8, 0).
  PrepareMaps("1k2q3/8/8/8/8/5P2/6PP/2b3K1 w - - 0 1");
  // (5, 5) + f (23 + 6) + g (61 - 46) + h (81 - 85), -16.
  EXPECT_EQ(HalvesOf(KingShelter(WHITE)), Halves(45, -11));
  EXPECT_EQ(HalvesOf(EvaluateKing(WHITE)), Halves(-442, -92));
}

TEST_F(KingTest, FlankByKingFile) {
  // Queenless opponents far away: the king term is the shelter, plus (-17, -95) when no pawn
  // stands on the king's flank.
  struct Case {
    const char* Fen;
    bool Pawnless;
  };
  for (Case c : {Case{"k7/8/8/8/8/8/3P4/K7 w - - 0 1", true},      // a: a-c
                 Case{"k7/8/8/8/8/8/3P4/1K6 w - - 0 1", false},    // b: a-d
                 Case{"k7/8/8/8/8/8/4P3/7K w - - 0 1", true},      // h: f-h
                 Case{"k7/8/8/8/8/8/4P3/6K1 w - - 0 1", false},    // g: e-h
                 Case{"k7/8/8/8/8/8/1P6/3K4 w - - 0 1", true},     // d: c-f
                 Case{"k7/8/8/8/8/8/2P5/3K4 w - - 0 1", false},    // d: c-f
                 Case{"k7/8/8/8/8/8/6P1/4K3 w - - 0 1", true},     // e: c-f
                 Case{"k7/2p5/8/8/8/8/8/K7 w - - 0 1", false}}) {  // a black pawn counts too
    PrepareMaps(c.Fen);
    const PackedScore shelter = KingShelter(WHITE);
    const PackedScore expected = c.Pawnless ? AddScore(shelter, MakeScore(-17, -95)) : shelter;
    EXPECT_EQ(HalvesOf(EvaluateKing(WHITE)), HalvesOf(expected)) << c.Fen;
  }
}

// ---- Passed pawns --------------------------------------------------------------------------

TEST_F(PassedTest, ByRankWithKingRaceAndFreePath) {
  for (FenCase c : {
           // a7: (276, 260); w = 17; race (5 x 19 / 4 - 5 x 2) x 17; no second push; path free
           // and unattacked: 35 x 17 both halves.
           FenCase{"8/P7/8/8/8/8/8/4K2k w - - 0 1", {871, 1076}},
           // a4: (15, 41); w = 2; race (23 - 8) x 2; second push -5 x 2; free path 35 x 2.
           FenCase{"8/8/8/8/P7/8/8/4K2k w - - 0 1", {85, 131}},
           // a3: the rank bonus alone; on d3 three files from the edge: 3 x (-11, -8).
           FenCase{"8/8/8/8/8/P7/8/4K2k w - - 0 1", {17, 33}},
           FenCase{"8/8/8/8/8/3P4/8/4K2k w - - 0 1", {-16, 9}},
           // a5: (62, 72); w = 7; race 13 x 7; second push -5 x 7; free path 35 x 7.
           FenCase{"8/8/8/P7/8/8/8/4K2k w - - 0 1", {307, 373}},
           // A rook of its own behind it: 40 x 7.
           FenCase{"8/8/8/P7/8/8/8/R3K2k w - - 0 1", {342, 408}},
           // An enemy rook behind it: every square ahead stays unsafe, attacked or not.
           FenCase{"8/8/8/P7/8/8/r7/4K2k w - - 0 1", {62, 128}},
       }) {
    PrepareMaps(c.Fen);
    const ScorePair passed = EvaluatePassed();
    EXPECT_EQ(HalvesOf(passed[WHITE]), c.Expected) << c.Fen;
    EXPECT_EQ(HalvesOf(passed[BLACK]), Halves(0, 0)) << c.Fen;
  }
}

TEST_F(PassedTest, BlockedPasserNeedsAnEscort) {
  // e5, blocked by e6, is passed because d4 can come to d5: (62, 72), race -1 x 7, second
  // push -5 x 7, three files from the edge.
  PrepareMaps("4k3/8/4p3/4P3/3P4/8/8/4K3 w - - 0 1");
  ASSERT_EQ(CurrentPawnEntry->Passed[WHITE], SquareSet({"e5"}));
  EXPECT_EQ(HalvesOf(EvaluatePassed()[WHITE]), Halves(29, 6));
  // A black knight on d5 leaves no escort square: the passer no longer counts.
  PrepareMaps("4k3/8/4p3/3nP3/3P4/8/8/4K3 w - - 0 1");
  ASSERT_EQ(CurrentPawnEntry->Passed[WHITE], SquareSet({"e5"}));
  EXPECT_EQ(HalvesOf(EvaluatePassed()[WHITE]), Halves(0, 0));
}

// ---- Threats -------------------------------------------------------------------------------

TEST_F(ThreatsTest, AgainstDefendedAndWeakPieces) {
  for (FenCase c : {
           // Rd5 attacked by Ne3 and defended by c6: minor threat (88, 119) but not hanging;
           // restriction on d1, d2, f5: 3 x (7, 7).
           FenCase{"4k3/8/2p5/3r4/8/4N3/8/4K3 w - - 0 1", {109, 140}},
           // Undefended, it hangs as well: (69, 36) more.
           FenCase{"4k3/8/8/3r4/8/4N3/8/4K3 w - - 0 1", {178, 176}},
           // A safe pawn hits the knight (173, 94), which hangs (69, 36).
           FenCase{"4k3/8/8/3n4/4P3/8/8/4K3 w - - 0 1", {242, 130}},
           // Defended by its queen only, the knight does not hang: (14, 0); restriction on d5.
           FenCase{"3qk3/8/8/3n4/4P3/8/8/4K3 w - - 0 1", {194, 101}},
           // Defended by its king but attacked twice, the knight hangs: (57, 41) + (69, 36),
           // restriction on d5 and f5.
           FenCase{"8/8/4k3/3n4/8/4N3/B7/4K3 w - - 0 1", {140, 91}},
           // The king attacks a loose knight (24, 89), which hangs; restriction on f1.
           FenCase{"4k3/8/8/8/8/8/3n4/4K3 w - - 0 1", {100, 132}},
           // The rook attacks a loose bishop (42, 60), which hangs; restriction on a1 and f2.
           FenCase{"4k3/8/8/8/3b4/8/8/3RK3 w - - 0 1", {125, 110}},
       }) {
    PrepareMaps(c.Fen);
    EXPECT_EQ(HalvesOf(EvaluateThreats()[WHITE]), c.Expected) << c.Fen;
  }
}

// ---- Space ---------------------------------------------------------------------------------

TEST_F(SpaceTest, OnlyWithEnoughMaterial) {
  // White: 8 safe squares in c2-f4, 4 of them behind its pawns and unattacked: 12; weight
  // 9 pieces - 3 + no blocked pawns = 6: 12 x 36 / 16. Black: c6-f6 only, 4 x 36 / 16.
  PrepareMaps("4k3/pppppppp/8/8/3PP3/8/PPP2PPP/4K3 w - - 0 1");
  Position.NonPawnMaterial[WHITE] = 2500;
  Position.NonPawnMaterial[BLACK] = 2500;
  ScorePair space = EvaluateSpace();
  EXPECT_EQ(HalvesOf(space[WHITE]), Halves(27, 0));
  EXPECT_EQ(HalvesOf(space[BLACK]), Halves(9, 0));
  Position.NonPawnMaterial[BLACK] = 2499;
  space = EvaluateSpace();
  EXPECT_EQ(HalvesOf(space[WHITE]), Halves(0, 0));
  EXPECT_EQ(HalvesOf(space[BLACK]), Halves(0, 0));
}

TEST_F(SpaceTest, BlockedPawnsRaiseTheWeight) {
  // d4/d5 and e4/e5 block each other: BlockedCount 4, so White's weight is 9 - 3 + 4 = 10.
  // Safe: d2, e2, c3, d3, e3, f3 (c4 and f4 are hit by d5 and e5): 6; behind the pawns and
  // unattacked: d2, e2, d3, e3: 4. (6 + 4) x 100 / 16.
  PrepareMaps("4k3/ppp2ppp/8/3pp3/3PP3/8/PPP2PPP/4K3 w - - 0 1");
  ASSERT_EQ(CurrentPawnEntry->BlockedCount, 4);
  Position.NonPawnMaterial[WHITE] = 5000;
  EXPECT_EQ(HalvesOf(EvaluateSpace()[WHITE]), Halves(62, 0));
}

}  // namespace
