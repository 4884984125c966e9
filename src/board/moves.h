#pragma once
// What the move generators and the move operations share: attack sets by piece type and the
// lone blockers of slider lines. Internal to the board room.

#include "board/board.h"

// The squares a knight, bishop, rook, queen or king on square attacks through occupied.
template <int32_t Type>
inline Bitboard AttacksOf(int32_t square, Bitboard occupied) {
  static_assert(KNIGHT <= Type && Type <= KING);
  if constexpr (Type == BISHOP) return BishopAttacks(square, occupied);
  if constexpr (Type == ROOK) return RookAttacks(square, occupied);
  if constexpr (Type == QUEEN) return QueenAttacks(square, occupied);
  return PseudoAttacks[Type][square];
}

inline Bitboard AttacksOf(int32_t type, int32_t square, Bitboard occupied) {
  assert(KNIGHT <= type && type <= KING);
  switch (type) {
    case BISHOP:
      return BishopAttacks(square, occupied);
    case ROOK:
      return RookAttacks(square, occupied);
    case QUEEN:
      return QueenAttacks(square, occupied);
    default:
      return PseudoAttacks[type][square];
  }
}

// Pieces of ownColour that are the only piece between a bishop, rook or queen of sliderColour
// and square on their common line: pinned pieces when square is the own king, pieces that may
// uncover a check when it is the enemy king.
inline Bitboard SliderBlockers(int32_t square, int32_t sliderColour, int32_t ownColour) {
  Bitboard queens = Position.PieceBB[QUEEN];
  Bitboard snipers = ((PseudoAttacks[BISHOP][square] & (Position.PieceBB[BISHOP] | queens)) |
                      (PseudoAttacks[ROOK][square] & (Position.PieceBB[ROOK] | queens))) &
                     Position.ColourBB[sliderColour];
  Bitboard blockers = 0;
  while (snipers) {
    Bitboard between = Between[square][PopLowestBit(snipers)] & Position.Occupied;
    if (!MoreThanOne(between)) blockers |= between & Position.ColourBB[ownColour];
  }
  return blockers;
}
