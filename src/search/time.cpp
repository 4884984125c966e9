// Time management: the budgets of a search and the routine that starts one.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "board/board.h"
#include "platform/platform.h"
#include "search/search.h"
#include "search/time.h"

SearchLimitsRecord SearchLimits;

namespace {

// The allocation assumes this many moves are left when the clock does not say.
constexpr int32_t HORIZON_MOVES = 50;

// The poll interval is the node budget's low 14 bits: 16383 for the default budget.
constexpr int64_t POLL_MASK = 16383;

// Below this budget 16,383 nodes (about 10 ms) are too coarse a step: at a one-second game
// the engine would lose on time. Such searches look at the clock every 1,023 nodes.
constexpr int32_t TIGHT_BUDGET_MS = 1000;
constexpr int32_t TIGHT_POLL_INTERVAL = 1023;

// Halves to even; clamped, because odd clock values (a negative movestogo) can leave 32 bits.
int32_t RoundToInt(double value) {
  return static_cast<int32_t>(std::clamp(std::nearbyint(value), double{INT32_MIN}, double{INT32_MAX}));
}

}  // namespace

void ResetSearchLimits(int32_t milliseconds) {
  SearchLimits = SearchLimitsRecord{milliseconds,     milliseconds, milliseconds, 2147483647,
                                    MAX_SEARCH_DEPTH, milliseconds, false,        false};
}

void AllocateTime(int32_t time, int32_t increment, int32_t movesToGo) {
  // A negative count means nothing sensible: it is taken as no count (sudden death), which
  // also keeps mtg - 1 from overflowing.
  if (movesToGo < 0) movesToGo = 0;
  int32_t mtg = movesToGo == 0 ? HORIZON_MOVES : std::min(movesToGo, HORIZON_MOVES);
  // 64 bits: a large increment times 49 would overflow 32.
  int64_t timeLeft = int64_t{time} + int64_t{increment} * (mtg - 1) - int64_t{Settings.MoveOverhead} * (mtg + 2);
  timeLeft = std::max<int64_t>(timeLeft, 1);

  double ply = Position.GamePly;
  double optScale, maxScale;
  if (movesToGo == 0) {
    optScale = std::min(std::sqrt(ply + 3) / 250 + 0.008, 0.2 * time / timeLeft);
    maxScale = std::min(7.0, ply / 12 + 4.0);
  } else {
    optScale = std::min((ply / 128 + 0.8) / mtg, 0.8 * time / timeLeft);
    maxScale = std::min(6.3, mtg * 0.11 + 1.5);
  }
  SearchLimits.TimeLimit = RoundToInt(timeLeft * optScale);
  SearchLimits.MaxTime = RoundToInt(std::min(0.8 * time - Settings.MoveOverhead, maxScale * SearchLimits.TimeLimit));
}

void StartSearch() {
  SearchState.Nodes = 0;
  SearchState.Stopped = false;
  TranspositionTable.Generation += 4;
  if (TranspositionTable.Generation > 255) TranspositionTable.Generation = 0;
  StartTime = NowMilliseconds();
  SearchState.PollInterval = static_cast<int32_t>(SearchLimits.NodeLimit & POLL_MASK);
  if (SearchLimits.TimeLimit < TIGHT_BUDGET_MS)
    SearchState.PollInterval = std::min(SearchState.PollInterval, TIGHT_POLL_INTERVAL);
  SearchState.PollCountdown = SearchState.PollInterval;
}

bool IsBudgetSpent() {
  if (SearchLimits.TimeLimit < 0 || ElapsedMs() >= static_cast<uint64_t>(SearchLimits.TimeLimit)) return true;
  return SearchState.Nodes >= static_cast<uint64_t>(SearchLimits.NodeLimit);
}
