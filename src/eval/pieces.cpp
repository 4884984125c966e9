#include "eval/attackmaps.h"

#include <algorithm>

#include "eval/pawns.h"

EvalWorkRecord EvalWork;

namespace {

// ---- Mobility: bonus by the number of mobility squares attacked [count] ---------------------

constexpr PackedScore KnightMobility[9] = {
    MakeScore(-62, -81), MakeScore(-53, -56), MakeScore(-12, -31), MakeScore(-4, -16), MakeScore(3, 5),
    MakeScore(13, 11),   MakeScore(22, 17),   MakeScore(28, 20),   MakeScore(33, 25),
};
constexpr PackedScore BishopMobility[14] = {
    MakeScore(-48, -59), MakeScore(-20, -23), MakeScore(16, -3), MakeScore(26, 13), MakeScore(38, 24),
    MakeScore(51, 42),   MakeScore(55, 54),   MakeScore(63, 57), MakeScore(63, 65), MakeScore(68, 73),
    MakeScore(81, 78),   MakeScore(81, 86),   MakeScore(91, 88), MakeScore(98, 97),
};
constexpr PackedScore RookMobility[15] = {
    MakeScore(-60, -78), MakeScore(-20, -17), MakeScore(2, 23),   MakeScore(3, 39),   MakeScore(3, 70),
    MakeScore(11, 99),   MakeScore(22, 103),  MakeScore(31, 121), MakeScore(40, 134), MakeScore(40, 139),
    MakeScore(41, 158),  MakeScore(48, 164),  MakeScore(57, 168), MakeScore(57, 169), MakeScore(62, 172),
};
constexpr PackedScore QueenMobility[28] = {
    MakeScore(-30, -48), MakeScore(-12, -30), MakeScore(-8, -7),   MakeScore(-9, 19),   MakeScore(20, 40),
    MakeScore(23, 55),   MakeScore(23, 59),   MakeScore(35, 75),   MakeScore(38, 78),   MakeScore(53, 96),
    MakeScore(64, 96),   MakeScore(65, 100),  MakeScore(65, 121),  MakeScore(66, 127),  MakeScore(67, 131),
    MakeScore(67, 133),  MakeScore(72, 136),  MakeScore(72, 141),  MakeScore(77, 147),  MakeScore(79, 150),
    MakeScore(93, 151),  MakeScore(108, 168), MakeScore(108, 168), MakeScore(108, 171), MakeScore(110, 182),
    MakeScore(114, 182), MakeScore(114, 192), MakeScore(116, 219),
};

// King-danger weight of a piece that attacks the enemy king zone [type].
constexpr int32_t ZoneAttackWeightByPiece[PIECE_TYPE_NB] = {0, 0, 81, 52, 44, 10, 0};

// ---- Placement -----------------------------------------------------------------------------

constexpr PackedScore KnightOutpostBonus = MakeScore(56, 36);
constexpr PackedScore BishopOutpostBonus = MakeScore(30, 23);
constexpr PackedScore KnightOutpostIdleBonus = MakeScore(-7, 36);
constexpr PackedScore KnightOutpostReachBonus = MakeScore(31, 22);
constexpr PackedScore MinorShieldedBonus = MakeScore(18, 3);
constexpr PackedScore KnightKingDistance = MakeScore(-8, -9);  // per square
constexpr PackedScore BishopKingDistance = MakeScore(-6, -9);  // per square
constexpr PackedScore BishopPawnPenalty = MakeScore(-3, -7);
constexpr PackedScore BishopXRayPenalty = MakeScore(-4, -5);  // per enemy pawn
constexpr PackedScore BishopZoneXRayBonus = MakeScore(24, 0);
constexpr PackedScore LongDiagonalBonus = MakeScore(45, 0);
constexpr PackedScore RookZoneFileBonus = MakeScore(16, 0);
constexpr PackedScore RookQueenFileBonus = MakeScore(6, 11);
constexpr PackedScore RookFileBonus[2] = {MakeScore(19, 7), MakeScore(48, 29)};  // semi-open, open
constexpr PackedScore TrappedRookPenalty = MakeScore(-55, -13);
constexpr PackedScore QueenPinnablePenalty = MakeScore(-56, -15);
constexpr PackedScore QueenIntrusionBonus = MakeScore(-2, 14);

// Relative ranks 3..5: where an enemy pawn is the only thing that could drive a piece away.
constexpr Bitboard OutpostZone[COLOUR_NB] = {
    RankMask[RANK_4] | RankMask[RANK_5] | RankMask[RANK_6],
    RankMask[RANK_5] | RankMask[RANK_4] | RankMask[RANK_3],
};
constexpr Bitboard EDGE_FILES = FileMask[FILE_A] | FileMask[FILE_B] | FileMask[FILE_G] | FileMask[FILE_H];
constexpr Bitboard CENTRE = SquareBit(D4) | SquareBit(E4) | SquareBit(D5) | SquareBit(E5);

// The pieces of either colour that stand alone between square and one of the sliders; the
// sliders themselves do not block one another. Board's SliderBlockers differs: it finds the
// sliders of a colour itself and keeps the blockers of one colour.
Bitboard LonePiecesBetween(int32_t square, Bitboard sliders) {
  const Bitboard occupied = Position.Occupied & ~sliders;
  Bitboard blockers = 0;
  while (sliders) {
    const Bitboard between = Between[PopLowestBit(sliders)][square] & occupied;
    if (between && !MoreThanOne(between)) blockers |= between;
  }
  return blockers;
}

// Squares of the outpost zone just behind a pawn of either colour or covered by an own pawn,
// which no enemy pawn can ever attack.
Bitboard OutpostSquares(int32_t us) {
  const PawnEntry& pawns = *CurrentPawnEntry;
  return OutpostZone[us] & (PushForward(us ^ 1, EvalWork.AllPawns) | pawns.Attacks[us]) & ~pawns.AttackSpan[us ^ 1];
}

// Each piece function starts its own kind's maps afresh.
void ClearAttackMaps(int32_t kind) {
  EvalWork.AttackMap[WHITE][kind] = 0;
  EvalWork.AttackMap[BLACK][kind] = 0;
}

struct PieceAttacks {
  Bitboard Attacks;  // what is left after a pin
  bool ReachesZone;  // the attacks meet the enemy king zone
  int32_t Mobility;  // attacked mobility squares
};

// What every piece does whatever its kind: a pinned piece keeps only the squares of its pin
// line, the attack maps and the count of king-zone attackers grow, and mobility is scored.
[[gnu::always_inline]] inline PieceAttacks RecordAttacks(int32_t kind, int32_t us, int32_t square, Bitboard attacks,
                                                         const PackedScore* mobilityBonus, ScoreSum* mobility) {
  EvalWorkRecord& work = EvalWork;
  if (work.KingBlockers[us] & SquareBit(square)) attacks &= Line[KingSquareOf(us)][square];
  work.DoubleAttacks[us] |= attacks & work.AttackMap[us][ALL_PIECES];
  work.AttackMap[us][kind] |= attacks;
  work.AttackMap[us][ALL_PIECES] |= attacks;
  const bool reachesZone = (attacks & work.KingZone[us ^ 1]) != 0;
  if (reachesZone) {
    ++work.ZoneAttackers[us];
    work.ZoneAttackWeight[us] += ZoneAttackWeightByPiece[kind];
  }
  const int32_t count = PopCount(attacks & work.MobilitySquares[us]);
  AddTo(mobility[us], mobilityBonus[count]);
  return {attacks, reachesZone, count};
}

// A minor piece is safer behind a pawn and defends better near its own king.
void AddMinorPlacement(ScoreSum& score, int32_t us, int32_t square, PackedScore kingDistanceWeight) {
  AddTo(score, kingDistanceWeight, Distance[square][KingSquareOf(us)]);
  if (EvalWork.AllPawns & PushForward(us, SquareBit(square))) AddTo(score, MinorShieldedBonus);
}

// The piece function's totals: its placement pair, and its mobility into the side's total.
ScorePair FinishPieces(const ScoreSum* placement, const ScoreSum* mobility) {
  for (int32_t side : {WHITE, BLACK})
    EvalWork.MobilityScore[side] = AddScore(EvalWork.MobilityScore[side], PackSum(mobility[side]));
  return {PackSum(placement[WHITE]), PackSum(placement[BLACK])};
}

int32_t SideOn(int32_t square) { return ColourOf(PieceOn(square)); }

}  // namespace

void InitEvaluation() {
  const PawnEntry& pawns = *CurrentPawnEntry;
  EvalWorkRecord& work = EvalWork;
  work.PawnSet[WHITE] = PiecesOf(WHITE, PAWN);
  work.PawnSet[BLACK] = PiecesOf(BLACK, PAWN);
  work.AllPawns = Position.PieceBB[PAWN];

  for (int32_t us : {WHITE, BLACK}) {
    const int32_t them = us ^ 1;
    const int32_t king = KingSquareOf(us);
    const Bitboard ourPawns = work.PawnSet[us];

    const Bitboard straight = PiecesOf(them, ROOK) | PiecesOf(them, QUEEN);
    const Bitboard diagonal = PiecesOf(them, BISHOP) | PiecesOf(them, QUEEN);
    work.KingBlockers[us] =
        LonePiecesBetween(king, (PseudoAttacks[ROOK][king] & straight) | (PseudoAttacks[BISHOP][king] & diagonal));

    // Pawns that cannot advance, or that have not yet left the home ranks, are not room to move.
    const Bitboard homeRanks = us == WHITE ? RankMask[RANK_2] | RankMask[RANK_3] : RankMask[RANK_7] | RankMask[RANK_6];
    const Bitboard idlePawns = ourPawns & (PushForward(them, Position.Occupied) | homeRanks);
    work.MobilitySquares[us] =
        ~(SquareBit(king) | PiecesOf(us, QUEEN) | work.KingBlockers[us] | pawns.Attacks[them] | idlePawns);

    const Bitboard kingAttacks = PseudoAttacks[KING][king];
    const Bitboard pawnDouble = PawnAttacksWest(us, ourPawns) & PawnAttacksEast(us, ourPawns);
    work.AttackMap[us][KING] = kingAttacks;
    work.AttackMap[us][PAWN] = pawns.Attacks[us];
    work.AttackMap[us][ALL_PIECES] = kingAttacks | pawns.Attacks[us];
    work.DoubleAttacks[us] = pawnDouble | (kingAttacks & pawns.Attacks[us]);

    // The zone of a king on the edge is that of the nearest square off it, so every king
    // has nine zone squares.
    const int32_t centre =
        std::clamp<int32_t>(RankOf(king), RANK_2, RANK_7) * 8 + std::clamp<int32_t>(FileOf(king), FILE_B, FILE_G);
    const Bitboard zone = SquareBit(centre) | PseudoAttacks[KING][centre];
    work.ZoneAttackers[them] = PopCount(zone & pawns.Attacks[them]);
    work.ZoneAttackWeight[them] = 0;
    work.KingZone[us] = zone & ~pawnDouble;
    work.MobilityScore[us] = 0;
  }
}

ScorePair EvaluateKnights() {
  ClearAttackMaps(KNIGHT);
  ScoreSum placement[COLOUR_NB], mobility[COLOUR_NB];
  const Bitboard outposts[COLOUR_NB] = {OutpostSquares(WHITE), OutpostSquares(BLACK)};
  for (Bitboard knights = Position.PieceBB[KNIGHT]; knights;) {
    const int32_t s = PopLowestBit(knights);
    const int32_t us = SideOn(s);
    const Bitboard attacks = RecordAttacks(KNIGHT, us, s, PseudoAttacks[KNIGHT][s], KnightMobility, mobility).Attacks;

    // A knight on a wing outpost with nothing to attack there is only worth its endgame value.
    const Bitboard targets = Position.ColourBB[us ^ 1] & ~Position.PieceBB[PAWN];
    if (outposts[us] & SquareBit(s)) {
      const Bitboard half = (QUEEN_SIDE & SquareBit(s)) ? QUEEN_SIDE : ~QUEEN_SIDE;
      const bool idle = (EDGE_FILES & SquareBit(s)) && !(attacks & targets) && !MoreThanOne(targets & half);
      AddTo(placement[us], idle ? KnightOutpostIdleBonus : KnightOutpostBonus);
    } else if (attacks & outposts[us] & ~Position.ColourBB[us]) {
      AddTo(placement[us], KnightOutpostReachBonus);
    }
    AddMinorPlacement(placement[us], us, s, KnightKingDistance);
  }
  return FinishPieces(placement, mobility);
}

ScorePair EvaluateBishops() {
  ClearAttackMaps(BISHOP);
  const PawnEntry& pawns = *CurrentPawnEntry;
  const EvalWorkRecord& work = EvalWork;
  ScoreSum placement[COLOUR_NB], mobility[COLOUR_NB];
  const Bitboard outposts[COLOUR_NB] = {OutpostSquares(WHITE), OutpostSquares(BLACK)};
  // Central pawns that cannot advance make the bishop's own-colour pawns a lasting burden.
  const int32_t blocked[COLOUR_NB] = {
      PopCount(work.PawnSet[WHITE] & CENTRE_FILES & PushForward(BLACK, Position.Occupied)),
      PopCount(work.PawnSet[BLACK] & CENTRE_FILES & PushForward(WHITE, Position.Occupied)),
  };
  // Queens do not block a bishop: it sees through them to what lies behind.
  const Bitboard occupied = Position.Occupied & ~Position.PieceBB[QUEEN];
  for (Bitboard bishops = Position.PieceBB[BISHOP]; bishops;) {
    const int32_t s = PopLowestBit(bishops);
    const int32_t us = SideOn(s);
    const int32_t them = us ^ 1;
    const PieceAttacks a = RecordAttacks(BISHOP, us, s, BishopAttacks(s, occupied), BishopMobility, mobility);
    const Bitboard throughPawns = BishopAttacks(s, work.AllPawns);
    ScoreSum& score = placement[us];

    if (!a.ReachesZone && (throughPawns & work.KingZone[them])) AddTo(score, BishopZoneXRayBonus);
    if (outposts[us] & SquareBit(s)) AddTo(score, BishopOutpostBonus);
    AddMinorPlacement(score, us, s, BishopKingDistance);

    const Bitboard ownColour = (DARK_SQUARES & SquareBit(s)) ? DARK_SQUARES : ~DARK_SQUARES;
    const int32_t sameColourPawns = PopCount(work.PawnSet[us] & ownColour);
    const int32_t unsupported = (pawns.Attacks[us] & SquareBit(s)) ? 0 : 1;
    AddTo(score, BishopPawnPenalty, sameColourPawns * (unsupported + blocked[us]));
    AddTo(score, BishopXRayPenalty, PopCount(work.PawnSet[them] & PseudoAttacks[BISHOP][s]));
    if (MoreThanOne(throughPawns & CENTRE)) AddTo(score, LongDiagonalBonus);
  }
  return FinishPieces(placement, mobility);
}

ScorePair EvaluateRooks() {
  ClearAttackMaps(ROOK);
  const EvalWorkRecord& work = EvalWork;
  ScoreSum placement[COLOUR_NB], mobility[COLOUR_NB];
  for (Bitboard rooks = Position.PieceBB[ROOK]; rooks;) {
    const int32_t s = PopLowestBit(rooks);
    const int32_t us = SideOn(s);
    const int32_t them = us ^ 1;
    // Queens and the own rooks do not block: the rook x-rays through them along its lines.
    const Bitboard occupied = Position.Occupied & ~Position.PieceBB[QUEEN] & ~PiecesOf(us, ROOK);
    const PieceAttacks a = RecordAttacks(ROOK, us, s, RookAttacks(s, occupied), RookMobility, mobility);
    const Bitboard file = FileMask[FileOf(s)];
    ScoreSum& score = placement[us];

    if (!a.ReachesZone && (file & work.KingZone[them])) AddTo(score, RookZoneFileBonus);
    if (file & Position.PieceBB[QUEEN]) AddTo(score, RookQueenFileBonus);
    if (!(file & work.PawnSet[us])) {
      AddTo(score, RookFileBonus[(file & work.PawnSet[them]) ? 0 : 1]);
    } else if (a.Mobility <= 3) {
      // Shut in by its own king on the wing: worse when castling can no longer free it.
      const int32_t kingFile = FileOf(KingSquareOf(us));
      if ((kingFile < FILE_E) == (FileOf(s) < kingFile)) {
        const int32_t rights = Position.CastlingRights &
                               (us == WHITE ? WHITE_KING_SIDE | WHITE_QUEEN_SIDE : BLACK_KING_SIDE | BLACK_QUEEN_SIDE);
        AddTo(score, TrappedRookPenalty, rights ? 1 : 2);
      }
    }
  }
  return FinishPieces(placement, mobility);
}

ScorePair EvaluateQueens() {
  ClearAttackMaps(QUEEN);
  ScoreSum placement[COLOUR_NB], mobility[COLOUR_NB];
  for (Bitboard queens = Position.PieceBB[QUEEN]; queens;) {
    const int32_t s = PopLowestBit(queens);
    const int32_t us = SideOn(s);
    const int32_t them = us ^ 1;
    RecordAttacks(QUEEN, us, s, QueenAttacks(s, Position.Occupied), QueenMobility, mobility);

    // One piece away from a pin or a discovered attack by a cheaper slider.
    const Bitboard sliders =
        (PseudoAttacks[ROOK][s] & PiecesOf(them, ROOK)) | (PseudoAttacks[BISHOP][s] & PiecesOf(them, BISHOP));
    if (LonePiecesBetween(s, sliders)) AddTo(placement[us], QueenPinnablePenalty);
    if (RelativeRank(us, s) >= RANK_5 && !(CurrentPawnEntry->AttackSpan[them] & SquareBit(s)))
      AddTo(placement[us], QueenIntrusionBonus);
  }
  return FinishPieces(placement, mobility);
}
