#pragma once
// Bit primitives, constant masks and the attack tables. Part of the board room's front door
// (board/board.h); the tables are filled once by InitAttackTables.

#include <bit>
#include <cassert>
#include <cstdint>

#include "board/types.h"

#ifdef __BMI2__
#include <immintrin.h>
#endif

// ---- Primitives ----------------------------------------------------------------------------

constexpr int32_t PopCount(Bitboard b) { return std::popcount(b); }

// Both scans are undefined for an empty set; no caller passes one.
constexpr int32_t LowestBit(Bitboard b) {
  assert(b);
  return std::countr_zero(b);
}
constexpr int32_t HighestBit(Bitboard b) {
  assert(b);
  return 63 - std::countl_zero(b);
}

// Takes the lowest square out of b and returns it: the loop step over a square set.
constexpr int32_t PopLowestBit(Bitboard& b) {
  int32_t square = LowestBit(b);
  b &= b - 1;
  return square;
}

constexpr bool MoreThanOne(Bitboard b) { return (b & (b - 1)) != 0; }

constexpr int32_t FileOf(int32_t square) { return square & 7; }
constexpr int32_t RankOf(int32_t square) { return square >> 3; }
// Rank counted from the colour's own side.
constexpr int32_t RelativeRank(int32_t colour, int32_t square) { return RankOf(square) ^ (7 * colour); }
constexpr bool IsOnBoard(int32_t i) { return 0 <= i && i < SQUARE_NB; }

// ---- Constant masks ------------------------------------------------------------------------

// The set of the one square; empty for NO_SQUARE (the en-passant square of a position without
// one, and a step off the board while the attack tables are built).
constexpr Bitboard SquareBit(int32_t square) {
  assert(NO_SQUARE <= square && square < SQUARE_NB);
  return square == NO_SQUARE ? 0 : Bitboard{1} << square;
}

inline constexpr Bitboard RankMask[RANK_NB] = {
    0xFFULL, 0xFFULL << 8, 0xFFULL << 16, 0xFFULL << 24, 0xFFULL << 32, 0xFFULL << 40, 0xFFULL << 48, 0xFFULL << 56,
};
inline constexpr Bitboard FileMask[FILE_NB] = {
    0x0101010101010101ULL,      0x0101010101010101ULL << 1, 0x0101010101010101ULL << 2, 0x0101010101010101ULL << 3,
    0x0101010101010101ULL << 4, 0x0101010101010101ULL << 5, 0x0101010101010101ULL << 6, 0x0101010101010101ULL << 7,
};
inline constexpr Bitboard DARK_SQUARES = 0xAA55AA55AA55AA55ULL;  // a1, c1, ..., b2, ...

// ---- Tables built by InitAttackTables --------------------------------------------------------

extern uint8_t Distance[SQUARE_NB][SQUARE_NB];            // king steps between two squares
extern Bitboard PawnAttacks[COLOUR_NB][SQUARE_NB];        // captures of a pawn on the square
extern Bitboard PseudoAttacks[PIECE_TYPE_NB][SQUARE_NB];  // [type]: empty-board attacks; pawn row empty
extern Bitboard Line[SQUARE_NB][SQUARE_NB];               // edge-to-edge line through both, or empty
extern Bitboard Between[SQUARE_NB][SQUARE_NB];            // squares strictly between on a line

// One slider square's block in SliderAttackTable. With BMI2 the index is the occupancy's mask
// bits packed by PEXT; without it, the masked occupancy times a magic, shifted down.
struct SliderEntry {
  Bitboard Mask;  // the rays without their last square at the board edge
#ifndef __BMI2__
  Bitboard Magic;
  uint8_t Shift;
#endif
  uint32_t Offset;  // start of the block
};

inline constexpr int32_t SLIDER_TABLE_SIZE = 107648;  // every rook and bishop block, concatenated

extern SliderEntry RookEntries[SQUARE_NB];
extern SliderEntry BishopEntries[SQUARE_NB];
extern Bitboard SliderAttackTable[SLIDER_TABLE_SIZE];

inline uint32_t SliderIndex(const SliderEntry& entry, Bitboard occupied) {
#ifdef __BMI2__
  return entry.Offset + static_cast<uint32_t>(_pext_u64(occupied, entry.Mask));
#else
  return entry.Offset + static_cast<uint32_t>(((occupied & entry.Mask) * entry.Magic) >> entry.Shift);
#endif
}

// Each ray runs up to and including the first occupied square.
inline Bitboard BishopAttacks(int32_t square, Bitboard occupied) {
  return SliderAttackTable[SliderIndex(BishopEntries[square], occupied)];
}
inline Bitboard RookAttacks(int32_t square, Bitboard occupied) {
  return SliderAttackTable[SliderIndex(RookEntries[square], occupied)];
}
inline Bitboard QueenAttacks(int32_t square, Bitboard occupied) {
  return BishopAttacks(square, occupied) | RookAttacks(square, occupied);
}

// Fills every table above; a second call does nothing.
void InitAttackTables();
