#pragma once
// Varied positions for the evaluation's tests and benchmarks: the book openings of the
// shared data, and random moves played on from them.
#include <cctype>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "board/board.h"
#include "console/console.h"

// The FEN after the moves of every nth game of the book, in book order; a game whose moves
// do not all play is left out. Position is left at the last game's end.
inline std::vector<std::string> OpeningFens(int32_t every) {
  std::vector<std::string> fens;
  std::ifstream book(TAVRIN_DATA_DIR "/openings/8moves_v3.pgn");
  std::string moves;
  int32_t games = 0;
  auto finishGame = [&] {
    if (moves.empty()) return;
    if (games++ % every == 0 && SetBoard(START_FEN, false)) {
      bool played = true;
      for (std::string rest = moves; played && !rest.empty();) {
        const std::string token = NextToken(rest);
        // Move numbers ("1.") and the result are no moves.
        if (!token.empty() && !std::isdigit(static_cast<unsigned char>(token[0]))) played = PlayMoveText(token);
      }
      if (played) fens.push_back(WriteFen());
    }
    moves.clear();
  };
  for (std::string line; std::getline(book, line);) {
    if (!line.empty() && line[0] == '[')
      finishGame();
    else
      moves += " " + line;
  }
  finishGame();
  return fens;
}

// Plays a legal move chosen by random; false, changing nothing, when there is none.
inline bool PlayRandomMove(std::mt19937& random) {
  MoveList moves;
  const int32_t count = GenerateLegalMoves(0, moves);
  if (count == 0) return false;
  const Move move = moves[std::uniform_int_distribution<int32_t>(0, count - 1)(random)].Move;
  CheckInfo checkInfo;
  ComputeCheckInfo(checkInfo);
  UndoInfo undo;
  SaveUndoInfo(undo);
  MakeMove(move, undo, GivesCheck(move, checkInfo));
  return true;
}
