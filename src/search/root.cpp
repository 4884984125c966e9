// The search entry: root moves, iterative deepening with aspiration windows, the root move
// loop, and the info and bestmove lines.
#include "search/root.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "board/board.h"
#include "console/console.h"
#include "eval/eval.h"
#include "platform/platform.h"
#include "search/alphabeta.h"
#include "search/history.h"
#include "search/pickers.h"
#include "search/search.h"
#include "search/time.h"

void (*TestSuiteHook)() = nullptr;

namespace {

// Aspiration windows.
constexpr int32_t ASPIRATION_FIRST_DEPTH = 5;  // instability: the first iterations swing too much for a narrow window
constexpr int32_t ASPIRATION_DELTA = 32;       // stability: a score seldom moves more between two iterations

// An iteration takes longer than all before it together: past this share of the base budget
// the next one would likely not finish.
constexpr double NEXT_ITERATION_SHARE = 0.7;

constexpr Move FirstMove(const PVLine& line) { return line.Count > 0 ? line.Moves[0] : MOVE_NONE; }

bool IsLegalHere(Move move) {
  MoveList moves;
  int32_t count = GenerateLegalMoves(0, moves);
  for (int32_t i = 0; i < count; ++i)
    if ((moves[i].Move & 0xFFFF) == (move & 0xFFFF)) return true;
  return false;
}

// "cp 25", or "mate 3" / "mate -2" counted in moves.
std::string ScoreText(int32_t score) {
  if (score < -MATE_BOUND) return "mate -" + std::to_string((score + SCORE_MATE) / 2);
  if (score > MATE_BOUND) return "mate " + std::to_string((SCORE_MATE - score) / 2);
  return "cp " + std::to_string(ScoreToCp(score));
}

// The evaluation after a root move, from the root's side: the score of a line no search finished.
int32_t OnePlyScore(Move move) {
  CheckInfo checkInfo;
  ComputeCheckInfo(checkInfo);
  UndoInfo undo;
  SaveUndoInfo(undo);
  MakeMove(move, undo, GivesCheck(move, checkInfo));
  int32_t score = -Evaluate();
  UnmakeMove(move, undo);
  return score;
}

}  // namespace

int32_t ScoreToCp(int32_t score) {
  int32_t material = Position.NonPawnMaterial[WHITE] + Position.NonPawnMaterial[BLACK];
  // The evaluation's pawn grows toward the endgame; fewer pieces mean larger values per pawn.
  double x = score / (material / 3820.0 + 0.5);
  return static_cast<int32_t>(std::nearbyint(score > 0 ? x * 1.15 : x / 1.25));
}

std::string PVText(const PVLine& line) {
  std::string text;
  UndoInfo undo[MAX_PV_MOVES];
  int32_t made = 0;
  // Walking the line is not search: the selective depth stays as the search left it.
  int32_t selDepth = SearchState.SelDepth;
  int32_t count = std::min(line.Count, MAX_PV_MOVES);
  for (; made < count; ++made) {
    Move move = line.Moves[made];
    if (move == MOVE_NONE || !IsLegalHere(move)) break;
    text += MoveText(move) + " ";
    CheckInfo checkInfo;
    ComputeCheckInfo(checkInfo);
    bool givesCheck = GivesCheck(move, checkInfo);
    SaveUndoInfo(undo[made]);
    MakeMove(move, undo[made], givesCheck);
  }
  while (made > 0) {
    --made;
    UnmakeMove(line.Moves[made], undo[made]);
  }
  SearchState.SelDepth = selDepth;
  return text;
}

void PrintInfo(int32_t score, const PVLine& line, int32_t kind) {
  // A mate shows at once and without bound words; the final line stays final (always shown,
  // with the table's fill).
  if ((score > MATE_BOUND || score < -MATE_BOUND) && kind != INFO_FINAL) kind = INFO_MATE;
  uint64_t elapsed = ElapsedMs();
  if (kind != INFO_MATE && kind != INFO_FINAL && Settings.MinTimeToShowStats >= 0 &&
      elapsed < static_cast<uint64_t>(Settings.MinTimeToShowStats))
    return;
  Move first = FirstMove(line);
  if (kind != INFO_FINAL && SearchState.IterationDepth == SearchState.LastInfoDepth &&
      first == SearchState.LastInfoMove && score == SearchState.LastInfoScore)
    return;
  if (kind == INFO_EXACT || kind == INFO_MATE || kind == INFO_FINAL) {
    SearchState.LastInfoDepth = SearchState.IterationDepth;
    SearchState.LastInfoMove = first;
    SearchState.LastInfoScore = score;
  }
  if (SearchLimits.TestSuiteMode && kind != INFO_LOWER_BOUND && TestSuiteHook) TestSuiteHook();

  uint64_t nps = elapsed == 0 ? 9999999 : SearchState.Nodes * 1000 / elapsed;
  std::string text = "info depth " + std::to_string(SearchState.IterationDepth) + " seldepth " +
                     std::to_string(SearchState.SelDepth) + " score " + ScoreText(score);
  if (kind == INFO_LOWER_BOUND) text += " lowerbound";
  if (kind == INFO_UPPER_BOUND) text += " upperbound";
  text += " time " + std::to_string(elapsed) + " nodes " + std::to_string(SearchState.Nodes) + " nps " +
          std::to_string(nps);
  if (kind == INFO_FINAL) text += " hashfull " + std::to_string(TTHashfull());
  text += " pv " + PVText(line);
  PrintLine(text);
}

int32_t SearchRoot(int32_t alpha, int32_t beta, int32_t depth, int32_t count, PVLine& line, Move& best) {
  // 1. Set up the root: its key for the repetition test, no null-move verification running, and
  // static values for the children's "improving" test. line is SearchState.RootPV: it keeps the
  // last completed line until a root move completes, so that a search stopped now still shows
  // the line of its best move.
  PVLine child;
  child.Count = 0;
  best = MOVE_NONE;
  Move quiets[MAX_MOVES];
  int32_t quietCount = 0;
  int32_t bestValue = -SCORE_INFINITE;
  StackEntry& root = SearchStack[1];
  root.Key = Position.Key;
  SearchState.NullVerifyPly = 0;
  SearchState.NullVerifySide = -1;
  SearchStack[-1].StaticEval = -SCORE_INFINITE;
  SearchStack[0].StaticEval = -SCORE_INFINITE;
  root.StaticEval = Position.Checkers ? -SCORE_INFINITE : Evaluate();
  // After a capture or promotion as best move, quiet alternatives are reduced a little less.
  bool rootTactical = !IsQuiet(SearchState.RootMoves[0].Move);
  CheckInfo checkInfo;
  ComputeCheckInfo(checkInfo);

  // 2. Every root move, best first.
  for (int32_t i = 0; i < count; ++i) {
    Move m = SearchState.RootMoves[i].Move;
    // 2.1 Announce the move once the search has run long enough for an interface to care.
    SearchState.RootDistance = 0;
    if (Settings.MinTimeToShowMoveStats < 0 || ElapsedMs() >= static_cast<uint64_t>(Settings.MinTimeToShowMoveStats))
      PrintLine("info depth " + std::to_string(SearchState.IterationDepth) + " currmovenumber " +
                std::to_string(i + 1) + " info currmove " + MoveText(m));
    // 2.2 A check that does not lose material is searched a ply deeper.
    bool givesCheck = GivesCheck(m, checkInfo);
    int32_t newDepth = depth - 1 + (givesCheck && IsSafeCheck(m, checkInfo) ? 1 : 0);
    // 2.3 Make the move, recording it for the children's histories.
    int32_t movedPiece = PieceOn(FromSquare(m));
    UndoInfo undo;
    SaveUndoInfo(undo);
    MakeMove(m, undo, givesCheck);
    root.MoveCount = i + 1;
    root.ContHist = ContinuationOf(movedPiece, ToSquare(m));
    root.CurrentMove = m;

    // 2.4 Search it: the first move with the full window, the others with a zero window
    // (reduced when late and quiet) and again with the full window when they beat alpha.
    int32_t value = -SCORE_INFINITE;
    if (i == 0) {
      value = -Search(-beta, -alpha, newDepth, 2, child, {.Pv = true});
    } else {
      bool full = true;
      if (depth > 2 && i > 2 && IsQuiet(m)) {
        int32_t r = Reductions[1][depth][i + 1] - (rootTactical ? 1 : 2);
        // A piece that could not safely go back has likely escaped a threat: search it deeper.
        if (TypeOf(movedPiece) != PAWN && TypeOf(movedPiece) != KING && StaticExchangeValue(ReverseMove(m)) < 0) r -= 2;
        if (r > 0) {
          value = -Search(-alpha - 1, -alpha, std::max(newDepth - r, 1), 2, child, {.Cut = true});
          full = value > alpha;
        }
      }
      if (full) value = -Search(-alpha - 1, -alpha, newDepth, 2, child, {.Cut = true});
      if (value > alpha) {
        // A new best move: the position is less clear than it looked, so take the extra time.
        SearchLimits.TimeLimit = SearchLimits.MaxTime;
        value = -Search(-beta, -alpha, newDepth, 2, child, {.Pv = true});
      }
    }
    // 2.5 Take the move back; a stopped search's values are partial, so stop here too.
    UnmakeMove(m, undo);
    if (SearchState.Stopped) break;

    // 2.6 The first move, and any that beats alpha, becomes the answer a stop would give now.
    if (i == 0 || value > alpha) {
      SearchState.BestScore = value;
      SearchState.BestMove = m;
      SearchState.CompletedDepth = depth;
      SearchState.RootPV.Count = 1;
      SearchState.RootPV.Moves[0] = m;
    }
    // 2.7 A better move raises alpha and takes the line; beating beta ends the loop.
    if (value > bestValue) {
      bestValue = value;
      if (value > alpha) {
        best = m;
        AppendLine(line, m, child);
        if (value >= beta) break;
        alpha = value;
      }
    }
    // 2.8 Remember the quiets tried, so that the history can blame them when another move wins.
    if (IsQuiet(m) && m != best) quiets[quietCount++] = m;
  }

  // 3. A stopped search learns nothing; otherwise a quiet best move teaches the histories.
  if (SearchState.Stopped) return 0;
  if (best != MOVE_NONE && IsQuiet(best))
    UpdateQuietStats(best, MOVE_NONE, depth, 1, quiets, quietCount, bestValue - beta);
  return bestValue;
}

void IterativeDeepening() {
  // 1. Nothing found yet, and the full window.
  SearchState.BestMove = MOVE_NONE;
  SearchState.BestScore = -SCORE_INFINITE;
  SearchState.IterationDepth = 0;
  int32_t score = -SCORE_INFINITE;
  int32_t alpha = -SCORE_INFINITE;
  int32_t beta = SCORE_INFINITE;
  Move previousBest = MOVE_NONE;

  // 2. One iteration per depth: each fills the table and the histories that order the next.
  while (SearchState.IterationDepth < SearchLimits.MaxDepth) {
    // 2.1 Next depth; from ASPIRATION_FIRST_DEPTH on, a narrow window around the last score.
    ++SearchState.IterationDepth;
    int32_t delta = ASPIRATION_DELTA;
    if (SearchState.IterationDepth >= ASPIRATION_FIRST_DEPTH) {
      alpha = std::max(score - delta, -SCORE_INFINITE);
      beta = std::min(score + delta, SCORE_INFINITE);
    }

    // 2.2 Aspiration: widen the window on the failing side until the score falls inside it.
    int32_t failHighs = 0;
    bool reportLow = false;
    Move best = MOVE_NONE;
    for (;;) {
      if (reportLow) PrintInfo(score, SearchState.RootPV, INFO_UPPER_BOUND);
      score = SearchRoot(alpha, beta, std::max(SearchState.IterationDepth - failHighs, 1), SearchState.RootMoveCount,
                         SearchState.RootPV, best);
      if (SearchState.Stopped) return;
      // A move that beat alpha leads the next attempt and is the answer so far.
      if (best != MOVE_NONE) {
        SearchState.BestMove = best;
        OrderRootMoves(best, 0, SearchState.RootMoveCount - 1);
        SearchState.BestScore = score;
      }
      if (alpha < score && score < beta) break;
      if (score >= beta) {
        // A fail high is usually confirmed sooner at a slightly lower depth.
        reportLow = false;
        PrintInfo(score, SearchState.RootPV, INFO_LOWER_BOUND);
        beta = std::min(score + delta, SCORE_INFINITE);
        ++failHighs;
      } else {
        reportLow = true;
        beta = (alpha + beta) / 2;
        alpha = std::max(score - delta, -SCORE_INFINITE);
        failHighs = 0;
      }
      // An unstable score is worth the extended budget, and a wider window next time.
      SearchLimits.TimeLimit = SearchLimits.MaxTime;
      delta += delta / 4 + 10;
    }

    // 2.3 The iteration is complete: show it, and its result stands.
    PrintInfo(score, SearchState.RootPV, INFO_EXACT);
    SearchState.CompletedDepth = SearchState.IterationDepth;
    SearchState.BestScore = score;

    // 2.4 A stable best move needs only the base budget; one that changed gets the extended one.
    // An iteration that would not finish in what is left is not started.
    SearchLimits.TimeLimit = best == previousBest ? SearchLimits.OptimumTime : SearchLimits.MaxTime;
    if (SearchLimits.TimeLimit != SearchLimits.MaxTime &&
        static_cast<double>(ElapsedMs()) > NEXT_ITERATION_SHARE * SearchLimits.TimeLimit)
      return;

    // 2.5 Mates: a shown mate in one, being mated in one, or a mate in two need no deeper search.
    int32_t matedIn = (score + SCORE_MATE) / 2;
    int32_t mateIn = (SCORE_MATE - score) / 2;
    if (matedIn == 0 || (mateIn == 1 && FirstMove(SearchState.RootPV) == SearchState.LastInfoMove) || matedIn == 1)
      return;
    previousBest = best;
    if (mateIn == 2) return;
  }
}

void Think() {
  StartSearch();
  // The selective depth and the last line shown belong to this search only: a line equal to
  // the previous search's last one is still this search's news.
  SearchState.SelDepth = 0;
  SearchState.LastInfoDepth = 0;
  SearchState.LastInfoMove = MOVE_NONE;
  SearchState.LastInfoScore = 0;
  SearchState.RootPV.Count = 0;
  SearchState.RootMoveCount = GenerateLegalMoves(0, SearchState.RootMoves);
  SearchState.IterationDepth = 0;
  if (SearchState.RootMoveCount == 0) {
    SearchState.BestMove = MOVE_NONE;
    PrintLine(std::string("info depth 0 score ") + (Position.Checkers ? "mate" : "cp") + " 0\r\nbestmove (none)");
    return;
  }
  // With one legal move there is nothing to think about: play it at the first poll.
  if (SearchState.RootMoveCount == 1) {
    SearchLimits.TimeLimit = 0;
    SearchLimits.MaxTime = 0;
    SearchLimits.OptimumTime = 0;
  }
  IterativeDeepening();
  // An interface's infinite search is answered on "stop" only, also when it ended sooner.
  AwaitStop();
  // Stopped before any root move finished, the search has no score: the final line shows the
  // move about to be named, valued by the evaluation after it, not an absent score read as a mate.
  if (SearchState.BestMove == MOVE_NONE) {
    SearchState.BestMove = SearchState.RootMoves[0].Move;
    SearchState.BestScore = OnePlyScore(SearchState.BestMove);
    SearchState.RootPV.Count = 1;
    SearchState.RootPV.Moves[0] = SearchState.BestMove;
  }
  PrintInfo(SearchState.BestScore, SearchState.RootPV, INFO_FINAL);
  PrintLine("bestmove " + MoveText(SearchState.BestMove));
}
