// PlayMoveText on positions reached by random play. The first byte picks a start position,
// the second how many random plies follow, the next bytes which legal move each ply plays;
// every later line is move text typed there. A move text is taken exactly when some legal
// move's SAN or coordinate text equals it ignoring letter case, an exact match is preferred,
// and a taken move can be taken back to the very same position.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "console/console.h"
#include "fuzz/fuzz_common.h"

namespace {

constexpr size_t MAX_LINES = 32;
constexpr int32_t MAX_RANDOM_PLIES = 64;

// Start positions with castling, en passant, promotions and pins close at hand.
constexpr std::string_view START_POSITIONS[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    "n1n5/PPPk4/8/8/8/8/4Kppp/5N1N b - - 0 1",
    "8/8/1k6/2b5/2pP4/8/5K2/8 b - d3 0 1",
};

struct LegalMoves {
  MoveList List;
  int32_t Count = 0;
  std::vector<std::string> Sans;
};

LegalMoves CurrentMoves() {
  LegalMoves moves;
  moves.Count = GenerateLegalMoves(0, moves.List);
  moves.Sans = SanTexts(moves.List, moves.Count);
  return moves;
}

// Distinct moves need distinct texts, or typing one could play the other.
void RequireDistinctTexts(const LegalMoves& moves) {
  std::set<std::string> sans, coordinates;
  for (int32_t i = 0; i < moves.Count; ++i) {
    Require(!moves.Sans[i].empty(), "an empty SAN");
    Require(sans.insert(moves.Sans[i]).second, "two legal moves with one SAN", moves.Sans[i]);
    Require(coordinates.insert(MoveText(moves.List[i].Move)).second, "two legal moves with one coordinate text",
            MoveText(moves.List[i].Move));
  }
}

bool Names(const LegalMoves& moves, int32_t i, const std::string& text, bool folded) {
  std::string san = moves.Sans[i];
  std::string coordinates = MoveText(moves.List[i].Move);
  if (folded) return ToLower(san) == ToLower(text) || ToLower(coordinates) == ToLower(text);
  return san == text || coordinates == text;
}

void TypeMove(const std::string& text) {
  LegalMoves moves = CurrentMoves();
  RequireDistinctTexts(moves);
  bool exact = false, folded = false;
  for (int32_t i = 0; i < moves.Count; ++i) {
    exact = exact || Names(moves, i, text, false);
    folded = folded || Names(moves, i, text, true);
  }
  const PositionRecord before = Position;
  int32_t historyBefore = GameHistoryCount;
  bool played = PlayMoveText(text);
  Require(played == folded, played ? "a move text no legal move has was played" : "a legal move text was refused",
          text);
  if (!played) {
    Require(SamePosition(Position, before) && GameHistoryCount == historyBefore, "a refused text changed the game",
            text);
    return;
  }
  Require(GameHistoryCount == historyBefore + 1, "a played move is not in the game history", text);
  Move move = GameHistory[historyBefore].Move;
  int32_t index = 0;
  while (index < moves.Count && moves.List[index].Move != move) ++index;
  Require(index < moves.Count, "the played move is not a legal move", text);
  Require(Names(moves, index, text, !exact), "the played move is not the one typed", text);
  RequireConsistentPosition(text);

  TakeBack();
  Require(SamePosition(Position, before) && GameHistoryCount == historyBefore, "take-back does not restore", text);
  Require(PlayMoveText(text) && GameHistory[historyBefore].Move == move, "the move does not replay", text);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  StartEngineForFuzzing();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  constexpr size_t POSITIONS = std::size(START_POSITIONS);
  Require(SetBoard(START_POSITIONS[data[0] % POSITIONS], false), "a start position is refused");
  int32_t plies = std::min<int32_t>(data[1] % (MAX_RANDOM_PLIES + 1), static_cast<int32_t>(size) - 2);
  size_t at = 2;
  for (int32_t ply = 0; ply < plies; ++ply) {
    LegalMoves moves = CurrentMoves();
    if (moves.Count == 0) break;
    std::string text = MoveText(moves.List[data[at++] % moves.Count].Move);
    Require(PlayMoveText(text), "random play refused a legal move", text);
  }
  RequireConsistentPosition("after random play");
  for (const std::string& line : SplitLines(data + at, size - at, MAX_LINES)) TypeMove(line);
  return 0;
}
