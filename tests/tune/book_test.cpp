// The opening book reader: main lines only, whatever PGN wraps around them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "tune/book.h"

namespace {

using Moves = std::vector<std::string>;

TEST(OpeningBook, KeepsTheMainLineAndTheFenTagOfEachGame) {
  std::vector<std::string> pgn = {
      "[Event \"one\"]",
      "[Result \"1/2-1/2\"]",
      "",
      "1. d4 Nf6 2. c4 {a comment",
      "over two lines (with 3. e4)} e6 3.Nc3 (3. Nf3 b6 (3... d5)) Bb4 4. Qc2!? $1 O-O 1/2-1/2",
      "[FEN \"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1\"]",
      "1. e4 ; Kd8 is in a comment",
      "Kd7 *",
      "[Event \"no result\"]",
      "1. e4 e5",
      "[Event \"next\"]",
      "1... c5",
  };
  std::vector<Opening> book = ParseOpenings(pgn);
  ASSERT_EQ(book.size(), 4u);
  EXPECT_EQ(book[0].Moves, (Moves{"d4", "Nf6", "c4", "e6", "Nc3", "Bb4", "Qc2", "O-O"}));
  EXPECT_EQ(book[0].Fen, "");
  EXPECT_EQ(book[1].Fen, "4k3/8/8/8/8/8/4P3/4K3 w - - 0 1");
  EXPECT_EQ(book[1].Moves, (Moves{"e4", "Kd7"}));
  EXPECT_EQ(book[2].Moves, (Moves{"e4", "e5"}));
  EXPECT_EQ(book[3].Moves, (Moves{"c5"}));
}

TEST(OpeningBook, ReadsEveryGameOfTheSharedBookWithItsEightMoves) {
  std::vector<std::string> lines;
  ASSERT_TRUE(ReadTextLines(TAVRIN_DATA_DIR "/openings/8moves_v3.pgn", lines));
  std::vector<Opening> book = ParseOpenings(lines);
  EXPECT_EQ(book.size(), 34700u);
  for (size_t i = 0; i < book.size(); ++i) ASSERT_EQ(book[i].Moves.size(), 16u) << "game " << i;
  EXPECT_EQ(book[0].Moves[14], "Qd2");
  EXPECT_EQ(book[0].Moves[15], "Qxd2+");
}

}  // namespace
