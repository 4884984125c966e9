// Perft counts of the whole suite, up to about a million leaves per line; the deep counts run
// under the slow label.
#include "board/board_setup.h"
#include "board/perft_suite.h"

namespace {

constexpr uint64_t FAST_LEAF_LIMIT = 1'000'000;

class PerftSuite : public BoardTest, public ::testing::WithParamInterface<PerftLine> {};

TEST_P(PerftSuite, CountsMatchUpToAMillionLeaves) { ExpectPerftCounts(GetParam(), FAST_LEAF_LIMIT); }

INSTANTIATE_TEST_SUITE_P(PerftEpd, PerftSuite, ::testing::ValuesIn(ReadPerftSuite()),
                         [](const auto& info) { return "Line" + std::to_string(info.param.Number); });

}  // namespace
