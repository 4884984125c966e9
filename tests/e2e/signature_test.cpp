// The node-count fingerprint of the search: fixed shallow searches from fresh games whose node
// total changes exactly when search or evaluation behaviour changes. A deliberate change
// regenerates the file with TAVRIN_UPDATE_SIGNATURE=1.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "e2e/harness.h"

namespace {

constexpr int SIGNATURE_DEPTH = 14;
// The first ten positions of the standard perft suite: the start, Kiwipete and eight more, kept
// here so the fingerprint does not depend on a data file outside the repository.
constexpr const char* SIGNATURE_FENS[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ - 0 1",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    "r6r/1b2k1bq/8/8/7B/8/8/R3K2R b KQ - 3 2",
    "8/8/8/2k5/2pP4/8/B7/4K3 b - d3 0 3",
    "r1bqkbnr/pppppppp/n7/8/8/P7/1PPPPPPP/RNBQKBNR w KQkq - 2 2",
};
const std::string SIGNATURE_FILE = TAVRIN_SOURCE_DIR "/tests/e2e/bench_signature.txt";

int64_t FinalNodes(const std::string& output) {
  for (const std::string& line : Lines(output)) {
    size_t at = line.find(" nodes ");
    if (line.find(" hashfull ") != std::string::npos && at != std::string::npos) return std::stoll(line.substr(at + 7));
  }
  return -1;
}

TEST(Signature, NodeTotalOfTheFixedSearchesIsTheRecordedOne) {
  Engine engine;
  int64_t total = 0;
  for (const std::string fen : SIGNATURE_FENS) {
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
