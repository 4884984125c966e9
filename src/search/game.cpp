#include "board/board.h"
#include "search/history.h"
#include "search/search.h"

void NewGame() {
  // Each structure of a game is reset here, in a fixed order, as it comes to exist.
  SetBoard(START_FEN, true);
  TTResize(Settings.HashSizeMB);
  SearchLimits.TimeLimit = 0;
  TranspositionTable.Generation = 0;
  ClearHistory();
  GameHistoryCount = 0;
}
