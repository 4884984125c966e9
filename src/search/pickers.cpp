// The staged move pickers and the root move order.
#include "search/pickers.h"

#include <utility>

#include "search/history.h"
#include "search/state.h"

namespace {

// Picker stages. The main picker and the quiescence picker share the evasion stages.
constexpr int32_t MAIN_TT = 0;
constexpr int32_t CAPTURES_INIT = 1;
constexpr int32_t GOOD_CAPTURES = 2;
constexpr int32_t KILLER_1 = 3;
constexpr int32_t KILLER_2 = 4;
constexpr int32_t COUNTER_MOVE = 5;
constexpr int32_t QUIETS_INIT = 6;
constexpr int32_t SORTED_QUIETS = 7;
constexpr int32_t UNSORTED_QUIETS = 8;
constexpr int32_t BAD_CAPTURES = 9;
constexpr int32_t EVASIONS_INIT = 10;
constexpr int32_t EVASIONS = 11;

constexpr int32_t QS_TT = 0;
constexpr int32_t QS_CAPTURES_INIT = 1;
constexpr int32_t QS_CAPTURES = 2;
constexpr int32_t QS_CHECKS_INIT = 3;
constexpr int32_t QS_CHECKS = 4;
constexpr int32_t QS_DONE = 5;

constexpr int32_t PROBCUT_TT = 0;
constexpr int32_t PROBCUT_INIT = 1;
constexpr int32_t PROBCUT_CAPTURES = 2;

// Losing captures are kept at the list's high end, the first one at this position.
constexpr int32_t BAD_CAPTURE_TOP = MAX_MOVES - 1;

// Evasion scores: winning or equal captures first, then quiet moves, losing moves last.
constexpr int32_t EVASION_CAPTURE_BONUS = 1048576;

// Sorted quiets end once a score this low per depth has been handed out.
constexpr int32_t SORTED_QUIET_FLOOR = -4000;

bool ListUsedUp(const StackEntry& entry) { return entry.ListIndex >= entry.ListCount; }

// The selection step: the highest remaining score (the first on ties) is swapped to the next
// position and taken.
Move SelectBest(MoveList& list, StackEntry& entry) {
  int32_t best = entry.ListIndex;
  for (int32_t i = best + 1; i < entry.ListCount; ++i)
    if (list[i].Score > list[best].Score) best = i;
  std::swap(list[best], list[entry.ListIndex]);
  return list[entry.ListIndex++].Move;
}

void GenerateScoredCaptures(MoveList& list, StackEntry& entry) {
  entry.ListCount = GenerateCaptures(0, Position.ColourBB[Position.SideToMove ^ 1], list);
  for (int32_t i = 0; i < entry.ListCount; ++i) list[i].Score = CaptureScore(list[i].Move);
  entry.ListIndex = 0;
}

// A single evasion needs no order.
void GenerateScoredEvasions(MoveList& list, StackEntry& entry) {
  entry.ListCount = GenerateEvasions(0, list);
  entry.ListIndex = 0;
  if (entry.ListCount <= 1) return;
  for (int32_t i = 0; i < entry.ListCount; ++i) {
    Move move = list[i].Move;
    int32_t exchange = StaticExchange(move);
    if (exchange < 0)
      list[i].Score = exchange - EVASION_CAPTURE_BONUS;
    else if (IsCapture(move))
      list[i].Score = CaptureScore(move) + EVASION_CAPTURE_BONUS;
    else
      list[i].Score = StatEntry(PieceToHistory, PieceOn(FromSquare(move)), ToSquare(move));
  }
}

// Selection steps until a move is accepted; 0 when the list is used up.
template <typename Accept>
Move SelectAccepted(MoveList& list, StackEntry& entry, Accept accept) {
  while (!ListUsedUp(entry)) {
    Move move = SelectBest(list, entry);
    if (accept(move)) return move;
  }
  return MOVE_NONE;
}

// The evasion stages, shared by the main and the quiescence picker.
Move NextEvasion(MoveList& list, StackEntry& entry, Move ttMove) {
  if (entry.Stage == EVASIONS_INIT) {
    entry.Stage = EVASIONS;
    GenerateScoredEvasions(list, entry);
  }
  return SelectAccepted(list, entry, [&](Move move) { return move != ttMove; });
}

// The TT move is tried first when it can be played here; otherwise the caller forgets it.
Move OfferTTMove(Move& ttMove, bool acceptable) {
  if (ttMove != MOVE_NONE && acceptable && IsPseudoLegal(ttMove)) return ttMove;
  ttMove = MOVE_NONE;
  return MOVE_NONE;
}

// Killers and the counter move are quiet moves from elsewhere in the tree: offered only when
// new at this node and playable here, otherwise the caller forgets them.
bool Offer(Move& move, Move earlier1, Move earlier2, Move earlier3) {
  if (move != MOVE_NONE && move != earlier1 && move != earlier2 && move != earlier3 &&
      PieceOn(ToSquare(move)) == NO_PIECE && IsPseudoLegal(move))
    return true;
  move = MOVE_NONE;
  return false;
}

}  // namespace
void OrderRootMoves(Move bestMove, int32_t first, int32_t last) {
  MoveList& moves = SearchState.RootMoves;
  for (int32_t i = first; i <= last; ++i) moves[i].Score = moves[i].Move == bestMove ? 1048576 : 255 - i;
  for (int32_t i = first + 1; i <= last; ++i) {
    MoveEntry entry = moves[i];
    int32_t j = i;
    for (; j > first && moves[j - 1].Score < entry.Score; --j) moves[j] = moves[j - 1];
    moves[j] = entry;
  }
}

Move NextMove(MoveList& list, Move& ttMove, Move& killer1, Move& killer2, Move& counterMove, int32_t ply, int32_t depth,
              bool skipQuiets) {
  StackEntry& entry = SearchStack[ply];
  auto isCandidate = [&](Move move) {
    return move == ttMove || move == killer1 || move == killer2 || move == counterMove;
  };
  for (;;) {
    switch (entry.Stage) {
      case MAIN_TT:
        entry.Stage = Position.Checkers ? EVASIONS_INIT : CAPTURES_INIT;
        if (OfferTTMove(ttMove, true)) return ttMove;
        continue;
      case CAPTURES_INIT:
        GenerateScoredCaptures(list, entry);
        entry.BadCaptureCount = 0;
        entry.Stage = GOOD_CAPTURES;
        [[fallthrough]];
      case GOOD_CAPTURES:
        while (!ListUsedUp(entry)) {
          Move move = SelectBest(list, entry);
          if (move == ttMove) continue;
          if (StaticExchange(move) >= 0) return move;
          ++entry.BadCaptureCount;
          list[BAD_CAPTURE_TOP - entry.BadCaptureCount].Move = move;
        }
        entry.Stage = KILLER_1;
        [[fallthrough]];
      case KILLER_1:
        entry.Stage = KILLER_2;
        if (Offer(killer1, ttMove, MOVE_NONE, MOVE_NONE)) return killer1;
        [[fallthrough]];
      case KILLER_2:
        entry.Stage = COUNTER_MOVE;
        if (Offer(killer2, ttMove, killer1, MOVE_NONE)) return killer2;
        [[fallthrough]];
      case COUNTER_MOVE:
        entry.Stage = QUIETS_INIT;
        if (Offer(counterMove, ttMove, killer1, killer2)) return counterMove;
        [[fallthrough]];
      case QUIETS_INIT:
        // Once quiets are skipped they stay skipped at this node: nothing to generate.
        entry.ListCount = skipQuiets ? 0 : GenerateQuiets(0, ~Position.Occupied, list);
        for (int32_t i = 0; i < entry.ListCount; ++i) {
          Move move = list[i].Move;
          list[i].Score = HistoryScore(ply, PieceOn(FromSquare(move)), ToSquare(move));
        }
        entry.ListIndex = 0;
        entry.LastQuietScore = 1;
        entry.Stage = SORTED_QUIETS;
        [[fallthrough]];
      case SORTED_QUIETS:
        // Sorting stops paying once the history says the remaining moves are bad.
        while (entry.LastQuietScore > SORTED_QUIET_FLOOR * depth && !skipQuiets && !ListUsedUp(entry)) {
          Move move = SelectBest(list, entry);
          entry.LastQuietScore = list[entry.ListIndex - 1].Score;
          if (!isCandidate(move)) return move;
        }
        entry.Stage = UNSORTED_QUIETS;
        [[fallthrough]];
      case UNSORTED_QUIETS:
        while (!skipQuiets && !ListUsedUp(entry)) {
          Move move = list[entry.ListIndex++].Move;
          if (!isCandidate(move)) return move;
        }
        entry.Stage = BAD_CAPTURES;
        [[fallthrough]];
      case BAD_CAPTURES:
        if (entry.BadCaptureCount > 0) return list[BAD_CAPTURE_TOP - entry.BadCaptureCount--].Move;
        return MOVE_NONE;
      case EVASIONS_INIT:
      case EVASIONS:
        return NextEvasion(list, entry, ttMove);
      default:
        return MOVE_NONE;
    }
  }
}

Move NextQuiescenceMove(MoveList& list, const CheckInfo& checkInfo, Move& ttMove, int32_t ply, int32_t qdepth,
                        Move prevMove) {
  StackEntry& entry = SearchStack[ply];
  // Deep in quiescence only recaptures on the previous move's square are searched.
  bool recapturesOnly = qdepth < -4;
  int32_t recaptureSquare = ToSquare(prevMove);
  for (;;) {
    switch (entry.Stage) {
      case QS_TT: {
        bool inCheck = Position.Checkers != 0;
        entry.Stage = inCheck ? EVASIONS_INIT : QS_CAPTURES_INIT;
        if (OfferTTMove(ttMove, inCheck || !recapturesOnly || ToSquare(ttMove) == recaptureSquare)) return ttMove;
        continue;
      }
      case QS_CAPTURES_INIT:
        GenerateScoredCaptures(list, entry);
        entry.Stage = QS_CAPTURES;
        [[fallthrough]];
      case QS_CAPTURES:
        if (Move move = SelectAccepted(
                list, entry,
                [&](Move m) { return m != ttMove && (!recapturesOnly || ToSquare(m) == recaptureSquare); });
            move != MOVE_NONE)
          return move;
        entry.Stage = QS_CHECKS_INIT;
        [[fallthrough]];
      case QS_CHECKS_INIT:
        if (qdepth < 0 || Position.Checkers) return MOVE_NONE;
        entry.Stage = QS_CHECKS;
        entry.ListCount = GenerateQuietChecks(0, ~Position.Occupied, checkInfo, list);
        entry.ListIndex = 0;
        [[fallthrough]];
      case QS_CHECKS:
        while (!ListUsedUp(entry)) {
          Move move = list[entry.ListIndex++].Move;
          if (move != ttMove) return move;
        }
        entry.Stage = QS_DONE;
        return MOVE_NONE;
      case EVASIONS_INIT:
      case EVASIONS:
        return NextEvasion(list, entry, ttMove);
      default:
        return MOVE_NONE;
    }
  }
}

Move NextProbCutMove(MoveList& list, Move& ttMove, int32_t ply, int32_t threshold) {
  StackEntry& entry = SearchStack[ply];
  switch (entry.Stage) {
    case PROBCUT_TT:
      entry.Stage = PROBCUT_INIT;
      if (ttMove != MOVE_NONE && IsCapture(ttMove) && IsPseudoLegal(ttMove) && StaticExchangeValue(ttMove) >= threshold)
        return ttMove;
      ttMove = MOVE_NONE;
      [[fallthrough]];
    case PROBCUT_INIT:
      GenerateScoredCaptures(list, entry);
      entry.Stage = PROBCUT_CAPTURES;
      [[fallthrough]];
    case PROBCUT_CAPTURES:
      return SelectAccepted(list, entry,
                            [&](Move move) { return move != ttMove && StaticExchangeValue(move) >= threshold; });
    default:
      return MOVE_NONE;
  }
}
