// The search's fixed tables, the history updates, root move order and the display helpers,
// checked against values worked out by hand from their formulas.
#include <string>

#include "console/capture.h"
#include "search/alphabeta.h"
#include "search/root.h"
#include "search/search_setup.h"
#include "search/time.h"

namespace {

using SearchTables = SearchTest;

TEST_F(SearchTables, ReductionBaseListedValues) {
  const std::pair<int, int> listed[] = {{1, 0},  {2, 23},  {3, 34},  {4, 42},  {5, 48},
                                        {8, 60}, {10, 66}, {16, 79}, {63, 116}};
  for (auto [i, value] : listed) EXPECT_EQ(ReductionBase[i], value) << i;
}

TEST_F(SearchTables, ReductionsListedValues) {
  struct Case {
    int Depth, MoveNumber, NotImproving, Improving;
  };
  const Case cases[] = {{10, 2, 3, 2}, {10, 10, 6, 5}, {20, 32, 10, 9}, {1, 1, 1, 1}, {1, 40, 1, 1}, {50, 1, 1, 1}};
  for (const Case& c : cases) {
    EXPECT_EQ(Reductions[0][c.Depth][c.MoveNumber], c.NotImproving) << c.Depth << "/" << c.MoveNumber;
    EXPECT_EQ(Reductions[1][c.Depth][c.MoveNumber], c.Improving) << c.Depth << "/" << c.MoveNumber;
  }
  // Depths and move numbers beyond 63 read the entry of 63.
  EXPECT_EQ(Reductions[0][127][255], Reductions[0][63][63]);
  EXPECT_EQ(Reductions[1][100][70], Reductions[1][63][63]);
}

TEST_F(SearchTables, MarginsAndLateMoveCounts) {
  EXPECT_EQ(StaticFutilityMargin[0][0], 0);
  EXPECT_EQ(StaticFutilityMargin[0][6], 864);
  EXPECT_EQ(StaticFutilityMargin[1][6], 618);
  EXPECT_EQ(FutilityMargin[0], 206);
  EXPECT_EQ(FutilityMargin[6], 1196);
  EXPECT_EQ(FutilityMargin[16], 2846);
  const int notImproving[] = {2, 3, 4, 7, 10, 15, 20, 27, 34, 43, 52, 63, 74, 87, 100, 115, 130};
  for (int d = 0; d < MARGIN_DEPTH_NB; ++d) {
    EXPECT_EQ(LateMoveCount[0][d], notImproving[d]) << d;
    EXPECT_EQ(LateMoveCount[1][d], d * d + 5) << d;
  }
}

TEST_F(SearchTables, StatBonusGrowsWithTheSquareOfDepthUpToTwenty) {
  EXPECT_EQ(StatBonus[0], 0);
  EXPECT_EQ(StatBonus[1], 32);
  EXPECT_EQ(StatBonus[2], 128);
  EXPECT_EQ(StatBonus[3], 288);
  EXPECT_EQ(StatBonus[20], 12800);
  EXPECT_EQ(StatBonus[25], 12800);
  // Depth + 1 of the deepest search is read too.
  EXPECT_EQ(StatBonus[128], 12800);
}

TEST_F(SearchTables, CaptureOrderPrefersBigVictimsThenSmallAttackers) {
  auto order = [](int victim, int attacker) { return CaptureOrder[PieceRow(victim)][PieceRow(attacker)]; };
  EXPECT_EQ(order(-QUEEN, PAWN), 16 * 1700 - 95);
  EXPECT_EQ(order(QUEEN, -PAWN), 16 * 1700 - 95);
  EXPECT_EQ(order(-KNIGHT, QUEEN), 16 * 500 - 1700);
  EXPECT_EQ(order(-PAWN, KING), 16 * 95);
  // En passant: the destination is empty.
  EXPECT_EQ(order(NO_PIECE, PAWN), -95);
  EXPECT_GT(order(-ROOK, QUEEN), order(-BISHOP, PAWN));
}

TEST_F(SearchTables, GravityKeepsEntriesWithinTheDivisor) {
  int32_t entry = 16384;
  ApplyGravity(entry, 12800, HISTORY_DIVISOR);
  EXPECT_EQ(entry, 16384);
  entry = -16384;
  ApplyGravity(entry, -12800, HISTORY_DIVISOR);
  EXPECT_EQ(entry, -16384);
  entry = 0;
  ApplyGravity(entry, 288, HISTORY_DIVISOR);
  EXPECT_EQ(entry, 288);
  // 1000 - trunc(1000 x 128 / 16384) = 1000 - 7, then - 128.
  entry = 1000;
  ApplyGravity(entry, -128, HISTORY_DIVISOR);
  EXPECT_EQ(entry, 865);
  // Truncation toward zero for negative entries: -1000 x 128 / 49152 = -2.6 -> -2.
  entry = -1000;
  ApplyGravity(entry, 128, CONTINUATION_DIVISOR);
  EXPECT_EQ(entry, -870);
}

TEST_F(SearchTables, QuietStatsRewardTheBestMoveAndPunishTheOthers) {
  SetUpBoard("k7/8/8/8/8/8/P7/7K w - - 0 1");
  constexpr int32_t ply = 6;
  Move best = EncodeMove(H1, G1);
  Move other = EncodeMove(A2, A3);
  Move prevMove = EncodeMove(B8, A8);
  SearchStack[ply - 1].CurrentMove = prevMove;
  SearchStack[ply - 1].ContHist = ContinuationOf(PieceOn(A8), A8);
  Killers[ply][0] = EncodeMove(H1, H2);
  Move quiets[] = {other, best};
  UpdateQuietStats(best, prevMove, 3, ply, quiets, 2, 80);
  EXPECT_EQ(Killers[ply][0], best);
  EXPECT_EQ(Killers[ply][1], EncodeMove(H1, H2));
  EXPECT_EQ(StatEntry(PieceToHistory, KING, G1), 288);
  EXPECT_EQ(StatEntry(PieceToHistory, PAWN, A3), -288);
  EXPECT_EQ(StatEntry(*ContinuationOf(-KING, A8), KING, G1), 288);
  EXPECT_EQ(CounterMoves[PieceRow(-KING)][A8], best);
  // The same killer again does not push out the second one; a clear margin counts one ply deeper.
  UpdateQuietStats(best, MOVE_NONE, 3, ply, nullptr, 0, 81);
  EXPECT_EQ(Killers[ply][1], EncodeMove(H1, H2));
  EXPECT_EQ(StatEntry(PieceToHistory, KING, G1), 288 - 288 * 512 / 16384 + 512);
}

TEST_F(SearchTables, ContinuationUpdatesSkipPliesWithoutAMove) {
  constexpr int32_t ply = 8;
  for (int back = 1; back <= 4; ++back) {
    SearchStack[ply - back].CurrentMove = back == 2 ? MOVE_NONE : EncodeMove(A2, A3 + back);
    SearchStack[ply - back].ContHist = ContinuationOf(PAWN, A3 + back);
  }
  UpdateContinuation(ply, KNIGHT, F3, 100);
  EXPECT_EQ(StatEntry(*ContinuationOf(PAWN, A3 + 1), KNIGHT, F3), 100);
  EXPECT_EQ(StatEntry(*ContinuationOf(PAWN, A3 + 2), KNIGHT, F3), 0);
  EXPECT_EQ(StatEntry(*ContinuationOf(PAWN, A3 + 3), KNIGHT, F3), 0);
  EXPECT_EQ(StatEntry(*ContinuationOf(PAWN, A3 + 4), KNIGHT, F3), 100);
}

TEST_F(SearchTables, NewGameClearsHistoriesAndPointsTheStackAtTheNullTable) {
  StatEntry(PieceToHistory, KNIGHT, F3) = 5;
  Killers[3][0] = EncodeMove(G1, F3);
  SearchStack[2].CurrentMove = EncodeMove(G1, F3);
  ClearHistory();
  EXPECT_EQ(StatEntry(PieceToHistory, KNIGHT, F3), 0);
  EXPECT_EQ(Killers[3][0], MOVE_NONE);
  EXPECT_EQ(SearchStack[2].CurrentMove, MOVE_NONE);
  for (int ply : {-4, 0, 1, 129}) EXPECT_EQ(SearchStack[ply].ContHist, NullContinuation()) << ply;
}

TEST_F(SearchTables, OrderRootMovesPutsTheBestFirstAndKeepsTheRest) {
  for (int i = 0; i < 5; ++i) SearchState.RootMoves[i].Move = EncodeMove(A2 + i, A3 + i);
  OrderRootMoves(EncodeMove(A2 + 3, A3 + 3), 0, 4);
  const int expected[] = {3, 0, 1, 2, 4};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(SearchState.RootMoves[i].Move, EncodeMove(A2 + expected[i], A3 + expected[i]));
  // Already first: nothing moves.
  OrderRootMoves(EncodeMove(A2 + 3, A3 + 3), 0, 4);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(SearchState.RootMoves[i].Move, EncodeMove(A2 + expected[i], A3 + expected[i]));
}

TEST_F(SearchTables, DrawsByFiftyMovesAndRepetition) {
  // The repetition test reads the ply's own key: give it one no earlier ply has.
  SearchStack[3].Key = 1;
  SetUpBoard("7k/8/8/8/8/8/8/R6K w - - 100 80");
  EXPECT_TRUE(IsDraw(3, false));
  // Checkmated on the hundredth ply is still mate; in check with a way out it is a draw.
  SetUpBoard("R6k/6pp/8/8/8/8/8/7K b - - 100 80");
  EXPECT_FALSE(IsDraw(3, true));
  SetUpBoard("R6k/7p/8/8/8/8/8/7K b - - 100 80");
  EXPECT_TRUE(IsDraw(3, true));

  SetUpBoard("7k/8/8/8/8/8/8/R6K w - - 4 80");
  for (int ply = -1; ply <= 6; ++ply) SearchStack[ply].Key = 1000 + ply;
  SearchStack[5].Key = SearchStack[1].Key;
  EXPECT_TRUE(IsDraw(5, false));
  // Odd distances are never compared, nor plies beyond the reversible ones.
  SearchStack[6].Key = SearchStack[3].Key;
  EXPECT_FALSE(IsDraw(6, false));
  SearchStack[6].Key = SearchStack[0].Key;
  EXPECT_FALSE(IsDraw(6, false));
  // Back to the game position before the root, not further.
  SetUpBoard("7k/8/8/8/8/8/8/R6K w - - 30 80");
  for (int ply = -3; ply <= 6; ++ply) SearchStack[ply].Key = 1000 + ply;
  SearchStack[3].Key = SearchStack[-1].Key;
  EXPECT_TRUE(IsDraw(3, false));
  SearchStack[3].Key = SearchStack[-3].Key;
  EXPECT_FALSE(IsDraw(3, false));
  EXPECT_TRUE(IsDraw(MAX_SEARCH_PLY, false));
}

TEST_F(SearchTables, ScoreToCpScalesByMaterial) {
  SetUpBoard(START_FEN);
  // 124 / (10920 / 3820 + 0.5) = 36.92; x 1.15 = 42.46; / 1.25 = -29.54.
  EXPECT_EQ(ScoreToCp(124), 42);
  EXPECT_EQ(ScoreToCp(-124), -30);
  EXPECT_EQ(ScoreToCp(0), 0);
  SetUpBoard("7k/8/8/8/8/8/P7/7K w - - 0 1");
  // No pieces: x = 2 x score.
  EXPECT_EQ(ScoreToCp(100), 230);
  EXPECT_EQ(ScoreToCp(-5), -8);
}

TEST_F(SearchTables, InfoLinesShowMatesInMovesAndEverythingElseInCentipawns) {
  SetUpBoard("k7/8/8/8/8/8/P7/7K w - - 0 1");
  Settings.MinTimeToShowStats = 0;
  StartSearch();
  SearchState.IterationDepth = 7;
  SearchState.SelDepth = 9;
  PVLine line{2, {EncodeMove(H1, G1), EncodeMove(A8, B8)}};
  auto info = [&](int32_t score, int32_t kind) { return CaptureOutput([&] { PrintInfo(score, line, kind); }); };
  auto scoreOf = [](const std::string& text) {
    size_t at = text.find(" score ");
    return text.substr(at + 7, text.find(" time ") - at - 7);
  };
  EXPECT_EQ(scoreOf(info(32573, INFO_EXACT)), "cp 74918");
  EXPECT_EQ(scoreOf(info(32574, INFO_EXACT)), "mate 63");
  EXPECT_EQ(scoreOf(info(32698, INFO_LOWER_BOUND)), "mate 1");
  EXPECT_EQ(scoreOf(info(-32697, INFO_UPPER_BOUND)), "mate -1");
  EXPECT_EQ(scoreOf(info(50, INFO_LOWER_BOUND)), "cp 115 lowerbound");
  EXPECT_EQ(scoreOf(info(-50, INFO_UPPER_BOUND)), "cp -80 upperbound");
  std::string final = info(-50, INFO_FINAL);
  EXPECT_EQ(final.rfind("info depth 7 seldepth 9 score cp -80 time ", 0), 0u) << final;
  EXPECT_NE(final.find(" hashfull "), std::string::npos) << final;
  EXPECT_EQ(final.substr(final.size() - 15), " pv h1g1 a8b8 \n") << final;
  // An exact line that repeats the last one's depth, move and score is left out; the final
  // line never is.
  EXPECT_EQ(info(-50, INFO_EXACT), "");
  EXPECT_NE(info(-50, INFO_FINAL), "");
  Settings.MinTimeToShowStats = 500;
  EXPECT_EQ(info(60, INFO_EXACT), "");
  EXPECT_NE(info(32690, INFO_EXACT), "");
}

TEST_F(SearchTables, PrincipalVariationTextStopsAtTheFirstIllegalMove) {
  SetUpBoard(START_FEN);
  uint64_t key = Position.Key;
  PVLine line{4, {EncodeMove(E2, E4), EncodeMove(E7, E5), EncodeMove(E4, E5), EncodeMove(G1, F3)}};
  EXPECT_EQ(PVText(line), "e2e4 e7e5 ");
  EXPECT_EQ(Position.Key, key);
  line.Count = 0;
  EXPECT_EQ(PVText(line), "");
}

}  // namespace
