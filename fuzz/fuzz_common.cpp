#include "fuzz/fuzz_common.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console/console.h"
#include "search/search.h"
#include "shell/shell.h"

namespace {

int InputWriteEnd = -1;
char ScratchDirectory[] = "/tmp/tavrin-fuzz-XXXXXX";
bool InScratchDirectory = false;

void RemoveScratchDirectory() {
  std::remove("Tavrin.ini");
  rmdir(ScratchDirectory);
}

void Fail(std::string_view message) {
  std::fprintf(stderr, "\n*** fuzz invariant broken: %.*s\n", static_cast<int>(message.size()), message.data());
  std::abort();
}

}  // namespace

void StartEngineForFuzzing() {
  InitEngine();

  int devNull = open("/dev/null", O_WRONLY);
  if (devNull < 0 || dup2(devNull, STDOUT_FILENO) < 0) Fail("cannot send standard output to /dev/null");
  close(devNull);

  int ends[2];
  if (pipe(ends) != 0 || dup2(ends[0], STDIN_FILENO) < 0) Fail("cannot make the input pipe");
  close(ends[0]);
  InputWriteEnd = ends[1];
  fcntl(InputWriteEnd, F_SETFL, O_NONBLOCK);

  InitConsole(true);
  ClearTable();
  Settings.HashSizeMB = 16;
  NewGame();
}

void UseScratchDirectory() {
  if (InScratchDirectory) return;
  if (!mkdtemp(ScratchDirectory) || chdir(ScratchDirectory) != 0) Fail("cannot make a working directory");
  InScratchDirectory = true;
  std::atexit(RemoveScratchDirectory);
}

void FeedInput(std::string_view text) {
  while (!text.empty()) {
    ssize_t written = write(InputWriteEnd, text.data(), text.size());
    if (written <= 0) Fail("the input pipe is full");
    text.remove_prefix(static_cast<size_t>(written));
  }
}

void DrainInput() {
  while (int length = PendingInputLength()) ReadInputLine(length);
}

std::vector<std::string> SplitLines(const uint8_t* data, size_t size, size_t maxLines) {
  std::vector<std::string> lines;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  while (!text.empty() && lines.size() < maxLines) {
    size_t end = text.find_first_of("\r\n");
    std::string_view raw = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    std::string line = Trim(raw.substr(0, raw.find('\0')));
    if (!line.empty()) lines.push_back(std::move(line));
  }
  return lines;
}

void Require(bool condition, std::string_view what, std::string_view context) {
  if (condition) return;
  std::string message(what);
  if (!context.empty()) message += " [" + std::string(context) + "]";
  message += " at FEN " + WriteFen();
  Fail(message);
}

void RequireConsistentPosition(std::string_view context) {
  const PositionRecord& p = Position;
  Require(p.SideToMove == WHITE || p.SideToMove == BLACK, "side to move", context);
  Require(!(p.ColourBB[WHITE] & p.ColourBB[BLACK]), "a square of both colours", context);
  Require(p.Occupied == (p.ColourBB[WHITE] | p.ColourBB[BLACK]), "occupancy", context);
  Bitboard pieces = 0;
  for (int32_t type = PAWN; type <= QUEEN; ++type) {
    Require(!(pieces & p.PieceBB[type]), "a square of two piece types", context);
    pieces |= p.PieceBB[type];
  }
  for (int32_t colour : {WHITE, BLACK}) {
    int32_t king = p.KingSquare[colour];
    Require(king >= 0 && king < SQUARE_NB && p.Squares[king] == MakePiece(colour, KING), "king square", context);
  }
  for (int32_t s = 0; s < SQUARE_NB; ++s) {
    int32_t piece = p.Squares[s];
    Bitboard bit = SquareBit(s);
    Require(piece >= -KING && piece <= KING, "piece code", context);
    if (piece == NO_PIECE) {
      Require(!(p.Occupied & bit), "occupied square without a piece", context);
      continue;
    }
    Require((p.ColourBB[ColourOf(piece)] & bit) != 0, "piece missing from its colour", context);
    if (TypeOf(piece) == KING)
      Require(p.KingSquare[ColourOf(piece)] == s && !(pieces & bit), "king", context);
    else
      Require((p.PieceBB[TypeOf(piece)] & bit) != 0, "piece missing from its type", context);
  }
  Require((pieces | SquareBit(p.KingSquare[WHITE]) | SquareBit(p.KingSquare[BLACK])) == p.Occupied,
          "pieces and occupancy", context);
  Require(!(p.PieceBB[PAWN] & (RankMask[RANK_1] | RankMask[RANK_8])), "pawn on a back rank", context);
  Require(p.EpSquare == NO_SQUARE || (p.EpSquare >= 0 && p.EpSquare < SQUARE_NB), "en-passant square", context);
  Require(p.CastlingRights >= 0 && p.CastlingRights < CASTLING_NB, "castling rights", context);

  Require(p.Key == ComputeKey(), "position key", context);
  Require(p.PawnKey == ComputePawnKey(), "pawn key", context);
  Require(p.MaterialKey == ComputeMaterialKey(), "material key", context);
  Require(p.NonPawnMaterial[WHITE] == ComputeNonPawnMaterial(WHITE) &&
              p.NonPawnMaterial[BLACK] == ComputeNonPawnMaterial(BLACK),
          "non-pawn material", context);
  int32_t mg = 0, eg = 0;
  ComputePsqSums(mg, eg);
  Require(p.PsqMg == mg && p.PsqEg == eg, "piece-square sums", context);

  int32_t us = p.SideToMove;
  Require(p.Checkers == (AttackersTo(p.KingSquare[us], p.Occupied) & p.ColourBB[us ^ 1]), "checkers", context);
  Require(!(AttackersTo(p.KingSquare[us ^ 1], p.Occupied) & p.ColourBB[us]), "side not to move in check", context);
}

bool SamePosition(const PositionRecord& a, const PositionRecord& b) {
  return a.SideToMove == b.SideToMove && std::memcmp(a.PieceBB, b.PieceBB, sizeof a.PieceBB) == 0 &&
         std::memcmp(a.ColourBB, b.ColourBB, sizeof a.ColourBB) == 0 &&
         std::memcmp(a.Squares, b.Squares, sizeof a.Squares) == 0 &&
         std::memcmp(a.KingSquare, b.KingSquare, sizeof a.KingSquare) == 0 && a.Occupied == b.Occupied &&
         a.EpSquare == b.EpSquare && a.CastlingRights == b.CastlingRights && a.HalfmoveClock == b.HalfmoveClock &&
         a.GamePly == b.GamePly && a.Checkers == b.Checkers && a.CapturedPiece == b.CapturedPiece && a.Key == b.Key &&
         a.PawnKey == b.PawnKey && a.MaterialKey == b.MaterialKey &&
         std::memcmp(a.NonPawnMaterial, b.NonPawnMaterial, sizeof a.NonPawnMaterial) == 0 && a.PsqMg == b.PsqMg &&
         a.PsqEg == b.PsqEg && a.PliesFromNull == b.PliesFromNull;
}
