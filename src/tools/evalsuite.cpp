// The evaluation suite: every position of an EPD file shown with its board and static
// evaluation, one at a time.
#include <string>
#include <vector>

#include "board/board.h"
#include "console/console.h"
#include "tools/epd.h"
#include "tools/tools.h"

void EvalSuite() {
  std::vector<std::string> lines;
  if (!AskEpdLines("Evaluation Suite EPD filename", lines)) return;
  for (const std::string& line : lines) {
    if (Trim(line).empty()) continue;
    SetBoard(line, true);
    ShowSuitePosition();
    if (AskToFinish()) break;
  }
}
