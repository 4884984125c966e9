// The raw speed of move generation and make/unmake: bulk-counting perft without any cache.
#include <benchmark/benchmark.h>

#include <string_view>

#include "board/board.h"
#include "board/leaf_count.h"

namespace {

void Perft(benchmark::State& state, std::string_view fen, int32_t depth, uint64_t expected) {
  InitAttackTables();
  InitHashKeys();
  InitPieceSquareTable();
  if (!ReadFen(fen).empty()) {
    state.SkipWithError("bad FEN");
    return;
  }
  uint64_t leaves = 0;
  for (auto _ : state) {
    leaves = CountLeaves(depth);
    benchmark::DoNotOptimize(leaves);
  }
  if (leaves != expected) state.SkipWithError("wrong leaf count");
  state.counters["leaves/s"] =
      benchmark::Counter(static_cast<double>(leaves), benchmark::Counter::kIsIterationInvariantRate);
}

void LegalMoveList(benchmark::State& state, std::string_view fen) {
  InitAttackTables();
  InitHashKeys();
  InitPieceSquareTable();
  ReadFen(fen);
  MoveList moves;
  for (auto _ : state) benchmark::DoNotOptimize(GenerateLegalMoves(0, moves));
}

constexpr std::string_view KIWIPETE = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";

BENCHMARK_CAPTURE(Perft, StartPosition6, START_FEN, 6, 119'060'324)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(Perft, Kiwipete5, KIWIPETE, 5, 193'690'690)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK_CAPTURE(LegalMoveList, Kiwipete, KIWIPETE);

}  // namespace
