// Threats: enemy pieces under attack that are weakly held or hanging, pawn attacks on pieces,
// and the squares the enemy attacks but cannot hold.
#include "eval/attackmaps.h"

#include "eval/pawns.h"

namespace {

// By the kind of the threatened piece [type].
constexpr PackedScore MinorThreat[PIECE_TYPE_NB] = {
    0, MakeScore(5, 32), MakeScore(57, 41), MakeScore(77, 56), MakeScore(88, 119), MakeScore(79, 161), MakeScore(0, 0),
};
constexpr PackedScore RookThreat[PIECE_TYPE_NB] = {
    0, MakeScore(3, 46), MakeScore(37, 68), MakeScore(42, 60), MakeScore(0, 38), MakeScore(58, 41), MakeScore(0, 0),
};
constexpr PackedScore KingThreatBonus = MakeScore(24, 89);
constexpr PackedScore HangingBonus = MakeScore(69, 36);          // per piece
constexpr PackedScore QueenDefendedBonus = MakeScore(14, 0);     // per piece
constexpr PackedScore RestrictionBonus = MakeScore(7, 7);        // per square
constexpr PackedScore SafePawnThreatBonus = MakeScore(173, 94);  // per attacked piece

PackedScore ThreatsFor(int32_t us) {
  const EvalWorkRecord& work = EvalWork;
  const int32_t them = us ^ 1;
  const Bitboard* ours = work.AttackMap[us];
  const Bitboard* theirs = work.AttackMap[them];

  const Bitboard nonPawnEnemies = Position.ColourBB[them] & ~Position.PieceBB[PAWN];
  const Bitboard strong = theirs[PAWN] | (work.DoubleAttacks[them] & ~work.DoubleAttacks[us]);
  const Bitboard defended = nonPawnEnemies & strong;
  const Bitboard weak = Position.ColourBB[them] & ~strong & ours[ALL_PIECES];

  ScoreSum score;
  if (defended | weak) {
    for (Bitboard b = (defended | weak) & (ours[KNIGHT] | ours[BISHOP]); b;)
      AddTo(score, MinorThreat[TypeOf(PieceOn(PopLowestBit(b)))]);
    for (Bitboard b = weak & ours[ROOK]; b;) AddTo(score, RookThreat[TypeOf(PieceOn(PopLowestBit(b)))]);
    if (weak & ours[KING]) AddTo(score, KingThreatBonus);
    const Bitboard hanging = weak & (~theirs[ALL_PIECES] | (nonPawnEnemies & work.DoubleAttacks[us]));
    AddTo(score, HangingBonus, PopCount(hanging));
    AddTo(score, QueenDefendedBonus, PopCount(weak & theirs[QUEEN]));
  }

  // Squares the enemy attacks but cannot hold against us.
  AddTo(score, RestrictionBonus, PopCount(theirs[ALL_PIECES] & ~strong & ours[ALL_PIECES]));

  const Bitboard safePawns = work.PawnSet[us] & (~theirs[ALL_PIECES] | ours[ALL_PIECES]);
  AddTo(score, SafePawnThreatBonus, PopCount(nonPawnEnemies & PawnAttackSet(us, safePawns)));
  return PackSum(score);
}

}  // namespace

ScorePair EvaluateThreats() { return {ThreatsFor(WHITE), ThreatsFor(BLACK)}; }
