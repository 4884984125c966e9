// The staged move pickers on hand-built positions: the order of every stage, which candidates
// are refused, and what the quiescence and ProbCut pickers leave out.
#include <algorithm>
#include <string>
#include <vector>

#include "search/search_setup.h"

namespace {

constexpr int32_t PLY = 5;

// White Kh1 Qd1 Nc3 Pe4 against Kh8 Pa6 Pc6 Pd5 Nb5. Nxb5 and exd5 keep material, Nxd5 and
// Qxd5 lose it (c6 takes, e4 retakes).
constexpr std::string_view CAPTURES_FEN = "7k/8/p1p5/1n1p4/4P3/2N5/8/3Q3K w - - 0 1";

// White Kh1 Rb1 Nd4 Pe2 in check from the bishop on b7.
constexpr std::string_view EVASIONS_FEN = "7k/1b6/8/8/3N4/8/4P3/1R5K w - - 0 1";

struct MainPicker {
  Move TTMove = MOVE_NONE;
  Move Killer1 = MOVE_NONE;
  Move Killer2 = MOVE_NONE;
  Move Counter = MOVE_NONE;
  int32_t Depth = 1;
  bool SkipQuiets = false;

  std::vector<std::string> Drain() {
    MoveList list;
    SearchStack[PLY].Stage = 0;
    std::vector<std::string> moves;
    for (Move m; (m = NextMove(list, TTMove, Killer1, Killer2, Counter, PLY, Depth, SkipQuiets)) != MOVE_NONE;)
      moves.push_back(MoveText(m));
    return moves;
  }
};

std::vector<std::string> Texts(const std::vector<Move>& moves) {
  std::vector<std::string> texts;
  for (Move m : moves) texts.push_back(MoveText(m));
  return texts;
}

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

using MainPickerTest = SearchTest;

TEST_F(MainPickerTest, StagesComeInOrderAndEachMoveOnce) {
  SetUpBoard(CAPTURES_FEN);
  // Distinct history for every quiet move: destination first, then piece type.
  std::vector<Move> quiets;
  MoveList legal;
  int32_t count = GenerateLegalMoves(0, legal);
  for (int32_t i = 0; i < count; ++i) {
    Move m = legal[i].Move;
    if (!IsQuiet(m)) continue;
    StatEntry(PieceToHistory, PieceOn(FromSquare(m)), ToSquare(m)) = 100 * ToSquare(m) + TypeOf(PieceOn(FromSquare(m)));
    quiets.push_back(m);
  }
  MainPicker picker{M("e4", "e5"), M("d1", "d2"), M("c3", "e2"), M("h1", "g2")};
  std::vector<Move> rest;
  for (Move m : quiets)
    if (m != picker.TTMove && m != picker.Killer1 && m != picker.Killer2 && m != picker.Counter) rest.push_back(m);
  auto score = [](Move m) { return StatEntry(PieceToHistory, PieceOn(FromSquare(m)), ToSquare(m)); };
  std::sort(rest.begin(), rest.end(), [&](Move a, Move b) { return score(a) > score(b); });

  std::vector<std::string> expected = {"e4e5", "c3b5", "e4d5", "d1d2", "c3e2", "h1g2"};
  expected = Concat(expected, Texts(rest));
  // Losing captures last, the last one put aside first.
  expected = Concat(expected, {"d1d5", "c3d5"});
  EXPECT_EQ(picker.Drain(), expected);
}

TEST_F(MainPickerTest, CandidatesThatCannotBePlayedHereAreForgotten) {
  SetUpBoard(CAPTURES_FEN);
  MainPicker picker{M("e4", "e6"), M("d1", "d5") & ~CAPTURE_FLAG, M("c3", "c5"), M("h1", "h2")};
  std::vector<std::string> moves = picker.Drain();
  // A TT move that is not pseudo-legal, a killer onto an occupied square and one the knight
  // cannot make are dropped; the counter move still comes before the quiets.
  EXPECT_EQ(picker.TTMove, MOVE_NONE);
  EXPECT_EQ(picker.Killer1, MOVE_NONE);
  EXPECT_EQ(picker.Killer2, MOVE_NONE);
  EXPECT_EQ(picker.Counter, M("h1", "h2"));
  ASSERT_GE(moves.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(moves.begin(), moves.begin() + 3),
            (std::vector<std::string>{"c3b5", "e4d5", "h1h2"}));
  EXPECT_EQ(std::count(moves.begin(), moves.end(), "h1h2"), 1);
  MoveList legal;
  EXPECT_EQ(moves.size(), static_cast<size_t>(GenerateLegalMoves(0, legal)));
}

TEST_F(MainPickerTest, RepeatedCandidatesAreOfferedOnce) {
  SetUpBoard(CAPTURES_FEN);
  Move push = M("e4", "e5");
  MainPicker picker{push, push, M("d1", "d3"), M("d1", "d3")};
  std::vector<std::string> moves = picker.Drain();
  EXPECT_EQ(picker.Killer1, MOVE_NONE);
  EXPECT_EQ(picker.Killer2, M("d1", "d3"));
  EXPECT_EQ(picker.Counter, MOVE_NONE);
  EXPECT_EQ(std::count(moves.begin(), moves.end(), "e4e5"), 1);
  EXPECT_EQ(std::count(moves.begin(), moves.end(), "d1d3"), 1);
  EXPECT_EQ(moves[0], "e4e5");
  EXPECT_EQ(moves[3], "d1d3");
}

TEST_F(MainPickerTest, SkippedQuietsStillLeaveTheLosingCaptures) {
  SetUpBoard(CAPTURES_FEN);
  MainPicker picker{MOVE_NONE, M("d1", "d2"), MOVE_NONE, MOVE_NONE};
  picker.SkipQuiets = true;
  EXPECT_EQ(picker.Drain(), (std::vector<std::string>{"c3b5", "e4d5", "d1d2", "d1d5", "c3d5"}));
}

// Kh1 and Pa2 have five quiet moves, generated as Kg1 Kg2 Kh2 a3 a4. Sorting stops after the
// first score at or below -4000 x depth; the rest come in list order, which the swaps of the
// selection steps have changed.
TEST_F(MainPickerTest, QuietsAreSortedOnlyWhileTheirHistoryIsGood) {
  SetUpBoard("k7/8/8/8/8/8/P7/7K w - - 0 1");
  auto set = [](std::string_view from, std::string_view to, int32_t score) {
    StatEntry(PieceToHistory, PieceOn(ParseSquare(from)), ParseSquare(to)) = score;
  };
  set("h1", "g1", -4800);
  set("h1", "g2", -4500);
  set("h1", "h2", 100);
  set("a2", "a3", -6000);
  set("a2", "a4", 50);
  MainPicker picker;
  EXPECT_EQ(picker.Drain(), (std::vector<std::string>{"h1h2", "a2a4", "h1g2", "a2a3", "h1g1"}));
  // At depth 2 the floor is -8000: everything is sorted.
  picker.Depth = 2;
  EXPECT_EQ(picker.Drain(), (std::vector<std::string>{"h1h2", "a2a4", "h1g2", "h1g1", "a2a3"}));
}

TEST_F(MainPickerTest, HistoryScoreAddsTheContinuationsOfEarlierMoves) {
  SetUpBoard("k7/8/8/8/8/8/P7/7K w - - 0 1");
  int32_t king = PieceOn(H1);
  StatEntry(PieceToHistory, king, G1) = 10;
  SearchStack[PLY - 1].ContHist = ContinuationOf(-KING, B8);
  SearchStack[PLY - 2].ContHist = ContinuationOf(KING, H1);
  SearchStack[PLY - 3].ContHist = ContinuationOf(-PAWN, C5);
  SearchStack[PLY - 4].ContHist = ContinuationOf(PAWN, A2);
  StatEntry(*ContinuationOf(-KING, B8), king, G1) = 200;
  StatEntry(*ContinuationOf(KING, H1), king, G1) = 3000;
  StatEntry(*ContinuationOf(-PAWN, C5), king, G1) = -90000;  // three plies back is not read
  StatEntry(*ContinuationOf(PAWN, A2), king, G1) = 40000;
  EXPECT_EQ(HistoryScore(PLY, king, G1), 43210);
}

// Evasions: a winning capture first, then quiet moves that keep material by history, then
// moves that lose material, least loss first.
TEST_F(MainPickerTest, EvasionsOrderedByExchangeThenHistory) {
  SetUpBoard(EVASIONS_FEN);
  StatEntry(PieceToHistory, PieceOn(H1), H2) = 300;
  StatEntry(PieceToHistory, PieceOn(D4), F3) = 200;
  StatEntry(PieceToHistory, PieceOn(H1), G1) = 100;
  MainPicker picker;
  EXPECT_EQ(picker.Drain(), (std::vector<std::string>{"b1b7", "h1h2", "d4f3", "h1g1", "e2e4", "d4c6"}));
  // The TT move comes first in check too, and only once.
  picker.TTMove = M("h1", "g1");
  EXPECT_EQ(picker.Drain(), (std::vector<std::string>{"h1g1", "b1b7", "h1h2", "d4f3", "e2e4", "d4c6"}));
}

TEST_F(MainPickerTest, ASingleEvasionIsNotScored) {
  // The rook on b1 checks along the first rank; g1 stays on its line and g2 holds a pawn.
  SetUpBoard("7k/8/8/8/8/8/6P1/1r5K w - - 0 1");
  MoveList list;
  for (auto& entry : list) entry.Score = 777;
  Move tt = MOVE_NONE, k1 = MOVE_NONE, k2 = MOVE_NONE, counter = MOVE_NONE;
  SearchStack[PLY].Stage = 0;
  Move m = NextMove(list, tt, k1, k2, counter, PLY, 1, false);
  EXPECT_EQ(MoveText(m), "h1h2");
  EXPECT_EQ(list[0].Score, 777);
  EXPECT_EQ(NextMove(list, tt, k1, k2, counter, PLY, 1, false), MOVE_NONE);
  EXPECT_EQ(NextMove(list, tt, k1, k2, counter, PLY, 1, false), MOVE_NONE);
}

using QuiescencePickerTest = SearchTest;

std::vector<std::string> DrainQuiescence(Move ttMove, int32_t qdepth, Move prevMove) {
  CheckInfo checkInfo;
  ComputeCheckInfo(checkInfo);
  MoveList list;
  SearchStack[PLY].Stage = 0;
  std::vector<std::string> moves;
  for (Move m; (m = NextQuiescenceMove(list, checkInfo, ttMove, PLY, qdepth, prevMove)) != MOVE_NONE;)
    moves.push_back(MoveText(m));
  return moves;
}

TEST_F(QuiescencePickerTest, CapturesByOrderThenQuietChecksOnlyAtTheFirstPly) {
  SetUpBoard(CAPTURES_FEN);
  // No split by exchange here: the quiescence search prunes losing captures itself.
  std::vector<std::string> captures = {"c3b5", "e4d5", "c3d5", "d1d5"};
  // The queen checks from d4 (long diagonal) and h5 (h-file), in generation order.
  CheckInfo checkInfo;
  ComputeCheckInfo(checkInfo);
  MoveList checks;
  int32_t count = GenerateQuietChecks(0, ~Position.Occupied, checkInfo, checks);
  std::vector<std::string> checkTexts;
  for (int32_t i = 0; i < count; ++i) checkTexts.push_back(MoveText(checks[i].Move));
  std::vector<std::string> sortedChecks = checkTexts;
  std::sort(sortedChecks.begin(), sortedChecks.end());
  EXPECT_EQ(sortedChecks, (std::vector<std::string>{"d1d4", "d1h5"}));

  EXPECT_EQ(DrainQuiescence(MOVE_NONE, 0, MOVE_NONE), Concat(captures, checkTexts));
  EXPECT_EQ(DrainQuiescence(MOVE_NONE, -1, MOVE_NONE), captures);
  // The TT move first, whatever it is, and not again later.
  EXPECT_EQ(DrainQuiescence(M("d1", "d5"), -1, MOVE_NONE), (std::vector<std::string>{"d1d5", "c3b5", "e4d5", "c3d5"}));
}

TEST_F(QuiescencePickerTest, DeepPliesSearchOnlyRecaptures) {
  SetUpBoard(CAPTURES_FEN);
  Move prevOntoD5 = EncodeMove(C7, D5);  // as if the black pawn had just arrived on d5
  EXPECT_EQ(DrainQuiescence(MOVE_NONE, -4, prevOntoD5), (std::vector<std::string>{"c3b5", "e4d5", "c3d5", "d1d5"}));
  EXPECT_EQ(DrainQuiescence(MOVE_NONE, -5, prevOntoD5), (std::vector<std::string>{"e4d5", "c3d5", "d1d5"}));
  // A TT move elsewhere is dropped; one onto the square comes first.
  EXPECT_EQ(DrainQuiescence(M("c3", "b5"), -5, prevOntoD5), (std::vector<std::string>{"e4d5", "c3d5", "d1d5"}));
  EXPECT_EQ(DrainQuiescence(M("d1", "d5"), -6, prevOntoD5), (std::vector<std::string>{"d1d5", "e4d5", "c3d5"}));
}

TEST_F(QuiescencePickerTest, InCheckEveryEvasionAtAnyDepth) {
  SetUpBoard(EVASIONS_FEN);
  for (int32_t qdepth : {0, -3, -7}) {
    std::vector<std::string> moves = DrainQuiescence(MOVE_NONE, qdepth, MOVE_NONE);
    std::sort(moves.begin(), moves.end());
    EXPECT_EQ(moves, (std::vector<std::string>{"b1b7", "d4c6", "d4f3", "e2e4", "h1g1", "h1h2"})) << qdepth;
  }
}

using ProbCutPickerTest = SearchTest;

std::vector<std::string> DrainProbCut(Move ttMove, int32_t threshold) {
  MoveList list;
  SearchStack[PLY].Stage = 0;
  std::vector<std::string> moves;
  for (Move m; (m = NextProbCutMove(list, ttMove, PLY, threshold)) != MOVE_NONE;) moves.push_back(MoveText(m));
  return moves;
}

// Exchange values: Nxb5 0 (a6 retakes), exd5 95 (c6 retakes, Nc3 wins the pawn back), Nxd5 -310,
// Qxd5 -1510.
TEST_F(ProbCutPickerTest, OnlyCapturesThatReachTheThreshold) {
  SetUpBoard(CAPTURES_FEN);
  EXPECT_EQ(DrainProbCut(MOVE_NONE, 0), (std::vector<std::string>{"c3b5", "e4d5"}));
  EXPECT_EQ(DrainProbCut(MOVE_NONE, 1), (std::vector<std::string>{"e4d5"}));
  EXPECT_EQ(DrainProbCut(MOVE_NONE, -310), (std::vector<std::string>{"c3b5", "e4d5", "c3d5"}));
  EXPECT_EQ(DrainProbCut(M("e4", "d5"), 0), (std::vector<std::string>{"e4d5", "c3b5"}));
  // A quiet or too weak TT move is not tried first.
  EXPECT_EQ(DrainProbCut(M("e4", "e5"), 0), (std::vector<std::string>{"c3b5", "e4d5"}));
  EXPECT_EQ(DrainProbCut(M("c3", "d5"), 0), (std::vector<std::string>{"c3b5", "e4d5"}));
}

}  // namespace
