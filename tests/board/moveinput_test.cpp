// Move input: which texts name which legal move, the game history and taking moves back.
#include <gtest/gtest.h>

#include <string>

#include "board/board.h"
#include "board/board_setup.h"
#include "search/state.h"

namespace {

const std::string StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

class MoveInputTest : public BoardTest {
 protected:
  void SetUp() override { ASSERT_TRUE(SetBoard(StartFen, false)); }

  // Plays text on fen; the FEN afterwards, or "refused" with the position left alone.
  static std::string After(const std::string& fen, const std::string& text) {
    EXPECT_TRUE(SetBoard(fen, false)) << fen;
    if (PlayMoveText(text)) return WriteFen();
    EXPECT_EQ(WriteFen(), Fen(fen)) << text;
    EXPECT_EQ(GameHistoryCount, 0) << text;
    return "refused";
  }

  // fen as WriteFen gives it back (it writes the fullmove number as 0).
  static std::string Fen(const std::string& fen) {
    SetBoard(fen, false);
    return WriteFen();
  }
};

TEST_F(MoveInputTest, SanAndCoordinatesInAnyLetterCase) {
  const std::string e4 = Fen("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
  for (const char* text : {"e4", "e2e4", "E2E4", "E4"}) EXPECT_EQ(After(StartFen, text), e4) << text;
  const std::string nf3 = Fen("rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R b KQkq - 1 1");
  for (const char* text : {"Nf3", "nf3", "NF3", "g1f3"}) EXPECT_EQ(After(StartFen, text), nf3) << text;
  for (const char* text : {"e2-e4", "e5", "Ke2", "", "e2e4 ", "e2e4x", "P-K4", "Ng1f3"})
    EXPECT_EQ(After(StartFen, text), "refused") << '"' << text << '"';
}

TEST_F(MoveInputTest, TheCheckSignIsPartOfTheSan) {
  // After 1.e4 f5 the queen checks from h5 along h5-g6-f7-e8.
  const std::string fen = "rnbqkbnr/ppppp1pp/8/5p2/4P3/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 2";
  const std::string qh5 = Fen("rnbqkbnr/ppppp1pp/8/5p1Q/4P3/8/PPPP1PPP/RNB1KBNR b KQkq - 1 2");
  EXPECT_EQ(After(fen, "Qh5"), "refused");
  EXPECT_EQ(After(fen, "Qh5+"), qh5);
  EXPECT_EQ(After(fen, "qh5+"), qh5);
  EXPECT_EQ(After(fen, "d1h5"), qh5);
  EXPECT_EQ(After(fen, "Qh5#"), "refused");
}

TEST_F(MoveInputTest, PromotionBySanOrCoordinatesWithItsLetter) {
  const std::string fen = "8/4P3/8/8/8/8/k7/4K3 w - - 0 1";
  const std::string queen = Fen("4Q3/8/8/8/8/8/k7/4K3 b - - 0 1");
  const std::string knight = Fen("4N3/8/8/8/8/8/k7/4K3 b - - 0 1");
  for (const char* text : {"e8=Q", "e7e8q", "E7E8Q", "e8=q"}) EXPECT_EQ(After(fen, text), queen) << text;
  for (const char* text : {"e8=N", "e7e8n"}) EXPECT_EQ(After(fen, text), knight) << text;
  for (const char* text : {"e8", "e7e8", "e8Q", "e7e8k"}) EXPECT_EQ(After(fen, text), "refused") << text;
}

TEST_F(MoveInputTest, CastlingTakesCapitalOsOrTheKingMove) {
  const std::string fen = "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1";
  const std::string shortCastle = Fen("r3k2r/8/8/8/8/8/8/R4RK1 b kq - 1 1");
  for (const char* text : {"O-O", "o-o", "e1g1"}) EXPECT_EQ(After(fen, text), shortCastle) << text;
  EXPECT_EQ(After(fen, "O-O-O"), Fen("r3k2r/8/8/8/8/8/8/2KR3R b kq - 1 1"));
  EXPECT_EQ(After(fen, "0-0"), "refused");
  EXPECT_EQ(After(fen, "0-0-0"), "refused");
}

TEST_F(MoveInputTest, NoLegalMoveRefusesEveryText) {
  // Fool's mate, then a stalemate.
  const std::string mate = "rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3";
  for (const char* text : {"a3", "a2a3", "Kf2", "e1f2"}) EXPECT_EQ(After(mate, text), "refused") << text;
  const std::string stalemate = "7k/5Q2/6K1/8/8/8/8/8 b - - 0 1";
  for (const char* text : {"Kh7", "h8h7", "Kg8"}) EXPECT_EQ(After(stalemate, text), "refused") << text;
}

TEST_F(MoveInputTest, LetterCaseTellsPawnFromBishopAndTheLaterMoveWinsWithout) {
  // The pawn on b4 and the bishop on e3 both take on c5.
  const std::string fen = "4k3/8/8/2n5/1P6/4B3/8/4K3 w - - 0 1";
  const std::string byPawn = Fen("4k3/8/8/2P5/8/4B3/8/4K3 b - - 0 1");
  const std::string byBishop = Fen("4k3/8/8/2B5/1P6/8/8/4K3 b - - 0 1");
  EXPECT_EQ(After(fen, "bxc5"), byPawn);
  EXPECT_EQ(After(fen, "Bxc5"), byBishop);
  // Folded, both read bxc5: the one generated later is played.
  ASSERT_TRUE(SetBoard(fen, false));
  MoveList moves;
  int32_t count = GenerateLegalMoves(0, moves);
  int32_t pawnIndex = -1, bishopIndex = -1;
  for (int32_t i = 0; i < count; ++i) {
    if (MoveText(moves[i].Move) == "b4c5") pawnIndex = i;
    if (MoveText(moves[i].Move) == "e3c5") bishopIndex = i;
  }
  ASSERT_GE(pawnIndex, 0);
  ASSERT_GE(bishopIndex, 0);
  const std::string later = pawnIndex > bishopIndex ? byPawn : byBishop;
  EXPECT_EQ(After(fen, "BXC5"), later);
  EXPECT_EQ(After(fen, "bXc5"), later);
}

TEST_F(MoveInputTest, HistoryRecordsEachMoveAndTakeBackRestoresEachPosition) {
  std::vector<std::string> fens = {WriteFen()};
  std::vector<uint64_t> keys = {Position.Key};
  for (const char* text : {"e2e4", "e7e5", "g1f3", "b8c6", "f1b5"}) {
    uint64_t before = Position.Key;
    ASSERT_TRUE(PlayMoveText(text)) << text;
    // The next search sees only the position before the last move as game history.
    EXPECT_EQ(SearchStack[-1].Key, 0u);
    EXPECT_EQ(SearchStack[0].Key, before);
    EXPECT_EQ(Position.Key, ComputeKey());
    fens.push_back(WriteFen());
    keys.push_back(Position.Key);
  }
  EXPECT_EQ(GameHistoryCount, 5);
  EXPECT_EQ(MoveText(GameHistory[4].Move), "f1b5");
  for (int32_t n = 4; n >= 0; --n) {
    TakeBack();
    EXPECT_EQ(GameHistoryCount, n);
    EXPECT_EQ(WriteFen(), fens[n]);
    EXPECT_EQ(Position.Key, keys[n]);
    EXPECT_EQ(Position.PawnKey, ComputePawnKey());
    EXPECT_EQ(Position.MaterialKey, ComputeMaterialKey());
  }
  TakeBack();  // an empty history has nothing to take back
  EXPECT_EQ(GameHistoryCount, 0);
  EXPECT_EQ(WriteFen(), fens[0]);
}

TEST_F(MoveInputTest, TakeBackRestoresCapturesCastlingAndEnPassant) {
  const std::string fen = "r3k2r/8/8/3pP3/8/8/8/R3K2R w KQkq d6 0 1";
  ASSERT_TRUE(SetBoard(fen, false));
  const std::string start = WriteFen();
  int32_t psqMg = Position.PsqMg, psqEg = Position.PsqEg;
  for (const char* text : {"exd6", "O-O", "Rxa8", "Rxa8", "O-O"}) ASSERT_TRUE(PlayMoveText(text)) << text;
  for (int n = 0; n < 5; ++n) TakeBack();
  EXPECT_EQ(WriteFen(), start);
  EXPECT_EQ(Position.PsqMg, psqMg);
  EXPECT_EQ(Position.PsqEg, psqEg);
  EXPECT_EQ(Position.Key, ComputeKey());
}

TEST_F(MoveInputTest, AFullHistoryRefusesTheMoveAndAnySetUpEmptiesIt) {
  GameHistoryCount = GAME_HISTORY_CAPACITY;
  const std::string fen = WriteFen();
  EXPECT_FALSE(PlayMoveText("e4"));
  EXPECT_EQ(GameHistoryCount, GAME_HISTORY_CAPACITY);
  EXPECT_EQ(WriteFen(), fen);
  ASSERT_TRUE(SetBoard(StartFen, false));
  EXPECT_EQ(GameHistoryCount, 0);
  EXPECT_TRUE(PlayMoveText("e4"));
}

}  // namespace
