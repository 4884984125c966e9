// Evaluations per second over a fixed mix of middle-game and endgame positions, reached by
// random play (fixed seed) from the book openings, with the pawn and material caches warm.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "board/board.h"
#include "eval/eval.h"
#include "eval/game_positions.h"

namespace {

constexpr int32_t ENDGAME_MATERIAL = 6000;  // non-pawn material of both sides below which we call it an endgame

struct Sample {
  std::vector<PositionRecord> Positions;
  int32_t Endgames = 0;
};

// From each opening, 0..99 random plies on; with balanced, only positions whose piece-square
// sums are within the first lazy margin, so that every term is computed.
Sample BuildSample(bool balanced) {
  InitAttackTables();
  InitHashKeys();
  InitPieceSquareTable();
  Sample sample;
  std::mt19937 random(12345);
  for (const std::string& fen : OpeningFens(10)) {
    ReadFen(fen);
    const int32_t plies = std::uniform_int_distribution<int32_t>(0, 99)(random);
    for (int32_t ply = 0; ply < plies && PlayRandomMove(random); ++ply) {}
    const int32_t material = Position.NonPawnMaterial[WHITE] + Position.NonPawnMaterial[BLACK];
    if (balanced && std::abs(Position.PsqMg + Position.PsqEg) / 2 > 600 + material / 64) continue;
    sample.Positions.push_back(Position);
    if (material < ENDGAME_MATERIAL) ++sample.Endgames;
  }
  return sample;
}

void Evaluations(benchmark::State& state, bool balanced) {
  const Sample sample = BuildSample(balanced);
  const std::vector<PositionRecord>& positions = sample.Positions;
  for (const PositionRecord& p : positions) {  // warm the caches
    Position = p;
    benchmark::DoNotOptimize(Evaluate());
  }
  size_t next = 0;
  for (auto _ : state) {
    Position = positions[next];
    benchmark::DoNotOptimize(Evaluate());
    if (++next == positions.size()) next = 0;
  }
  state.SetItemsProcessed(state.iterations());
  state.SetLabel(std::to_string(positions.size()) + " positions, " + std::to_string(sample.Endgames) + " endgames");
}

// The cost of the position copy that each measured evaluation includes.
void PositionCopies(benchmark::State& state) {
  const std::vector<PositionRecord> positions = BuildSample(false).Positions;
  size_t next = 0;
  for (auto _ : state) {
    Position = positions[next];
    benchmark::DoNotOptimize(Position);
    if (++next == positions.size()) next = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK_CAPTURE(Evaluations, RandomPlay, false);
BENCHMARK_CAPTURE(Evaluations, AllTermsComputed, true);
BENCHMARK(PositionCopies);
