// The material table and the endgame rules, with the values worked out by hand from the
// imbalance tables, the phase formula, the scale rules and each ending's formula.
#include <gtest/gtest.h>

#include <string>

#include "board/board_setup.h"
#include "eval/endgame.h"
#include "eval/material.h"
#include "eval/mirror_fen.h"

namespace {

class MaterialTest : public BoardTest {
 protected:
  static const MaterialEntry& Probe(const std::string& fen) {
    EXPECT_EQ(ReadFen(fen), "") << fen;
    ProbeMaterial();
    return *CurrentMaterialEntry;
  }
};

TEST_F(MaterialTest, StartPositionIsBalancedAtPhase79) {
  const MaterialEntry& entry = Probe(std::string(START_FEN));
  EXPECT_EQ(entry.Key, Position.MaterialKey);
  EXPECT_EQ(entry.Phase, 79);
  EXPECT_EQ(entry.Imbalance, 0);
  EXPECT_EQ(entry.ScaleFactor[WHITE], 64);
  EXPECT_EQ(entry.ScaleFactor[BLACK], 64);
  EXPECT_EQ(entry.EndgameFunction, nullptr);
  EXPECT_EQ(entry.ScalingFunction[WHITE], nullptr);
  EXPECT_EQ(entry.ScalingFunction[BLACK], nullptr);
  // Queens and rooks only: (6800 - 3915) x 128 / 11343 = 32.6.
  EXPECT_EQ(Probe("r2qk2r/8/8/8/8/8/8/R2QK2R w - - 0 1").Phase, 32);
}

TEST_F(MaterialTest, ImbalanceWeighsPiecesAgainstEachOther) {
  // Two bishops and eight pawns against bishop, knight and eight pawns: White
  // 1431 + 8 x 325 + 2 x 1191 = 6413, Black 8 x 306 + 2690 + 1228 = 6366; 47 / 16 = 2.
  const std::string pair = "2b1kn2/pppppppp/8/8/8/8/PPPPPPPP/2B1KB2 w - - 0 1";
  EXPECT_EQ(Probe(pair).Imbalance, 2);
  EXPECT_EQ(Probe(MirrorFen(pair)).Imbalance, -2);
  EXPECT_EQ(ComputeImbalance(), -2);
  // A specialised signature gets its imbalance too: a lone rook is -200, / 16 toward zero.
  EXPECT_EQ(Probe("4k3/8/8/8/4K3/8/8/R7 w - - 0 1").Imbalance, -12);
  EXPECT_EQ(Probe("r3k3/8/8/8/4K3/8/8/8 w - - 0 1").Imbalance, 12);
  EXPECT_EQ(Probe("4k3/8/8/8/8/8/4P3/4K3 w - - 0 1").Imbalance, 2);  // 34 / 16
}

TEST_F(MaterialTest, PawnlessSidesScaleDown) {
  // Kings only: the pawn-only rule for White, and no side can win.
  const MaterialEntry& bare = Probe("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
  EXPECT_EQ(bare.ScalingFunction[WHITE], ScalePawnsOnly);
  EXPECT_EQ(bare.ScalingFunction[BLACK], nullptr);
  EXPECT_EQ(bare.ScaleFactor[WHITE], 0);
  EXPECT_EQ(bare.ScaleFactor[BLACK], 0);
  EXPECT_EQ(bare.Phase, 0);

  // A lone bishop cannot win (and cannot lose).
  const MaterialEntry& bishop = Probe("4k3/8/8/8/8/8/8/2B1K3 w - - 0 1");
  EXPECT_EQ(bishop.ScaleFactor[WHITE], 0);
  EXPECT_EQ(bishop.ScaleFactor[BLACK], 0);
  EXPECT_EQ(bishop.ScalingFunction[WHITE], nullptr);

  // Rook against bishop and pawn: the rook side keeps 4 of 64.
  const MaterialEntry& rook = Probe("4kb2/p7/8/8/8/8/8/R3K3 w - - 0 1");
  EXPECT_EQ(rook.ScaleFactor[WHITE], 4);
  EXPECT_EQ(rook.ScaleFactor[BLACK], 64);  // Black has a pawn

  // Rook and pawn against rook: the defending side 14, the side with the pawn unscaled.
  const MaterialEntry& rookPawn = Probe("r3k3/8/8/8/8/8/4P3/R3K3 w - - 0 1");
  EXPECT_EQ(rookPawn.ScaleFactor[WHITE], 64);
  EXPECT_EQ(rookPawn.ScaleFactor[BLACK], 14);
  const MaterialEntry& mirrored = Probe(MirrorFen("r3k3/8/8/8/8/8/4P3/R3K3 w - - 0 1"));
  EXPECT_EQ(mirrored.ScaleFactor[WHITE], 14);
  EXPECT_EQ(mirrored.ScaleFactor[BLACK], 64);

  // A lead of more than a bishop keeps the scale whole.
  EXPECT_EQ(Probe("4k3/8/8/8/8/8/8/R1B1K3 w - - 0 1").ScaleFactor[WHITE], 64);
}

TEST_F(MaterialTest, SpecialisedSignaturesKeepNormalScale) {
  const MaterialEntry& entry = Probe("4kb2/8/8/8/8/8/8/R3K3 w - - 0 1");
  EXPECT_EQ(entry.EndgameFunction, EvaluateRookAgainstBishop);
  EXPECT_EQ(entry.StrongSide, WHITE);
  EXPECT_EQ(entry.ScaleFactor[WHITE], 64);
  EXPECT_EQ(entry.ScaleFactor[BLACK], 64);  // would be 0 for a bishop side without the rule
  EXPECT_EQ(entry.ScalingFunction[WHITE], nullptr);
  EXPECT_EQ(Probe("r3k3/8/8/8/8/8/8/4KB2 w - - 0 1").StrongSide, BLACK);

  struct Case {
    const char* Fen;
    EndgameFn Function;
  };
  for (Case c : {
           Case{"4k3/8/8/8/8/8/8/R3K3 w - - 0 1", EvaluateMateDrive},
           Case{"4k3/8/8/8/8/8/8/3qK3 w - - 0 1", EvaluateMateDrive},
           Case{"4k3/8/8/8/8/8/8/1NB1K3 w - - 0 1", EvaluateBishopKnightMate},
           Case{"1n2k1n1/8/8/8/8/8/8/4K3 w - - 0 1", EvaluateTwoKnights},
           Case{"4k3/p7/8/8/8/8/8/R3K3 w - - 0 1", EvaluateRookAgainstPawn},
           Case{"4kn2/8/8/8/8/8/8/R3K3 w - - 0 1", EvaluateRookAgainstKnight},
           Case{"4k3/p7/8/8/8/8/8/3QK3 w - - 0 1", EvaluateQueenAgainstPawn},
           Case{"r3k3/8/8/8/8/8/8/3QK3 w - - 0 1", EvaluateQueenAgainstRook},
           Case{"4k3/p7/8/8/8/8/8/1N2KN2 w - - 0 1", EvaluateTwoKnightsAgainstPawn},
       }) {
    EXPECT_EQ(Probe(c.Fen).EndgameFunction, c.Function) << c.Fen;
    EXPECT_EQ(Probe(MirrorFen(c.Fen)).EndgameFunction, c.Function) << c.Fen;
  }
  // One pawn more is no longer the signature.
  EXPECT_EQ(Probe("4k3/p7/8/8/8/8/P7/R3K3 w - - 0 1").EndgameFunction, nullptr);
  // King and pawn against king has no rule of its own (many are draws): the pawn-only rule.
  const MaterialEntry& pawn = Probe("4k3/8/8/8/8/8/4P3/4K3 w - - 0 1");
  EXPECT_EQ(pawn.EndgameFunction, nullptr);
  EXPECT_EQ(pawn.ScalingFunction[WHITE], ScalePawnsOnly);
}

TEST_F(MaterialTest, PawnOnlyRuleDrawsWhenTheKingStandsInFront) {
  struct Case {
    const char* Fen;
    int32_t Scale;  // ScaleFactorFor the side with the pawns
  };
  for (Case c : {
           Case{"8/8/8/8/1k6/P7/P7/4K3 b - - 0 1", 0},  // b4 covers a3 and a2
           Case{"8/8/8/8/8/P7/Pk6/4K3 w - - 0 1", 64},  // a3 is not below the king
           Case{"8/8/8/8/8/P7/P7/k3K3 w - - 0 1", 64},  // the king on the first rank
           Case{"k7/8/8/8/8/8/P6P/4K3 w - - 0 1", 64},  // both rook files
           Case{"7k/8/8/8/8/8/P6P/4K3 w - - 0 1", 64}, Case{"8/8/8/3k4/8/8/P6P/4K3 w - - 0 1", 64},
           Case{"8/8/8/8/2k5/P7/P7/4K3 w - - 0 1", 64},  // two files away
           Case{"8/8/8/8/1k6/8/PP6/4K3 w - - 0 1", 64},  // a knight's pawn is no rook's pawn
       }) {
    Probe(c.Fen);
    EXPECT_EQ(CurrentMaterialEntry->ScalingFunction[WHITE], ScalePawnsOnly) << c.Fen;
    EXPECT_EQ(ScaleFactorFor(WHITE), c.Scale) << c.Fen;
    Probe(MirrorFen(c.Fen));
    EXPECT_EQ(CurrentMaterialEntry->ScalingFunction[BLACK], ScalePawnsOnly) << c.Fen;
    EXPECT_EQ(ScaleFactorFor(BLACK), c.Scale) << c.Fen;
  }
  // With pawns on both sides no rule is set.
  const MaterialEntry& both = Probe("4k3/p7/8/8/8/8/P7/4K3 w - - 0 1");
  EXPECT_EQ(both.ScalingFunction[WHITE], nullptr);
  EXPECT_EQ(both.ScalingFunction[BLACK], nullptr);
}

TEST_F(MaterialTest, EntriesAreReusedUntilTheSignatureChanges) {
  const MaterialEntry* first = &Probe(std::string(START_FEN));
  // Other squares, same counts: the same entry, untouched.
  EXPECT_EQ(&Probe("rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 1"), first);
  EXPECT_EQ(first->Phase, 79);
  // The slot a signature lands in is refilled when another signature takes it.
  MaterialEntry& slot = MaterialTable[Position.MaterialKey & (MATERIAL_TABLE_SIZE - 1)];
  slot.Key ^= 1;
  slot.Phase = 3;
  EXPECT_EQ(Probe(std::string(START_FEN)).Phase, 79);
}

// ---- Endgame rules: each answers for the side to move --------------------------------------

class EndgameTest : public MaterialTest {
 protected:
  // The rule the probe selects, called for its strong side, with White and then Black to move.
  static void ExpectBothSides(const std::string& fen, EndgameFn function, int32_t strongValue) {
    for (const char* side : {" w ", " b "}) {
      std::string text = fen;
      text.replace(text.find(" w "), 3, side);
      const MaterialEntry& entry = Probe(text);
      ASSERT_EQ(entry.EndgameFunction, function) << text;
      const bool strongToMove = Position.SideToMove == entry.StrongSide;
      EXPECT_EQ(entry.EndgameFunction(entry.StrongSide), strongToMove ? strongValue : -strongValue) << text;
    }
  }
};

TEST_F(EndgameTest, MateDriveRewardsEdgeAndKingProximity) {
  // Rook 850, king e4 at the centre (edge 28), kings 3 apart (140 - 60): no bonus for the win itself.
  ExpectBothSides("8/8/8/8/4k3/8/8/R3K3 w - - 0 1", EvaluateMateDrive, 958);
  // Black's queen 1700, White's king in the corner (90), kings 7 apart (0).
  ExpectBothSides("4k3/8/8/8/8/1q6/8/K7 w - - 0 1", EvaluateMateDrive, 1790);
}

TEST_F(EndgameTest, BishopKnightMateAimsAtTheBishopsCorner) {
  // Light-squared bishop d3: the right corners are a8 and h1.
  // King h1: bishop and knight 1030 + (140 - 20 x 5) + 42 x 7.
  ExpectBothSides("8/8/8/8/8/2KBN3/8/7k w - - 0 1", EvaluateBishopKnightMate, 1364);
  // King a1, seven steps from both: 1030 + (140 - 20 x 2).
  ExpectBothSides("8/8/8/8/8/2KBN3/8/k7 w - - 0 1", EvaluateBishopKnightMate, 1130);
}

TEST_F(EndgameTest, TwoKnightsDraw) { ExpectBothSides("1n2k1n1/8/8/8/8/8/8/4K3 w - - 0 1", EvaluateTwoKnights, 0); }

TEST_F(EndgameTest, RookAgainstPawnByKingPositions) {
  // The strong king on the pawn's path: 875 - 3.
  ExpectBothSides("R7/8/8/3p4/8/8/3K4/7k w - - 0 1", EvaluateRookAgainstPawn, 872);
  // The weak king three from the pawn: enough with White to move (875 - 5); with Black to move
  // it is the race, 200 - 8 x (6 - 3 - 2) = 192.
  Probe("1R5K/8/8/8/8/3p4/8/k7 w - - 0 1");
  EXPECT_EQ(EvaluateRookAgainstPawn(WHITE), 870);
  Probe("1R5K/8/8/8/8/3p4/8/k7 b - - 0 1");
  EXPECT_EQ(EvaluateRookAgainstPawn(WHITE), -192);
  // The weak king escorts the pawn on White's third rank, the strong king four away: 80 - 32.
  Probe("7R/6K1/8/8/8/1kp5/8/8 w - - 0 1");
  EXPECT_EQ(EvaluateRookAgainstPawn(WHITE), 48);
  // Nearer, it is the race: 200 - 8 x (3 - 1 - 2).
  ExpectBothSides("7R/8/8/4K3/8/1kp5/8/8 w - - 0 1", EvaluateRookAgainstPawn, 200);
}

TEST_F(EndgameTest, RookAgainstMinorPiece) {
  ExpectBothSides("4kb2/8/8/8/8/8/8/R3K3 w - - 0 1", EvaluateRookAgainstBishop, 59);   // edge of e8
  ExpectBothSides("4kn2/8/8/8/8/8/8/R3K3 w - - 0 1", EvaluateRookAgainstKnight, 59);   // 59 + 20 - 20
  ExpectBothSides("4k3/8/8/8/8/8/8/R3K2n w - - 0 1", EvaluateRookAgainstKnight, 179);  // 59 + 140 - 20
}

TEST_F(EndgameTest, QueenAgainstPawnOrRook) {
  // Pawn far from queening, kings seven apart: 0 + 1699.
  ExpectBothSides("7k/8/8/8/4p3/8/8/1Q2K3 w - - 0 1", EvaluateQueenAgainstPawn, 1699);
  // Rook's pawn on the seventh with its king beside it: only 140 - 20 x 6.
  ExpectBothSides("Q7/8/8/8/8/8/pk6/7K w - - 0 1", EvaluateQueenAgainstPawn, 20);
  // A knight's pawn there still loses: 140 - 100 + 1699.
  ExpectBothSides("Q7/8/8/8/8/8/1pk5/7K w - - 0 1", EvaluateQueenAgainstPawn, 1739);
  // 925 + edge of e8 + (140 - 140).
  ExpectBothSides("3rk3/8/8/8/8/8/8/Q3K3 w - - 0 1", EvaluateQueenAgainstRook, 984);
}

TEST_F(EndgameTest, TwoKnightsAgainstPawn) {
  // 101 + 2 x 59 - 10 x 1 (e7 is Black's second rank).
  ExpectBothSides("4k3/4p3/8/8/8/8/8/1NN1K3 w - - 0 1", EvaluateTwoKnightsAgainstPawn, 209);
}

TEST_F(EndgameTest, MirroredEndingsAgree) {
  for (const char* fen :
       {"8/8/8/8/4k3/8/8/R3K3 w - - 0 1", "8/8/8/8/8/2KBN3/8/7k w - - 0 1", "1R5K/8/8/8/8/3p4/8/k7 b - - 0 1",
        "7R/6K1/8/8/8/1kp5/8/8 w - - 0 1", "4k3/8/8/8/8/8/8/R3K2n w - - 0 1", "Q7/8/8/8/8/8/pk6/7K w - - 0 1",
        "4k3/4p3/8/8/8/8/8/1NN1K3 b - - 0 1"}) {
    const MaterialEntry& entry = Probe(fen);
    const int32_t value = entry.EndgameFunction(entry.StrongSide);
    const MaterialEntry& mirrored = Probe(MirrorFen(fen));
    EXPECT_EQ(mirrored.StrongSide, entry.StrongSide ^ 1) << fen;
    EXPECT_EQ(mirrored.EndgameFunction(mirrored.StrongSide), value) << fen;
  }
}

}  // namespace
