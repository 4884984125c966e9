// The benchmark: fixed positions searched to fixed depths through the ordinary commands.
#include "tools/bench.h"

#include <string>

#include "board/board.h"
#include "console/console.h"
#include "platform/platform.h"
#include "search/search.h"
#include "shell/shell.h"
#include "tools/tools.h"

void PrintBenchResults(const BenchResult (&results)[BENCH_POSITION_COUNT]) {
  TableTitle("BENCHMARK RESULTS", {Align::LEFT, Align::LEFT, Align::RIGHT, Align::RIGHT, Align::LEFT});
  TableHeader({"#", "time", "move", "expected", "result"});
  uint64_t total = 0;
  int32_t correct = 0;
  for (int32_t i = 0; i < BENCH_POSITION_COUNT; ++i) {
    std::string found = MoveText(results[i].Found);
    bool right = found == BenchPositions[i].Expected;
    correct += right ? 1 : 0;
    total += results[i].TimeMs;
    TableRow({std::to_string(i + 1), FormatDuration(static_cast<uint32_t>(results[i].TimeMs)), found,
              std::string(BenchPositions[i].Expected), right ? "CORRECT" : "*WRONG*"});
  }
  TableRow({"", FormatDuration(static_cast<uint32_t>(total)), "", "",
            std::to_string(correct) + "/" + std::to_string(BENCH_POSITION_COUNT)});
  PrintTable();
}

void Bench() {
  WriteLine();
  BenchResult results[BENCH_POSITION_COUNT];
  for (int32_t i = 0; i < BENCH_POSITION_COUNT; ++i) {
    NewGame();
    ExecuteCommand("position fen " + std::string(BenchPositions[i].Fen));
    ExecuteCommand("go depth " + std::to_string(BenchPositions[i].Depth));
    results[i] = {ElapsedMs(), SearchState.BestMove};
  }
  WriteLine();
  PrintBenchResults(results);
}
