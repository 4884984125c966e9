#pragma once
// Random games from every position of the perft suite (fixed seeds), with null moves mixed in.
// After every make and unmake the position record must equal the one FEN set-up builds from
// scratch for the same position, and every unmake must restore the record exactly.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/board_setup.h"
#include "search/state.h"

// The first field in which two records differ, or empty. GamePly, CapturedPiece and
// PliesFromNull count history, which a FEN set-up cannot know: compareHistory leaves them out.
inline std::string RecordDifference(const PositionRecord& a, const PositionRecord& b, bool compareHistory) {
  auto same = [](const auto& x, const auto& y) { return std::memcmp(&x, &y, sizeof x) == 0; };
  if (a.SideToMove != b.SideToMove) return "SideToMove";
  if (!same(a.PieceBB, b.PieceBB)) return "PieceBB";
  if (!same(a.ColourBB, b.ColourBB)) return "ColourBB";
  if (!same(a.Squares, b.Squares)) return "Squares";
  if (!same(a.KingSquare, b.KingSquare)) return "KingSquare";
  if (a.Occupied != b.Occupied) return "Occupied";
  if (a.EpSquare != b.EpSquare) return "EpSquare";
  if (a.CastlingRights != b.CastlingRights) return "CastlingRights";
  if (a.HalfmoveClock != b.HalfmoveClock) return "HalfmoveClock";
  if (a.Checkers != b.Checkers) return "Checkers";
  if (a.Key != b.Key) return "Key";
  if (a.PawnKey != b.PawnKey) return "PawnKey";
  if (a.MaterialKey != b.MaterialKey) return "MaterialKey";
  if (!same(a.NonPawnMaterial, b.NonPawnMaterial)) return "NonPawnMaterial";
  if (a.PsqMg != b.PsqMg) return "PsqMg";
  if (a.PsqEg != b.PsqEg) return "PsqEg";
  if (!compareHistory) return {};
  if (a.GamePly != b.GamePly) return "GamePly";
  if (a.CapturedPiece != b.CapturedPiece) return "CapturedPiece";
  if (a.PliesFromNull != b.PliesFromNull) return "PliesFromNull";
  return {};
}

// The record ReadFen builds for WriteFen of the current position; Position is left as it was.
inline PositionRecord FromScratch() {
  PositionRecord current = Position;
  std::string fen = WriteFen();
  std::string error = ReadFen(fen);
  EXPECT_EQ(error, "") << fen;
  PositionRecord scratch = Position;
  Position = current;
  return scratch;
}

inline std::string MoveName(Move move) {
  std::string text = SquareName(FromSquare(move));
  if (IsCapture(move)) text += 'x';
  text += SquareName(ToSquare(move));
  if (PromotionType(move)) text += PieceChars[6 - PromotionType(move)];
  return text;
}

// Plays walks random games of up to plies moves from every suite position and calls visit()
// at every position reached, the first one included. About one move in eight is a null move
// when the side to move is not in check. Stops at the first failure.
template <typename Visit>
void WalkSuitePositions(int32_t walks, int32_t plies, Visit visit) {
  struct Step {
    Move Played;  // 0 for a null move
    UndoInfo Undo;
    PositionRecord Before;
  };
  std::vector<std::string> fens = PerftSuiteFens();
  for (size_t line = 0; line < fens.size(); ++line) {
    for (int32_t walk = 0; walk < walks; ++walk) {
      std::mt19937 random(static_cast<uint32_t>(line * 100 + walk));
      ASSERT_EQ(ReadFen(fens[line]), "");
      SearchState.RootDistance = 0;
      std::string path = fens[line] + " moves";
      SCOPED_TRACE(fens[line]);
      int32_t gamePly = Position.GamePly;
      int32_t pliesFromNull = Position.PliesFromNull;
      int32_t movesMade = 0;
      std::vector<Step> steps;
      visit();
      for (int32_t ply = 0; ply < plies && !::testing::Test::HasFailure(); ++ply) {
        MoveList moves;
        int32_t count = GenerateLegalMoves(0, moves);
        if (count == 0) break;
        Step step{MOVE_NONE, {}, Position};
        SaveUndoInfo(step.Undo);
        int32_t captured = Position.CapturedPiece;
        if (!Position.Checkers && random() % 8 == 0) {
          MakeNullMove();
          pliesFromNull = 0;
          path += " null";
        } else {
          step.Played = moves[random() % count].Move;
          int32_t to = ToSquare(step.Played);
          int32_t passedPawn = MakePiece(Position.SideToMove ^ 1, PAWN);
          captured = !IsCapture(step.Played) ? NO_PIECE : PieceOn(to) != NO_PIECE ? PieceOn(to) : passedPawn;
          CheckInfo checkInfo;
          ComputeCheckInfo(checkInfo);
          MakeMove(step.Played, step.Undo, GivesCheck(step.Played, checkInfo));
          ++gamePly;
          ++pliesFromNull;
          ++movesMade;
          path += " " + MoveName(step.Played);
        }
        steps.push_back(step);
        SCOPED_TRACE(path);
        EXPECT_EQ(RecordDifference(Position, FromScratch(), false), "");
        EXPECT_EQ(Position.GamePly, gamePly);
        EXPECT_EQ(Position.CapturedPiece, captured);
        EXPECT_EQ(Position.PliesFromNull, pliesFromNull);
        EXPECT_EQ(SearchState.RootDistance, movesMade);
        visit();
      }
      while (!steps.empty()) {
        const Step& step = steps.back();
        if (step.Played)
          UnmakeMove(step.Played, step.Undo);
        else
          UnmakeNullMove(step.Undo);
        EXPECT_EQ(RecordDifference(Position, step.Before, true), "")
            << "taking back step " << steps.size() << " of" << path;
        EXPECT_EQ(RecordDifference(Position, FromScratch(), false), "")
            << "taking back step " << steps.size() << " of" << path;
        steps.pop_back();
      }
      EXPECT_EQ(SearchState.RootDistance, 0);
      if (::testing::Test::HasFailure()) return;
    }
  }
}
