// ReadFen and SetBoard on any text. An accepted position must be consistent, survive the
// FEN round trip, and every legal move must make and unmake cleanly; a refused one must leave
// SetBoard's fallback, the start position.
#include <cstddef>
#include <cstdint>
#include <string>

#include "console/console.h"
#include "eval/eval.h"
#include "fuzz/fuzz_common.h"

namespace {

void RequireMovesMakeAndUnmake(const std::string& fen) {
  MoveList moves;
  int32_t count = GenerateLegalMoves(0, moves);
  Require(count >= 0 && count < MAX_MOVES, "legal move count", fen);
  CheckInfo checkInfo;
  ComputeCheckInfo(checkInfo);
  const PositionRecord before = Position;
  for (int32_t i = 0; i < count; ++i) {
    Move move = moves[i].Move;
    Require(IsPseudoLegal(move), "a legal move that is not pseudo-legal", MoveText(move));
    if (IsCapture(move)) StaticExchangeValue(move);
    bool givesCheck = GivesCheck(move, checkInfo);
    UndoInfo undo;
    SaveUndoInfo(undo);
    MakeMove(move, undo, givesCheck);
    RequireConsistentPosition(fen + " after " + MoveText(move));
    Require((Position.Checkers != 0) == givesCheck, "GivesCheck disagrees with the position", MoveText(move));
    UnmakeMove(move, undo);
    Require(SamePosition(Position, before), "unmake does not restore the position", MoveText(move));
  }
  if (count > 0) SanTexts(moves, count);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  StartEngineForFuzzing();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  bool accepted = ReadFen(text).empty();
  if (accepted) {
    RequireConsistentPosition(text);
    std::string written = WriteFen();
    Require(ReadFen(written).empty(), "the written FEN is refused", written);
    Require(WriteFen() == written, "the FEN round trip changes the text", written);
    RequireMovesMakeAndUnmake(written);
    int32_t score = Evaluate();
    Require(score >= -32000 && score <= 32000, "evaluation out of range", written);
  }

  // SetBoard agrees with ReadFen, and a refused text leaves the start position.
  SetBoard("8/8/8/4k3/8/8/8/4K3 w - - 0 1", false);
  bool blank = Trim(text).empty();
  bool set = SetBoard(text, true);
  Require(set == (accepted && !blank), "SetBoard and ReadFen disagree", text);
  Require(GameHistoryCount == 0, "the game history survives a set-up", text);
  if (blank) {
    Require(WriteFen() == "8/8/8/4k3/8/8/8/4K3 w - - 0 0", "a blank text changed the position", text);
  } else if (!set) {
    Require(WriteFen() == "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 0",
            "a refused text does not leave the start position", text);
  }
  RequireConsistentPosition(text);
  return 0;
}
