// Coordinate text and SAN, worked out by hand from the notation rules.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/board_setup.h"

namespace {

class NotationTest : public BoardTest {
 protected:
  void SetUp() override { ASSERT_TRUE(SetBoard(StartFen, false)); }

  // The SAN of every legal move of fen, keyed by its coordinate text.
  static std::map<std::string, std::string> SanOf(const std::string& fen) {
    EXPECT_TRUE(SetBoard(fen, false)) << fen;
    MoveList moves;
    int32_t count = GenerateLegalMoves(0, moves);
    std::vector<std::string> texts = SanTexts(moves, count);
    std::map<std::string, std::string> san;
    for (int32_t i = 0; i < count; ++i) san[MoveText(moves[i].Move)] = texts[i];
    EXPECT_EQ(san.size(), static_cast<size_t>(count)) << "two moves share a coordinate text";
    return san;
  }

  // Each listed move of fen, by its coordinate text, has the given SAN.
  static void ExpectSan(const std::string& fen, const std::vector<std::pair<std::string, std::string>>& expected) {
    auto san = SanOf(fen);
    for (const auto& [move, text] : expected) EXPECT_EQ(san[move], text) << fen << " " << move;
  }

  static constexpr const char* StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
};

TEST_F(NotationTest, CoordinateTextNamesOriginDestinationAndPromotion) {
  EXPECT_EQ(MoveText(EncodeMove(E2, E4)), "e2e4");
  EXPECT_EQ(MoveText(EncodeMove(G1, F3)), "g1f3");
  EXPECT_EQ(MoveText(EncodeMove(E7, D8, QUEEN, true)), "e7d8q");  // the capture flag does not show
  EXPECT_EQ(MoveText(EncodeMove(E7, D8, KNIGHT, true)), "e7d8n");
  EXPECT_EQ(MoveText(EncodeMove(B2, B1, ROOK)), "b2b1r");
  EXPECT_EQ(MoveText(EncodeMove(B2, B1, BISHOP)), "b2b1b");
  EXPECT_EQ(MoveText(EncodeMove(E1, G1)), "e1g1");
  EXPECT_EQ(MoveText(EncodeMove(E8, C8)), "e8c8");
}

TEST_F(NotationTest, StartPositionPawnAndKnightMoves) {
  auto san = SanOf(StartFen);
  ASSERT_EQ(san.size(), 20u);
  EXPECT_EQ(san["e2e4"], "e4");
  EXPECT_EQ(san["e2e3"], "e3");
  EXPECT_EQ(san["g1f3"], "Nf3");
  EXPECT_EQ(san["b1a3"], "Na3");
  // Black's letters are capitals too.
  ExpectSan("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", {{"g8f6", "Nf6"}, {"d7d5", "d5"}});
}

TEST_F(NotationTest, SanTextsLeavesThePositionAsItWas) {
  const std::string kiwipete = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";
  ASSERT_TRUE(SetBoard(kiwipete, false));
  uint64_t key = Position.Key;
  std::string fen = WriteFen();
  MoveList moves;
  int32_t count = GenerateLegalMoves(0, moves);
  EXPECT_EQ(SanTexts(moves, count).size(), 48u);
  EXPECT_EQ(Position.Key, key);
  EXPECT_EQ(WriteFen(), fen);
}

TEST_F(NotationTest, PromotionsCarryTheirPieceAndCheckSign) {
  // The queen on d8 or e8 sees the king on h8 along the rank; a knight on either does not.
  ExpectSan("3r3k/4P3/8/8/8/8/8/K7 w - - 0 1", {
                                                   {"e7d8q", "exd8=Q+"},
                                                   {"e7d8r", "exd8=R+"},
                                                   {"e7d8b", "exd8=B"},
                                                   {"e7d8n", "exd8=N"},
                                                   {"e7e8q", "e8=Q+"},
                                                   {"e7e8n", "e8=N"},
                                               });
  // A black pawn promoting: only the knight reaches the king on c2.
  ExpectSan("7k/8/8/8/8/8/p1K5/8 b - - 0 1", {{"a2a1q", "a1=Q"}, {"a2a1n", "a1=N+"}});
}

TEST_F(NotationTest, CastlingBothWaysForBothColours) {
  ExpectSan("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", {{"e1g1", "O-O"}, {"e1c1", "O-O-O"}, {"e1f1", "Kf1"}});
  ExpectSan("r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1", {{"e8g8", "O-O"}, {"e8c8", "O-O-O"}});
  // Castling into check keeps its sign: the rook lands on f1 facing the king on f8.
  ExpectSan("5k2/8/8/8/8/8/8/4K2R w K - 0 1", {{"e1g1", "O-O+"}});
}

TEST_F(NotationTest, EnPassantIsWrittenAsAPawnCaptureOfTheDestination) {
  ExpectSan("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1", {{"e5d6", "exd6"}, {"e5e6", "e6"}});
}

TEST_F(NotationTest, DisambiguationByFileThenRankThenSquare) {
  ExpectSan("4k3/8/8/8/8/5N2/8/1N2K3 w - - 0 1", {
                                                     {"b1d2", "Nbd2"},
                                                     {"f3d2", "Nfd2"},
                                                     {"b1c3", "Nc3"},  // only one knight reaches c3
                                                     {"f3e5", "Ne5"},
                                                 });

  ExpectSan("4k3/8/8/R7/8/8/8/R3K3 w - - 0 1", {{"a1a3", "R1a3"}, {"a5a3", "R5a3"}, {"a1a2", "R1a2"}, {"a1b1", "Rb1"}});

  // Queens on e4, h4 and h1 all reach e1.
  ExpectSan("2k5/8/8/8/4Q2Q/K7/8/7Q w - - 0 1", {
                                                    {"h4e1", "Qh4e1"},  // shares its file with h1, its rank with e4
                                                    {"e4e1", "Qee1"},
                                                    {"h1e1", "Q1e1"},
                                                });
}

TEST_F(NotationTest, DisambiguationKeepsTheCaptureAndCheckSigns) {
  // Both knights take on d5; both rooks reach g1, which is check.
  ExpectSan("k7/8/8/3p4/1N3N2/8/8/4K3 w - - 0 1", {{"b4d5", "Nbxd5"}, {"f4d5", "Nfxd5"}});
  ExpectSan("6k1/8/8/8/8/4K3/8/R6R w - - 0 1", {
                                                   {"a1g1", "Rag1+"},
                                                   {"h1g1", "Rhg1+"},
                                                   {"a1f1", "Raf1"},
                                                   {"a1a8", "Ra8+"},
                                               });
}

TEST_F(NotationTest, MateIsMarkedWithHashAlone) {
  ExpectSan("6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", {{"a1a8", "Ra8#"}, {"a1a7", "Ra7"}});
  // Fool's mate: the queen's check cannot be met.
  ExpectSan("rnbqkbnr/pppp1ppp/8/4p3/6P1/5P2/PPPPP2P/RNBQKBNR b KQkq g3 0 2", {{"d8h4", "Qh4#"}});
  for (const std::string& fen : {"6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "3r3k/4P3/8/8/8/8/8/K7 w - - 0 1"})
    for (const auto& [move, text] : SanOf(fen))
      EXPECT_FALSE(text.find('#') != std::string::npos && text.find('+') != std::string::npos) << text;
}

}  // namespace
