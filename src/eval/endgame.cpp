#include "eval/endgame.h"

#include <algorithm>
#include <cstdlib>

#include "board/board.h"
#include "eval/material.h"

namespace {

constexpr Bitboard ROOK_FILES = FileMask[FILE_A] | FileMask[FILE_H];

// The won endings score about their material, like any other position: a bonus for the win
// itself would make the search give material away, or promote to a bishop and a knight, to
// reach them. The king terms drive the lone king to where it is mated.
constexpr int32_t CORNER_STEP = 42;   // per step the lone king stands nearer the right corner
constexpr int32_t KINGS_CLOSE = 140;  // minus 20 per step between the kings
constexpr int32_t KING_STEP = 20;
constexpr int32_t QUEEN_BEATS_PAWN = 1699;

// The side to move's point of view of a value for the strong side.
int32_t ForSideToMove(int32_t strong, int32_t value) { return Position.SideToMove == strong ? value : -value; }

// 90 in a corner, down to 28 in the centre: rewards driving a king to the edge.
int32_t EdgeBonus(int32_t k) {
  const int32_t f = std::min(FileOf(k), FILE_H - FileOf(k));
  const int32_t r = std::min(RankOf(k), RANK_8 - RankOf(k));
  return 90 - (7 * f * f / 2 + 7 * r * r / 2);
}

int32_t KingsClose(int32_t strong) {
  return KINGS_CLOSE - KING_STEP * Distance[KingSquareOf(strong)][KingSquareOf(strong ^ 1)];
}

// The weak side's only piece of the type.
int32_t LoneSquare(int32_t colour, int32_t type) { return LowestBit(PiecesOf(colour, type)); }

}  // namespace

int32_t EvaluateMateDrive(int32_t strong) {
  const int32_t value = Position.NonPawnMaterial[strong] + 101 * PopCount(PiecesOf(strong, PAWN)) +
                        EdgeBonus(KingSquareOf(strong ^ 1)) + KingsClose(strong);
  return ForSideToMove(strong, value);
}

int32_t EvaluateBishopKnightMate(int32_t strong) {
  const int32_t kW = KingSquareOf(strong ^ 1);
  // Mate is forced only in a corner of the bishop's colour.
  const bool dark = PiecesOf(strong, BISHOP) & DARK_SQUARES;
  const int32_t cornerDistance =
      dark ? std::min(Distance[kW][A1], Distance[kW][H8]) : std::min(Distance[kW][A8], Distance[kW][H1]);
  return ForSideToMove(strong,
                       Position.NonPawnMaterial[strong] + KingsClose(strong) + CORNER_STEP * (7 - cornerDistance));
}

int32_t EvaluateTwoKnights(int32_t) { return 0; }

int32_t EvaluateRookAgainstPawn(int32_t strong) {
  const int32_t weak = strong ^ 1;
  const int32_t kS = KingSquareOf(strong), kW = KingSquareOf(weak);
  const int32_t rook = LoneSquare(strong, ROOK), pawn = LoneSquare(weak, PAWN);
  const int32_t front = pawn + (weak == WHITE ? 8 : -8);
  const int32_t queening = FileOf(pawn) + (weak == WHITE ? 56 : 0);
  const bool strongToMove = Position.SideToMove == strong;

  // The strong king stands on the pawn's path, or the weak king is too far to help it on.
  const bool kingBlocks = FileOf(kS) == FileOf(pawn) && RelativeRank(strong, pawn) > RelativeRank(strong, kS);
  if (kingBlocks || (Distance[kW][pawn] >= 3 + !strongToMove && Distance[kW][rook] >= 3))
    return ForSideToMove(strong, 875 - Distance[kS][pawn]);

  // The weak king escorts a far advanced pawn while the strong king is far up the board.
  if (Distance[kW][pawn] == 1 && Distance[kS][pawn] > 2 + strongToMove && RelativeRank(strong, kW) <= RANK_3 &&
      RelativeRank(strong, kS) >= RANK_4)
    return ForSideToMove(strong, 80 - 8 * Distance[kS][pawn]);

  // A race: the strong king to the square in front of the pawn against the pawn's run.
  return ForSideToMove(strong, 200 - 8 * (Distance[kS][front] - Distance[kW][front] - Distance[pawn][queening]));
}

int32_t EvaluateRookAgainstBishop(int32_t strong) { return ForSideToMove(strong, EdgeBonus(KingSquareOf(strong ^ 1))); }

int32_t EvaluateRookAgainstKnight(int32_t strong) {
  const int32_t kW = KingSquareOf(strong ^ 1);
  // A knight cut off from its king is lost soonest.
  const int32_t knight = LoneSquare(strong ^ 1, KNIGHT);
  return ForSideToMove(strong, EdgeBonus(kW) + KING_STEP * Distance[kW][knight] - KING_STEP);
}

int32_t EvaluateQueenAgainstPawn(int32_t strong) {
  const int32_t weak = strong ^ 1;
  const int32_t kW = KingSquareOf(weak);
  const int32_t pawn = LoneSquare(weak, PAWN);
  int32_t value = KingsClose(strong);
  // A rook's or bishop's pawn one step from queening with its king beside it draws by
  // stalemate tricks; everything else wins.
  const int32_t file = FileOf(pawn);
  const bool drawingFile = file == FILE_A || file == FILE_C || file == FILE_F || file == FILE_H;
  if (!(RelativeRank(weak, pawn) == RANK_7 && Distance[kW][pawn] == 1 && drawingFile)) value += QUEEN_BEATS_PAWN;
  return ForSideToMove(strong, value);
}

int32_t EvaluateQueenAgainstRook(int32_t strong) {
  return ForSideToMove(strong, 925 + EdgeBonus(KingSquareOf(strong ^ 1)) + KingsClose(strong));
}

int32_t EvaluateTwoKnightsAgainstPawn(int32_t strong) {
  const int32_t weak = strong ^ 1;
  const int32_t pawnRank = RelativeRank(weak, LoneSquare(weak, PAWN));
  return ForSideToMove(strong, 101 + 2 * EdgeBonus(KingSquareOf(weak)) - 10 * pawnRank);
}

int32_t ScalePawnsOnly(int32_t strong) {
  const Bitboard pawns = PiecesOf(strong, PAWN);
  if (pawns & ~ROOK_FILES) return NO_SCALING;
  // Every pawn must lie on the king's file or a neighbouring one, nearer the strong side's
  // first rank than the king.
  const int32_t k = KingSquareOf(strong ^ 1);
  for (Bitboard b = pawns; b;) {
    const int32_t p = PopLowestBit(b);
    const bool beyond = strong == WHITE ? RankOf(p) < RankOf(k) : RankOf(p) > RankOf(k);
    if (std::abs(FileOf(p) - FileOf(k)) > 1 || !beyond) return NO_SCALING;
  }
  return 0;
}
