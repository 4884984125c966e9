#include "eval/pawns.h"

#include "eval/eval.h"

#include <algorithm>

PawnEntry PawnHashTable[PAWN_HASH_SIZE];
PawnEntry* CurrentPawnEntry = PawnHashTable;

namespace {

constexpr PackedScore DoubledPenalty = MakeScore(-11, -56);
constexpr PackedScore IsolatedPenalty = MakeScore(-5, -15);
constexpr PackedScore BackwardPenalty = MakeScore(-9, -24);
constexpr PackedScore UnopposedExtra = MakeScore(-13, -27);  // on top of isolated or backward
constexpr PackedScore LeverPenalty = MakeScore(0, -56);      // an unsupported pawn forking two pawns
// [relative rank]: a pawn on the fifth or sixth rank with an enemy pawn right in front.
constexpr PackedScore BlockedPawnBonus[RANK_NB] = {0, 0, 0, 0, MakeScore(-11, -4), MakeScore(-3, 4), 0, 0};
// [relative rank]
constexpr int32_t ConnectedBase[RANK_NB - 1] = {0, 7, 8, 12, 29, 48, 86};

// [edge distance of the file][relative rank of the rearmost pawn there, 0 = none]
constexpr int32_t ShelterByRank[4][RANK_NB - 1] = {
    {-6, 81, 93, 58, 39, 18, 25},
    {-43, 61, 35, -49, -29, -11, -63},
    {-10, 75, 23, -2, 32, 3, -45},
    {-39, -13, -29, -52, -48, -67, -166},
};
constexpr int32_t StormByRank[4][RANK_NB - 1] = {
    {85, -289, -166, 97, 50, 45, 50},
    {46, -25, 122, 45, 37, -10, 20},
    {-6, 51, 168, 34, -2, -22, -14},
    {-15, -11, 101, 4, 11, -15, -29},
};
// [relative rank of an enemy pawn that stands right in front of our shelter pawn]
constexpr PackedScore BlockedStormByRank[RANK_NB - 1] = {
    0, 0, MakeScore(-76, -78), MakeScore(10, -15), MakeScore(7, -10), MakeScore(4, -6), MakeScore(1, -2),
};

constexpr PackedScore ShelterStart = MakeScore(5, 5);
constexpr int32_t KING_PAWN_DISTANCE_PENALTY = 16;  // endgame, per step to the nearest own pawn
constexpr int32_t FAR_PAWN_DISTANCE = 6;            // the distance counted when no pawn is nearer

// Castling rights of each side, and where each right puts its king.
constexpr int32_t SideCastling[COLOUR_NB] = {WHITE_KING_SIDE | WHITE_QUEEN_SIDE, BLACK_KING_SIDE | BLACK_QUEEN_SIDE};
struct CastledKing {
  int32_t Right;
  int32_t Square;
};
constexpr CastledKing CastledKings[COLOUR_NB][2] = {
    {{WHITE_KING_SIDE, G1}, {WHITE_QUEEN_SIDE, C1}},
    {{BLACK_KING_SIDE, G8}, {BLACK_QUEEN_SIDE, C8}},
};

constexpr Bitboard AdjacentFiles(int32_t file) {
  return (file > FILE_A ? FileMask[file - 1] : 0) | (file < FILE_H ? FileMask[file + 1] : 0);
}

// The squares ahead on the neighbouring files: those the pawn may attack as it advances.
constexpr Bitboard PawnAttackSpan(int32_t colour, int32_t square) {
  return ForwardRanks[colour][RankOf(square)] & AdjacentFiles(FileOf(square));
}

// The pawn of b nearest the colour's first rank.
constexpr int32_t RearmostPawn(int32_t colour, Bitboard b) { return colour == WHITE ? LowestBit(b) : HighestBit(b); }

// The shelter of Us's pawns and the storm of Them's on the three files around k, counting
// only pawns level with or ahead of k.
PackedScore ShelterAndStorm(int32_t us, int32_t k) {
  const int32_t them = us ^ 1;
  const Bitboard b = Position.PieceBB[PAWN] & ~ForwardRanks[them][RankOf(k)];
  const Bitboard ourPawns = b & Position.ColourBB[us] & ~CurrentPawnEntry->Attacks[them];
  const Bitboard theirPawns = b & Position.ColourBB[them];

  PackedScore bonus = ShelterStart;
  const int32_t centre = std::clamp<int32_t>(FileOf(k), FILE_B, FILE_G);
  for (int32_t f = centre - 1; f <= centre + 1; ++f) {
    const Bitboard ours = ourPawns & FileMask[f];
    const Bitboard theirs = theirPawns & FileMask[f];
    const int32_t ourRank = ours ? RelativeRank(us, RearmostPawn(us, ours)) : 0;
    const int32_t theirRank = theirs ? RelativeRank(us, RearmostPawn(us, theirs)) : 0;
    const int32_t d = std::min(f, FILE_H - f);
    bonus = AddScore(bonus, MakeScore(ShelterByRank[d][ourRank], 0));
    if (ourRank && theirRank == ourRank + 1)
      bonus = AddScore(bonus, BlockedStormByRank[theirRank]);
    else
      bonus = SubScore(bonus, MakeScore(StormByRank[d][theirRank], 0));
  }
  return bonus;
}

}  // namespace

void EvaluatePawns(int32_t us, PawnEntry& entry) {
  const int32_t them = us ^ 1;
  const int32_t up = us == WHITE ? 8 : -8;
  const Bitboard ours = PiecesOf(us, PAWN);
  const Bitboard theirs = PiecesOf(them, PAWN);
  const Bitboard theirDouble = PawnAttacksWest(them, theirs) & PawnAttacksEast(them, theirs);
  const Bitboard stopSquares = theirs | theirDouble;

  entry.Passed[us] = 0;
  entry.ShelterKingSquare[us] = NO_SQUARE;
  entry.Attacks[us] = PawnAttacksWest(us, ours) | PawnAttacksEast(us, ours);
  entry.AttackSpan[us] = entry.Attacks[us];
  entry.BlockedCount += PopCount(PushForward(us, ours) & stopSquares);

  PackedScore score = 0;
  for (Bitboard pawns = ours; pawns;) {
    const int32_t s = PopLowestBit(pawns);
    const int32_t r = RelativeRank(us, s);
    const int32_t file = FileOf(s);
    const Bitboard opposed = theirs & ForwardFile(us, s);
    const Bitboard blocked = theirs & SquareBit(s + up);
    const Bitboard stoppers = theirs & (ForwardFile(us, s) | PawnAttackSpan(us, s));
    const Bitboard lever = theirs & PawnAttacks[us][s];
    const Bitboard leverPush = theirs & PawnAttacks[us][s + up];
    const bool doubled = ours & SquareBit(s - up);
    const Bitboard neighbours = ours & AdjacentFiles(file);
    const Bitboard phalanx = neighbours & RankMask[RankOf(s)];
    const Bitboard support = neighbours & RankMask[RankOf(s - up)];
    // No neighbour level with it or behind it, and its advance is contested.
    const bool backward = !(neighbours & ForwardRanks[them][RankOf(s + up)]) && (leverPush | blocked);

    if (!backward && !blocked) entry.AttackSpan[us] |= PawnAttackSpan(us, s);

    const bool passed = !(ours & ForwardFile(us, s)) &&
                        (stoppers == lever || (stoppers == leverPush && PopCount(phalanx) >= PopCount(leverPush)) ||
                         (stoppers == blocked && r >= RANK_5 && (PushForward(us, support) & ~stopSquares)));
    if (passed) entry.Passed[us] |= SquareBit(s);

    if (support | phalanx) {
      const int32_t v = ConnectedBase[r] * (2 + (phalanx != 0) - (opposed != 0)) + 21 * PopCount(support);
      score = AddScore(score, MakeScore(v, v * (r - 2) / 4));
    } else if (!neighbours) {
      // Isolated. With an own pawn behind it, facing an enemy pawn that no neighbour can
      // trade off, it counts as doubled instead.
      if (opposed && (ours & ForwardFile(them, s)) && !(theirs & AdjacentFiles(file))) {
        score = AddScore(score, DoubledPenalty);
      } else {
        score = AddScore(score, IsolatedPenalty);
        if (!opposed) score = AddScore(score, UnopposedExtra);
      }
    } else if (backward) {
      score = AddScore(score, BackwardPenalty);
      if (!opposed) score = AddScore(score, UnopposedExtra);
    }
    if (!support) {
      if (doubled) score = AddScore(score, DoubledPenalty);
      if (MoreThanOne(lever)) score = AddScore(score, LeverPenalty);
    }
    if (blocked) score = AddScore(score, BlockedPawnBonus[r]);
  }
  entry.Score[us] = score;
}

namespace {

PawnEntry& PawnEntryOf(uint64_t key) { return PawnHashTable[key & (PAWN_HASH_SIZE - 1)]; }

}  // namespace

void PrefetchPawnEntry() {
  // An entry spans two cache lines.
  const PawnEntry* entry = &PawnEntryOf(Position.PawnKey);
  __builtin_prefetch(entry);
  __builtin_prefetch(reinterpret_cast<const char*>(entry) + sizeof(PawnEntry) - 1);
}

void ProbePawns() {
  const uint64_t key = Position.PawnKey;
  PawnEntry& entry = PawnEntryOf(key);
  CurrentPawnEntry = &entry;
  if (entry.Filled && entry.Key == key) return;
  entry.Key = key;
  entry.BlockedCount = 0;
  EvaluatePawns(WHITE, entry);
  EvaluatePawns(BLACK, entry);
  entry.Filled = true;
}

PackedScore ComputeKingShelter(int32_t us) {
  PawnEntry& entry = *CurrentPawnEntry;
  const int32_t k = KingSquareOf(us);
  const int32_t rights = Position.CastlingRights & SideCastling[us];
  entry.ShelterKingSquare[us] = k;
  entry.ShelterCastling[us] = rights;

  // A king that may still castle is credited with the better of its square and the castled one.
  PackedScore s = ShelterAndStorm(us, k);
  for (const CastledKing& castled : CastledKings[us]) {
    if (!(rights & castled.Right)) continue;
    const PackedScore there = ShelterAndStorm(us, castled.Square);
    if (MgValue(there) > MgValue(s)) s = there;  // a tie keeps the earlier one
  }

  const Bitboard ourPawns = PiecesOf(us, PAWN);
  int32_t minDistance = FAR_PAWN_DISTANCE;
  if (ourPawns & PseudoAttacks[KING][k]) {
    minDistance = 1;
  } else {
    for (Bitboard b = ourPawns; b;) minDistance = std::min<int32_t>(minDistance, Distance[k][PopLowestBit(b)]);
  }
  s = AddScore(s, MakeScore(0, -KING_PAWN_DISTANCE_PENALTY * minDistance));
  entry.Shelter[us] = s;
  return s;
}

PackedScore KingShelter(int32_t side) {
  const PawnEntry& entry = *CurrentPawnEntry;
  if (entry.ShelterKingSquare[side] == KingSquareOf(side) &&
      entry.ShelterCastling[side] == (Position.CastlingRights & SideCastling[side]))
    return entry.Shelter[side];
  return ComputeKingShelter(side);
}
