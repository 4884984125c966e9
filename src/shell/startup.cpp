// The start-up every program built on the engine makes first: the engine itself, the fuzz
// targets and the tuning tools.
#include "board/board.h"
#include "search/search.h"
#include "shell/shell.h"
#include "tools/tools.h"

void InitEngine() {
  // In dependency order; none of them reads the arguments or prints.
  InitAttackTables();
  InitPieceSquareTable();
  InitHistoryTables();
  InitHashKeys();
  InitSearchTables();
  SetBoard(START_FEN, false);  // a valid position exists before anything reads one
  BoardViewHook = ShowBoard;   // the EPD suites below the shell show positions with it
}
