// Static exchange evaluation: the material outcome of the captures on one square, each side
// recapturing with its least valuable piece and free to stop.
#include <algorithm>
#include <cstdlib>

#include "board/board.h"

namespace {

// One capture per piece other than the mover, at most 32 pieces on the board.
constexpr int32_t GAIN_CAPACITY = 32;

// The least valuable attacker of the side, taken out of occupied; KING when only the king is
// left (the caller decides whether it may capture, occupied stays as it is).
int32_t TakeLeastValuable(Bitboard sideAttackers, Bitboard& occupied) {
  for (int32_t type = PAWN; type <= QUEEN; ++type) {
    Bitboard candidates = sideAttackers & Position.PieceBB[type];
    if (candidates) {
      occupied ^= SquareBit(LowestBit(candidates));
      return type;
    }
  }
  return KING;
}

}  // namespace

int32_t StaticExchangeValue(Move move) {
  int32_t from = FromSquare(move);
  int32_t to = ToSquare(move);
  int32_t mover = PieceOn(from);
  int32_t colour = ColourOf(mover);
  if (TypeOf(mover) == KING && std::abs(FileOf(from) - FileOf(to)) == 2) return 0;

  int32_t gain[GAIN_CAPACITY];
  gain[0] = OrderValue[TypeOf(PieceOn(to))];
  Bitboard occupied = Position.Occupied ^ SquareBit(from);
  if (IsCapture(move) && PieceOn(to) == NO_PIECE) {  // en passant: the pawn stands behind to
    occupied ^= SquareBit(to - (colour == WHITE ? 8 : -8));
    gain[0] = OrderValue[PAWN];
  }
  // Masking with occupied drops the mover and a pawn taken en passant.
  Bitboard attackers = AttackersTo(to, occupied) & occupied;
  Bitboard diagonalSliders = Position.PieceBB[BISHOP] | Position.PieceBB[QUEEN];
  Bitboard straightSliders = Position.PieceBB[ROOK] | Position.PieceBB[QUEEN];

  int32_t side = colour ^ 1;
  if (!(attackers & Position.ColourBB[side])) return gain[0];

  int32_t onSquare = TypeOf(mover);  // the piece the next capture takes
  int32_t i = 0;
  int32_t last;  // index of the last counted gain
  while (true) {
    gain[i + 1] = OrderValue[onSquare] - gain[i];
    int32_t taker = TakeLeastValuable(attackers & Position.ColourBB[side], occupied);
    if (taker != KING) {
      // The piece that left may uncover a slider behind it.
      if (taker == PAWN || taker == BISHOP || taker == QUEEN)
        attackers |= BishopAttacks(to, occupied) & diagonalSliders;
      if (taker == ROOK || taker == QUEEN) attackers |= RookAttacks(to, occupied) & straightSliders;
      attackers &= occupied;
    }
    side ^= 1;
    bool opponentAttacks = (attackers & Position.ColourBB[side]) != 0;
    if (taker == KING) {
      // A king may not capture onto a square the other side still attacks.
      last = opponentAttacks ? i : i + 1;
      break;
    }
    if (!opponentAttacks) {
      last = i + 1;
      break;
    }
    onSquare = taker;
    ++i;
  }
  // Each side may stop instead of capturing: fold the list from the end.
  for (int32_t j = last; j >= 1; --j) gain[j - 1] = std::min(gain[j - 1], -gain[j]);
  return gain[0];
}

int32_t StaticExchange(Move move) {
  if (OrderValue[TypeOf(PieceOn(FromSquare(move)))] <= OrderValue[TypeOf(PieceOn(ToSquare(move)))]) return 10000;
  return StaticExchangeValue(move);
}
