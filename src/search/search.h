#pragma once
// The search room's front door: what the shell, the tools and the tuner use of the search.
// The room's other headers (alphabeta.h, history.h, pickers.h, root.h, time.h) are its own.

#include <cstdint>

// Settings: the tunables with their defaults and ranges (hash size, move overhead, display
// delays, test-suite iterations), written by the settings file, "setoption" and "move".
#include "search/settings.h"

// SearchLimits, the budgets a command fills before Think; SearchState, what the search leaves
// behind (best move and score, nodes, the last info line); PVLine; the search stack.
#include "search/state.h"

// The transposition table (TTResize for the hash size, TTHashfull for the board view) and the
// score constants (SCORE_MATE, SCORE_INFINITE).
#include "search/tt.h"

// ---- Start-up and games ------------------------------------------------------------------------

// Start-up tables: capture order and history bonuses; the reduction and margin tables.
void InitHistoryTables();
void InitSearchTables();

// The game reset: start position, empty table and histories, empty game history.
void NewGame();

// ---- Budgets -----------------------------------------------------------------------------------

// Every budget set to milliseconds, depth MAX_SEARCH_DEPTH and nodes 2147483647, test-suite mode and the
// wait for "stop" off: the starting point of every command that starts a search.
void ResetSearchLimits(int32_t milliseconds);

// Sets SearchLimits.TimeLimit and MaxTime from the clock of the side to move (movesToGo 0:
// sudden death). The caller applies the move overhead floor and the MaxTime cap.
void AllocateTime(int32_t time, int32_t increment, int32_t movesToGo);

// ---- Searches ----------------------------------------------------------------------------------

// One complete search of Position under SearchLimits: info lines, then "bestmove". Leaves
// SearchState.BestMove and SearchState.BestScore for the caller; ElapsedMs() (platform) is then
// the time it took.
void Think();

// The quiescence search of Position from a fresh root with the full window: the score for the
// side to move, and in line the moves to the quiet position whose static value it is. The
// piece-square tuner resolves its positions with it.
int32_t QuiescenceLine(PVLine& line);

// Set by the test-suite runner: called for every info line that is not a lower bound while
// SearchLimits.TestSuiteMode is on.
extern void (*TestSuiteHook)();
