#pragma once
// What the board tests share: the start-up tables, loaded once however many tests ask, and
// the positions of the perft suite.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "board/board.h"
#include "console/console.h"

class BoardTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    InitAttackTables();
    InitHashKeys();
    InitPieceSquareTable();
  }
};

// The FEN of every line of the perft suite (the text before the first ";").
inline std::vector<std::string> PerftSuiteFens() {
  std::vector<std::string> fens;
  std::ifstream file(TAVRIN_DATA_DIR "/perft.epd");
  for (std::string line; std::getline(file, line);) {
    std::string fen = Trim(line.substr(0, line.find(';')));
    if (!fen.empty()) fens.push_back(fen);
  }
  return fens;
}
