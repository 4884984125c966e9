// The evaluation driver: blending, drawish scaling, rounding, tempo and damping, with the
// expected values worked out by hand from the piece-square cells and the blending rules.
#include <gtest/gtest.h>

#include <string>

#include "board/board_setup.h"
#include "eval/eval.h"
#include "eval/evaluate.h"
#include "eval/material.h"
#include "eval/mirror_fen.h"
#include "eval/pawns.h"

namespace {

class EvaluationTest : public BoardTest {
 protected:
  static void Setup(const std::string& fen) { ASSERT_EQ(ReadFen(fen), "") << fen; }
  // TaperScore of the pair in the position, with its material and pawn entries current as
  // Evaluate makes them.
  static int32_t Taper(const std::string& fen, int32_t mg, int32_t eg) {
    Setup(fen);
    ProbeMaterial();
    ProbePawns();
    return TaperScore(MakeScore(mg, eg));
  }
};

const std::string START = std::string(START_FEN);

TEST(ComputePhase, ClampsAndScalesNonPawnMaterial) {
  EXPECT_EQ(ComputePhase(0), 0);
  EXPECT_EQ(ComputePhase(3915), 0);
  EXPECT_EQ(ComputePhase(5000), 12);  // 1085 * 128 / 11343 = 12.2
  EXPECT_EQ(ComputePhase(10920), 79);
  EXPECT_EQ(ComputePhase(15257), 127);
  EXPECT_EQ(ComputePhase(15258), 128);
  EXPECT_EQ(ComputePhase(30000), 128);
}

TEST_F(EvaluationTest, StartPositionIsTheTempoDampedByTheClock) {
  Setup(START);
  EXPECT_EQ(Evaluate(), 28);
  Setup("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1");
  EXPECT_EQ(Evaluate(), 28);
  struct Case {
    int Clock, Expected;
  };
  for (Case c : {Case{7, 26}, Case{10, 25}, Case{50, 14}, Case{99, 0}, Case{100, 0}, Case{150, 0}}) {
    for (const char* side : {" w ", " b "}) {
      Setup("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR" + std::string(side) + "KQkq - " + std::to_string(c.Clock) +
            " 1");
      EXPECT_EQ(Evaluate(), c.Expected) << "clock " << c.Clock << side;
    }
  }
}

TEST_F(EvaluationTest, KingAndPawnAgainstKing) {
  // Sums: e1 242/53 + e2 148/270 - e8 242/53 = 148/270. The pawn is passed, so the pull
  // toward zero is 51 and 101: 97/169. Phase 0; four pawns short, the endgame scales by
  // 36 + 7 = 43: 169 * 43 / 64 = 113.5.
  Setup("4k3/8/8/8/8/8/4P3/4K3 w - - 0 1");
  EXPECT_EQ(Position.PsqMg, 148);
  EXPECT_EQ(Position.PsqEg, 270);
  EXPECT_EQ(Taper("4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", 148, 270), 113);
  // Evaluate adds the imbalance 34 / 16 = 2 and the isolated, unopposed pawn (-18, -42):
  // 132/230. King safety: White's shelter (-21, -11) less Black's (-33, -91), no danger
  // without queens; the passer on e2 (10, 28) + 3 x (-11, -8); no threats, no space: 121/314,
  // pulled in to 70/213; 213 * 43 / 64 = 143.1, rounded 128; tempo after the sign change.
  EXPECT_EQ(Evaluate(), 156);
  Setup("4k3/8/8/8/8/8/4P3/4K3 b - - 0 1");
  EXPECT_EQ(Evaluate(), -100);
  Setup("4k3/8/8/8/8/8/4P3/4K3 w - - 50 1");
  EXPECT_EQ(Evaluate(), 78);
  Setup("4k3/8/8/8/8/8/4P3/4K3 b - - 50 1");
  EXPECT_EQ(Evaluate(), -50);
}

TEST_F(EvaluationTest, EndingsWithARuleAreScoredByItUndamped) {
  // King and rook against king: the mate drive's 958 for the rook's side, whatever the clock.
  Setup("8/8/8/8/4k3/8/8/R3K3 b - - 60 1");
  EXPECT_EQ(Evaluate(), -958);
  Setup(MirrorFen("8/8/8/8/4k3/8/8/R3K3 b - - 60 1"));
  EXPECT_EQ(Evaluate(), -958);
}

TEST_F(EvaluationTest, OversizedSumsSaturateInsteadOfWrapping) {
  Setup(START);
  Position.PsqMg = 40000;  // beyond any real position: a wrap would make it negative
  // 32767; White's pawns (+112) stay saturated, Black's (-112) then count in full: 32655.
  // mg 32655 - 60 = 32595; 32595 * 79 / 128 = 20117.3, rounded 20112, tempo 28.
  EXPECT_EQ(Evaluate(), 20140);
  // -32768 + 112 - 112: nothing saturates after the sums. -32708 * 79 / 128 = -20186.9.
  Position.PsqMg = -40000;
  EXPECT_EQ(Evaluate(), -20176 + 28);
}

TEST_F(EvaluationTest, FinishRoundsTowardZeroThenAddsTempoAndDamps) {
  Setup(START);
  EXPECT_EQ(FinishEvaluation(-17), -16 + 28);
  EXPECT_EQ(FinishEvaluation(31), 16 + 28);
  EXPECT_EQ(FinishEvaluation(-15), 28);
  EXPECT_EQ(FinishEvaluation(15), 28);
  EXPECT_EQ(FinishEvaluation(32767), 32000);  // 32752 + 28, clamped
  Setup("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 0 1");
  EXPECT_EQ(FinishEvaluation(-17), 16 + 28);
  EXPECT_EQ(FinishEvaluation(31), -16 + 28);
  EXPECT_EQ(FinishEvaluation(32767), -32000);  // -32752 + 28, clamped
  Setup("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq - 7 1");
  EXPECT_EQ(FinishEvaluation(-1001), 948);  // (992 + 28) * 93 / 100 = 948.6
  EXPECT_EQ(FinishEvaluation(1001), -896);  // (-992 + 28) * 93 / 100 = -896.5, toward zero
}

TEST_F(EvaluationTest, LazySkipComparesHalfTheSumWithMarginAndMaterial) {
  Setup(START);                                      // 10920 / 64 = 170, so the bar is 770 for margin 600
  EXPECT_FALSE(LazySkip(MakeScore(800, 741), 600));  // 1541 / 2 = 770: not beyond
  EXPECT_TRUE(LazySkip(MakeScore(800, 742), 600));
  EXPECT_TRUE(LazySkip(MakeScore(-800, -742), 600));
  EXPECT_FALSE(LazySkip(MakeScore(-800, -742), 700));
  EXPECT_FALSE(LazySkip(MakeScore(3000, -3000), 0));  // halves that cancel
  Setup("4k3/8/8/8/8/8/4P3/4K3 w - - 0 1");           // no pieces: the bar is the margin alone
  EXPECT_FALSE(LazySkip(MakeScore(601, 600), 600));
  EXPECT_TRUE(LazySkip(MakeScore(601, 601), 600));
}

TEST_F(EvaluationTest, TaperBlendsByPhaseAfterPullingTowardZero) {
  // Start position: phase 79, eight pawns each, scale 64.
  EXPECT_EQ(Taper(START, 100, 200), 59);     // (40 * 79 + 90 * 49) / 128 = 59.1
  EXPECT_EQ(Taper(START, -100, -300), -97);  // (-40 * 79 - 190 * 49) / 128 = -97.4
  EXPECT_EQ(Taper(START, 1000, 0), 580);     // 940 * 79 / 128 = 580.2
  EXPECT_EQ(Taper(START, 30, -50), 0);       // both halves stop at zero
  EXPECT_EQ(Taper(START, -50, 110), 0);
}

TEST_F(EvaluationTest, OppositeBishopsScaleTheEndgame) {
  // Phase 0 throughout; an endgame half of 500 is 390 after the pull toward zero, and the
  // result is 390 * scale / 64.
  const std::string bishopsOnly = "4k3/p7/8/2b5/8/8/PP6/4KB2 w - - 0 1";  // f1 light, c5 dark
  EXPECT_EQ(Taper(bishopsOnly, 0, 500), 109);                             // 18: 109.7
  EXPECT_EQ(Taper("4k3/p7/8/3b4/8/8/PP6/4KB2 w - - 0 1", 0, 500), 304);   // same colour: 36 + 14 = 50
  // With rooks the scale counts the strong side's men: 22 + 3 * 5 for White, 22 + 3 * 4 for Black.
  const std::string withRooks = "r3k3/p7/8/2b5/8/8/PP6/R3KB2 w - - 0 1";
  EXPECT_EQ(Taper(withRooks, 0, 500), 225);    // 390 * 37 / 64 = 225.5
  EXPECT_EQ(Taper(withRooks, 0, -500), -207);  // -390 * 34 / 64 = -207.2
}

TEST_F(EvaluationTest, RookEndingOnOneWingScales36) {
  EXPECT_EQ(Taper("3r2k1/5pp1/8/8/8/8/5PPP/3R2K1 w - - 0 1", 0, 500), 219);  // 390 * 36 / 64 = 219.4
  EXPECT_EQ(Taper("3r2k1/5pp1/8/8/8/8/5PPP/3R2K1 w - - 0 1", 0, -500), -219);
  // Each broken condition falls through to the pawn rule: 36 + 7 * 3 = 57, 390 * 57 / 64 = 347.3.
  // Pawns on both wings, a2 passed: 399 * 57 / 64 = 355.4.
  EXPECT_EQ(Taper("3r2k1/5pp1/8/8/8/8/P5PP/3R2K1 w - - 0 1", 0, 500), 355);
  EXPECT_EQ(Taper("k2r4/5pp1/8/8/8/8/5PPP/3R2K1 w - - 0 1", 0, 500), 347);  // king away from its pawns
  EXPECT_EQ(Taper("3r2k1/6p1/8/8/8/8/5PPP/3R2K1 w - - 0 1", 0, 500), 347);  // two pawns more
  // No defending pawn: 43, of the 399 left by the passed e2: 268.1.
  EXPECT_EQ(Taper("r5k1/8/8/8/8/8/4P3/4K2R w - - 0 1", 0, 500), 268);
}

TEST_F(EvaluationTest, LoneQueenScalesByTheOtherSidesMinorPieces) {
  // Black's rook, bishop and knight against the queen: 37 + 3 * 2, whoever is stronger.
  const std::string queenAgainstPieces = "r1b1k1n1/pppppppp/8/8/8/8/PPPPPPPP/3QK3 w - - 0 1";
  EXPECT_EQ(Taper(queenAgainstPieces, 0, 500), 262);  // 390 * 43 / 64 = 262.0
  EXPECT_EQ(Taper(queenAgainstPieces, 0, -500), -262);
  // Black without its queen: phase (9220 - 3915) * 128 / 11343 = 59, scale 37 + 3 * 4 = 49;
  // (240 * 59 + 390 * 69 * 49 / 64) / 128 = (14160 + 20602) / 128 = 271.6.
  EXPECT_EQ(Taper("rnb1kbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - - 0 1", 300, 500), 271);
}

TEST_F(EvaluationTest, FewPawnsCapTheScale) {
  // Rook and knight, too much to be scaled by the material table: 390 * 36 / 64 = 219.4.
  EXPECT_EQ(Taper("4k3/8/8/8/8/8/8/RN2K3 w - - 0 1", 0, 500), 219);
  // A lone knight is: the table scales it to nothing.
  EXPECT_EQ(Taper("4k3/8/8/8/8/8/8/1N2K3 w - - 0 1", 0, 500), 0);
  // Passed pawns shrink the pull: three leave 417, 417 * 57 / 64 = 371.4; four 426, uncapped.
  EXPECT_EQ(Taper("4k3/8/8/8/8/8/3PPP2/1N2K3 w - - 0 1", 0, 500), 371);
  EXPECT_EQ(Taper("4k3/8/8/8/8/8/2PPPP2/1N2K3 w - - 0 1", 0, 500), 426);
  // The cap reads the strong side's pawns: Black's four, White's none (426 * 36 / 64 = 239.6).
  EXPECT_EQ(Taper("4k3/pppp4/8/8/8/8/8/RN2K3 w - - 0 1", 0, -500), -426);
  EXPECT_EQ(Taper("4k3/pppp4/8/8/8/8/8/RN2K3 w - - 0 1", 0, 500), 239);
}

TEST(MirrorFen, TurnsTheBoardAndSwapsEverything) {
  EXPECT_EQ(MirrorFen("r3k2r/8/8/3pP3/8/8/8/R3K1R1 w Qk d6 3 7"), "r3k1r1/8/8/8/3Pp3/8/8/R3K2R b Kq d3 3 7");
}

TEST_F(EvaluationTest, MirroredPositionsEvaluateAlike) {
  int positions = 0, nonTrivial = 0;
  for (const std::string& fen : PerftSuiteFens()) {
    Setup(fen);
    int32_t value = Evaluate();
    Setup(MirrorFen(fen));
    EXPECT_EQ(Evaluate(), value) << fen;
    ++positions;
    nonTrivial += value != 28;
  }
  EXPECT_EQ(positions, 130);
  EXPECT_GT(nonTrivial, 80);  // the comparison must see real values, not only the tempo
}

}  // namespace
