#include "search/search.h"

void NewGame() {
  // Each structure of a game is reset here, in a fixed order, as it comes to exist.
  TTResize(Settings.HashSizeMB);
  SearchLimits.TimeLimit = 0;
  TranspositionTable.Generation = 0;
}
