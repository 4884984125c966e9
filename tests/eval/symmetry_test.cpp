// The evaluation treats both colours by the same rules: every position reached by random
// play from the perft suite and from the opening book evaluates as its colour mirror does.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "board/board_setup.h"
#include "eval/eval.h"
#include "eval/game_positions.h"
#include "eval/mirror_fen.h"

namespace {

class SymmetryTest : public BoardTest {};

TEST_F(SymmetryTest, RandomGamesEvaluateAsTheirMirrors) {
  std::vector<std::string> starts = PerftSuiteFens();
  // Every twentieth of the book's 34700 games, all of whose moves must play.
  const std::vector<std::string> openings = OpeningFens(20);
  ASSERT_EQ(openings.size(), 1735u);
  starts.insert(starts.end(), openings.begin(), openings.end());

  std::mt19937 random(20240611);
  constexpr int32_t PLIES = 24;
  int32_t positions = 0;
  for (const std::string& start : starts) {
    ASSERT_EQ(ReadFen(start), "") << start;
    for (int32_t ply = 0; ply < PLIES; ++ply) {
      const std::string fen = WriteFen();
      const int32_t value = Evaluate();
      ASSERT_EQ(ReadFen(MirrorFen(fen)), "") << fen;
      ASSERT_EQ(Evaluate(), value) << fen << " against its mirror " << MirrorFen(fen);
      // Set up from scratch, the position evaluates as it did when reached by moves.
      ASSERT_EQ(ReadFen(fen), "") << fen;
      ASSERT_EQ(Evaluate(), value) << fen;
      ++positions;
      if (!PlayRandomMove(random)) break;
    }
  }
  EXPECT_GE(positions, 10000);
}

}  // namespace
