// Double check: only the king moves, and never onto a square that either checker's line
// reaches once the king has left its square, even by taking the other checker there.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/board_setup.h"

namespace {

class DoubleCheckTest : public BoardTest {
 protected:
  static std::vector<std::string> LegalMoveTexts(const std::string& fen) {
    EXPECT_TRUE(SetBoard(fen, false)) << fen;
    MoveList moves;
    int32_t count = GenerateLegalMoves(0, moves);
    std::vector<std::string> texts;
    for (int32_t i = 0; i < count; ++i) texts.push_back(MoveText(moves[i].Move));
    std::sort(texts.begin(), texts.end());
    return texts;
  }
};

// Rook f1 and queen h1 on both sides of the king g1: taking either leaves the other's line
// open through g1, and every other square is attacked. Mate, for either colour.
TEST_F(DoubleCheckTest, TwoCheckersOnOneLineLeaveNoCaptureAlongIt) {
  EXPECT_EQ(LegalMoveTexts("6k1/8/8/8/8/8/8/5rKq w - - 0 1"), std::vector<std::string>{});
  EXPECT_EQ(LegalMoveTexts("5RkQ/8/8/8/8/8/8/6K1 b - - 0 1"), std::vector<std::string>{});
  // The same pattern with more pieces about, where g1h1 used to be offered.
  EXPECT_EQ(LegalMoveTexts("r1b2rk1/pp1nb1pp/1q2p3/3pPp2/6Q1/P2B1N2/1P3PPP/R1B2rKq w - f6 0 1"),
            std::vector<std::string>{});
}

// Rook e2 and bishop b4: the rook stands on no line of the bishop, so the king may take it;
// d2 and f2 are covered by the rook, e2 on the file is the rook itself.
TEST_F(DoubleCheckTest, TheKingTakesACheckerThatNoOtherLineReaches) {
  EXPECT_EQ(LegalMoveTexts("6k1/8/8/8/1b6/8/4r3/4K3 w - - 0 1"), (std::vector<std::string>{"e1d1", "e1e2", "e1f1"}));
}

}  // namespace
