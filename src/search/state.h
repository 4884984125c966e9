#pragma once
// The search records that lower rooms write too (the set-up writes repetition keys, the move
// operations count plies). Depends only on the chess types, so the board room may include it.

#include <cstdint>

#include "board/types.h"

// The deepest iteration and the deepest remaining depth of any node; the tables indexed by
// depth are sized by it.
inline constexpr int32_t MAX_SEARCH_DEPTH = 127;

// A continuation-history sub-table: [piece code + 6][destination square].
using PieceSquareStats = int32_t[13][SQUARE_NB];

// One ply of the search stack.
struct StackEntry {
  int32_t Stage;               // move-picker stage; 0 restarts the picker
  int32_t ListCount;           // moves in the picker's current list
  int32_t ListIndex;           // the picker's next position in it
  int32_t BadCaptureCount;     // losing captures postponed to the list's high end
  int32_t LastQuietScore;      // score of the last quiet move handed out sorted
  uint64_t Key;                // position key at this ply, for the repetition test
  int32_t StaticEval;          // -32701 when in check or not computed
  uint64_t EvalKey;            // the key StaticEval belongs to
  Move CurrentMove;            // move being searched from this ply; 0 before the first and for a null move
  PieceSquareStats* ContHist;  // continuation sub-table of CurrentMove; the null sub-table when none
  int32_t MoveCount;           // number of the move being searched, 1 = first
};

// A principal variation: a node's best move followed by its child's line, with room for a move
// at every ply of the deepest search.
inline constexpr int32_t MAX_PV_MOVES = MAX_SEARCH_DEPTH;
struct PVLine {
  int32_t Count;
  Move Moves[MAX_PV_MOVES];
};

// Plies -101..129: the root is ply 1, plies 0 and -1 the game positions before it.
inline constexpr int32_t STACK_LOWEST_PLY = -101;
inline constexpr int32_t STACK_HIGHEST_PLY = 129;

extern StackEntry SearchStackEntries[STACK_HIGHEST_PLY - STACK_LOWEST_PLY + 1];

// Indexed by ply: SearchStack[-1] is the first game position before the root.
inline constexpr StackEntry* SearchStack = SearchStackEntries - STACK_LOWEST_PLY;

// The budgets of one search, filled by the command that starts it. Times are milliseconds
// since the search started.
struct SearchLimitsRecord {
  int32_t TimeLimit;    // the budget the input poll tests; negative stops at the first poll
  int32_t MaxTime;      // extended budget, after a failed aspiration or a new best move
  int32_t OptimumTime;  // base budget, restored when an iteration keeps the best move
  int64_t NodeLimit = 2147483647;
  int32_t MaxDepth = MAX_SEARCH_DEPTH;  // last iteration, 1..MAX_SEARCH_DEPTH
  int32_t ClockTime;                    // what the budgets were based on; recorded, not read by the search
  bool TestSuiteMode;                   // set only by the test-suite runner
  bool UntilStop;  // an interface's infinite search: answered on "stop" only, even when it ends sooner
};

extern SearchLimitsRecord SearchLimits;

struct SearchStateRecord {
  uint64_t Nodes;         // nodes entered since the search started
  int32_t PollInterval;   // nodes between two input polls, fixed at search start
  int32_t PollCountdown;  // nodes left to the next poll
  bool Stopped;           // stop request: budget spent or "stop" read
  Move BestMove;          // best root move so far, 0 when none
  int32_t BestScore;
  int32_t CompletedDepth;  // depth at which BestMove was last set or an iteration completed
  int32_t IterationDepth;
  int32_t NullVerifyPly;   // null-move verification in progress below this ply, 0 when none
  int32_t NullVerifySide;  // the side it verifies for, -1 when none
  int32_t RootMoveCount;
  MoveList RootMoves;  // legal root moves, best first after each iteration
  PVLine RootPV;
  int32_t LastInfoDepth;  // iteration, first move and score of the last exact, mate or final info line
  Move LastInfoMove;
  int32_t LastInfoScore;
  int32_t RootDistance;  // moves currently made since the root move being searched
  int32_t SelDepth;      // deepest RootDistance reached, shown in info lines
};

extern SearchStateRecord SearchState;
