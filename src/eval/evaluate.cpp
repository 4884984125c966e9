#include "eval/eval.h"

#include <algorithm>
#include <cstdlib>

#include "board/board.h"
#include "eval/attackmaps.h"
#include "eval/evaluate.h"
#include "eval/material.h"
#include "eval/pawns.h"

namespace {

constexpr Bitboard KING_SIDE = ~QUEEN_SIDE;

constexpr int32_t Sign(int32_t x) { return (x > 0) - (x < 0); }

// Endgames that are hard to win even a pawn or two up; the first rule that fits decides.
int32_t DrawishScaleFactor(int32_t strong, int32_t strongPassedPawns) {
  const int32_t weak = strong ^ 1;
  const int32_t* npm = Position.NonPawnMaterial;
  const Bitboard strongPawns = PiecesOf(strong, PAWN);
  const Bitboard weakPawns = PiecesOf(weak, PAWN);

  // Opposite-coloured bishops: the defender blockades on the squares the attacker's bishop
  // never reaches.
  const Bitboard bishops = Position.PieceBB[BISHOP];
  if (PopCount(PiecesOf(WHITE, BISHOP)) == 1 && PopCount(PiecesOf(BLACK, BISHOP)) == 1 &&
      PopCount(bishops & DARK_SQUARES) == 1) {
    if (npm[WHITE] == NonPawnValue[BISHOP] && npm[BLACK] == NonPawnValue[BISHOP]) return 18 + 4 * strongPassedPawns;
    return 22 + 3 * PopCount(Position.ColourBB[strong]);
  }

  // Rook endings with every attacking pawn on one wing and the defending king beside its
  // own pawns.
  if (npm[WHITE] == NonPawnValue[ROOK] && npm[BLACK] == NonPawnValue[ROOK] &&
      PopCount(strongPawns) <= PopCount(weakPawns) + 1 && strongPawns &&
      (!(strongPawns & QUEEN_SIDE) || !(strongPawns & KING_SIDE)) &&
      (weakPawns & PseudoAttacks[KING][KingSquareOf(weak)]))
    return 36;

  // A lone queen against minor pieces builds fortresses.
  const Bitboard queens = Position.PieceBB[QUEEN];
  if (PopCount(queens) == 1) {
    const int32_t withoutQueen = (queens & Position.ColourBB[WHITE]) ? BLACK : WHITE;
    return 37 + 3 * PopCount(PiecesOf(withoutQueen, KNIGHT) | PiecesOf(withoutQueen, BISHOP));
  }

  // Few pawns leave little to win with.
  return std::min(SCALE_NORMAL, 36 + 7 * PopCount(strongPawns));
}

// The material entry's factor for the strong side; the drawish rules refine it only while it
// is normal (64).
int32_t StrongSideScale(int32_t strong, int32_t strongPassedPawns) {
  const int32_t scale = ScaleFactorFor(strong);
  return scale == SCALE_NORMAL ? DrawishScaleFactor(strong, strongPassedPawns) : scale;
}

// White's part counts for White, Black's against.
PackedScore AddPair(PackedScore acc, const ScorePair& pair) {
  return SubScore(AddScore(acc, pair[WHITE]), pair[BLACK]);
}

// 5-12. The terms that need the attack maps, in their fixed order.
PackedScore AddPieceTerms(PackedScore acc) {
  // 5. Attack maps, mobility areas, king zones and pins of both sides.
  InitEvaluation();
  // 6-9. The pieces in a fixed order: the bishops see the knights' attacks, and so on.
  acc = AddPair(acc, EvaluateKnights());
  acc = AddPair(acc, EvaluateBishops());
  acc = AddPair(acc, EvaluateRooks());
  acc = AddPair(acc, EvaluateQueens());
  // 10. The mobility that 6-9 gathered.
  acc = AddPair(acc, {EvalWork.MobilityScore[WHITE], EvalWork.MobilityScore[BLACK]});
  // 11.
  acc = AddScore(acc, EvaluateKing(WHITE));
  acc = SubScore(acc, EvaluateKing(BLACK));
  // 12.
  return AddPair(acc, EvaluatePassed());
}

// 14-15. They read the attack maps of step 5.
PackedScore AddLateTerms(PackedScore acc) {
  acc = AddPair(acc, EvaluateThreats());
  return AddPair(acc, EvaluateSpace());
}

// 2-3. With the material entry current: the imbalance is added to both halves of the
// piece-square sums, saturated, since a wrapped sum would turn a huge advantage into a huge
// deficit; then the pawn structure from the pawn cache.
PackedScore AddMaterialAndPawns(int32_t psqMg, int32_t psqEg) {
  const int32_t imbalance = CurrentMaterialEntry->Imbalance;
  PackedScore acc = SaturatedScore(imbalance + psqMg, imbalance + psqEg);
  ProbePawns();
  acc = AddScore(acc, CurrentPawnEntry->Score[WHITE]);
  return SubScore(acc, CurrentPawnEntry->Score[BLACK]);
}

}  // namespace

bool LazySkip(PackedScore acc, int32_t margin) {
  const int32_t npm = Position.NonPawnMaterial[WHITE] + Position.NonPawnMaterial[BLACK];
  return std::abs(MgValue(acc) + EgValue(acc)) / 2 > margin + npm / 64;
}

int32_t TaperScore(PackedScore acc) {
  int32_t mg = MgValue(acc);
  int32_t eg = EgValue(acc);

  // Few passed pawns make a position simpler to hold: pull both halves toward zero, the
  // middle game never past it.
  const int32_t passedPawns[COLOUR_NB] = {PopCount(CurrentPawnEntry->Passed[WHITE]),
                                          PopCount(CurrentPawnEntry->Passed[BLACK])};
  const int32_t complexity = 9 * (passedPawns[WHITE] + passedPawns[BLACK]) - 110;
  mg += Sign(mg) * std::max(std::min(complexity + 50, 0), -std::abs(mg));
  eg += Sign(eg) * std::max(complexity, -std::abs(eg));

  const int32_t strong = eg > 0 ? WHITE : BLACK;
  const int32_t scale = StrongSideScale(strong, passedPawns[strong]);
  const int32_t phase = CurrentMaterialEntry->Phase;
  return (mg * phase + eg * (128 - phase) * scale / SCALE_NORMAL) / 128;
}

int32_t FinishEvaluation(int32_t whiteValue) {
  int32_t v = whiteValue / 16 * 16;  // toward zero, so both colours round alike
  v = Position.SideToMove == WHITE ? v + TEMPO : -v + TEMPO;
  // Drift toward the fifty-move draw; a clock past 100 (only from a FEN) is a draw too.
  v = v * std::max(0, 100 - Position.HalfmoveClock) / 100;
  return std::clamp(v, -EVALUATION_LIMIT, EVALUATION_LIMIT);
}

bool HasEndgameRule() {
  ProbeMaterial();
  return CurrentMaterialEntry->EndgameFunction != nullptr;
}

int32_t Evaluate() {
  // 1. Imbalance, phase and scale data. The endings with a rule of their own are scored by
  //    it whole: it knows how they are won, where the terms below see only material. Not
  //    damped by the halfmove clock: the damping of one more ply weighs as much as a step of
  //    the king, and the search would chase short lines, not progress.
  ProbeMaterial();
  const MaterialEntry& material = *CurrentMaterialEntry;
  if (material.EndgameFunction) return material.EndgameFunction(material.StrongSide);
  // 2-3. Piece-square sums and pawn structure.
  PackedScore acc = AddMaterialAndPawns(Position.PsqMg, Position.PsqEg);
  // 4-15. Either lazy test ends the terms early: past its margin the rest could not bring
  //       the score back into range.
  if (!LazySkip(acc, LAZY_MARGIN_PIECES)) {
    acc = AddPieceTerms(acc);
    if (!LazySkip(acc, LAZY_MARGIN_LATE)) acc = AddLateTerms(acc);
  }
  // 16. Taper and scale; 17-19. round, turn to the side to move, damp.
  return FinishEvaluation(TaperScore(acc));
}

void TraceEvaluation(EvaluationTrace& trace) {
  const PackedScore zero = MakeScore(0, 0);
  ProbeMaterial();
  trace.Early = AddMaterialAndPawns(0, 0);
  trace.Pieces = AddPieceTerms(zero);
  trace.Late = AddLateTerms(zero);
  trace.NonPawnMaterial = Position.NonPawnMaterial[WHITE] + Position.NonPawnMaterial[BLACK];
  trace.Phase = CurrentMaterialEntry->Phase;
  trace.PassedPawns[WHITE] = PopCount(CurrentPawnEntry->Passed[WHITE]);
  trace.PassedPawns[BLACK] = PopCount(CurrentPawnEntry->Passed[BLACK]);
  for (int32_t side : {WHITE, BLACK}) trace.Scale[side] = StrongSideScale(side, trace.PassedPawns[side]);
}
