// Pawn structure and the pawn cache, with the scores worked out by hand from the pawn rules
// and the shelter tables.
#include <gtest/gtest.h>

#include <string>

#include "board/board_setup.h"
#include "eval/mirror_fen.h"
#include "eval/pawns.h"

namespace {

class PawnsTest : public BoardTest {
 protected:
  static const PawnEntry& Probe(const std::string& fen) {
    EXPECT_EQ(ReadFen(fen), "") << fen;
    ProbePawns();
    return *CurrentPawnEntry;
  }
};

constexpr Bitboard Squares(std::initializer_list<int32_t> squares) {
  Bitboard b = 0;
  for (int32_t s : squares) b |= SquareBit(s);
  return b;
}

void ExpectScore(PackedScore actual, int32_t mg, int32_t eg) {
  EXPECT_EQ(MgValue(actual), mg);
  EXPECT_EQ(EgValue(actual), eg);
}

TEST_F(PawnsTest, StartPositionIsSymmetricWithoutPassedOrBlockedPawns) {
  const PawnEntry& entry = Probe(std::string(START_FEN));
  // Eight opposed phalanx pawns on the second rank: 7 x (2 + 1 - 1) = 14, endgame 14 x -1 / 4 = -3.
  ExpectScore(entry.Score[WHITE], 8 * 14, 8 * -3);
  EXPECT_EQ(entry.Score[BLACK], entry.Score[WHITE]);
  EXPECT_EQ(entry.Passed[WHITE] | entry.Passed[BLACK], 0u);
  EXPECT_EQ(entry.BlockedCount, 0);
  EXPECT_EQ(entry.Attacks[WHITE], RankMask[RANK_3]);
  EXPECT_EQ(entry.Attacks[BLACK], RankMask[RANK_6]);
  EXPECT_EQ(entry.Key, Position.PawnKey);
}

TEST_F(PawnsTest, IsolatedPawnsPayMoreWhenUnopposed) {
  const PawnEntry& lone = Probe("4k3/8/8/4P3/8/8/8/4K3 w - - 0 1");
  ExpectScore(lone.Score[WHITE], -18, -42);  // isolated (-5, -15) + unopposed (-13, -27)
  EXPECT_EQ(lone.Passed[WHITE], Squares({E5}));

  // e4 has e2 behind it and faces e6 with no black pawn beside: doubled; e2 plain isolated.
  const PawnEntry& file = Probe("4k3/8/4p3/8/4P3/8/4P3/4K3 w - - 0 1");
  ExpectScore(file.Score[WHITE], -11 - 5, -56 - 15);
  ExpectScore(file.Score[BLACK], -5, -15);
  EXPECT_EQ(file.Passed[WHITE] | file.Passed[BLACK], 0u);

  // e3 directly in front of e2: isolated, unopposed and doubled; e2 isolated and unopposed.
  const PawnEntry& stacked = Probe("4k3/8/8/8/8/4P3/4P3/4K3 w - - 0 1");
  ExpectScore(stacked.Score[WHITE], -29 - 18, -98 - 42);
  EXPECT_EQ(stacked.Passed[WHITE], Squares({E3}));  // the rear one has its own pawn in front
}

TEST_F(PawnsTest, ConnectedPawnsEarnByRankPhalanxAndSupport) {
  // Phalanx on the fourth rank: 12 x 3 = 36, endgame 36 x 1 / 4 = 9, each.
  ExpectScore(Probe("4k3/8/8/8/3PP3/8/8/4K3 w - - 0 1").Score[WHITE], 72, 18);
  // On the second rank the endgame part turns negative: 7 x 3 = 21, 21 x -1 / 4 = -5.
  ExpectScore(Probe("4k3/8/8/8/8/8/PP6/4K3 w - - 0 1").Score[WHITE], 42, -10);
  ExpectScore(Probe("4k3/8/8/8/8/8/1PP5/4K3 w - - 0 1").Score[WHITE], 42, -10);
}

TEST_F(PawnsTest, BackwardPawnAndItsEffectOnTheAttackSpan) {
  // c3 has no neighbour level or behind and b5 hits its push square: backward and unopposed.
  // d4 is supported by c3: 12 x 2 + 21 = 45, endgame 45 / 4 = 11. b5 is isolated, unopposed.
  const PawnEntry& entry = Probe("4k3/8/8/1p6/3P4/2P5/8/4K3 w - - 0 1");
  ExpectScore(entry.Score[WHITE], -22 + 45, -51 + 11);
  ExpectScore(entry.Score[BLACK], -18, -42);
  EXPECT_EQ(entry.Passed[WHITE], Squares({D4}));
  EXPECT_EQ(entry.Passed[BLACK], 0u);  // its one stopper is its push lever, and no phalanx helps
  EXPECT_EQ(entry.Attacks[WHITE], Squares({B4, D4, C5, E5}));
  // d4's span joins; the backward c3 and the backward b5 add nothing.
  EXPECT_EQ(entry.AttackSpan[WHITE], Squares({B4, D4, C5, C6, C7, C8, E5, E6, E7, E8}));
  EXPECT_EQ(entry.AttackSpan[BLACK], Squares({A4, C4}));
  EXPECT_EQ(entry.BlockedCount, 0);
}

TEST_F(PawnsTest, LeversAndBlockedPawns) {
  // e4 attacks d5 and f5 with no support: isolated, unopposed, lever (0, -56). Each black
  // pawn is isolated and unopposed; all three are passed, since their stoppers are levers.
  const PawnEntry& lever = Probe("4k3/8/8/3p1p2/4P3/8/8/4K3 w - - 0 1");
  ExpectScore(lever.Score[WHITE], -18, -98);
  ExpectScore(lever.Score[BLACK], -36, -84);
  EXPECT_EQ(lever.Passed[WHITE], Squares({E4}));
  EXPECT_EQ(lever.Passed[BLACK], Squares({D5, F5}));
  EXPECT_EQ(lever.BlockedCount, 0);

  // e3's push square e4 is hit by both black pawns.
  EXPECT_EQ(Probe("4k3/8/8/3p1p2/8/4P3/8/4K3 w - - 0 1").BlockedCount, 1);

  // Rammed on the fifth rank: isolated opposed (-5, -15) plus (-11, -4); the black pawn on
  // its third rank gets no blocked bonus. Both pawns count as blocked.
  const PawnEntry& rammed = Probe("4k3/8/4p3/4P3/8/8/8/4K3 w - - 0 1");
  ExpectScore(rammed.Score[WHITE], -16, -19);
  ExpectScore(rammed.Score[BLACK], -5, -15);
  EXPECT_EQ(rammed.BlockedCount, 2);
  EXPECT_EQ(rammed.Passed[WHITE], 0u);
  EXPECT_EQ(rammed.AttackSpan[WHITE], Squares({D6, F6}));  // a blocked pawn's span does not grow
  // On the sixth rank: (-5, -15) + (-3, 4).
  ExpectScore(Probe("4k3/4p3/4P3/8/8/8/8/4K3 w - - 0 1").Score[WHITE], -8, -11);
}

TEST_F(PawnsTest, PassedByPhalanxOrByASupporterThatCanAdvance) {
  // Rammed e5 with d4 behind it and d5 free: passed. e5 supported and opposed:
  // 29 x (2 - 1) + 21 = 50, endgame 50 x 2 / 4 = 25, plus the blocked (-11, -4). d4 is
  // backward (e6 hits d5) and unopposed: (-22, -51).
  const PawnEntry& supported = Probe("4k3/8/4p3/4P3/3P4/8/8/4K3 w - - 0 1");
  EXPECT_EQ(supported.Passed[WHITE], Squares({E5}));
  ExpectScore(supported.Score[WHITE], 39 - 22, 21 - 51);
  ExpectScore(supported.Score[BLACK], -5, -15);
  // The same with d5 covered twice by black pawns: no longer passed.
  EXPECT_EQ(Probe("4k3/8/2p1p3/4P3/3P4/8/8/4K3 w - - 0 1").Passed[WHITE], 0u);

  // e5's only stopper d7 attacks e6, and the phalanx pawn d5 answers it; d5 itself faces d7.
  EXPECT_EQ(Probe("4k3/3p4/8/3PP3/8/8/8/4K3 w - - 0 1").Passed[WHITE], Squares({E5}));
}

TEST_F(PawnsTest, ShelterCountsPawnsAheadOfTheKingAndTheStorm) {
  // f2 g2 h2 against f7 g7 h7, king g1: 5 + (75 + 14) + (61 - 20) + (81 - 50) = 166;
  // endgame 5 - 16 for the adjacent pawn.
  Probe("6k1/5ppp/8/8/8/8/5PPP/6K1 w - - 0 1");
  ExpectScore(ComputeKingShelter(WHITE), 166, -11);
  ExpectScore(ComputeKingShelter(BLACK), 166, -11);

  // A black pawn right in front of g2 is a blocked storm: 5 + (-10 + 6) + (61 - 76) + (-6 - 85);
  // endgame 5 - 78 - 16.
  Probe("6k1/8/8/8/8/6p1/6P1/6K1 w - - 0 1");
  ExpectScore(ComputeKingShelter(WHITE), -105, -89);
  // One rank further off it storms: g-file 61 - 45.
  Probe("6k1/8/8/8/6p1/8/6P1/6K1 w - - 0 1");
  ExpectScore(ComputeKingShelter(WHITE), -74, -11);
  // A pawn behind the king shelters nothing, though it still is the nearest pawn.
  Probe("6k1/8/8/8/8/6K1/6P1/8 w - - 0 1");
  ExpectScore(ComputeKingShelter(WHITE), 5 - 4 - 89 - 91, -11);
  // Black without pawns: the d- and e-files are empty, f2 storms from afar (-10 + 14), and
  // the distance to the nearest own pawn counts as 6.
  Probe("4k3/8/8/8/8/8/5PPP/4K3 w - - 0 1");
  ExpectScore(ComputeKingShelter(BLACK), 5 - 24 - 24 + 4, 5 - 96);
}

TEST_F(PawnsTest, ShelterTakesTheBestCastledSquareTheRightsAllow) {
  // King e1: 5 - 24 - 24 + 81 = 38; castled on g1: 5 + 81 + 15 - 4 = 97.
  Probe("4k3/8/8/8/8/8/5PPP/4K2R w K - 0 1");
  ExpectScore(ComputeKingShelter(WHITE), 97, -11);
  Probe("4k3/8/8/8/8/8/5PPP/4K2R w - - 0 1");
  ExpectScore(ComputeKingShelter(WHITE), 38, -11);
  // Queen side, king two steps from the nearest pawn: c1 gives 5 + 15 + 81 - 24 = 77.
  Probe("4k3/8/8/8/8/8/PPP5/R3K3 w Q - 0 1");
  ExpectScore(ComputeKingShelter(WHITE), 77, 5 - 32);

  // The king already on g1 with every right: g1, g1 again, then c1 (77 beats g1's -179).
  Probe("4k3/8/8/8/8/8/PPP5/6K1 w - - 0 1");
  struct Case {
    int32_t Rights, Mg;
  };
  for (Case c : {Case{0, -179}, Case{WHITE_KING_SIDE, -179}, Case{WHITE_QUEEN_SIDE, 77}, Case{15, 77}}) {
    Position.CastlingRights = c.Rights;
    ExpectScore(ComputeKingShelter(WHITE), c.Mg, 5 - 64);
    EXPECT_EQ(CurrentPawnEntry->ShelterCastling[WHITE], c.Rights & 3);
    EXPECT_EQ(CurrentPawnEntry->ShelterKingSquare[WHITE], G1);
  }
}

TEST_F(PawnsTest, KingShelterIsReusedUntilKingOrRightsChange) {
  Probe("4k3/8/8/8/8/8/5PPP/4K2R w K - 0 1");
  ExpectScore(KingShelter(WHITE), 97, -11);
  // A planted value comes back: the second request does not recompute.
  PawnEntry& entry = *CurrentPawnEntry;
  entry.Shelter[WHITE] = MakeScore(1234, -4321);
  EXPECT_EQ(KingShelter(WHITE), MakeScore(1234, -4321));
  // Black's rights are not White's: changing them keeps White's value.
  Position.CastlingRights |= BLACK_KING_SIDE;
  EXPECT_EQ(KingShelter(WHITE), MakeScore(1234, -4321));
  // Same pawns, so the same entry, but without the right: recomputed.
  Probe("4k3/8/8/8/8/8/5PPP/4K2R w - - 0 1");
  EXPECT_EQ(CurrentPawnEntry, &entry);
  ExpectScore(KingShelter(WHITE), 38, -11);
  // And after a king move.
  entry.Shelter[WHITE] = MakeScore(1234, -4321);
  Probe("4k3/8/8/8/8/8/5PPP/5K1R w - - 0 1");
  ExpectScore(KingShelter(WHITE), 5 - 24 + 81 + 15, -11);  // f1: files e, f, g
}

TEST_F(PawnsTest, PawnlessEntryIsFilledBeforeItsShelterIsTrusted) {
  // The slot of pawn key 0 as it is at start-up: all zero.
  PawnHashTable[0] = PawnEntry{};
  const PawnEntry& entry = Probe("4k3/8/8/8/8/8/8/K7 w - - 0 1");
  EXPECT_EQ(&entry, &PawnHashTable[0]);
  EXPECT_EQ(entry.Score[WHITE] | entry.Score[BLACK], 0u);
  EXPECT_EQ(entry.ShelterKingSquare[WHITE], -1);
  // King a1 without rights must not read the zeros as computed: files a, b, c with no pawns.
  ExpectScore(KingShelter(WHITE), 5 - 91 - 89 - 4, 5 - 96);
}

// The structure part of an entry (everything but the lazily computed shelter).
void ExpectSameStructure(const PawnEntry& a, const PawnEntry& b, const std::string& fen) {
  EXPECT_EQ(a.Key, b.Key) << fen;
  EXPECT_EQ(a.BlockedCount, b.BlockedCount) << fen;
  for (int32_t side : {WHITE, BLACK}) {
    EXPECT_EQ(a.Score[side], b.Score[side]) << fen;
    EXPECT_EQ(a.Passed[side], b.Passed[side]) << fen;
    EXPECT_EQ(a.Attacks[side], b.Attacks[side]) << fen;
    EXPECT_EQ(a.AttackSpan[side], b.AttackSpan[side]) << fen;
  }
}

TEST_F(PawnsTest, CachedEntriesEqualFreshOnes) {
  const std::vector<std::string> fens = PerftSuiteFens();
  for (const std::string& fen : fens) Probe(fen);
  // Second round: mostly cache hits, and each must match a computation from scratch.
  for (const std::string& fen : fens) {
    const PawnEntry& cached = Probe(fen);
    PawnEntry fresh{};
    fresh.Key = Position.PawnKey;
    EvaluatePawns(WHITE, fresh);
    EvaluatePawns(BLACK, fresh);
    ExpectSameStructure(cached, fresh, fen);
  }
}

Bitboard FlipRanks(Bitboard b) { return __builtin_bswap64(b); }

TEST_F(PawnsTest, MirroredPositionsGiveMirroredEntries) {
  int structures = 0;
  for (const std::string& fen : PerftSuiteFens()) {
    const PawnEntry original = Probe(fen);
    const PackedScore shelter[COLOUR_NB] = {KingShelter(WHITE), KingShelter(BLACK)};
    const PawnEntry& mirrored = Probe(MirrorFen(fen));
    EXPECT_EQ(mirrored.BlockedCount, original.BlockedCount) << fen;
    for (int32_t side : {WHITE, BLACK}) {
      const int32_t other = side ^ 1;
      EXPECT_EQ(mirrored.Score[other], original.Score[side]) << fen;
      EXPECT_EQ(mirrored.Passed[other], FlipRanks(original.Passed[side])) << fen;
      EXPECT_EQ(mirrored.Attacks[other], FlipRanks(original.Attacks[side])) << fen;
      EXPECT_EQ(mirrored.AttackSpan[other], FlipRanks(original.AttackSpan[side])) << fen;
      EXPECT_EQ(KingShelter(other), shelter[side]) << fen;
    }
    structures += original.Score[WHITE] != original.Score[BLACK];
  }
  EXPECT_GT(structures, 50);  // the comparison must see unbalanced structures
}

}  // namespace
