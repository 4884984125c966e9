// The legal-move listing: every legal move with its notations and its one-ply score.
#include <cstdint>
#include <string>
#include <vector>

#include "board/board.h"
#include "console/console.h"
#include "eval/eval.h"
#include "shell/commands.h"

void ListLegalMoves() {
  MoveList moves;
  int32_t count = GenerateLegalMoves(0, moves);
  TableTitle("Legal moves: " + std::to_string(count), {Align::LEFT, Align::RIGHT, Align::RIGHT, Align::LEFT});
  TableHeader({"#", "ean", "san", "score"});
  if (count == 0) WriteLine("No moves");

  CheckInfo checkInfo;
  ComputeCheckInfo(checkInfo);
  for (int32_t i = 0; i < count; ++i) {
    UndoInfo undo;
    SaveUndoInfo(undo);
    MakeMove(moves[i].Move, undo, GivesCheck(moves[i].Move, checkInfo));
    moves[i].Score = -Evaluate();  // from the mover's side
    UnmakeMove(moves[i].Move, undo);
  }
  // Insertion sort: moves of equal score keep the generator's order.
  for (int32_t i = 1; i < count; ++i) {
    MoveEntry entry = moves[i];
    int32_t j = i;
    for (; j > 0 && moves[j - 1].Score < entry.Score; --j) moves[j] = moves[j - 1];
    moves[j] = entry;
  }

  std::vector<std::string> san = SanTexts(moves, count);
  for (int32_t i = 0; i < count; ++i)
    TableRow({std::to_string(i + 1), MoveText(moves[i].Move), san[i], std::to_string(moves[i].Score)});
  PrintTable();
}
