// Exchange evaluation: every value below is the capture sequence worked out by hand, each
// side taking with its least valuable piece and stopping when that pays.
#include "board_setup.h"

namespace {

class ExchangeTest : public BoardTest {
 protected:
  static int32_t Value(const char* fen, Move move) {
    EXPECT_TRUE(SetBoard(fen, false)) << fen;
    return StaticExchangeValue(move);
  }
  static int32_t Quick(const char* fen, Move move) {
    EXPECT_TRUE(SetBoard(fen, false)) << fen;
    return StaticExchange(move);
  }
};

Move Capture(int32_t from, int32_t to) { return EncodeMove(from, to, NO_PIECE, true); }

TEST_F(ExchangeTest, SingleCaptures) {
  const char* undefendedKnight = "4k3/8/8/3n4/4P3/8/8/4K3 w - - 0 1";
  EXPECT_EQ(Value(undefendedKnight, Capture(E4, D5)), 500);
  EXPECT_EQ(Quick(undefendedKnight, Capture(E4, D5)), 10000);

  // Queen takes a pawn that a pawn defends: 95 - 1700, from both entry points.
  const char* defendedPawn = "4k3/8/4p3/3p4/8/8/8/3QK3 w - - 0 1";
  EXPECT_EQ(Value(defendedPawn, Capture(D1, D5)), -1605);
  EXPECT_EQ(Quick(defendedPawn, Capture(D1, D5)), -1605);

  // Pawn takes a defended queen: 1700 - 95 in full, 10000 at once.
  const char* defendedQueen = "4k3/8/4p3/3q4/4P3/8/8/4K3 w - - 0 1";
  EXPECT_EQ(Value(defendedQueen, Capture(E4, D5)), 1605);
  EXPECT_EQ(Quick(defendedQueen, Capture(E4, D5)), 10000);
}

TEST_F(ExchangeTest, SliderBehindTheMoverCountsFromTheStart) {
  // Rxd6 Rxd6 Qxd6: 95. Without the queen the rook is lost for the pawn: 95 - 850.
  EXPECT_EQ(Value("3rk3/8/3p4/8/8/3R4/3Q4/4K3 w - - 0 1", Capture(D3, D6)), 95);
  EXPECT_EQ(Value("3rk3/8/3p4/8/8/3R4/8/4K3 w - - 0 1", Capture(D3, D6)), -755);
}

TEST_F(ExchangeTest, SliderBehindARecapturerIsFoundWhenItLeaves) {
  // Rxe5 Rxe5 Rxe5 Qxe5: the queen on e8 shows only once the e7 rook has taken. White gives a
  // rook for a knight: 500 - 850.
  EXPECT_EQ(Value("4q1k1/4r3/8/4n3/8/8/4R3/4R1K1 w - - 0 1", Capture(E2, E5)), -350);
}

TEST_F(ExchangeTest, RecapturesWithTheLeastValuablePiece) {
  // Nxd5 cxd5 Bxd5 Qxd5: the pawn recaptures before the queen, so White loses the knight for
  // a pawn (95 - 500); had the queen gone first, White would have won a pawn.
  EXPECT_EQ(Value("3q2k1/8/2p5/3p4/5N2/8/B7/6K1 w - - 0 1", Capture(F4, D5)), -405);
}

TEST_F(ExchangeTest, QuietMoveOntoAnAttackedSquare) {
  EXPECT_EQ(Value("4k3/8/8/8/4p3/8/8/4K1N1 w - - 0 1", EncodeMove(G1, F3)), -500);
  EXPECT_EQ(Quick("4k3/8/8/8/4p3/8/8/4K1N1 w - - 0 1", EncodeMove(G1, F3)), -500);
  // A safe quiet move is worth nothing.
  EXPECT_EQ(Value("4k3/8/8/8/4p3/8/8/4K1N1 w - - 0 1", EncodeMove(G1, H3)), 0);
}

TEST_F(ExchangeTest, KingCaptures) {
  // The king takes a defended knight as if it were worth nothing (the move is illegal anyway).
  const char* defendedKnight = "4k3/8/8/8/8/4p3/3n4/4K3 w - - 0 1";
  EXPECT_EQ(Value(defendedKnight, Capture(E1, D2)), 500);
  EXPECT_EQ(Quick(defendedKnight, Capture(E1, D2)), 10000);

  // Rxe5: the king may take back only while White has nothing left on e5; with the b2 bishop
  // watching, the recapture does not count and White keeps the pawn.
  EXPECT_EQ(Value("8/8/4k3/4p3/8/8/1B6/4R1K1 w - - 0 1", Capture(E1, E5)), 95);
  EXPECT_EQ(Value("8/8/4k3/4p3/8/8/8/4R1K1 w - - 0 1", Capture(E1, E5)), -755);
}

TEST_F(ExchangeTest, EnPassant) {
  Move exd6 = Capture(E5, D6);
  EXPECT_EQ(Value("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", exd6), 95);
  EXPECT_EQ(Value("8/4k3/8/3pP3/8/8/8/4K3 w - d6 0 1", exd6), 0);  // Kxd6 evens it
  // The pawn taken on d5 opens the file: the d1 rook backs up the capture against the d8 rook.
  EXPECT_EQ(Value("3r3k/8/8/3pP3/8/8/8/3R3K w - d6 0 1", exd6), 95);
  EXPECT_EQ(Value("3r3k/8/8/3pP3/8/8/8/7K w - d6 0 1", exd6), 0);
}

TEST_F(ExchangeTest, BlackMoverUsesItsOwnDirection) {
  // ...dxe3 en passant: the white pawn stands on e4; the f2 pawn retakes.
  EXPECT_EQ(Value("4k3/8/8/8/3pP3/8/5P2/4K3 b - e3 0 1", Capture(D4, E3)), 0);
  EXPECT_EQ(Value("4k3/8/8/8/3pP3/8/8/4K3 b - e3 0 1", Capture(D4, E3)), 95);
  // With e4 gone the e8 rook backs the capture up: dxe3 fxe3 Rxe3.
  EXPECT_EQ(Value("4r1k1/8/8/8/3pP3/8/5P2/4K3 b - e3 0 1", Capture(D4, E3)), 95);
}

TEST_F(ExchangeTest, PromotionIsValuedAsThePawnsMove) {
  // b8=Q under the a8 rook: the pawn is lost, the promotion is not counted.
  EXPECT_EQ(Value("r3k3/1P6/8/8/8/8/8/4K3 w - - 0 1", EncodeMove(B7, B8, QUEEN)), -95);
}

TEST_F(ExchangeTest, CastlingIsNeutral) {
  const char* fen = "4k1r1/8/8/8/8/8/8/4K2R w K - 0 1";
  EXPECT_EQ(Value(fen, EncodeMove(E1, G1)), 0);
  EXPECT_EQ(Quick(fen, EncodeMove(E1, G1)), 10000);
}

}  // namespace
