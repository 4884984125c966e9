#include "search/search.h"

void NewGame() {
  // Each structure of a game is reset here, in a fixed order, as it comes to exist.
}
