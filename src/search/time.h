#pragma once
// The budgets of a running search: its start, the budget test and the input poll the
// alpha-beta search makes every SearchState.PollInterval nodes. Internal to the search room.

// The search-start routine: counters and stop flag cleared, table generation advanced, clock
// started, poll interval taken from the node budget.
void StartSearch();

// The input poll's budget test: the time limit is negative or reached, or the nodes are spent.
bool IsBudgetSpent();

// Called by the search every SearchState.PollInterval nodes: stops it when the budget is spent
// or on "stop", answers "isready", ends the program on "quit" or "q", discards other lines.
// Once the search is stopped it reads nothing more.
void PollInput();
