// History tables: their start-up values, the new-game reset, and the updates after a cut-off.
#include "search/history.h"

#include <algorithm>
#include <cstring>

#include "search/search.h"

PieceSquareStats PieceToHistory;
PieceSquareStats ContinuationHistory[13][SQUARE_NB];
Move CounterMoves[13][SQUARE_NB];
Move Killers[STACK_HIGHEST_PLY + 1][2];
int32_t StatBonus[STAT_BONUS_NB];
int32_t CaptureOrder[13][13];

void InitHistoryTables() {
  for (int32_t d = 0; d < STAT_BONUS_NB; ++d) {
    int32_t capped = std::min(d, 20);
    StatBonus[d] = 32 * capped * capped;
  }
  for (int32_t victim = -KING; victim <= KING; ++victim)
    for (int32_t attacker = -KING; attacker <= KING; ++attacker)
      CaptureOrder[PieceRow(victim)][PieceRow(attacker)] =
          16 * OrderValue[TypeOf(victim)] - OrderValue[TypeOf(attacker)];
  // The stack's continuation references must be valid even before the first new game.
  ClearHistory();
}

void ClearHistory() {
  std::memset(PieceToHistory, 0, sizeof PieceToHistory);
  std::memset(CounterMoves, 0, sizeof CounterMoves);
  std::memset(Killers, 0, sizeof Killers);
  std::memset(ContinuationHistory, 0, sizeof ContinuationHistory);
  std::memset(SearchStackEntries, 0, sizeof SearchStackEntries);
  // Plies before the root are read as "no earlier move" by the history lookups.
  for (int32_t ply = -4; ply <= STACK_HIGHEST_PLY; ++ply) SearchStack[ply].ContHist = NullContinuation();
}

void UpdateHistory(int32_t piece, int32_t to, int32_t bonus) {
  ApplyGravity(StatEntry(PieceToHistory, piece, to), bonus, HISTORY_DIVISOR);
}

void UpdateContinuationSlot(int32_t ply, int32_t piece, int32_t to, int32_t bonus) {
  ApplyGravity(StatEntry(*SearchStack[ply].ContHist, piece, to), bonus, CONTINUATION_DIVISOR);
}

void UpdateContinuation(int32_t ply, int32_t piece, int32_t to, int32_t bonus) {
  for (int32_t back : {1, 2, 4})
    if (SearchStack[ply - back].CurrentMove != MOVE_NONE) UpdateContinuationSlot(ply - back, piece, to, bonus);
}

int32_t HistoryScore(int32_t ply, int32_t piece, int32_t to) {
  return StatEntry(PieceToHistory, piece, to) + StatEntry(*SearchStack[ply - 1].ContHist, piece, to) +
         StatEntry(*SearchStack[ply - 2].ContHist, piece, to) + StatEntry(*SearchStack[ply - 4].ContHist, piece, to);
}

void UpdateQuietStats(Move move, Move prevMove, int32_t depth, int32_t ply, const Move* quiets, int32_t quietCount,
                      int32_t margin) {
  Move* killers = Killers[ply];
  if (killers[0] != move) {
    killers[1] = killers[0];
    killers[0] = move;
  }
  // A cut-off by a clear margin counts as if found one ply deeper.
  int32_t bonus = margin <= 80 ? StatBonus[depth] : StatBonus[depth + 1];
  int32_t piece = PieceOn(FromSquare(move));
  UpdateHistory(piece, ToSquare(move), bonus);
  UpdateContinuation(ply, piece, ToSquare(move), bonus);
  for (int32_t i = 0; i < quietCount; ++i) {
    Move quiet = quiets[i];
    if (quiet == move) continue;
    int32_t quietPiece = PieceOn(FromSquare(quiet));
    UpdateHistory(quietPiece, ToSquare(quiet), -bonus);
    UpdateContinuation(ply, quietPiece, ToSquare(quiet), -bonus);
  }
  if (prevMove != MOVE_NONE) {
    int32_t prevTo = ToSquare(prevMove);
    CounterMoves[PieceRow(PieceOn(prevTo))][prevTo] = move;
  }
}
