// The input poll made from inside a running search.
#include <cstdlib>
#include <string>

#include "console/console.h"
#include "search/search.h"

void PollInput() {
  if (IsBudgetSpent()) SearchState.Stopped = true;
  // A stopped search only unwinds: what comes next ("position" right behind "stop") belongs to
  // the command loop.
  if (SearchState.Stopped) return;
  int length = PendingInputLength();
  if (length == 0) return;
  std::string line = ToLower(ReadInputLine(length));
  if (line == "stop") {
    SearchState.Stopped = true;
    SearchLimits.OptimumTime = SearchLimits.TimeLimit;
    SearchState.PollCountdown = 0;
  } else if (line == "quit" || line == "q") {
    // Output is unbuffered, so nothing is lost; no bestmove is owed to a departing interface.
    std::exit(0);
  } else if (line == "isready") {
    PrintLine("readyok");
  }
  // Every other line is discarded: a search is running.
}
