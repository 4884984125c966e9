#pragma once
// The alpha-beta and quiescence searches below the root, their pruning tables and the node
// rules they share. Internal to the search room.

#include <cstdint>

#include "board/board.h"
#include "eval/eval.h"
#include "search/state.h"
#include "search/tt.h"

// Nodes this far from the root are scored without searching further.
inline constexpr int32_t MAX_SEARCH_PLY = 126;

// Scores beyond plus or minus this are treated as mates by the pruning rules and the output.
// One point past the table's SCORE_MATE_THRESHOLD, which must convert every score that may be a
// mate: here 32573 itself still counts as a value, and is shown in centipawns.
inline constexpr int32_t MATE_BOUND = SCORE_MATE_THRESHOLD + 1;

// ---- Tables built by InitSearchTables ---------------------------------------------------------

inline constexpr int32_t MARGIN_DEPTH_NB = 17;  // margins and move counts for depths 0..16

extern int32_t ReductionBase[65];                              // [1..64]: 28 ln(i + 0.4 ln i)
extern int8_t Reductions[2][MAX_SEARCH_DEPTH + 1][MAX_MOVES];  // [improving][depth][moveNumber]
extern int32_t StaticFutilityMargin[2][MARGIN_DEPTH_NB];       // [improving][depth]
extern int32_t FutilityMargin[MARGIN_DEPTH_NB];                // [depth]
extern int32_t LateMoveCount[2][MARGIN_DEPTH_NB];              // [improving][depth]

// ---- Searches ---------------------------------------------------------------------------------

// What a parent asks of a node it searches, named at every call. The defaults make an ordinary
// zero-window node that may prune. SkipPruning marks a search made for the parent's own sake
// (null move, its verification, internal iterative deepening, singular test).
struct NodeFlags {
  bool Pv = false;            // on the principal variation: a full window, and the line is kept
  bool SkipPruning = false;   // no pruning before the move loop
  bool Cut = false;           // expected to fail high, so reduced harder
  Move Excluded = MOVE_NONE;  // a singular test skips this move and keeps its result apart in the table
};

// Fail-soft principal-variation search of Position, handed to Quiesce at depth 0 and below.
// Called through Search, which names the flags; they reach the node as plain arguments.
int32_t SearchNode(bool pvNode, int32_t alpha, int32_t beta, int32_t depth, int32_t ply, PVLine& pv, bool skipPruning,
                   Move excludedMove, bool cutNode);

// Forced inline: the inliner would keep it out of the large recursive body, and naming the
// flags must cost nothing.
[[gnu::always_inline]] inline int32_t Search(int32_t alpha, int32_t beta, int32_t depth, int32_t ply, PVLine& pv,
                                             NodeFlags node = {}) {
  return SearchNode(node.Pv, alpha, beta, depth, ply, pv, node.SkipPruning, node.Excluded, node.Cut);
}

// Captures (and at qdepth 0 quiet checks) until the position is quiet.
int32_t Quiesce(bool pvNode, int32_t alpha, int32_t beta, int32_t qdepth, int32_t ply, PVLine& pv);

// ---- Node rules shared by both searches -------------------------------------------------------

// Depth limit, fifty-move rule (a checkmate still counts) or repetition within the reversible
// plies, back to at most the game position before the root. SearchStack[ply].Key must be set.
bool IsDraw(int32_t ply, bool inCheck);

// A draw at the depth limit keeps the static value, so that the search does not aim for it.
inline int32_t DrawScore(int32_t ply, bool inCheck) { return ply >= MAX_SEARCH_PLY && !inCheck ? Evaluate() : 0; }

// The static evaluation of a node not in check: the table's, the mirror of the position before
// a null move, the ply's cached value, or Evaluate. Stored in the ply's StaticEval and EvalKey.
int32_t StaticEvaluation(int32_t ply, int32_t ttEval);

// A stored bound decides the node when it comes from a search at least this deep and lies
// outside the window. Both searches take it in non-PV nodes only: a PV node needs its line.
constexpr bool IsTableCut(int32_t ttValue, int32_t bound, int32_t ttDepth, int32_t depth, int32_t alpha, int32_t beta) {
  return ttDepth >= depth && ttValue != -SCORE_INFINITE &&
         (((bound & BOUND_LOWER) && ttValue >= beta) || ((bound & BOUND_UPPER) && ttValue <= alpha));
}

// The table score is a better estimate than the static one when its bound points past it.
constexpr int32_t AdjustedEvaluation(int32_t staticEval, int32_t ttValue, int32_t bound) {
  if (ttValue == -SCORE_INFINITE) return staticEval;
  if (((bound & BOUND_UPPER) && ttValue < staticEval) || ((bound & BOUND_LOWER) && ttValue > staticEval))
    return ttValue;
  return staticEval;
}

// line := move followed by child (a child count that would not fit counts as empty).
inline void AppendLine(PVLine& line, Move move, const PVLine& child) {
  int32_t count = child.Count >= 0 && child.Count < MAX_PV_MOVES ? child.Count : 0;
  line.Moves[0] = move;
  for (int32_t i = 0; i < count; ++i) line.Moves[i + 1] = child.Moves[i];
  line.Count = count + 1;
}

// The move back from destination to origin, for asking whether a piece could retreat safely.
constexpr Move ReverseMove(Move move) { return EncodeMove(ToSquare(move), FromSquare(move)); }

// A checking move worth extending: a discovered check, or one that does not lose material.
inline bool IsSafeCheck(Move move, const CheckInfo& checkInfo) {
  return (checkInfo.DiscoveredCandidates & SquareBit(FromSquare(move))) || StaticExchange(move) >= 0;
}
