#pragma once
// The search room's front door.

#include <cstdint>

#include "search/clock.h"
#include "search/settings.h"
#include "search/state.h"
#include "search/tt.h"

// The game reset: start position, empty table and histories, empty game history.
void NewGame();

// ---- Time management ---------------------------------------------------------------------------

// Every budget set to milliseconds, depth MAX_SEARCH_DEPTH and nodes 2147483647, test-suite mode and the
// wait for "stop" off: the starting point of every command that starts a search.
void ResetSearchLimits(int32_t milliseconds);

// Sets SearchLimits.TimeLimit and MaxTime from the clock of the side to move (movesToGo 0:
// sudden death). The caller applies the move overhead floor and the MaxTime cap.
void AllocateTime(int32_t time, int32_t increment, int32_t movesToGo);

// The search-start routine: counters and stop flag cleared, table generation advanced, clock
// started, poll interval taken from the node budget.
void StartSearch();

// The input poll's budget test: the time limit is negative or reached, or the nodes are spent.
bool IsBudgetSpent();

// ---- Search ------------------------------------------------------------------------------------

// Start-up tables: capture order and history bonuses; the reduction and margin tables.
void InitHistoryTables();
void InitSearchTables();

// Zeroes the history, killer and counter-move tables and the search stack (a new game).
void ClearHistory();

// One complete search of Position under SearchLimits: info lines, then "bestmove". Leaves
// SearchState.BestMove and SearchState.BestScore for the caller.
void Think();

// The quiescence search of Position from a fresh root with the full window: the score for the
// side to move, and in line the moves to the quiet position whose static value it is. The
// piece-square tuner resolves its positions with it.
int32_t QuiescenceLine(PVLine& line);

// Called by the search every SearchState.PollInterval nodes: stops it when the budget is spent
// or on "stop", answers "isready", ends the program on "quit" or "q", discards other lines.
// Once the search is stopped it reads nothing more.
void PollInput();

// Set by the test-suite runner: called for every info line that is not a lower bound while
// SearchLimits.TestSuiteMode is on.
extern void (*TestSuiteHook)();
