#pragma once
// Inside the tools room: the benchmark's positions and its results table.

#include <cstdint>
#include <iterator>
#include <string_view>

#include "board/types.h"

struct BenchPosition {
  std::string_view Fen;
  int32_t Depth;
  std::string_view Expected;  // the known best move, coordinate text
};

// Two middle games and two endgames, each searched on its own to its depth.
inline constexpr BenchPosition BenchPositions[] = {
    {"1qr3k1/p2nbppp/bp2p3/3p4/3P4/1P2PNP1/P2Q1PBP/1N2R1K1 b - -", 23, "b8c7"},
    {"1q2r1k1/1b2bpp1/p2ppn1p/2p5/P3PP1B/2PB1RP1/2P1Q2P/2KR4 b - -", 24, "c5c4"},
    {"2r5/1r6/4pNpk/3pP1qp/8/2P1QP2/5PK1/R7 w - -", 27, "f6g4"},
    {"6r1/1p2Q1pk/2p2p1p/n2p1P1P/p2P4/P1P1P3/1P1KR3/q2N4 b - -", 28, "a1b1"},
};
inline constexpr int32_t BENCH_POSITION_COUNT = static_cast<int32_t>(std::size(BenchPositions));

// What one search of the benchmark gave.
struct BenchResult {
  uint64_t TimeMs;
  Move Found;
};

// The results table: each position's time, move found, expected move and verdict, then the
// total time and the count of correct moves.
void PrintBenchResults(const BenchResult (&results)[BENCH_POSITION_COUNT]);
