// The quiescence search: captures, evasions and, at its first ply, quiet checks, until the
// position is quiet enough for the static evaluation.
#include <algorithm>

#include "board/board.h"
#include "search/alphabeta.h"
#include "search/pickers.h"
#include "search/search.h"

namespace {

// What a capture can win at most, by the type on its destination, for futility pruning.
constexpr int32_t QuiesceValue[PIECE_TYPE_NB] = {0, 101, 550, 620, 875, 1800, 1};

// Standing pat plus this is the most a quiet position is expected to gain (positional swing).
constexpr int32_t FUTILITY_MARGIN = 165;

// A capture can be skipped unless it is a pawn move to the far half, where promotion looms.
bool IsAdvancedPawnMove(Move move) {
  return TypeOf(PieceOn(FromSquare(move))) == PAWN && RelativeRank(Position.SideToMove, ToSquare(move)) >= RANK_5;
}

}  // namespace

int32_t Quiesce(bool pvNode, int32_t alpha, int32_t beta, int32_t qdepth, int32_t ply, PVLine& pv) {
  // 1. Count the node and reset this ply. The poll's countdown runs here too, but only an
  // alpha-beta node polls: only it acts on a stop.
  ++SearchState.Nodes;
  --SearchState.PollCountdown;
  StackEntry& entry = SearchStack[ply];
  entry.Key = Position.Key;
  entry.CurrentMove = MOVE_NONE;
  PVLine child;
  child.Count = 0;
  int32_t oldAlpha = alpha;
  if (pvNode) pv.Count = 0;

  // 2. Draws need no search, captures or not.
  bool inCheck = Position.Checkers != 0;
  if (IsDraw(ply, inCheck)) return DrawScore(ply, inCheck);

  // 3. Table depth: the first quiescence ply (which also tries quiet checks) and an evasion
  // search more than the plies below, so their results count as deeper.
  int32_t ttDepth = inCheck || qdepth >= 0 ? 0 : -1;
  // 4. Probe: a move to try first, a bound to cut a non-PV node with, a stored evaluation.
  Move ttMove = MOVE_NONE;
  int32_t ttValue = -SCORE_INFINITE;
  int32_t bound = 0;
  int32_t ttEval = -SCORE_INFINITE;
  if (int64_t index = TTProbe(Position.Key); index >= 0) {
    const TTEntry& hit = TTEntryAt(index);
    ttMove = hit.Move;
    ttValue = ScoreFromTT(hit.Score, ply);
    bound = BoundOf(hit);
    ttEval = hit.Eval;
    if (!pvNode && IsTableCut(ttValue, bound, hit.Depth, ttDepth, alpha, beta)) return ttValue;
    // The table move comes first: fetch its entry while the evaluation runs.
    if (ttMove != MOVE_NONE) TTPrefetch(KeyAfter(ttMove));
  }
  const Move prefetchedMove = ttMove;

  // 5. Stand pat: out of check the side to move may decline every capture.
  int32_t staticEval = -SCORE_INFINITE;
  int32_t bestValue = -SCORE_INFINITE;
  int32_t futilityBase = -SCORE_INFINITE;
  if (inCheck) {
    entry.StaticEval = -SCORE_INFINITE;
    entry.EvalKey = Position.Key;
  } else {
    staticEval = StaticEvaluation(ply, ttEval);
    bestValue = AdjustedEvaluation(staticEval, ttValue, bound);
    if (bestValue > alpha) {
      if (bestValue >= beta) return bestValue;
      alpha = bestValue;
    }
    futilityBase = bestValue + FUTILITY_MARGIN;
  }

  // 6. The moves: captures (and their evasions), at the first ply quiet checks too.
  CheckInfo checkInfo;
  ComputeCheckInfo(checkInfo);
  MoveList list;
  entry.Stage = 0;
  Move prevMove = SearchStack[ply - 1].CurrentMove;
  Move bestMove = MOVE_NONE;
  int32_t us = Position.SideToMove;
  for (Move m; (m = NextQuiescenceMove(list, checkInfo, ttMove, ply, qdepth, prevMove)) != MOVE_NONE;) {
    if (m != prefetchedMove) TTPrefetch(KeyAfter(m));  // early, so the pruning tests below hide the fetch
    // 6.1 Whether it checks: a checking move is not futility-pruned.
    bool givesCheck = GivesCheck(m, checkInfo);

    // 6.2 Futility: a capture that cannot lift the score to alpha even with its victim's value.
    if (!inCheck && !givesCheck && futilityBase > -MATE_BOUND && !IsAdvancedPawnMove(m) &&
        Position.NonPawnMaterial[us] > 0) {
      int32_t victim = PieceOn(ToSquare(m));
      int32_t futilityValue = futilityBase + QuiesceValue[TypeOf(victim)];
      if (victim == NO_PIECE && IsCapture(m)) futilityValue += QuiesceValue[PAWN];  // en passant
      if (futilityValue <= alpha) {
        bestValue = std::max(bestValue, futilityValue);
        continue;
      }
      if (futilityBase <= alpha && StaticExchangeValue(m) <= 0) {
        bestValue = std::max(bestValue, futilityBase);
        continue;
      }
    }
    // 6.3 Out of check, a move that loses material is not worth a node; an illegal one is skipped.
    if ((!inCheck && StaticExchange(m) < 0) || !IsLegal(m, checkInfo.Pinned)) continue;

    // 6.4 Make the move and resolve the position after it.
    UndoInfo undo;
    SaveUndoInfo(undo);
    MakeMove(m, undo, givesCheck);
    PrefetchPawnEntry();
    entry.CurrentMove = m;
    int32_t value = -Quiesce(pvNode, -beta, -alpha, qdepth - 1, ply + 1, child);
    UnmakeMove(m, undo);

    // 6.5 A better move raises alpha; beating beta, or any alpha in a non-PV node, is stored
    // as a lower bound at once.
    if (value > bestValue) {
      bestValue = value;
      if (value > alpha) {
        if (pvNode) AppendLine(pv, m, child);
        if (!pvNode || value >= beta) {
          TTStore(Position.Key, ScoreToTT(value, ply), ttDepth, BOUND_LOWER, m, staticEval);
          return value;
        }
        bestMove = m;
        alpha = value;
      }
    }
  }

  // 7. In check without a legal move: mated here. Otherwise the result is stored for the next visit.
  if (inCheck && bestValue == -SCORE_INFINITE) return ply - SCORE_MATE;
  int32_t storedBound = bestValue >= beta ? BOUND_LOWER : pvNode && bestValue > oldAlpha ? BOUND_EXACT : BOUND_UPPER;
  TTStore(Position.Key, ScoreToTT(bestValue, ply), ttDepth, storedBound, bestMove, staticEval);
  return bestValue;
}

int32_t QuiescenceLine(PVLine& line) {
  SearchState.RootDistance = 0;
  SearchStack[0].CurrentMove = MOVE_NONE;
  return Quiesce(true, -SCORE_INFINITE, SCORE_INFINITE, 0, 1, line);
}
