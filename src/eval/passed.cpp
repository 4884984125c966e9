// Passed pawns: by rank, the kings' race to the square in front, and how free the path ahead is.
#include "eval/attackmaps.h"

#include <algorithm>

#include "eval/pawns.h"

namespace {

constexpr PackedScore PassedByRank[RANK_8] = {
    MakeScore(0, 0),   MakeScore(10, 28),   MakeScore(17, 33),   MakeScore(15, 41),
    MakeScore(62, 72), MakeScore(168, 177), MakeScore(276, 260),
};
constexpr PackedScore PassedEdgePenalty = MakeScore(-11, -8);  // per file from the nearer edge

// The squares in front of a square on its file and both neighbouring files, seen from the colour.
constexpr Bitboard ForwardFiles(int32_t colour, int32_t square) {
  const Bitboard file = ForwardFile(colour, square);
  return file | ShiftWest(file) | ShiftEast(file);
}

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
        const Bitboard path = ForwardFile(us, s);
        Bitboard unsafe = ForwardFiles(us, s);
        // A rook or queen behind the pawn attacks or defends its whole path through it.
        const Bitboard behind = (Position.PieceBB[ROOK] | Position.PieceBB[QUEEN]) & ForwardFile(them, s);
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

}  // namespace

ScorePair EvaluatePassed() { return {PassedFor(WHITE), PassedFor(BLACK)}; }
