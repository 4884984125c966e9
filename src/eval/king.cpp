#include "eval/attackmaps.h"

#include <algorithm>

#include "eval/pawns.h"

namespace {

// King-danger units of a possible safe check [checking type][more than one square].
constexpr int32_t SafeCheckWeight[PIECE_TYPE_NB][2] = {
    {0, 0}, {0, 0}, {792, 1283}, {645, 967}, {1084, 1897}, {772, 1119}, {0, 0},
};

constexpr PackedScore PawnlessFlankPenalty = MakeScore(-17, -95);
constexpr PackedScore FlankAttackPenalty = MakeScore(-8, 0);  // per attacked flank square

constexpr Bitboard FilesBetween(int32_t first, int32_t last) {
  Bitboard files = 0;
  for (int32_t f = first; f <= last; ++f) files |= FileMask[f];
  return files;
}

// The files around the king where an attack on it is fought out [king's file].
constexpr Bitboard KingFlank[FILE_NB] = {
    FilesBetween(FILE_A, FILE_C), FilesBetween(FILE_A, FILE_D), FilesBetween(FILE_A, FILE_D),
    FilesBetween(FILE_C, FILE_F), FilesBetween(FILE_C, FILE_F), FilesBetween(FILE_E, FILE_H),
    FilesBetween(FILE_E, FILE_H), FilesBetween(FILE_F, FILE_H),
};

// The side's first five ranks.
constexpr Bitboard Camp[COLOUR_NB] = {
    RankMask[RANK_1] | RankMask[RANK_2] | RankMask[RANK_3] | RankMask[RANK_4] | RankMask[RANK_5],
    RankMask[RANK_8] | RankMask[RANK_7] | RankMask[RANK_6] | RankMask[RANK_5] | RankMask[RANK_4],
};

}  // namespace

PackedScore KingDangerPenalty(int32_t danger) {
  if (danger <= 100) return 0;
  // Squared in 64 bits and each half clamped: a 16-bit wrap would turn a lost king into a bonus.
  const int64_t d = danger;
  const int64_t mg = std::max<int64_t>(-(d * d) / 4096, -32767);
  const int64_t eg = std::max<int64_t>(-d / 16, -32767);
  return MakeScore(static_cast<int32_t>(mg), static_cast<int32_t>(eg));
}

PackedScore EvaluateKing(int32_t us) {
  const EvalWorkRecord& work = EvalWork;
  const int32_t them = us ^ 1;
  const int32_t king = KingSquareOf(us);
  const Bitboard* ours = work.AttackMap[us];
  const Bitboard* theirs = work.AttackMap[them];

  PackedScore score = KingShelter(us);
  int32_t danger = 0;
  Bitboard unsafeChecks = 0;

  // Squares the enemy attacks that only the king or the queen defends, or nothing at all.
  const Bitboard weak = theirs[ALL_PIECES] & ~work.DoubleAttacks[us] & (~ours[ALL_PIECES] | ours[KING] | ours[QUEEN]);
  // Squares an enemy piece can check from without being taken.
  const Bitboard safe = ~Position.ColourBB[them] & (~ours[ALL_PIECES] | (weak & work.DoubleAttacks[them]));

  // Lines out of the king, seen through its own queen.
  const Bitboard occupied = Position.Occupied & ~PiecesOf(us, QUEEN);
  const Bitboard rookLines = RookAttacks(king, occupied);
  const Bitboard bishopLines = BishopAttacks(king, occupied);

  const Bitboard rookChecks = rookLines & theirs[ROOK] & safe;
  if (rookChecks)
    danger += SafeCheckWeight[ROOK][MoreThanOne(rookChecks)];
  else
    unsafeChecks |= rookLines & theirs[ROOK];

  // A queen check from a square a rook could check from is already counted.
  const Bitboard queenChecks = (rookLines | bishopLines) & theirs[QUEEN] & safe & ~ours[QUEEN] & ~rookChecks;
  if (queenChecks) danger += SafeCheckWeight[QUEEN][MoreThanOne(queenChecks)];

  const Bitboard bishopChecks = bishopLines & theirs[BISHOP] & safe & ~queenChecks;
  if (bishopChecks)
    danger += SafeCheckWeight[BISHOP][MoreThanOne(bishopChecks)];
  else
    unsafeChecks |= bishopLines & theirs[BISHOP];

  const Bitboard knightChecks = PseudoAttacks[KNIGHT][king] & theirs[KNIGHT];
  if (knightChecks & safe)
    danger += SafeCheckWeight[KNIGHT][MoreThanOne(knightChecks & safe)];
  else
    unsafeChecks |= knightChecks;

  // Enemy attacks on the king's wing in the own half, double attacks counting twice.
  const Bitboard flank = KingFlank[FileOf(king)];
  const Bitboard flankAttacked = theirs[ALL_PIECES] & flank & Camp[us];
  const int32_t flankAttacks = PopCount(flankAttacked) + PopCount(flankAttacked & work.DoubleAttacks[them]);

  danger += work.ZoneAttackers[them] * work.ZoneAttackWeight[them] + 185 * PopCount(work.KingZone[us] & weak) +
            148 * PopCount(unsafeChecks) - (PiecesOf(them, QUEEN) ? 0 : 873) + 37;
  score = AddScore(score, KingDangerPenalty(danger));

  if (!(work.AllPawns & flank)) score = AddScore(score, PawnlessFlankPenalty);
  return AddScore(score, MultiplyScore(FlankAttackPenalty, flankAttacks));
}
