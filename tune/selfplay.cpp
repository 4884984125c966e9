// Self-play games: the engine searches for both sides through the interpreter's "go nodes",
// as a chess interface would ask it to, and plays its best move through move input.
#include "tune/selfplay.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>

#include "board/board.h"
#include "search/search.h"
#include "shell/shell.h"

namespace {

constexpr int32_t FIFTY_MOVE_PLIES = 100;

// The key as the repetition rule compares positions: an en-passant square that no pawn can
// take on does not make a position different (the engine keys every double step).
uint64_t RepetitionKey() {
  uint64_t key = Position.Key;
  int32_t square = Position.EpSquare;
  int32_t us = Position.SideToMove;
  if (square != NO_SQUARE && !(PawnAttacks[us ^ 1][square] & PiecesOf(us, PAWN))) key ^= HashKeys.EpKeys[square];
  return key;
}

// The engine's FEN with the move number in place of its fixed 0, as the shared tuning data has it.
std::string SampleFen() {
  std::string fen = WriteFen();
  return fen.substr(0, fen.rfind(' ') + 1) + std::to_string(std::max(Position.GamePly / 2, 1));
}

// Sets the end and result the rules give the current position; false when play goes on.
// keys holds the repetition key of every position of the game so far, this one last.
bool EndByRules(const std::vector<uint64_t>& keys, PlayedGame& game) {
  MoveList moves;
  if (GenerateLegalMoves(0, moves) == 0) {
    game.End = Position.Checkers ? GameEnd::CHECKMATE : GameEnd::STALEMATE;
    game.Result = !Position.Checkers ? DRAWN : Position.SideToMove == WHITE ? BLACK_WON : WHITE_WON;
    return true;
  }
  if (Position.HalfmoveClock >= FIFTY_MOVE_PLIES)
    game.End = GameEnd::FIFTY_MOVES;
  else if (std::count(keys.begin(), keys.end(), keys.back()) >= 3)
    game.End = GameEnd::REPETITION;
  else if (IsInsufficientMaterial())
    game.End = GameEnd::INSUFFICIENT_MATERIAL;
  else
    return false;
  game.Result = DRAWN;
  return true;
}

}  // namespace

bool IsInsufficientMaterial() {
  if (Position.PieceBB[PAWN] | Position.PieceBB[ROOK] | Position.PieceBB[QUEEN]) return false;
  Bitboard bishops = Position.PieceBB[BISHOP];
  if (!MoreThanOne(Position.PieceBB[KNIGHT] | bishops)) return true;
  return !Position.PieceBB[KNIGHT] && (!(bishops & DARK_SQUARES) || !(bishops & ~DARK_SQUARES));
}

PlayedGame PlayGame(const Opening& opening, int32_t nodes, const AdjudicationRules& rules) {
  PlayedGame game;
  NewGame();
  if (!opening.Fen.empty() && !SetBoard(opening.Fen, false)) return game;
  std::vector<uint64_t> keys{RepetitionKey()};
  for (const std::string& text : opening.Moves) {
    if (!PlayMoveText(text)) return game;
    keys.push_back(RepetitionKey());
  }
  game.Plies = static_cast<int32_t>(opening.Moves.size());

  const std::string go = "go nodes " + std::to_string(nodes);
  int32_t winStreak = 0;  // plies in a row beyond the win score: positive for White, negative for Black
  int32_t drawStreak = 0;
  for (;; ++game.Plies) {
    if (EndByRules(keys, game)) return game;
    if (game.Plies >= rules.MaxPlies || GameHistoryCount >= GAME_HISTORY_CAPACITY) {
      game.End = GameEnd::PLY_LIMIT;
      game.Result = DRAWN;
      return game;
    }
    ExecuteCommand(go);
    int32_t score = SearchState.BestScore;
    // A lone legal move is played at the first poll, possibly before any score is known.
    if (score == -SCORE_INFINITE) {
      winStreak = drawStreak = 0;
    } else {
      int32_t forWhite = Position.SideToMove == WHITE ? score : -score;
      if (std::abs(score) > SCORE_MATE_THRESHOLD) {
        game.End = GameEnd::MATE_SCORE;
        game.Result = forWhite > 0 ? WHITE_WON : BLACK_WON;
        return game;
      }
      if (!Position.Checkers) game.Samples.push_back({SampleFen(), forWhite});
      winStreak = forWhite > rules.WinScore    ? std::max(winStreak, 0) + 1
                  : forWhite < -rules.WinScore ? std::min(winStreak, 0) - 1
                                               : 0;
      drawStreak = std::abs(score) <= rules.DrawScore ? drawStreak + 1 : 0;
      if (std::abs(winStreak) >= rules.WinPlies) {
        game.End = GameEnd::WIN_SCORE;
        game.Result = winStreak > 0 ? WHITE_WON : BLACK_WON;
        return game;
      }
      if (drawStreak >= rules.DrawPlies && game.Plies >= rules.DrawFromPly) {
        game.End = GameEnd::DRAW_SCORE;
        game.Result = DRAWN;
        return game;
      }
    }
    [[maybe_unused]] bool played = PlayMoveText(MoveText(SearchState.BestMove));
    assert(played);
    keys.push_back(RepetitionKey());
  }
}

std::string PositionLine(const Sample& sample, GameResult result, int64_t game) {
  return sample.Fen + " | " + std::string(ResultTexts[result]) + " | " + std::to_string(game) + " | " +
         std::to_string(sample.Score);
}
