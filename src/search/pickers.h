#pragma once
// The order in which the search tries moves: the three staged move pickers that hand moves out
// one at a time, and the root move order between iterations. Internal to the search room.

#include <cstdint>

#include "board/board.h"

// The pickers work in the caller's list with their state in SearchStack[ply]; the search
// restarts one by setting that entry's Stage to 0. Each returns 0 when it has nothing left and
// sets a candidate it rejects (not playable here, or repeated) to 0.

// Main picker: TT move, good captures, killers, counter move, quiets by history, losing captures;
// evasions when in check.
Move NextMove(MoveList& list, Move& ttMove, Move& killer1, Move& killer2, Move& counterMove, int32_t ply, int32_t depth,
              bool skipQuiets);

// Quiescence picker: TT move, captures (only recaptures from qdepth -5 on), quiet checks at qdepth 0.
Move NextQuiescenceMove(MoveList& list, const CheckInfo& checkInfo, Move& ttMove, int32_t ply, int32_t qdepth,
                        Move prevMove);

// ProbCut picker: captures whose exchange value reaches threshold.
Move NextProbCutMove(MoveList& list, Move& ttMove, int32_t ply, int32_t threshold);

// Moves bestMove to the front of SearchState.RootMoves[first..last]; the others keep their order.
void OrderRootMoves(Move bestMove, int32_t first, int32_t last);
