#include "eval/pieces.h"

#include <algorithm>

#include "eval/pawns.h"

namespace {

// ---- Passed pawns --------------------------------------------------------------------------

constexpr PackedScore PassedByRank[RANK_8] = {
    MakeScore(0, 0),    MakeScore(10, 28),   MakeScore(17, 33),   MakeScore(15, 41),
    MakeScore(62, 72),  MakeScore(168, 177), MakeScore(276, 260),
};
constexpr PackedScore PassedEdgePenalty = MakeScore(-11, -8);  // per file from the nearer edge

// The squares in front of a square on its file, seen from the colour [colour][square].
constexpr auto ForwardFile = [] {
  std::array<std::array<Bitboard, SQUARE_NB>, COLOUR_NB> table{};
  for (int32_t s = 0; s < SQUARE_NB; ++s) {
    for (Bitboard b = PushForward(WHITE, SquareBit(s)); b; b = PushForward(WHITE, b)) table[WHITE][s] |= b;
    for (Bitboard b = PushForward(BLACK, SquareBit(s)); b; b = PushForward(BLACK, b)) table[BLACK][s] |= b;
  }
  return table;
}();

// The same on the file and both its neighbours.
constexpr Bitboard ForwardFiles(int32_t colour, int32_t square) {
  const Bitboard file = ForwardFile[colour][square];
  return file | ShiftWest(file) | ShiftEast(file);
}

// ---- Threats -------------------------------------------------------------------------------

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

// ---- Space ---------------------------------------------------------------------------------

constexpr int32_t SPACE_MATERIAL = 5000;  // below it the pieces have room enough anyway

// Files c-f on the side's second to fourth ranks.
constexpr Bitboard SpaceArea[COLOUR_NB] = {
    CENTRE_FILES & (RankMask[RANK_2] | RankMask[RANK_3] | RankMask[RANK_4]),
    CENTRE_FILES & (RankMask[RANK_7] | RankMask[RANK_6] | RankMask[RANK_5]),
};

PackedScore PassedFor(int32_t us) {
  const EvalWorkRecord& work = EvalWork;
  const int32_t them = us ^ 1;
  const int32_t push = us == WHITE ? 8 : -8;
  const int32_t ourKing = KingSquareOf(us);
  const int32_t theirKing = KingSquareOf(them);

  // A blockaded passer counts only while a neighbour can step up beside it to support it.
  Bitboard passed = CurrentPawnEntry->Passed[us];
  const Bitboard blocked = passed & PushForward(them, work.PawnSet[them]);
  if (blocked) {
    const Bitboard escorts = PushForward(us, work.PawnSet[us]) & ~Position.ColourBB[them] &
                             (~work.DoubleAttacks[them] | work.AttackMap[us][ALL_PIECES]);
    passed &= ~blocked | ShiftWest(escorts) | ShiftEast(escorts);
  }

  ScoreSum score;
  while (passed) {
    const int32_t s = PopLowestBit(passed);
    const int32_t r = RelativeRank(us, s);
    AddTo(score, PassedByRank[r]);

    if (r >= RANK_4) {
      const int32_t w = 5 * r - 13;
      const int32_t front = s + push;
      const Bitboard frontBit = SquareBit(front);
      // In the endgame the kings race for the square in front of the pawn.
      const int32_t race = (std::min<int32_t>(Distance[theirKing][front], 5) * 19) / 4 -
                           std::min<int32_t>(Distance[ourKing][front], 5) * 2;
      score.Eg += race * w;
      if (r != RANK_7) score.Eg -= std::min<int32_t>(Distance[ourKing][front + push], 5) * w;

      if (!(Position.Occupied & frontBit)) {
        const Bitboard path = ForwardFile[us][s];
        Bitboard unsafe = ForwardFiles(us, s);
        // A rook or queen behind the pawn attacks or defends its whole path through it.
        const Bitboard behind = (Position.PieceBB[ROOK] | Position.PieceBB[QUEEN]) & ForwardFile[them][s];
        if (!(behind & Position.ColourBB[them])) unsafe &= work.AttackMap[them][ALL_PIECES];
        int32_t k = !unsafe ? 35 : !(unsafe & path) ? 20 : !(unsafe & frontBit) ? 9 : 0;
        if ((behind & Position.ColourBB[us]) || (work.AttackMap[us][ALL_PIECES] & frontBit)) k += 5;
        score.Mg += k * w;
        score.Eg += k * w;
      }
    }
    AddTo(score, PassedEdgePenalty, std::min<int32_t>(FileOf(s), FILE_H - FileOf(s)));
  }
  return PackSum(score);
}

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

ScorePair EvaluatePassed() { return {PassedFor(WHITE), PassedFor(BLACK)}; }

ScorePair EvaluateThreats() { return {ThreatsFor(WHITE), ThreatsFor(BLACK)}; }

ScorePair EvaluateSpace() {
  if (Position.NonPawnMaterial[WHITE] + Position.NonPawnMaterial[BLACK] < SPACE_MATERIAL) return {0, 0};
  return {SpaceFor(WHITE), SpaceFor(BLACK)};
}
