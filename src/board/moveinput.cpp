// Moves typed by a person or sent by a chess interface, matched against the legal moves,
// made, and kept so that they can be taken back.
#include <string>
#include <vector>

#include "board/board.h"
#include "console/console.h"
#include "search/state.h"

GameHistoryEntry GameHistory[GAME_HISTORY_CAPACITY];
int32_t GameHistoryCount;

namespace {

// The last move of the list whose SAN or coordinate text equals text, or MOVE_NONE.
Move LastMatch(const MoveList& moves, const std::vector<std::string>& sans, int32_t count, const std::string& text,
               bool folded) {
  Move found = MOVE_NONE;
  for (int32_t i = 0; i < count; ++i) {
    std::string san = folded ? ToLower(sans[i]) : sans[i];
    std::string coordinates = folded ? ToLower(MoveText(moves[i].Move)) : MoveText(moves[i].Move);
    if (san == text || coordinates == text) found = moves[i].Move;
  }
  return found;
}

}  // namespace

bool PlayMoveText(std::string_view text) {
  if (GameHistoryCount >= GAME_HISTORY_CAPACITY) return false;
  MoveList moves;
  int32_t count = GenerateLegalMoves(0, moves);
  if (count == 0) return false;
  std::vector<std::string> sans = SanTexts(moves, count);
  std::string typed(text);
  // Exact first, so that letter case decides between a pawn and a bishop (bxc5, Bxc5).
  Move move = LastMatch(moves, sans, count, typed, false);
  if (move == MOVE_NONE) move = LastMatch(moves, sans, count, ToLower(typed), true);
  if (move == MOVE_NONE) return false;

  GameHistoryEntry& entry = GameHistory[GameHistoryCount];
  CheckInfo checkInfo;
  ComputeCheckInfo(checkInfo);
  bool givesCheck = GivesCheck(move, checkInfo);
  uint64_t keyBefore = Position.Key;
  entry.Move = move;
  SaveUndoInfo(entry.Undo);
  MakeMove(move, entry.Undo, givesCheck);

  // The next search sees the position before this move as the game's last one.
  SearchStack[-1].Key = 0;
  SearchStack[0].Key = keyBefore;
  SearchStack[1].Key = Position.Key;
  ++GameHistoryCount;
  return true;
}

void TakeBack() {
  if (GameHistoryCount <= 0) return;
  --GameHistoryCount;
  const GameHistoryEntry& entry = GameHistory[GameHistoryCount];
  UnmakeMove(entry.Move, entry.Undo);
}
