// Perft counts against the reference suite, with and without the cache, and the split of divide.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "board/board.h"
#include "board/board_setup.h"
#include "console/capture.h"
#include "tools/perft.h"
#include "tools/perft_lines.h"

namespace {

using namespace perft_lines;

const std::string StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

struct SuiteLine {
  std::string Fen;
  std::vector<uint64_t> Counts;  // [0] for depth 1
};

// The quick suite, read here with its own small parser: "<fen> ;D1 n ;D2 n ...".
std::vector<SuiteLine> QuickSuite() {
  std::vector<SuiteLine> suite;
  std::ifstream file(TAVRIN_DATA_DIR "/perft-quick.epd");
  for (std::string line; std::getline(file, line);) {
    size_t cut = line.find(';');
    if (cut == std::string::npos) continue;
    SuiteLine entry{Trim(line.substr(0, cut)), {}};
    for (size_t at = cut; at != std::string::npos; at = line.find(';', at + 1))
      entry.Counts.push_back(std::stoull(line.substr(line.find(' ', at) + 1)));
    suite.push_back(entry);
  }
  return suite;
}

class PerftTest : public BoardTest {
 protected:
  void SetUp() override { ASSERT_TRUE(SetBoard(StartFen, false)); }
  void TearDown() override { FreePerftCache(); }
};

TEST_F(PerftTest, QuickSuiteCountsWithTheCache) {
  std::vector<SuiteLine> suite = QuickSuite();
  ASSERT_EQ(suite.size(), 22u);
  AllocatePerftCache();
  for (const SuiteLine& line : suite) {
    ASSERT_TRUE(SetBoard(line.Fen, false)) << line.Fen;
    uint64_t key = Position.Key;
    for (size_t d = 0; d < line.Counts.size(); ++d)
      EXPECT_EQ(Perft(static_cast<int32_t>(d + 1)), line.Counts[d]) << line.Fen << " depth " << d + 1;
    EXPECT_EQ(Position.Key, key) << line.Fen;
  }
}

TEST_F(PerftTest, CountsAreTheSameWithoutTheCacheAndOnASecondCachedRun) {
  EXPECT_EQ(Perft(4), 197281u);
  AllocatePerftCache();
  EXPECT_EQ(Perft(4), 197281u);
  EXPECT_EQ(Perft(4), 197281u);  // now every depth-1 node is a cache hit
  EXPECT_EQ(Perft(1), 20u);
}

TEST_F(PerftTest, DivideRowsAddUpToThePerftCountAndPromotionsWidenTheirRow) {
  // White's pawn on b7 promotes at the root, Black's on b2 one ply later.
  SuiteLine line;
  for (const SuiteLine& entry : QuickSuite())
    if (entry.Fen.rfind("r3k2r/1P6/", 0) == 0) line = entry;
  ASSERT_TRUE(SetBoard(line.Fen, false));
  std::string out = CaptureOutput([] { Divide(3); });
  uint64_t sum = 0;
  int rows = 0, promotions = 0;
  for (size_t start = 0, end; (end = out.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string row = out.substr(start, end - start);
    if (row.rfind(V + " ", 0) != 0) break;  // the total block follows the rows
    ++rows;
    bool promotion = row[6] != ' ';  // a fifth letter after the two squares
    promotions += promotion;
    EXPECT_EQ(row.size(), promotion ? 34u : 33u) << row;
    std::string digits;
    for (char c : row.substr(promotion ? 11 : 10, 14))
      if (c != ' ' && c != ',') digits += c;
    sum += std::stoull(digits);
  }
  EXPECT_EQ(rows, static_cast<int>(line.Counts.at(0)));
  EXPECT_EQ(promotions, 8);  // b8 and bxa8, four pieces each
  EXPECT_EQ(sum, line.Counts.at(2)) << line.Fen;
}

}  // namespace
