#pragma once
// One self-play game with the engine's own search: a book opening, a fixed node budget a
// move, the ends the rules give, adjudication, and the positions kept for tuning.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tune/book.h"

// Scores are evaluation units (a pawn is 124 in the middle game, 206 in the endgame).
struct AdjudicationRules {
  int32_t WinScore = 1000;  // won when beyond this for WinPlies plies in a row, both sides agreeing
  int32_t WinPlies = 4;
  int32_t DrawScore = 20;  // drawn when within this for DrawPlies plies in a row, from ply DrawFromPly
  int32_t DrawPlies = 8;
  int32_t DrawFromPly = 80;
  int32_t MaxPlies = 400;  // drawn when the game reaches this many plies
};

// Indexes ResultTexts: the result from White's point of view.
enum GameResult : int32_t { BLACK_WON, DRAWN, WHITE_WON, RESULT_NB };
inline constexpr std::string_view ResultTexts[RESULT_NB] = {"0.0", "0.5", "1.0"};

enum class GameEnd : uint8_t {
  CHECKMATE,
  STALEMATE,
  REPETITION,
  FIFTY_MOVES,
  INSUFFICIENT_MATERIAL,  // the rules
  MATE_SCORE,
  WIN_SCORE,
  DRAW_SCORE,
  PLY_LIMIT,    // adjudication
  BAD_OPENING,  // not played
  END_NB
};
inline constexpr std::string_view GameEndNames[static_cast<int32_t>(GameEnd::END_NB)] = {
    "checkmate",  "stalemate", "repetition", "fifty moves", "insufficient material",
    "mate score", "win score", "draw score", "ply limit",   "bad opening"};

// A position before its move was played, with the searched score from White's point of view.
struct Sample {
  std::string Fen;
  int32_t Score;
};

struct PlayedGame {
  GameResult Result = DRAWN;
  GameEnd End = GameEnd::BAD_OPENING;
  int32_t Plies = 0;            // played from the opening's position, book moves included
  std::vector<Sample> Samples;  // every position after the book with the mover not in check
};

// Plays a game from the opening, searching nodes a move; leaves Position at its last position.
// Positions scored as mates are not sampled.
PlayedGame PlayGame(const Opening& opening, int32_t nodes, const AdjudicationRules& rules);

// Whether neither side can ever mate: bare kings and at most one minor piece, or bishops only,
// all on squares of one colour.
bool IsInsufficientMaterial();

// "<FEN> | <result> | <game> | <score>", the line format of the tuning data.
std::string PositionLine(const Sample& sample, GameResult result, int64_t game);
