#pragma once
// The root of the search: iterative deepening with aspiration windows, the root move loop
// and the progress lines. Internal to the search room; Think is the front door's entry.

#include <cstdint>
#include <string>

#include "board/types.h"
#include "search/state.h"

// Kinds of info line.
enum : int32_t { INFO_EXACT = 0, INFO_LOWER_BOUND = 1, INFO_UPPER_BOUND = 2, INFO_MATE = 3, INFO_FINAL = 4 };

void IterativeDeepening();

// While SearchLimits.UntilStop: reads the input every millisecond as the search's poll does,
// until "stop" (or the end of input). The search is over, only its answer waits: the time
// waited does not count as searched.
void AwaitStop();

// The moves of SearchState.RootMoves[0..count) in order. line keeps what it held until the
// first root move is searched; best is the move that raised alpha, 0 when none did.
int32_t SearchRoot(int32_t alpha, int32_t beta, int32_t depth, int32_t count, PVLine& line, Move& best);

// One "info depth" line, unless it would repeat the last one or the search is still young.
void PrintInfo(int32_t score, const PVLine& line, int32_t kind);

// An evaluation score in centipawns as a chess interface expects them.
int32_t ScoreToCp(int32_t score);

// The line's moves in coordinate text, each followed by a blank, up to the first that is not
// legal where it stands; Position is unchanged afterwards.
std::string PVText(const PVLine& line);
