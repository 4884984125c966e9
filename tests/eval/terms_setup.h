#pragma once
// What the tests of the piece, king, passed-pawn, threat and space terms share: a position
// prepared as the evaluation sees it when the terms run, and readable score pairs.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

#include "board/board_setup.h"
#include "eval/attackmaps.h"
#include "eval/pawns.h"

// (middle game, endgame), so that a failed comparison prints both halves.
using Halves = std::pair<int32_t, int32_t>;
inline Halves HalvesOf(PackedScore s) { return {MgValue(s), EgValue(s)}; }

class TermsTest : public BoardTest {
 protected:
  // Position set up, its pawn entry current and the work areas initialised.
  static void Prepare(const std::string& fen) {
    ASSERT_EQ(ReadFen(fen), "") << fen;
    ProbePawns();
    InitEvaluation();
  }
  // White's part of the term in the position, prepared as the term sees it.
  static Halves WhiteScore(ScorePair (*term)(), const std::string& fen) {
    Prepare(fen);
    return HalvesOf(term()[WHITE]);
  }
  // The same, with the attack maps completed by the four piece functions.
  static void PrepareMaps(const std::string& fen) {
    Prepare(fen);
    EvaluateKnights();
    EvaluateBishops();
    EvaluateRooks();
    EvaluateQueens();
  }
};

inline Bitboard SquareSet(std::initializer_list<const char*> names) {
  Bitboard set = 0;
  for (const char* name : names) set |= Bitboard{1} << ParseSquare(name);
  return set;
}
