#pragma once
// The attack maps of one evaluation, which every term after the pawn structure shares; the
// sums the terms add their pairs in; the knight, bishop, rook and queen terms that build the
// maps, and the king-safety, passed-pawn, threat and space terms that read the finished maps.

#include <array>
#include <cstdint>

#include "board/board.h"
#include "eval/score.h"

// Slot 0 of an attack-map row is the union of the others, which are indexed by piece type.
inline constexpr int32_t ALL_PIECES = NO_PIECE;

// Arrays of two are [WHITE], [BLACK]. Valid from InitEvaluation to the end of that evaluation.
struct EvalWorkRecord {
  Bitboard AttackMap[COLOUR_NB][PIECE_TYPE_NB];  // [side][ALL_PIECES, PAWN..KING]
  Bitboard DoubleAttacks[COLOUR_NB];             // squares the side attacks at least twice
  Bitboard MobilitySquares[COLOUR_NB];           // squares that count for the side's mobility
  Bitboard KingZone[COLOUR_NB];                  // squares around the side's king
  Bitboard KingBlockers[COLOUR_NB];              // lone pieces between the side's king and an enemy slider
  int32_t ZoneAttackers[COLOUR_NB];              // the side's attackers of the enemy king zone
  int32_t ZoneAttackWeight[COLOUR_NB];           // their weights, summed
  PackedScore MobilityScore[COLOUR_NB];
  Bitboard PawnSet[COLOUR_NB];
  Bitboard AllPawns;
};

extern EvalWorkRecord EvalWork;

// A term's score for White and for Black; the driver adds White's and subtracts Black's.
using ScorePair = std::array<PackedScore, COLOUR_NB>;

// Both halves times n; the terms keep n small enough that no half leaves 16 bits.
constexpr PackedScore MultiplyScore(PackedScore s, int32_t n) { return MakeScore(MgValue(s) * n, EgValue(s) * n); }

// The pairs of one term summed half by half in full integers and packed once at the end:
// the same as adding them one by one with AddScore while no partial sum leaves 16 bits,
// which the bounded piece, passed-pawn and threat terms never come near, and cheaper.
struct ScoreSum {
  int32_t Mg = 0;
  int32_t Eg = 0;
};
inline void AddTo(ScoreSum& sum, PackedScore s, int32_t times = 1) {
  sum.Mg += MgValue(s) * times;
  sum.Eg += EgValue(s) * times;
}
inline PackedScore PackSum(const ScoreSum& sum) { return SaturatedScore(sum.Mg, sum.Eg); }

inline constexpr Bitboard QUEEN_SIDE = FileMask[FILE_A] | FileMask[FILE_B] | FileMask[FILE_C] | FileMask[FILE_D];
inline constexpr Bitboard CENTRE_FILES = FileMask[FILE_C] | FileMask[FILE_D] | FileMask[FILE_E] | FileMask[FILE_F];

// Fills EvalWork for both sides from Position and the current pawn entry: king blockers,
// mobility areas, king and pawn attacks, king zones, zero mobility. The piece functions
// below fill the maps of their own kinds.
void InitEvaluation();

// Each walks every piece of its kind, White's and Black's, adds its attacks to EvalWork and
// its mobility to MobilityScore, and returns the placement scores. Called in this order
// after InitEvaluation; the maps are complete after the last.
ScorePair EvaluateKnights();
ScorePair EvaluateBishops();
ScorePair EvaluateRooks();
ScorePair EvaluateQueens();

// The side's king safety: pawn shelter, attacks on the king zone, possible checks and
// attacks on the king's flank.
PackedScore EvaluateKing(int32_t side);

// Quadratic in the king-danger units, so that a few attackers cost little and a full attack
// a great deal; nothing at 100 or below.
PackedScore KingDangerPenalty(int32_t danger);

// Passed pawns by rank, king proximity and a free path (passed.cpp); threats against enemy
// pieces (threats.cpp); space behind the own pawns in the middle game (space.cpp).
ScorePair EvaluatePassed();
ScorePair EvaluateThreats();
ScorePair EvaluateSpace();
