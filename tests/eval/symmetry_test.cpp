// The evaluation treats both colours by the same rules: every position reached by random
// play from the perft suite and from the opening book evaluates as its colour mirror does.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "board/board_setup.h"
#include "eval/eval.h"
#include "eval/mirror_fen.h"

namespace {

class SymmetryTest : public BoardTest {};

// The position after the opening moves of every twentieth game of the book; a move that
// does not play is a failure.
std::vector<std::string> OpeningFens() {
  std::vector<std::string> fens;
  std::ifstream book(TAVRIN_DATA_DIR "/openings/8moves_v3.pgn");
  std::string moves;
  int32_t games = 0;
  auto finishGame = [&] {
    if (!moves.empty() && games++ % 20 == 0 && SetBoard(START_FEN, false)) {
      for (std::string rest = moves; !rest.empty();) {
        const std::string token = NextToken(rest);
        if (token.empty() || std::isdigit(static_cast<unsigned char>(token[0]))) continue;  // "1." and results
        EXPECT_TRUE(PlayMoveText(token)) << token << " in" << moves;
      }
      fens.push_back(WriteFen());
    }
    moves.clear();
  };
  for (std::string line; std::getline(book, line);) {
    if (!line.empty() && line[0] == '[') {
      finishGame();
    } else {
      moves += " " + line;
    }
  }
  finishGame();
  return fens;
}

TEST_F(SymmetryTest, RandomGamesEvaluateAsTheirMirrors) {
  std::vector<std::string> starts = PerftSuiteFens();
  const std::vector<std::string> openings = OpeningFens();
  ASSERT_GT(openings.size(), 1700u);
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

      MoveList moves;
      const int32_t count = GenerateLegalMoves(0, moves);
      if (count == 0) break;
      const Move move = moves[std::uniform_int_distribution<int32_t>(0, count - 1)(random)].Move;
      CheckInfo checkInfo;
      ComputeCheckInfo(checkInfo);
      UndoInfo undo;
      SaveUndoInfo(undo);
      MakeMove(move, undo, GivesCheck(move, checkInfo));
    }
  }
  EXPECT_GE(positions, 10000);
}

}  // namespace
