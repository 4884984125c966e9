// Every count of the perft suite, to the deepest depth of each line.
#include "board/board_setup.h"
#include "board/perft_suite.h"

namespace {

class PerftSuiteDeep : public BoardTest, public ::testing::WithParamInterface<PerftLine> {};

TEST_P(PerftSuiteDeep, CountsMatchAtEveryDepth) { ExpectPerftCounts(GetParam(), UINT64_MAX); }

INSTANTIATE_TEST_SUITE_P(PerftEpd, PerftSuiteDeep, ::testing::ValuesIn(ReadPerftSuite()),
                         [](const auto& info) { return "Line" + std::to_string(info.param.Number); });

}  // namespace
