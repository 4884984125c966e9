// Space: safe central squares behind the own pawns, worth something while the board is full.
#include "eval/attackmaps.h"

#include <algorithm>

#include "eval/pawns.h"

namespace {

constexpr int32_t SPACE_MATERIAL = 5000;  // below it the pieces have room enough anyway

// Files c-f on the side's second to fourth ranks.
constexpr Bitboard SpaceArea[COLOUR_NB] = {
    CENTRE_FILES & (RankMask[RANK_2] | RankMask[RANK_3] | RankMask[RANK_4]),
    CENTRE_FILES&(RankMask[RANK_7] | RankMask[RANK_6] | RankMask[RANK_5]),
};

PackedScore SpaceFor(int32_t us) {
  const EvalWorkRecord& work = EvalWork;
  const int32_t them = us ^ 1;
  const Bitboard safe = SpaceArea[us] & ~work.PawnSet[us] & ~work.AttackMap[them][PAWN];
  // The own pawns and up to three squares behind each.
  Bitboard behind = work.PawnSet[us];
  behind |= PushForward(them, behind);
  behind |= PushForward(them, PushForward(them, behind));
  const int32_t bonus = PopCount(safe) + PopCount(behind & safe & ~work.AttackMap[them][ALL_PIECES]);
  const int32_t weight = PopCount(Position.ColourBB[us]) - 3 + std::min(CurrentPawnEntry->BlockedCount, 9);
  return MakeScore(bonus * weight * weight / 16, 0);
}

}  // namespace

ScorePair EvaluateSpace() {
  if (Position.NonPawnMaterial[WHITE] + Position.NonPawnMaterial[BLACK] < SPACE_MATERIAL) return {0, 0};
  return {SpaceFor(WHITE), SpaceFor(BLACK)};
}
