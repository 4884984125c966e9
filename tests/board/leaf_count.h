#pragma once
// A plain recursive perft over the move operations, the last ply counted in bulk (tests and
// benchmarks).
#include <cstdint>

#include "board/board.h"

inline uint64_t CountLeaves(int32_t depth) {
  MoveList moves;
  int32_t count = GenerateLegalMoves(0, moves);
  if (depth <= 1) return depth == 1 ? static_cast<uint64_t>(count) : 1;
  CheckInfo checkInfo;
  ComputeCheckInfo(checkInfo);
  uint64_t leaves = 0;
  for (int32_t i = 0; i < count; ++i) {
    Move move = moves[i].Move;
    UndoInfo undo;
    SaveUndoInfo(undo);
    MakeMove(move, undo, GivesCheck(move, checkInfo));
    leaves += CountLeaves(depth - 1);
    UnmakeMove(move, undo);
  }
  return leaves;
}
