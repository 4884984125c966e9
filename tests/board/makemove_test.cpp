// Make, unmake and the null move against positions set up from scratch, and the check and
// legality questions on the cases where they are easy to get wrong.
#include <string>

#include "board/board_setup.h"
#include "board/random_walk.h"

namespace {

class MoveOperations : public BoardTest {
 protected:
  void SetUp() override {
    SearchState.RootDistance = 0;
    SearchState.SelDepth = 0;
  }
  static void Set(std::string_view fen) { ASSERT_EQ(ReadFen(fen), "") << fen; }

  // Plays a legal move with the gives-check flag the search would pass.
  static void Play(Move move, UndoInfo& undo) {
    CheckInfo checkInfo;
    ComputeCheckInfo(checkInfo);
    SaveUndoInfo(undo);
    MakeMove(move, undo, GivesCheck(move, checkInfo));
  }

  static bool Checks(Move move) {
    CheckInfo checkInfo;
    ComputeCheckInfo(checkInfo);
    return GivesCheck(move, checkInfo);
  }

  // The record of fen as ReadFen builds it.
  static PositionRecord SetUpRecord(std::string_view fen) {
    PositionRecord current = Position;
    EXPECT_EQ(ReadFen(fen), "") << fen;
    PositionRecord record = Position;
    Position = current;
    return record;
  }
};

const auto& Keys = HashKeys.PieceKeys;

TEST_F(MoveOperations, DoubleStepSetsTheEnPassantSquareAndTheNextMoveClearsIt) {
  Set(START_FEN);
  uint64_t key = Position.Key;
  UndoInfo first, second;
  Play(EncodeMove(E2, E4), first);
  EXPECT_EQ(Position.EpSquare, E3);
  EXPECT_EQ(Position.Key, key ^ HashKeys.SideKey ^ Keys[WHITE][PAWN][E2] ^ Keys[WHITE][PAWN][E4] ^ HashKeys.EpKeys[E3]);
  Play(EncodeMove(G8, F6), second);
  EXPECT_EQ(Position.EpSquare, NO_SQUARE);
  EXPECT_EQ(Position.Key, SetUpRecord("rnbqkb1r/pppppppp/5n2/8/4P3/8/PPPP1PPP/RNBQKBNR w KQkq - 1 2").Key);
}

TEST_F(MoveOperations, TakingTheRookOnH8RemovesBlacksKingSideRight) {
  Set("r3k2r/8/8/8/8/8/1B6/R3K2R w KQkq - 0 1");
  uint64_t key = Position.Key;
  UndoInfo undo;
  Play(EncodeMove(B2, H8, NO_PIECE, true), undo);
  EXPECT_EQ(Position.CastlingRights, WHITE_KING_SIDE | WHITE_QUEEN_SIDE | BLACK_QUEEN_SIDE);
  EXPECT_EQ(Position.Key, key ^ HashKeys.SideKey ^ Keys[WHITE][BISHOP][B2] ^ Keys[WHITE][BISHOP][H8] ^
                              Keys[BLACK][ROOK][H8] ^ HashKeys.CastlingKeys[15] ^ HashKeys.CastlingKeys[11]);
  EXPECT_EQ(RecordDifference(Position, SetUpRecord("r3k2B/8/8/8/8/8/8/R3K2R b KQq - 0 1"), false), "");
  EXPECT_EQ(Position.CapturedPiece, -ROOK);
}

TEST_F(MoveOperations, KingLeavingE1DropsBothRightsInOneKeyChangeAndOnlyOnce) {
  Set("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
  uint64_t key = Position.Key;
  UndoInfo undo[3];
  Play(EncodeMove(E1, E2), undo[0]);
  EXPECT_EQ(Position.CastlingRights, BLACK_KING_SIDE | BLACK_QUEEN_SIDE);
  EXPECT_EQ(Position.Key, key ^ HashKeys.SideKey ^ Keys[WHITE][KING][E1] ^ Keys[WHITE][KING][E2] ^
                              HashKeys.CastlingKeys[15] ^ HashKeys.CastlingKeys[12]);
  Play(EncodeMove(A8, B8), undo[1]);
  key = Position.Key;
  Play(EncodeMove(E2, E1), undo[2]);
  EXPECT_EQ(Position.Key, key ^ HashKeys.SideKey ^ Keys[WHITE][KING][E2] ^ Keys[WHITE][KING][E1]);
}

TEST_F(MoveOperations, CastlingMovesTheRookAndUnmakeRestoresEverything) {
  Set("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 3 1");
  PositionRecord before = Position;
  UndoInfo undo;
  Play(EncodeMove(E1, G1), undo);
  EXPECT_TRUE(undo.IsCastling);
  EXPECT_EQ(RecordDifference(Position, SetUpRecord("r3k2r/8/8/8/8/8/8/R4RK1 b kq - 4 1"), false), "");
  UnmakeMove(EncodeMove(E1, G1), undo);
  EXPECT_EQ(RecordDifference(Position, before, true), "");
  Play(EncodeMove(E1, C1), undo);
  EXPECT_EQ(RecordDifference(Position, SetUpRecord("r3k2r/8/8/8/8/8/8/2KR3R b kq - 4 1"), false), "");
  UnmakeMove(EncodeMove(E1, C1), undo);
  EXPECT_EQ(RecordDifference(Position, before, true), "");
}

TEST_F(MoveOperations, PromotionChangesThePieceSquareSumsByTheTwoCells) {
  Set("8/4P3/8/8/8/8/k7/4K3 w - - 0 1");
  int32_t mg = Position.PsqMg, eg = Position.PsqEg;
  int32_t material = Position.NonPawnMaterial[WHITE];
  UndoInfo undo;
  Play(EncodeMove(E7, E8, QUEEN), undo);
  const PsqValue& queen = PieceSquareTable[QUEEN + 6][E8];
  const PsqValue& pawn = PieceSquareTable[PAWN + 6][E7];
  EXPECT_EQ(Position.PsqMg - mg, queen.Mg - pawn.Mg);
  EXPECT_EQ(Position.PsqEg - eg, queen.Eg - pawn.Eg);
  EXPECT_EQ(Position.NonPawnMaterial[WHITE], material + 1700);
  EXPECT_EQ(RecordDifference(Position, SetUpRecord("4Q3/8/8/8/8/8/k7/4K3 b - - 0 1"), false), "");
}

TEST_F(MoveOperations, EnPassantTakesThePawnBehindTheDestination) {
  Set("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
  UndoInfo undo;
  Play(EncodeMove(E5, D6, NO_PIECE, true), undo);
  EXPECT_TRUE(undo.IsEnPassant);
  EXPECT_EQ(Position.CapturedPiece, -PAWN);
  EXPECT_EQ(RecordDifference(Position, SetUpRecord("4k3/8/3P4/8/8/8/8/4K3 b - - 0 1"), false), "");
}

TEST_F(MoveOperations, NullMoveClearsTheEnPassantSquareAndItsKeyAndUnmakeRestoresThem) {
  Set("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
  PositionRecord before = Position;
  UndoInfo undo;
  SaveUndoInfo(undo);
  MakeNullMove();
  EXPECT_EQ(Position.EpSquare, NO_SQUARE);
  EXPECT_EQ(Position.Key, before.Key ^ HashKeys.EpKeys[E3] ^ HashKeys.SideKey);
  EXPECT_EQ(Position.PliesFromNull, 0);
  EXPECT_EQ(Position.SideToMove, WHITE);
  EXPECT_EQ(Position.GamePly, before.GamePly);
  UnmakeNullMove(undo);
  EXPECT_EQ(RecordDifference(Position, before, true), "");
}

TEST_F(MoveOperations, MovesCountRootDistanceAndSelectiveDepth) {
  Set(START_FEN);
  UndoInfo undo[3];
  const Move line[3] = {EncodeMove(E2, E4), EncodeMove(E7, E5), EncodeMove(G1, F3)};
  for (int32_t i = 0; i < 3; ++i) Play(line[i], undo[i]);
  EXPECT_EQ(SearchState.RootDistance, 3);
  EXPECT_EQ(Position.GamePly, 5);
  for (int32_t i = 2; i >= 0; --i) UnmakeMove(line[i], undo[i]);
  EXPECT_EQ(SearchState.RootDistance, 0);
  EXPECT_EQ(SearchState.SelDepth, 3);
}

TEST_F(MoveOperations, CastlingChecksWithTheRookAlongTheOpenFile) {
  Set("5k2/8/8/8/8/8/8/4K2R w K - 0 1");
  EXPECT_TRUE(Checks(EncodeMove(E1, G1)));
  Set("5k2/8/8/8/5n2/8/8/4K2R w K - 0 1");
  EXPECT_FALSE(Checks(EncodeMove(E1, G1)));
  // Queen-side the rook looks along the first rank through the square the king left.
  Set("8/8/8/8/8/8/8/R3K2k w Q - 0 1");
  EXPECT_TRUE(Checks(EncodeMove(E1, C1)));
}

TEST_F(MoveOperations, KnightUncoversTheBishopsCheckFromAnySquare) {
  Set("7k/8/8/8/8/2N5/1B6/4K3 w - - 0 1");
  for (Move move : {EncodeMove(C3, A4), EncodeMove(C3, B1), EncodeMove(C3, E2), EncodeMove(C3, D5)})
    EXPECT_TRUE(Checks(move)) << MoveName(move);
  EXPECT_FALSE(Checks(EncodeMove(E1, D1)));
}

TEST_F(MoveOperations, PromotionChecksOnlyWithThePieceThatReachesTheKing) {
  Set("8/4P1k1/8/8/8/8/8/4K3 w - - 0 1");
  EXPECT_FALSE(Checks(EncodeMove(E7, E8, QUEEN)));
  EXPECT_TRUE(Checks(EncodeMove(E7, E8, KNIGHT)));
  Set("4k3/1P6/8/8/8/8/8/4K3 w - - 0 1");
  EXPECT_TRUE(Checks(EncodeMove(B7, B8, QUEEN)));
  EXPECT_TRUE(Checks(EncodeMove(B7, B8, ROOK)));
  EXPECT_FALSE(Checks(EncodeMove(B7, B8, BISHOP)));
}

TEST_F(MoveOperations, PseudoLegalityRejectsStaleAndMalformedCodes) {
  Set("4k3/8/8/3p4/4P3/2n5/2P5/4K3 w - - 0 1");
  EXPECT_FALSE(IsPseudoLegal(MOVE_NONE));
  EXPECT_TRUE(IsPseudoLegal(EncodeMove(E4, D5, NO_PIECE, true)));
  EXPECT_FALSE(IsPseudoLegal(EncodeMove(E4, F5, NO_PIECE, true)));  // nothing to take on f5
  EXPECT_FALSE(IsPseudoLegal(EncodeMove(C2, C4)));                  // the square passed is taken
  EXPECT_FALSE(IsPseudoLegal(EncodeMove(C2, C3)));                  // a pawn does not push onto a piece
  EXPECT_FALSE(IsPseudoLegal(EncodeMove(E4, D5)));                  // nor take without the flag
  EXPECT_FALSE(IsPseudoLegal(EncodeMove(E4, E5) | 1 << 16));        // codes have 16 bits
  EXPECT_TRUE(IsPseudoLegal(EncodeMove(E4, E5)));
  EXPECT_FALSE(IsPseudoLegal(EncodeMove(D5, D4)));  // not the side to move's pawn
  Set("4k3/8/8/8/8/8/8/4K3 w - - 0 1");
  EXPECT_FALSE(IsPseudoLegal(EncodeMove(E2, E4)));  // no piece on e2
}

TEST_F(MoveOperations, PseudoLegalityHoldsTheCaptureFlagToTheDestination) {
  Set("4k3/8/8/8/3p4/8/4N3/4K3 w - - 0 1");
  EXPECT_TRUE(IsPseudoLegal(EncodeMove(E2, D4, NO_PIECE, true)));
  EXPECT_FALSE(IsPseudoLegal(EncodeMove(E2, D4)));
  EXPECT_TRUE(IsPseudoLegal(EncodeMove(E2, C3)));
  EXPECT_FALSE(IsPseudoLegal(EncodeMove(E2, C3, NO_PIECE, true)));
}

TEST_F(MoveOperations, PseudoLegalityInCheckAcceptsOnlyAnswers) {
  Set("4k3/8/8/4r3/8/8/3N4/4K3 w - - 0 1");
  EXPECT_TRUE(IsPseudoLegal(EncodeMove(D2, E4)));   // blocks
  EXPECT_FALSE(IsPseudoLegal(EncodeMove(D2, F3)));  // ignores the check
  EXPECT_TRUE(IsPseudoLegal(EncodeMove(E1, F1)));
  EXPECT_FALSE(IsPseudoLegal(EncodeMove(E1, E2)));  // still on the rook's file
}

// Along random games, every legal move is made with the flag GivesCheck gives: the checkers
// that make finds must be the real ones, and unmake must restore the record.
TEST_F(MoveOperations, EveryLegalMoveChecksExactlyWhenGivesCheckSaysAndUnmakesCleanly) {
  WalkSuitePositions(4, 48, [] {
    MoveList moves;
    int32_t count = GenerateLegalMoves(0, moves);
    CheckInfo checkInfo;
    ComputeCheckInfo(checkInfo);
    PositionRecord before = Position;
    for (int32_t i = 0; i < count && !::testing::Test::HasFailure(); ++i) {
      Move move = moves[i].Move;
      UndoInfo undo;
      SaveUndoInfo(undo);
      MakeMove(move, undo, GivesCheck(move, checkInfo));
      int32_t us = Position.SideToMove;
      EXPECT_EQ(Position.Checkers, AttackersTo(Position.KingSquare[us], Position.Occupied) & Position.ColourBB[us ^ 1])
          << MoveName(move);
      UnmakeMove(move, undo);
      EXPECT_EQ(RecordDifference(Position, before, true), "") << MoveName(move);
    }
  });
}

}  // namespace

// The early key used to fetch a table entry is the real one for every move except the rare
// kinds it leaves out (castling, en passant, promotion): double steps and lost castling rights
// are common in perft's first plies, where a wrong key fetched the wrong cache line.
TEST_F(MoveOperations, KeyAfterMatchesTheKeyAfterEveryOrdinaryMoveAndNullMoveOfRandomGames) {
  int32_t checked = 0;
  WalkSuitePositions(2, 40, [&] {
    MoveList moves;
    int32_t count = GenerateLegalMoves(0, moves);
    for (int32_t i = 0; i < count; ++i) {
      Move move = moves[i].Move;
      int32_t from = FromSquare(move);
      int32_t to = ToSquare(move);
      int32_t type = TypeOf(PieceOn(from));
      bool enPassant = IsCapture(move) && PieceOn(to) == NO_PIECE;
      if (type == KING && (to - from == 2 || from - to == 2)) continue;
      if (enPassant || PromotionType(move)) continue;
      uint64_t expected = KeyAfter(move);
      UndoInfo undo;
      SaveUndoInfo(undo);
      CheckInfo checkInfo;
      ComputeCheckInfo(checkInfo);
      MakeMove(move, undo, GivesCheck(move, checkInfo));
      EXPECT_EQ(Position.Key, expected) << WriteFen() << " after " << MoveName(move);
      ++checked;
      UnmakeMove(move, undo);
    }
    if (Position.Checkers) return;
    uint64_t expected = KeyAfterNullMove();
    UndoInfo undo;
    SaveUndoInfo(undo);
    MakeNullMove();
    EXPECT_EQ(Position.Key, expected) << "after a null move: " << WriteFen();
    UnmakeNullMove(undo);
  });
  EXPECT_GT(checked, 100000);
}
