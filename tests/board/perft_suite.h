#pragma once
// The lines of the perft suite with their expected counts, and the check of one line.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/leaf_count.h"
#include "console/console.h"

struct PerftLine {
  int32_t Number;  // line of the file, from 1
  std::string Fen;
  std::vector<uint64_t> Counts;  // [depth - 1]
};

// "<FEN> ;D1 20 ;D2 400 ..." per line of perft.epd.
inline std::vector<PerftLine> ReadPerftSuite() {
  std::vector<PerftLine> lines;
  std::ifstream file(TAVRIN_DATA_DIR "/perft.epd");
  int32_t number = 0;
  for (std::string text; std::getline(file, text);) {
    ++number;
    size_t semicolon = text.find(';');
    if (semicolon == std::string::npos) continue;
    PerftLine line{number, Trim(text.substr(0, semicolon)), {}};
    std::istringstream fields(text.substr(semicolon));
    for (std::string depth, count; fields >> depth >> count;) {
      if (depth != ";D" + std::to_string(line.Counts.size() + 1)) break;  // depths run 1, 2, 3, ...
      line.Counts.push_back(std::stoull(count));
    }
    lines.push_back(line);
  }
  return lines;
}

// "e2e4 20, e7e8q 3, ...": the count below each root move, to show where a count goes wrong.
inline std::string DivideText(int32_t depth) {
  MoveList moves;
  int32_t count = GenerateLegalMoves(0, moves);
  CheckInfo checkInfo;
  ComputeCheckInfo(checkInfo);
  std::string text;
  for (int32_t i = 0; i < count; ++i) {
    Move move = moves[i].Move;
    UndoInfo undo;
    SaveUndoInfo(undo);
    MakeMove(move, undo, GivesCheck(move, checkInfo));
    text += SquareName(FromSquare(move)) + SquareName(ToSquare(move));
    if (PromotionType(move)) text += PieceChars[6 - PromotionType(move)];
    text += " " + std::to_string(CountLeaves(depth - 1)) + ", ";
    UnmakeMove(move, undo);
  }
  return text;
}

// Checks every depth of the line whose expected count is at most limit (the counts grow with
// depth, so the first one above it ends the line).
inline void ExpectPerftCounts(const PerftLine& line, uint64_t limit) {
  ASSERT_EQ(ReadFen(line.Fen), "") << line.Fen;
  for (size_t depth = 1; depth <= line.Counts.size() && line.Counts[depth - 1] <= limit; ++depth) {
    int32_t plies = static_cast<int32_t>(depth);
    uint64_t leaves = CountLeaves(plies);
    EXPECT_EQ(leaves, line.Counts[depth - 1]) << line.Fen << " depth " << depth << ": " << DivideText(plies);
    if (leaves != line.Counts[depth - 1]) return;
  }
}

// Names the line by its FEN in test output.
inline void PrintTo(const PerftLine& line, std::ostream* out) { *out << line.Fen; }
