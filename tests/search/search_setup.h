#pragma once
// What the search tests share: the start-up tables in the program's order, a small table, and
// a clean set of histories for every test.
#include <gtest/gtest.h>

#include <string_view>

#include "board/board.h"
#include "search/history.h"
#include "search/pickers.h"
#include "search/search.h"

class SearchTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    InitAttackTables();
    InitPieceSquareTable();
    InitHistoryTables();
    InitHashKeys();
    InitSearchTables();
    TTResize(16);
  }

  void SetUp() override { ClearHistory(); }

  static void SetUpBoard(std::string_view fen) { ASSERT_TRUE(SetBoard(fen, false)) << fen; }

  // The move from one square to another with the capture flag the board implies.
  static Move M(std::string_view from, std::string_view to, int32_t promotion = NO_PIECE) {
    int32_t origin = ParseSquare(from);
    int32_t destination = ParseSquare(to);
    bool enPassant = TypeOf(PieceOn(origin)) == PAWN && destination == Position.EpSquare;
    return EncodeMove(origin, destination, promotion, PieceOn(destination) != NO_PIECE || enPassant);
  }
};
