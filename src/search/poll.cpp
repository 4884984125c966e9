// The input read while a search runs: the poll made from inside it, and the wait for "stop"
// after an infinite search that ended by itself.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "console/console.h"
#include "platform/platform.h"
#include "search/root.h"
#include "search/search.h"
#include "search/time.h"

namespace {

// One line that came during the search: "stop" ends it and the wait for it, "isready" is
// answered, "quit" or "q" ends the program; every other line is discarded.
void TakeSearchLine(int length) {
  std::string line = ToLower(ReadInputLine(length));
  if (line == "stop") {
    SearchState.Stopped = true;
    SearchLimits.UntilStop = false;
    SearchLimits.OptimumTime = SearchLimits.TimeLimit;
    SearchState.PollCountdown = 0;
  } else if (line == "quit" || line == "q") {
    // Output is unbuffered, so nothing is lost; no bestmove is owed to a departing interface.
    std::exit(0);
  } else if (line == "isready") {
    PrintLine("readyok");
  }
}

}  // namespace

void PollInput() {
  if (IsBudgetSpent()) SearchState.Stopped = true;
  // A stopped search only unwinds: what comes next ("position" right behind "stop") belongs to
  // the command loop.
  if (SearchState.Stopped) return;
  if (int length = PendingInputLength()) TakeSearchLine(length);
}

void AwaitStop() {
  uint64_t waitStart = NowMilliseconds();
  while (SearchLimits.UntilStop) {
    if (int length = PendingInputLength())
      TakeSearchLine(length);
    else if (InputHasEnded())
      break;  // no "stop" can come any more: answer now, and the command loop ends the program
    else
      WaitForInputLine(1);
  }
  // The wait is no search: the final line's time and speed stay the search's own.
  StartTime += NowMilliseconds() - waitStart;
}
