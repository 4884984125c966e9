#pragma once
// What the search learns about moves: piece-to and continuation histories, killers, counter
// moves, and the capture order. The move pickers (pickers.h) read them. Internal to the search
// room.

#include <cstdint>

#include "board/board.h"
#include "search/state.h"

// Tables indexed by a piece code have 13 rows, -6..6.
constexpr int32_t PieceRow(int32_t piece) { return piece + 6; }

// Gravity divisors: entries stay within about plus or minus these.
inline constexpr int32_t HISTORY_DIVISOR = 16384;
inline constexpr int32_t CONTINUATION_DIVISOR = 49152;

// Bonus by depth. Depth + 1 is read for a clear cut-off, and depth reaches MAX_SEARCH_DEPTH.
inline constexpr int32_t STAT_BONUS_NB = MAX_SEARCH_DEPTH + 2;

extern PieceSquareStats PieceToHistory;                      // [moving piece + 6][destination]
extern PieceSquareStats ContinuationHistory[13][SQUARE_NB];  // [earlier move's piece + 6][its destination]
extern Move CounterMoves[13][SQUARE_NB];        // [piece now on the refuted move's destination + 6][destination]
extern Move Killers[STACK_HIGHEST_PLY + 1][2];  // plies 1..129, slot 0 the newest
extern int32_t StatBonus[STAT_BONUS_NB];
extern int32_t CaptureOrder[13][13];  // [victim + 6][attacker + 6]

// Zeroes the history, killer and counter-move tables and the search stack (a new game).
void ClearHistory();

// The sub-table that stands for no previous move (root, null move).
inline PieceSquareStats* NullContinuation() { return &ContinuationHistory[PieceRow(NO_PIECE)][A1]; }

// The continuation sub-table of a move: the piece now on its destination, and that square.
inline PieceSquareStats* ContinuationOf(int32_t piece, int32_t to) { return &ContinuationHistory[PieceRow(piece)][to]; }

inline int32_t& StatEntry(PieceSquareStats& table, int32_t piece, int32_t to) { return table[PieceRow(piece)][to]; }

// Most valuable victim first, then least valuable attacker; en passant has no victim on its square.
inline int32_t CaptureScore(Move move) {
  return CaptureOrder[PieceRow(PieceOn(ToSquare(move)))][PieceRow(PieceOn(FromSquare(move)))];
}

// Moves an entry toward the bonus: the larger the entry already is in the bonus's direction,
// the less it grows, so it stays within about plus or minus the divisor.
constexpr void ApplyGravity(int32_t& entry, int32_t bonus, int32_t divisor) {
  entry -= entry * (bonus < 0 ? -bonus : bonus) / divisor;
  entry += bonus;
}

void UpdateHistory(int32_t piece, int32_t to, int32_t bonus);

// Updates [piece][to] of the sub-table the ContHist of stack entry ply designates.
void UpdateContinuationSlot(int32_t ply, int32_t piece, int32_t to, int32_t bonus);

// The same for the sub-tables of plies ply - 1, ply - 2 and ply - 4 that have a move.
void UpdateContinuation(int32_t ply, int32_t piece, int32_t to, int32_t bonus);

// Piece-to history plus the continuations of the moves one, two and four plies back.
int32_t HistoryScore(int32_t ply, int32_t piece, int32_t to);

// After a quiet best move: killers, histories (the quiets searched before it lose), counter
// move. margin is the best score minus beta; quiets[0..quietCount) in search order.
void UpdateQuietStats(Move move, Move prevMove, int32_t depth, int32_t ply, const Move* quiets, int32_t quietCount,
                      int32_t margin);
