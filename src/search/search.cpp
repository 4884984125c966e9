// The alpha-beta search below the root: table cut-offs, pruning before and during the move
// loop, late-move reductions, check and singular extensions, draw detection.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "board/board.h"
#include "eval/eval.h"
#include "search/alphabeta.h"
#include "search/history.h"
#include "search/pickers.h"
#include "search/search.h"
#include "search/time.h"

int32_t ReductionBase[65];
int8_t Reductions[2][MAX_SEARCH_DEPTH + 1][MAX_MOVES];
int32_t StaticFutilityMargin[2][MARGIN_DEPTH_NB];
int32_t FutilityMargin[MARGIN_DEPTH_NB];
int32_t LateMoveCount[2][MARGIN_DEPTH_NB];

namespace {

// Tuned constants, in evaluation units unless they count plies; the word after each says what it
// weighs.
constexpr int32_t RAZOR_MARGIN = 464;              // hopelessness: only a capture saves a node this far below alpha
constexpr int32_t STATIC_NULL_MOVE_DEPTH = 7;      // trust: deeper nodes rely on a search, not on a margin
constexpr int32_t NULL_MOVE_DEPTH_MARGIN = 29;     // depth: deeper nodes try a pass further below beta
constexpr int32_t NULL_MOVE_BASE_MARGIN = 185;     // cost: no pass when the static value is far below beta
constexpr int32_t NULL_MOVE_EVAL_STEP = 95;        // lead: each step above beta reduces the pass a ply more
constexpr int32_t NULL_VERIFY_DEPTH = 12;          // zugzwang: from this depth a pass that fails high is verified
constexpr int32_t PROBCUT_MARGIN_IMPROVING = 134;  // confidence: a rising position needs less proof
constexpr int32_t PROBCUT_MARGIN = 175;            // confidence: how far a capture must beat beta
constexpr int32_t PROBCUT_DEPTH = 4;               // cost: the proof is this much shallower; shallower nodes skip it
constexpr int32_t IID_DEPTH = 7;                   // cost: the search for a first move is this much shallower
constexpr int32_t SINGULAR_DEPTH = 8;              // cost: the singular test is a search of its own
constexpr int32_t SINGULAR_MARGIN = 4;             // uniqueness: per ply, how far below the TT value the rest stay
constexpr int32_t SINGULAR_TT_DEPTH_SLACK = 3;     // trust: how much shallower the TT result may be
constexpr int32_t LATE_MOVE_DEPTH = 16;            // cost: late quiets are dropped only below this depth
constexpr int32_t HISTORY_PRUNING_DEPTH = 3;       // trust: below this, a quiet both continuations dislike is dropped
constexpr int32_t FUTILITY_DEPTH = 7;              // trust: below this, a quiet cannot climb the futility margin
constexpr int32_t QUIET_SEE_MARGIN = 10;           // material: a quiet may lose this times its reduced depth squared
constexpr int32_t CAPTURE_SEE_MARGIN = 101;        // material: a capture or check may lose this per ply of depth
constexpr int32_t LMR_DEPTH = 2;                   // cost: up to this depth every move gets the full depth

// A null move leaves the board as it was: the evaluation changes sign, and the tempo bonus
// changes hands.
constexpr int32_t NULL_MOVE_EVAL_SUM = 33;

struct TableHit {
  Move TTMove = MOVE_NONE;
  int32_t Value = -SCORE_INFINITE;
  int32_t Bound = 0;
  int32_t Depth = -MAX_SEARCH_DEPTH;  // below any depth a search asks for: a miss decides nothing
  int32_t Eval = -SCORE_INFINITE;
};

bool ProbeTable(uint64_t key, int32_t ply, TableHit& hit) {
  int64_t index = TTProbe(key);
  if (index < 0) return false;
  const TTEntry& entry = TTEntryAt(index);
  hit.TTMove = entry.Move;
  hit.Value = ScoreFromTT(entry.Score, ply);
  hit.Bound = BoundOf(entry);
  hit.Depth = entry.Depth;
  hit.Eval = entry.Eval;
  return true;
}

// The history lessons of a table cut-off: a quiet move that refutes again is rewarded, one
// that fails low again loses.
void UpdateTableCutStats(const TableHit& hit, Move prevMove, int32_t depth, int32_t ply, int32_t beta) {
  Move ttMove = hit.TTMove;
  if (ttMove == MOVE_NONE) return;
  if (hit.Value >= beta) {
    if (IsQuiet(ttMove)) UpdateQuietStats(ttMove, prevMove, depth, ply, nullptr, 0, 0);
    // The previous quiet move was among the first tried and is refuted at once.
    if (SearchStack[ply - 1].MoveCount < 3 && prevMove != MOVE_NONE && IsQuiet(prevMove)) {
      int32_t prevTo = ToSquare(prevMove);
      UpdateContinuation(ply - 1, PieceOn(prevTo), prevTo, -StatBonus[depth + 1]);
    }
  } else if (IsQuiet(ttMove)) {
    int32_t penalty = -StatBonus[depth];
    int32_t piece = PieceOn(FromSquare(ttMove));
    UpdateHistory(piece, ToSquare(ttMove), penalty);
    UpdateContinuationSlot(ply, piece, ToSquare(ttMove), penalty);
  }
}

// The caller has fetched the move's table entry early (TTPrefetch) when it picked the move.
void MakeSearchMove(StackEntry& entry, Move move, UndoInfo& undo, bool givesCheck, int32_t moveCount) {
  SaveUndoInfo(undo);
  MakeMove(move, undo, givesCheck);
  PrefetchPawnEntry();
  entry.CurrentMove = move;
  entry.ContHist = ContinuationOf(PieceOn(ToSquare(move)), ToSquare(move));
  entry.MoveCount = moveCount;
}

// Null move: the side to move passes, and a reduced search of the reply still fails high, so a
// real move would too. Deep nodes confirm it with a reduced search of their own. True, with the
// value to return, when the node is cut; child is scratch space for the searches.
[[gnu::always_inline]] inline bool NullMoveCuts(int32_t alpha, int32_t beta, int32_t depth, int32_t ply, int32_t eval,
                                                int32_t staticEval, bool cutNode, PVLine& child, int32_t& cutValue) {
  int32_t us = Position.SideToMove;
  // Worth a try when the node stands above beta (the caller's test), and not for the side whose
  // pass is being verified below, which the same pass must not fool again.
  bool worthTrying = eval >= staticEval &&
                     staticEval >= beta - NULL_MOVE_DEPTH_MARGIN * depth + NULL_MOVE_BASE_MARGIN &&
                     (ply >= SearchState.NullVerifyPly || us != SearchState.NullVerifySide);
  if (!worthTrying) return false;

  // The reduction grows with depth and with the lead over beta.
  int32_t r = depth / 4 + 3 + std::min(2, (eval - beta) / NULL_MOVE_EVAL_STEP);
  StackEntry& entry = SearchStack[ply];
  UndoInfo undo;
  SaveUndoInfo(undo);
  MakeNullMove();
  entry.ContHist = NullContinuation();
  entry.CurrentMove = MOVE_NONE;
  entry.MoveCount = 0;
  int32_t d = depth - r;
  int32_t value = d < 1 ? -Quiesce(false, -beta, -alpha, 0, ply + 1, child)
                        : -Search(-beta, -alpha, d, ply + 1, child, {.SkipPruning = true, .Cut = !cutNode});
  UnmakeNullMove(undo);
  if (value < beta) return false;

  // A mate found after a pass proves no mate here: the bound is all it shows.
  if (value > MATE_BOUND) value = beta;
  cutValue = value;
  if (depth < NULL_VERIFY_DEPTH || SearchState.NullVerifyPly != 0) return true;
  // Deep nodes verify with a reduced search of their own, without null moves for this side for
  // a while, so that zugzwang cannot fool it.
  SearchState.NullVerifyPly = ply + (3 * d) / 4;
  SearchState.NullVerifySide = us;
  int32_t verified =
      d < 1 ? Quiesce(false, alpha, beta, 0, ply, child) : Search(alpha, beta, d, ply, child, {.SkipPruning = true});
  SearchState.NullVerifyPly = 0;
  SearchState.NullVerifySide = -1;
  return verified >= beta;
}

// ProbCut: a good capture that beats beta by a margin in a shallower search would beat beta
// here; the caller tests the depth and that beta is no mate score. True, with the value to return, when the node is
// cut; list and child are scratch space.
[[gnu::always_inline]] inline bool ProbCutCuts(int32_t beta, int32_t depth, int32_t ply, int32_t staticEval,
                                               bool improving, bool cutNode, Move ttMove, Move excludedMove,
                                               const CheckInfo& checkInfo, MoveList& list, PVLine& child,
                                               int32_t& cutValue) {
  int32_t rbeta = std::min(beta + (improving ? PROBCUT_MARGIN_IMPROVING : PROBCUT_MARGIN), SCORE_MATE);
  StackEntry& entry = SearchStack[ply];
  entry.Stage = 0;
  // An expected cut node is worth a few more tries.
  int32_t tries = cutNode ? 4 : 2;
  // ttMove is the picker's own copy: it may clear it.
  for (Move m; tries > 0 && (m = NextProbCutMove(list, ttMove, ply, rbeta - staticEval)) != MOVE_NONE;) {
    TTPrefetch(KeyAfter(m));
    if (m == excludedMove || !IsLegal(m, checkInfo.Pinned)) continue;
    --tries;
    UndoInfo undo;
    MakeSearchMove(entry, m, undo, GivesCheck(m, checkInfo), 0);
    // The captures alone first: only a capture that holds there earns the deeper search.
    int32_t value = -Quiesce(false, -rbeta, -rbeta + 1, 0, ply + 1, child);
    if (value >= rbeta) value = -Search(-rbeta, -rbeta + 1, depth - PROBCUT_DEPTH, ply + 1, child, {.Cut = !cutNode});
    UnmakeMove(m, undo);
    if (value >= rbeta) {
      cutValue = value;
      return true;
    }
  }
  return false;
}

// Late-move reduction of a move already made; 0 or less means no reduced search.
int32_t LateMoveReduction(Move move, int32_t movedPiece, bool givesCheck, bool improving, int32_t depth,
                          int32_t moveCount, int32_t ply, bool lateMove, bool ttPv, bool exactNonPv, bool ttCapture,
                          bool singularQuiet, bool cutNode) {
  // A capture or promotion is reduced by one ply, a checking one not at all.
  if (!IsQuiet(move)) return givesCheck ? 0 : 1;
  int32_t r = Reductions[improving][depth][moveCount];
  if (ttPv) r -= 2;                                 // the node is or was on a principal variation
  if (singularQuiet) r -= 1;                        // its TT move proved singular and is quiet
  if (SearchStack[ply - 1].MoveCount > 15) r -= 1;  // the parent's move was a late one itself
  if (ttCapture) r += 1;                            // the best move known is a capture: quiets matter less
  if (lateMove && !exactNonPv) r += 1;              // past the late-move count
  if (cutNode) {
    r += 2;  // an expected cut node needs only its first good move
  } else if (TypeOf(movedPiece) != PAWN && TypeOf(movedPiece) != KING && StaticExchangeValue(ReverseMove(move)) < 0) {
    // A piece that could not safely go back has likely escaped a threat: search it deeper.
    r -= 2;
  }
  // A good history earns up to two plies, a bad one costs up to two.
  int32_t history = HistoryScore(ply, movedPiece, ToSquare(move));
  r -= std::clamp((history - 4096) / 16384, -2, 2);
  return r;
}

}  // namespace

void InitSearchTables() {
  // Reductions grow with the logarithms of depth and move number: late moves in deep nodes
  // lose the most. A node that is not improving reduces one ply more once the product is large.
  for (int32_t i = 1; i <= 64; ++i) ReductionBase[i] = static_cast<int32_t>(28 * std::log(i + 0.4 * std::log(i)));
  for (int32_t improving = 0; improving <= 1; ++improving) {
    for (int32_t depth = 1; depth <= MAX_SEARCH_DEPTH; ++depth) {
      for (int32_t moveNumber = 1; moveNumber < MAX_MOVES; ++moveNumber) {
        int32_t x = ReductionBase[std::min(depth, 63)] * ReductionBase[std::min(moveNumber, 63)];
        int32_t extra = improving == 0 && x > 950 ? 1 : 0;
        Reductions[improving][depth][moveNumber] = static_cast<int8_t>(std::nearbyint((x + 1000) / 1024.0 + extra));
      }
    }
    // Margins per ply of depth, tighter for an improving node (it is trusted to stay above beta);
    // an improving node also tries twice as many moves before it calls the rest late.
    for (int32_t d = 0; d < MARGIN_DEPTH_NB; ++d) {
      StaticFutilityMargin[improving][d] = (improving ? 103 : 144) * d;
      LateMoveCount[improving][d] = improving ? d * d + 5 : static_cast<int32_t>(std::nearbyint((d * d + 5) / 2.0));
    }
  }
  // What a quiet move may still gain, per ply of reduced depth on top of a base.
  for (int32_t d = 0; d < MARGIN_DEPTH_NB; ++d) FutilityMargin[d] = 165 * d + 206;
}

bool IsDraw(int32_t ply, bool inCheck) {
  if (ply >= MAX_SEARCH_PLY) return true;
  if (Position.HalfmoveClock >= 100) {
    if (!inCheck) return true;
    MoveList replies;
    if (GenerateLegalMoves(0, replies) > 0) return true;
  }
  int32_t reach = std::min(Position.HalfmoveClock, Position.PliesFromNull);
  uint64_t key = SearchStack[ply].Key;
  for (int32_t i = ply - 2; i >= ply - reach && i >= -1; i -= 2)
    if (SearchStack[i].Key == key) return true;
  return false;
}

int32_t StaticEvaluation(int32_t ply, int32_t ttEval) {
  StackEntry& entry = SearchStack[ply];
  const StackEntry& previous = SearchStack[ply - 1];
  int32_t value;
  if (ttEval != -SCORE_INFINITE)
    value = ttEval;
  else if (previous.CurrentMove == MOVE_NONE)
    value = NULL_MOVE_EVAL_SUM - previous.StaticEval;  // after a null move only the side to move changed
  else if (entry.EvalKey == Position.Key)
    value = entry.StaticEval;
  else
    value = Evaluate();
  entry.StaticEval = value;
  entry.EvalKey = Position.Key;
  return value;
}

int32_t SearchNode(bool pvNode, int32_t alpha, int32_t beta, int32_t depth, int32_t ply, PVLine& pv, bool skipPruning,
                   Move excludedMove, bool cutNode) {
  // At the horizon the captures are played out before anything is scored.
  if (depth < 1) return Quiesce(pvNode, alpha, beta, 0, ply, pv);
  // The line holds what a sibling left in it until cleared: a node that returns early (a draw,
  // the mate distance) must hand its parent an empty line.
  pv.Count = 0;

  // 1. Count the node: budgets and polls are measured in nodes.
  ++SearchState.Nodes;
  --SearchState.PollCountdown;
  // 2. Reset this ply: no move searched yet; killers two plies down come from this subtree only.
  StackEntry& entry = SearchStack[ply];
  const StackEntry& previous = SearchStack[ply - 1];
  entry.CurrentMove = MOVE_NONE;
  entry.ContHist = NullContinuation();
  entry.MoveCount = 0;
  entry.Key = Position.Key;
  Killers[ply + 2][0] = Killers[ply + 2][1] = MOVE_NONE;
  // 3. Poll the input now and then: a "stop" or a spent budget must end the search soon.
  if (SearchState.PollCountdown < 1) {
    SearchState.PollCountdown = SearchState.PollInterval;
    PollInput();
  }

  // 4. Draws need no search, and a stopped search only unwinds.
  bool inCheck = Position.Checkers != 0;
  if (SearchState.Stopped || IsDraw(ply, inCheck)) return DrawScore(ply, inCheck);

  // 5. Mate distance: no line from here can beat a mate already in reach.
  alpha = std::max(alpha, ply - SCORE_MATE);
  if (alpha >= beta) return alpha;

  // 6. Table key: a singular test keeps its result apart from the node's own.
  Move prevMove = previous.CurrentMove;
  uint64_t tableKey = ExcludedMoveKey(Position.Key, excludedMove);
  // 7. Probe: a stored move, bound and evaluation save work whatever the depth.
  TableHit hit;
  ProbeTable(tableKey, ply, hit);
  // 8. Table cut-off: a deep enough bound ends a non-PV node at once, and teaches the histories.
  if (!pvNode && IsTableCut(hit.Value, hit.Bound, hit.Depth, depth, alpha, beta)) {
    UpdateTableCutStats(hit, prevMove, depth, ply, beta);
    return hit.Value;
  }
  // The table move is searched first and a null move comes before it: fetch their entries now,
  // while the evaluation runs.
  const Move prefetchedMove = hit.TTMove;
  if (prefetchedMove != MOVE_NONE) TTPrefetch(KeyAfter(prefetchedMove));
  if (!pvNode && !inCheck) TTPrefetch(KeyAfterNullMove());

  // 9. Static evaluation, and whether it improved on two plies ago: the pruning margins depend
  // on both. In check there is no static value to trust.
  int32_t us = Position.SideToMove;
  int32_t staticEval = -SCORE_INFINITE;
  int32_t eval = -SCORE_INFINITE;
  bool improving = false;
  if (inCheck) {
    entry.StaticEval = -SCORE_INFINITE;
    entry.EvalKey = Position.Key;
  } else {
    staticEval = StaticEvaluation(ply, hit.Eval);
    eval = AdjustedEvaluation(staticEval, hit.Value, hit.Bound);
    int32_t earlier = SearchStack[ply - 2].StaticEval;
    improving = staticEval >= earlier || earlier == -SCORE_INFINITE;
  }

  // 10. Pruning before the move loop; never in check, and not in pawn endings, where zugzwang rules.
  bool mayPrune = !inCheck && !skipPruning && Position.NonPawnMaterial[us] > 0;
  PVLine child;
  child.Count = 0;
  int32_t cutValue;
  if (mayPrune) {
    // 10.1 Razoring: hopeless at the horizon unless a capture saves it.
    if (depth < 2 && eval <= alpha - RAZOR_MARGIN) return Quiesce(beta - alpha > 1, alpha, beta, 0, ply, pv);

    // 10.2 Static null move: far enough above beta that no reply will bring it down.
    if (!pvNode && depth < STATIC_NULL_MOVE_DEPTH && eval - StaticFutilityMargin[improving][depth] >= beta) return eval;

    // 10.3 Null move: if even passing keeps the score above beta, some move will too.
    if (!pvNode && excludedMove == MOVE_NONE && eval >= beta &&
        NullMoveCuts(alpha, beta, depth, ply, eval, staticEval, cutNode, child, cutValue))
      return cutValue;
  }

  CheckInfo checkInfo;
  ComputeCheckInfo(checkInfo);
  MoveList list;
  if (mayPrune) {
    // 10.4 ProbCut: a good capture that beats beta by a margin in a shallow search beats it here.
    if (!pvNode && depth > PROBCUT_DEPTH && std::abs(beta) < MATE_BOUND &&
        ProbCutCuts(beta, depth, ply, staticEval, improving, cutNode, hit.TTMove, excludedMove, checkInfo, list, child,
                    cutValue))
      return cutValue;

    // 10.5 Internal iterative deepening: without a table move, a shallow search finds one to try first.
    if (depth > IID_DEPTH && hit.TTMove == MOVE_NONE) {
      int32_t value = Search(alpha, beta, depth - IID_DEPTH, ply, pv,
                             {.Pv = pvNode, .SkipPruning = true, .Cut = cutNode, .Excluded = excludedMove});
      TableHit reloaded;
      if (value != -SCORE_INFINITE && ProbeTable(tableKey, ply, reloaded)) {
        reloaded.Eval = hit.Eval;
        hit = reloaded;
      }
    }
  }

  // 11. Move loop preparation: what the picker offers first, and what the pruning and the
  // reductions below read of the node.
  pv.Count = 0;
  child.Count = 0;
  entry.Stage = 0;
  Move ttMove = hit.TTMove;
  Move bestMove = MOVE_NONE;
  int32_t moveCount = 0;
  int32_t quietCount = 0;
  int32_t bestValue = -SCORE_INFINITE;
  Move quiets[MAX_MOVES];
  // A TT move that failed high by itself may be the only good move: test it by excluding it.
  bool singularCandidate = depth >= SINGULAR_DEPTH && ttMove != MOVE_NONE &&
                           std::abs(hit.Value) <= SCORE_MATE_THRESHOLD && excludedMove == MOVE_NONE &&
                           (hit.Bound & BOUND_LOWER) && hit.Depth >= depth - SINGULAR_TT_DEPTH_SLACK;
  Move killer1 = Killers[ply][0];
  Move killer2 = Killers[ply][1];
  Move counterMove = MOVE_NONE;
  if (prevMove != MOVE_NONE) counterMove = CounterMoves[PieceRow(PieceOn(ToSquare(prevMove)))][ToSquare(prevMove)];
  bool ttCapture = !IsQuiet(ttMove);
  bool ttPv = hit.Bound == BOUND_EXACT || pvNode;
  bool exactNonPv = ttPv && !pvNode;
  bool singularQuiet = false;
  bool skipQuiets = false;
  bool lateMove = false;

  // 12. The move loop, best-looking moves first.
  for (Move m; (m = NextMove(list, ttMove, killer1, killer2, counterMove, ply, depth, skipQuiets)) != MOVE_NONE;) {
    if (m != prefetchedMove) TTPrefetch(KeyAfter(m));  // early, so the tests below hide the fetch
    if (m == excludedMove || !IsLegal(m, checkInfo.Pinned)) continue;
    // 12.1 Count the move: its number decides how late it is.
    ++moveCount;
    int32_t from = FromSquare(m);
    int32_t to = ToSquare(m);
    int32_t movedPiece = PieceOn(from);
    bool quiet = IsQuiet(m);
    bool givesCheck = GivesCheck(m, checkInfo);

    // 12.2 Shallow pruning, once a move has saved the node from being mated: late or poor moves
    // are dropped unsearched.
    if (bestValue >= -SCORE_MATE_THRESHOLD && Position.NonPawnMaterial[us] >= 1) {
      lateMove = depth < LATE_MOVE_DEPTH && moveCount >= LateMoveCount[improving][depth];
      if (quiet && !givesCheck) {
        if (lateMove) {
          skipQuiets = true;
          continue;
        }
        int32_t lmrDepth = std::max(depth - 1 - Reductions[improving][depth][moveCount], 0);
        bool badContinuation = StatEntry(*SearchStack[ply - 1].ContHist, movedPiece, to) < 0 &&
                               StatEntry(*SearchStack[ply - 2].ContHist, movedPiece, to) < 0;
        if ((lmrDepth < HISTORY_PRUNING_DEPTH && badContinuation) ||
            (lmrDepth < FUTILITY_DEPTH && !inCheck && alpha >= staticEval + FutilityMargin[lmrDepth]) ||
            StaticExchange(m) < -QUIET_SEE_MARGIN * lmrDepth * lmrDepth)
          continue;
      } else if (StaticExchange(m) < -CAPTURE_SEE_MARGIN * depth) {
        continue;
      }
    }

    // 12.3 Extensions: a singular TT move, or a check that does not lose material, is searched
    // a ply deeper.
    int32_t extension = 0;
    if (singularCandidate && m == ttMove) {
      int32_t sBeta = hit.Value - SINGULAR_MARGIN * depth;
      int32_t savedStage = entry.Stage;
      int32_t value =
          Search(sBeta - 1, sBeta, depth / 2, ply, child, {.SkipPruning = true, .Cut = cutNode, .Excluded = m});
      entry.Stage = savedStage;
      if (value < sBeta) {
        extension = 1;
        singularQuiet = !ttCapture;
      } else if (sBeta >= beta) {
        // Another move beats beta too: more than one move refutes the parent.
        return sBeta;
      }
    } else if (givesCheck && IsSafeCheck(m, checkInfo)) {
      extension = 1;
    }

    // 12.4 Make the move, recording it for the children's histories.
    int32_t newDepth = depth - 1 + extension;
    UndoInfo undo;
    MakeSearchMove(entry, m, undo, givesCheck, moveCount);

    // 12.5 Search it: the first move of a PV node gets the full window; the others a zero
    // window, reduced when late and quiet, searched again when they beat alpha.
    int32_t value = -SCORE_INFINITE;
    if (pvNode && moveCount == 1) {
      value = -Search(-beta, -alpha, newDepth, ply + 1, child, {.Pv = true});
    } else {
      bool full = true;
      if (depth > LMR_DEPTH && moveCount > 1 && (quiet || lateMove)) {
        int32_t r = LateMoveReduction(m, movedPiece, givesCheck, improving, depth, moveCount, ply, lateMove, ttPv,
                                      exactNonPv, ttCapture, singularQuiet, cutNode);
        if (r > 0) {
          value = -Search(-alpha - 1, -alpha, std::max(newDepth - r, 1), ply + 1, child, {.Cut = true});
          full = value > alpha;
        }
      }
      if (full) value = -Search(-alpha - 1, -alpha, newDepth, ply + 1, child, {.Cut = !cutNode});
      if (pvNode && value > alpha && value < beta)
        value = -Search(-beta, -alpha, newDepth, ply + 1, child, {.Pv = true});
    }

    // 12.6 Take the move back; a stopped search's values are partial, so stop here too.
    UnmakeMove(m, undo);
    if (SearchState.Stopped) break;

    // 12.7 A better move raises alpha and, in a PV node, takes the line; beating beta, or any
    // alpha in a zero-window node, ends the loop.
    if (value > bestValue) {
      bestValue = value;
      if (value > alpha) {
        if (pvNode) AppendLine(pv, m, child);
        bestMove = m;
        if (!pvNode || value >= beta) break;
        alpha = value;
      }
    }
    // 12.8 Remember the quiets tried, so that the history can blame them when another move wins.
    if (quiet && m != bestMove) quiets[quietCount++] = m;
  }

  // 13. After the loop.
  // 13.1 A stopped search's values are partial: nothing is learnt or stored.
  if (SearchState.Stopped) return 0;

  if (moveCount == 0) {
    // 13.2 No legal move: mate or stalemate; a singular test that had only its own move fails low.
    bestValue = excludedMove != MOVE_NONE ? alpha : inCheck ? ply - SCORE_MATE : 0;
  } else if (bestMove == MOVE_NONE) {
    // 13.3 Every move failed low: the previous quiet move was a good one.
    if ((depth > 2 || pvNode) && prevMove != MOVE_NONE && IsQuiet(prevMove))
      UpdateContinuation(ply - 1, PieceOn(ToSquare(prevMove)), ToSquare(prevMove), StatBonus[depth]);
  } else {
    // 13.4 A move beat alpha: the histories learn it.
    if (IsQuiet(bestMove)) UpdateQuietStats(bestMove, prevMove, depth, ply, quiets, quietCount, bestValue - beta);
    // The previous move was tried first and is refuted: it was a poor first choice.
    if (previous.MoveCount == 1 && prevMove != MOVE_NONE && IsQuiet(prevMove))
      UpdateContinuation(ply - 1, PieceOn(ToSquare(prevMove)), ToSquare(prevMove), -StatBonus[depth + 1]);
  }

  // 13.5 Store the result, unless it is a singular test's, which saw only part of the node.
  if (excludedMove == MOVE_NONE) {
    int32_t bound = bestValue >= beta ? BOUND_LOWER : pvNode && bestMove != MOVE_NONE ? BOUND_EXACT : BOUND_UPPER;
    TTStore(tableKey, ScoreToTT(bestValue, ply), depth, bound, bestMove, staticEval);
  }
  return bestValue;
}
