// The benchmark's results table, byte for byte, from chosen times and moves.
#include <gtest/gtest.h>

#include <string>

#include "console/capture.h"
#include "tools/bench.h"
#include "tools/perft_lines.h"

namespace {

using perft_lines::H;
using perft_lines::V;

Move MoveFromText(const char* text) {
  return EncodeMove((text[0] - 'a') + 8 * (text[1] - '1'), (text[2] - 'a') + 8 * (text[3] - '1'));
}

TEST(BenchResults, TimesMovesVerdictsAndTheTotal) {
  // Second and fourth moves differ from the expected c5c4 and a1b1.
  const BenchResult results[BENCH_POSITION_COUNT] = {{1234, MoveFromText("b8c7")},
                                                     {0, MoveFromText("b7e4")},
                                                     {61234, MoveFromText("f6g4")},
                                                     {3723004, MoveFromText("e7f8")}};
  // Widths: "#" 1, "time" 11 (1h02m03.004), "move" 4, "expected" 8, "result" 7 (CORRECT).
  // The columns (47) are wider than the title box (21). Columns: left, left, right, right, left.
  auto row = [](const std::string& n, const std::string& time, const std::string& move, const std::string& expected,
                const std::string& result) {
    return V + " " + n + std::string(2 - n.size(), ' ') + V + " " + time + std::string(12 - time.size(), ' ') + V +
           std::string(5 - move.size(), ' ') + move + " " + V + std::string(9 - expected.size(), ' ') + expected + " " +
           V + " " + result + std::string(8 - result.size(), ' ') + V + "\r\n";
  };
  std::string expected =
      "\xDA" + H(45) + "\xBF\n" + V + " BENCHMARK RESULTS" + std::string(27, ' ') + V + "\n" + "\xC3" + H(3) + "\xC2" +
      H(13) + "\xC2" + H(6) + "\xC2" + H(10) + "\xC2" + H(9) + "\xB4\n" + V + " # " + V + " time        " + V +
      " move " + V + " expected " + V + " result  " + V + "\r\n" + "\xC3" + H(3) + "\xC5" + H(13) + "\xC5" + H(6) +
      "\xC5" + H(10) + "\xC5" + H(9) + "\xB4\n" + row("1", "1.234", "b8c7", "b8c7", "CORRECT") +
      row("2", "0.000", "b7e4", "c5c4", "*WRONG*") + row("3", "1m01.234", "f6g4", "f6g4", "CORRECT") +
      row("4", "1h02m03.004", "e7f8", "a1b1", "*WRONG*") +
      // 1234 + 61234 + 3723004 ms = 1 h 3 min 5.472 s
      row("", "1h03m05.472", "", "", "2/4") + "\xC0" + H(3) + "\xC1" + H(13) + "\xC1" + H(6) + "\xC1" + H(10) + "\xC1" +
      H(9) + "\xD9\n";
  EXPECT_EQ(CaptureOutput([&] { PrintBenchResults(results); }), expected);
}

}  // namespace
