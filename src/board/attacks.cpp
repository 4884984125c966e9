// The attack tables: leaper steps, slider blocks, and the square-pair tables.
#include "board/bitboard.h"

uint8_t Distance[SQUARE_NB][SQUARE_NB];
Bitboard PawnAttacks[COLOUR_NB][SQUARE_NB];
Bitboard PseudoAttacks[PIECE_TYPE_NB][SQUARE_NB];
Bitboard Line[SQUARE_NB][SQUARE_NB];
Bitboard Between[SQUARE_NB][SQUARE_NB];

SliderEntry RookEntries[SQUARE_NB];
SliderEntry BishopEntries[SQUARE_NB];
Bitboard SliderAttackTable[SLIDER_TABLE_SIZE];

namespace {

constexpr int32_t RookSteps[4] = {8, -8, 1, -1};
constexpr int32_t BishopSteps[4] = {9, 7, -7, -9};
constexpr int32_t KingSteps[8] = {-9, -8, -7, -1, 1, 7, 8, 9};
constexpr int32_t KnightSteps[8] = {-17, -15, -10, -6, 6, 10, 15, 17};

#ifndef __BMI2__
// Found by a sparse random search (splitmix64 from a fixed seed, the AND of three draws) for
// the conventional index width of 64 - PopCount(Mask); the tests check every subset.
// clang-format off
constexpr Bitboard RookMagics[SQUARE_NB] = {
    0x0080008014654000ULL, 0x08C008406000B000ULL, 0x0200081080204200ULL, 0x1080100008008006ULL,
    0x388002801800CC00ULL, 0x0080040002008001ULL, 0x0200096284020008ULL, 0x0200008201004024ULL,
    0x4000800020804001ULL, 0x4080400020005000ULL, 0x0510808020001000ULL, 0x0002802800100280ULL,
    0x1401001008020500ULL, 0x0110800200040080ULL, 0x8003004402009100ULL, 0x0822801849000080ULL,
    0x508000C001200040ULL, 0x1010024000200240ULL, 0x0000820010244600ULL, 0x000412000A022040ULL,
    0x0084018008018004ULL, 0x0886008080020400ULL, 0x2000010100040200ULL, 0x002002000480650CULL,
    0x0020902080004000ULL, 0x401001C140006000ULL, 0x0022008200401420ULL, 0x2A00220900100102ULL,
    0x0000040080800800ULL, 0x0084000202000810ULL, 0x000202040041A810ULL, 0x0080410200008044ULL,
    0xAC00401020800088ULL, 0x8000200040401000ULL, 0x808C102001004100ULL, 0x0020080080801000ULL,
    0x2802000822000410ULL, 0x0004000802020010ULL, 0x0C00281184001042ULL, 0x104E040082000041ULL,
    0x4080002000424000ULL, 0x0000500020004000ULL, 0x0410002000828010ULL, 0x0000100104210008ULL,
    0x0002050008010010ULL, 0x020E00104C0A0008ULL, 0xA001100112140008ULL, 0x00841088410A0004ULL,
    0xC001102040800100ULL, 0x0200824000200480ULL, 0x4000201842028200ULL, 0x2211091001002300ULL,
    0x8060080100100500ULL, 0x1020040080020080ULL, 0x0008080250014400ULL, 0x2840040058910200ULL,
    0x0009042230800141ULL, 0x0604220042108102ULL, 0xB882081100422001ULL, 0x1004081000200501ULL,
    0x0222000420100802ULL, 0x000A000408108102ULL, 0x200811100200C804ULL, 0x30B0104104842402ULL,
};
constexpr Bitboard BishopMagics[SQUARE_NB] = {
    0x4889200080920281ULL, 0x0110504705002010ULL, 0x2041440100404051ULL, 0x2002408501210440ULL,
    0x2002021009A40000ULL, 0xBA810402402A4100ULL, 0x8002080402082000ULL, 0x8001002884044000ULL,
    0x0010083081480104ULL, 0x4104100101012600ULL, 0x0030904102002400ULL, 0xC50204105A000100ULL,
    0xA0018450C0209084ULL, 0x0101064120200080ULL, 0x15000484012010A0ULL, 0x0A00050400823804ULL,
    0x001120082001240AULL, 0x102C2008A9440400ULL, 0x80080199004C0280ULL, 0x0112041420260004ULL,
    0x00060404010C0000ULL, 0x000100021000AC05ULL, 0x4004008082080280ULL, 0x0082900824010802ULL,
    0x0A24408010220800ULL, 0x00B002E008421408ULL, 0x0828080084004010ULL, 0x0020080001004008ULL,
    0x0040840102802001ULL, 0x00080C2081100802ULL, 0x0408304242010408ULL, 0x0000908000240400ULL,
    0x2418621020400401ULL, 0x00C1413001A01400ULL, 0x0282242800500880ULL, 0x0000110800240040ULL,
    0x4021010400420202ULL, 0x4540840100219000ULL, 0x20C8011C13004200ULL, 0x0201045608230500ULL,
    0x2008480288401040ULL, 0x0604010853042800ULL, 0x0010220222021002ULL, 0x1008310282802800ULL,
    0x9000404892000102ULL, 0x0040282081020021ULL, 0x0802848104004600ULL, 0x00A30A028210010CULL,
    0x0000880110102408ULL, 0x080240441008D181ULL, 0x4018220201048000ULL, 0x0122004242021200ULL,
    0x8008102020410000ULL, 0x0024204401920002ULL, 0x0820020242040000ULL, 0x8310020084088100ULL,
    0x010500908C014000ULL, 0x008000210C100521ULL, 0x102A041022081201ULL, 0x0000020820208800ULL,
    0x1100002404104420ULL, 0x0000201002100440ULL, 0x0109100408408402ULL, 0xE8D1021811040010ULL,
};
// clang-format on
#endif

// One step from square in direction step, or -1 where it would leave the board or wrap
// around the a- or h-file (a wrapped step is more than one king step long).
int32_t StepFrom(int32_t square, int32_t step, int32_t maxDistance) {
  int32_t target = square + step;
  return IsOnBoard(target) && Distance[square][target] <= maxDistance ? target : NO_SQUARE;
}

// The ray walk the tables are filled from: each ray stops after the first blocker.
Bitboard SlowSliderAttacks(int32_t square, Bitboard occupied, const int32_t (&steps)[4]) {
  Bitboard attacks = 0;
  for (int32_t step : steps) {
    for (int32_t s = StepFrom(square, step, 1); s != NO_SQUARE; s = StepFrom(s, step, 1)) {
      attacks |= SquareBit(s);
      if (occupied & SquareBit(s)) break;
    }
  }
  return attacks;
}

// Fills the block of one slider square (its Offset, and Magic without BMI2, already set) and
// returns the block's size.
uint32_t FillSliderBlock(SliderEntry& entry, int32_t square, Bitboard edges, const int32_t (&steps)[4]) {
  entry.Mask = SlowSliderAttacks(square, 0, steps) & ~edges;
  int32_t bits = PopCount(entry.Mask);
#ifndef __BMI2__
  entry.Shift = static_cast<uint8_t>(64 - bits);
#endif
  // Carry-rippler walk over every subset of the mask.
  Bitboard subset = 0;
  do {
    SliderAttackTable[SliderIndex(entry, subset)] = SlowSliderAttacks(square, subset, steps);
    subset = (subset - entry.Mask) & entry.Mask;
  } while (subset);
  return uint32_t{1} << bits;
}

void InitSliderTables() {
  constexpr Bitboard FRAME = RankMask[RANK_1] | RankMask[RANK_8] | FileMask[FILE_A] | FileMask[FILE_H];
  uint32_t offset = 0;
  for (int32_t s = 0; s < SQUARE_NB; ++s) {
#ifndef __BMI2__
    RookEntries[s].Magic = RookMagics[s];
    BishopEntries[s].Magic = BishopMagics[s];
#endif
    // A rook on an edge still sees along that edge up to the corner's neighbour.
    Bitboard rookEdges = ((RankMask[RANK_1] | RankMask[RANK_8]) & ~RankMask[RankOf(s)]) |
                         ((FileMask[FILE_A] | FileMask[FILE_H]) & ~FileMask[FileOf(s)]);
    RookEntries[s].Offset = offset;
    offset += FillSliderBlock(RookEntries[s], s, rookEdges, RookSteps);
    BishopEntries[s].Offset = offset;
    offset += FillSliderBlock(BishopEntries[s], s, FRAME, BishopSteps);
  }
  assert(offset == SLIDER_TABLE_SIZE);
}

Bitboard LeaperAttacks(int32_t square, const int32_t (&steps)[8]) {
  Bitboard attacks = 0;
  for (int32_t step : steps) attacks |= SquareBit(StepFrom(square, step, 2));
  return attacks;
}

}  // namespace

void InitAttackTables() {
  static bool initialised = false;
  if (initialised) return;
  initialised = true;

  for (int32_t a = 0; a < SQUARE_NB; ++a) {
    for (int32_t b = 0; b < SQUARE_NB; ++b) {
      int32_t files = FileOf(a) > FileOf(b) ? FileOf(a) - FileOf(b) : FileOf(b) - FileOf(a);
      int32_t ranks = RankOf(a) > RankOf(b) ? RankOf(a) - RankOf(b) : RankOf(b) - RankOf(a);
      Distance[a][b] = static_cast<uint8_t>(files > ranks ? files : ranks);
    }
  }

  InitSliderTables();

  for (int32_t s = 0; s < SQUARE_NB; ++s) {
    PawnAttacks[WHITE][s] = SquareBit(StepFrom(s, 7, 1)) | SquareBit(StepFrom(s, 9, 1));
    PawnAttacks[BLACK][s] = SquareBit(StepFrom(s, -9, 1)) | SquareBit(StepFrom(s, -7, 1));
    PseudoAttacks[KNIGHT][s] = LeaperAttacks(s, KnightSteps);
    PseudoAttacks[KING][s] = LeaperAttacks(s, KingSteps);
    PseudoAttacks[BISHOP][s] = BishopAttacks(s, 0);
    PseudoAttacks[ROOK][s] = RookAttacks(s, 0);
    PseudoAttacks[QUEEN][s] = PseudoAttacks[BISHOP][s] | PseudoAttacks[ROOK][s];
  }

  for (int32_t a = 0; a < SQUARE_NB; ++a) {
    for (int32_t b = 0; b < SQUARE_NB; ++b) {
      Bitboard ends = SquareBit(a) | SquareBit(b);
      for (int32_t slider : {BISHOP, ROOK}) {
        if (!(PseudoAttacks[slider][a] & SquareBit(b))) continue;
        Line[a][b] = (PseudoAttacks[slider][a] & PseudoAttacks[slider][b]) | ends;
        // Seen from both ends with the other end as the only blocker: the squares between.
        Between[a][b] = slider == BISHOP ? BishopAttacks(a, SquareBit(b)) & BishopAttacks(b, SquareBit(a))
                                         : RookAttacks(a, SquareBit(b)) & RookAttacks(b, SquareBit(a));
      }
    }
  }
}
