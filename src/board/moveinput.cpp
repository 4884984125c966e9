// Moves typed by a person or sent by a chess interface, matched against the legal moves,
// made, and kept so that they can be taken back.
#include <string>
#include <string_view>
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

// "e2e4", "e7e8q" in any letter case. No SAN has this shape (its second and fourth characters
// are never both digits), so such a text can only name a move by its coordinates.
bool HasCoordinateShape(const std::string& folded) {
  auto inRange = [&](size_t i, char low, char high) { return folded[i] >= low && folded[i] <= high; };
  return (folded.size() == 4 ||
          (folded.size() == 5 && std::string_view("qrbn").find(folded[4]) != std::string::npos)) &&
         inRange(0, 'a', 'h') && inRange(1, '1', '8') && inRange(2, 'a', 'h') && inRange(3, '1', '8');
}

// The move with the chosen text; SANs are worked out only when the text could be one, since
// they cost a move generation after every move of the list, and an interface's "position ...
// moves" sends the whole game before every search.
Move MatchMoveText(const MoveList& moves, int32_t count, std::string_view text) {
  std::string typed(text);
  std::string folded = ToLower(typed);
  if (HasCoordinateShape(folded)) {
    for (int32_t i = 0; i < count; ++i)
      if (MoveText(moves[i].Move) == folded) return moves[i].Move;
    return MOVE_NONE;
  }
  std::vector<std::string> sans = SanTexts(moves, count);
  // Exact first, so that letter case decides between a pawn and a bishop (bxc5, Bxc5).
  Move move = LastMatch(moves, sans, count, typed, false);
  return move != MOVE_NONE ? move : LastMatch(moves, sans, count, folded, true);
}

}  // namespace

bool PlayMoveText(std::string_view text) {
  if (GameHistoryCount >= GAME_HISTORY_CAPACITY) return false;
  MoveList moves;
  int32_t count = GenerateLegalMoves(0, moves);
  if (count == 0) return false;
  Move move = MatchMoveText(moves, count, text);
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
