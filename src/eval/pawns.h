#pragma once
// The pawn structure of both colours, cached by pawn key, with the facts later terms read:
// passed pawns, pawn attacks, the squares pawns may attack later, blocked pawns, and each
// king's shelter for the king square and castling rights it was last computed for. Also
// the pawn geometry every term shares: pawn steps and attacks of whole sets, files ahead.

#include <array>
#include <cstdint>

#include "board/board.h"
#include "eval/score.h"

// ---- Pawn geometry -------------------------------------------------------------------------

// One step towards the colour's last rank, and one file sideways (nothing wraps).
constexpr Bitboard PushForward(int32_t colour, Bitboard b) { return colour == WHITE ? b << 8 : b >> 8; }
constexpr Bitboard ShiftWest(Bitboard b) { return (b & ~FileMask[FILE_A]) >> 1; }
constexpr Bitboard ShiftEast(Bitboard b) { return (b & ~FileMask[FILE_H]) << 1; }

// The squares the colour's pawns on b attack towards the a-file and towards the h-file;
// where the two meet, the squares they attack twice.
constexpr Bitboard PawnAttacksWest(int32_t colour, Bitboard b) { return ShiftWest(PushForward(colour, b)); }
constexpr Bitboard PawnAttacksEast(int32_t colour, Bitboard b) { return ShiftEast(PushForward(colour, b)); }
constexpr Bitboard PawnAttackSet(int32_t colour, Bitboard b) {
  return PawnAttacksWest(colour, b) | PawnAttacksEast(colour, b);
}

// [colour][rank]: every rank ahead of it, seen from the colour.
inline constexpr auto ForwardRanks = [] {
  std::array<std::array<Bitboard, RANK_NB>, COLOUR_NB> ranks{};
  for (int32_t r = 0; r < RANK_NB; ++r)
    for (int32_t ahead = 0; ahead < RANK_NB; ++ahead) {
      if (ahead > r) ranks[WHITE][r] |= RankMask[ahead];
      if (ahead < r) ranks[BLACK][r] |= RankMask[ahead];
    }
  return ranks;
}();

// The squares in front of square on its file, seen from the colour.
constexpr Bitboard ForwardFile(int32_t colour, int32_t square) {
  return ForwardRanks[colour][RankOf(square)] & FileMask[FileOf(square)];
}

// ---- Pawn structure and its cache ----------------------------------------------------------

// Arrays of two are [WHITE], [BLACK].
struct PawnEntry {
  uint64_t Key;                          // pawn key of the structure held
  PackedScore Score[COLOUR_NB];          // pawn-structure score of each side
  PackedScore Shelter[COLOUR_NB];        // king shelter and pawn storm, as last computed
  int32_t ShelterCastling[COLOUR_NB];    // rights Shelter was computed for: White's AND 3, Black's AND 12
  int32_t ShelterKingSquare[COLOUR_NB];  // king square Shelter was computed for; -1 = not computed
  Bitboard Passed[COLOUR_NB];            // passed pawns
  Bitboard Attacks[COLOUR_NB];           // squares attacked by the side's pawns
  Bitboard AttackSpan[COLOUR_NB];        // squares the side's pawns attack now or may after advancing
  int32_t BlockedCount;                  // pawns of both sides whose advance is stopped
  bool Filled;                           // false in a never-filled entry, so pawn key 0 cannot match it
};

inline constexpr int32_t PAWN_HASH_SIZE = 131072;  // a power of two: the index is the key's low bits

// Zero at start-up, never cleared: a new structure overwrites its slot.
extern PawnEntry PawnHashTable[PAWN_HASH_SIZE];

// The entry of the current position, set by ProbePawns; the piece terms read it.
extern PawnEntry* CurrentPawnEntry;

// Makes the entry of Position's pawn key current, filling it when it holds another key.
void ProbePawns();

// Fills the structure part of the entry for one side (Passed, Attacks, AttackSpan, Score,
// ShelterKingSquare = -1) and adds that side's blocked pawns to BlockedCount.
void EvaluatePawns(int32_t us, PawnEntry& entry);

// The side's shelter from the current entry while its king square and castling rights are
// those it was computed for; otherwise recomputed.
PackedScore KingShelter(int32_t side);

// Computes the side's shelter for its king square and castling rights, stores it in the
// current entry and returns it.
PackedScore ComputeKingShelter(int32_t side);
