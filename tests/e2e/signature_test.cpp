// The node-count fingerprint of the search: fixed shallow searches from fresh games whose node
// total changes exactly when search or evaluation behaviour changes. A deliberate change
// regenerates the file with TAVRIN_UPDATE_SIGNATURE=1.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "e2e/harness.h"

namespace {

constexpr int SIGNATURE_DEPTH = 14;
constexpr size_t SUITE_POSITIONS = 10;  // the first lines of the perft suite: start, Kiwipete and eight more
const std::string SIGNATURE_FILE = TAVRIN_SOURCE_DIR "/tests/e2e/bench_signature.txt";

std::vector<std::string> SignatureFens() {
  std::vector<std::string> fens;
  std::ifstream file(TAVRIN_DATA_DIR "/perft.epd");
  for (std::string line; fens.size() < SUITE_POSITIONS && std::getline(file, line);) {
    std::string fen = line.substr(0, line.find(';'));
    while (!fen.empty() && fen.back() == ' ') fen.pop_back();
    if (!fen.empty()) fens.push_back(fen);
  }
  return fens;
}

int64_t FinalNodes(const std::string& output) {
  for (const std::string& line : Lines(output)) {
    size_t at = line.find(" nodes ");
    if (line.find(" hashfull ") != std::string::npos && at != std::string::npos) return std::stoll(line.substr(at + 7));
  }
  return -1;
}

TEST(Signature, NodeTotalOfTheFixedSearchesIsTheRecordedOne) {
  std::vector<std::string> fens = SignatureFens();
  ASSERT_EQ(fens.size(), SUITE_POSITIONS);
  Engine engine;
  int64_t total = 0;
  for (const std::string& fen : fens) {
    // One search at a time: lines sent during a search are not commands.
    engine.Send("ucinewgame\nposition fen " + fen + "\ngo depth " + std::to_string(SIGNATURE_DEPTH) + "\n");
    ASSERT_TRUE(engine.WaitFor("bestmove ", 60000)) << fen;
    int64_t nodes = FinalNodes(engine.TakeOutput());
    ASSERT_GT(nodes, 0) << fen;
    total += nodes;
  }
  const char* update = std::getenv("TAVRIN_UPDATE_SIGNATURE");
  if (update && std::string(update) == "1") {
    std::ofstream(SIGNATURE_FILE) << total << "\n";
    GTEST_SKIP() << "signature written: " << total;
  }
  int64_t recorded = -1;
  std::ifstream(SIGNATURE_FILE) >> recorded;
  EXPECT_EQ(total, recorded) << "search behaviour changed; if that is intended, regenerate " << SIGNATURE_FILE
                             << " with TAVRIN_UPDATE_SIGNATURE=1";
}

}  // namespace
