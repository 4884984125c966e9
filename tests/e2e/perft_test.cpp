// Perft, divide and the perft suite through the binary: command line, console commands,
// prompts answered through the pipe, and positions reached by the position command.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <sys/resource.h>

#include "e2e/harness.h"
#include "tools/perft_lines.h"

namespace {

using namespace perft_lines;

const std::string StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
const std::string KiwipeteFen = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -";

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  for (size_t start = 0; start < text.size();) {
    size_t end = std::min(text.find(' ', start), text.size());
    words.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

// What "divide 1" shows of a position: its FEN as written back, and its number of moves.
std::string DivideOne(const std::string& fen, const std::string& moves) {
  return Box("DIVIDE " + fen) + DIVIDE_HEADER + DivideEnd(moves);
}

TEST(PerftCommandLine, StartPositionToDepthFive) {
  int code = -2;
  std::string out = RunEngine("", {.Args = {"perft", "5"}}, &code, 120000);
  EXPECT_EQ(code, 0);
  std::string head = Box("PERFT rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 0") + PERFT_HEADER;
  ASSERT_GE(out.size(), head.size());
  EXPECT_EQ(out.substr(0, head.size()), head);
  EXPECT_EQ(MaskedRows(out), (std::vector<std::string>{MaskedRow(1, "20"), MaskedRow(2, "400"), MaskedRow(3, "8,902"),
                                                       MaskedRow(4, "197,281"), MaskedRow(5, "4,865,609")}));
  EXPECT_EQ(out.substr(out.size() - PERFT_FOOTER.size()), PERFT_FOOTER);
  EXPECT_EQ(Lines(out).size(), 3u + 2u + 5u + 1u);
}

TEST(PerftCommandLine, KiwipeteGivenAsSeparateWordsToDepthFour) {
  std::vector<std::string> args = {"p", "4"};
  for (const std::string& word : Words(KiwipeteFen)) args.push_back(word);
  std::string out = RunEngine("", {.Args = args}, nullptr, 120000);
  std::string head = Box("PERFT " + KiwipeteFen + " 0 0") + PERFT_HEADER;
  EXPECT_EQ(out.substr(0, head.size()), head);
  EXPECT_EQ(MaskedRows(out), (std::vector<std::string>{MaskedRow(1, "48"), MaskedRow(2, "2,039"),
                                                       MaskedRow(3, "97,862"), MaskedRow(4, "4,085,603")}));
}

TEST(PerftCommandLine, NonNumericDepthCountsOnePly) {
  std::string out = RunEngine("", {.Args = {"perft", "deep"}});
  EXPECT_EQ(MaskedRows(out), std::vector<std::string>{MaskedRow(1, "20")});
}

TEST(PerftCommandLine, RejectedFenIsReportedAndTheStartPositionCounted) {
  std::string out = RunEngine("", {.Args = {"perft", "2", "8/8/8/8/8/8/8/8", "w", "-", "-"}});
  EXPECT_EQ(out.rfind("info setboard error ", 0), 0u) << out;
  EXPECT_EQ(MaskedRows(out), (std::vector<std::string>{MaskedRow(1, "20"), MaskedRow(2, "400")}));
}

TEST(PerftCommandLine, WithoutMemoryForTheCacheItSaysSoAndCountsAnyway) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs more address space than the limit leaves";
#endif
  // 200 MB of address space leave no room for the 256 MiB cache.
  std::FILE* pipe = popen("ulimit -v 200000; TAVRIN_CP437=1 '" TAVRIN_BINARY "' perft 3 </dev/null", "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  EXPECT_EQ(pclose(pipe), 0);
  const std::string notice = "info string no memory for the 256 MiB perft cache, counting without it\n";
  EXPECT_EQ(out.substr(0, notice.size()), notice);
  EXPECT_EQ(MaskedRows(out),
            (std::vector<std::string>{MaskedRow(1, "20"), MaskedRow(2, "400"), MaskedRow(3, "8,902")}));
}

TEST(PerftCommandLine, TheCacheIsResidentBeforeTheFirstRowIsTimed) {
  // A depth-1 perft touches one entry: only a cache made resident beforehand shows up whole
  // in the process's peak memory (otherwise its pages are zero-filled inside the timed rows).
  ASSERT_EQ(std::system("'" TAVRIN_BINARY "' perft 1 >/dev/null </dev/null"), 0);
  rusage usage{};
  ASSERT_EQ(getrusage(RUSAGE_CHILDREN, &usage), 0);
  EXPECT_GE(usage.ru_maxrss, 256 * 1024) << "peak resident kilobytes";
}

TEST(PerftConsole, DivideTwoListsEveryMoveInGenerationOrder) {
  std::string expected = Box("DIVIDE rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 0") + DIVIDE_HEADER;
  const char* moves[] = {"b1a3", "b1c3", "g1f3", "g1h3", "a2a3", "b2b3", "c2c3", "d2d3", "e2e3", "f2f3",
                         "g2g3", "h2h3", "a2a4", "b2b4", "c2c4", "d2d4", "e2e4", "f2f4", "g2g4", "h2h4"};
  for (int i = 0; i < 20; ++i)
    expected += V + " " + moves[i] + "  " + V + "             20 " + V + " " + Right(std::to_string(i + 1), 3) + " " +
                V + " \n";
  expected += DivideEnd("400");
  EXPECT_EQ(RunEngine("divide 2\nquit\n"), expected);
  EXPECT_EQ(RunEngine("D   2\n"), expected);
}

TEST(PerftConsole, DepthOutsideTheRangeShowsTheUsageBox) {
  const std::string perft = Box("Usage: perft <1..127>"), divide = Box("Usage: divide <1..127>");
  EXPECT_EQ(RunEngine("perft 0\nperft\np x\nPERFT 128\n"), perft + perft + perft + perft);
  EXPECT_EQ(RunEngine("divide 0\nd -3\n"), divide + divide);
  EXPECT_EQ(RunEngine("perf 2\nperfts 2\nisready\n"), "readyok\n");  // no command of that name
}

TEST(PositionCommand, MovesAreAppliedInCoordinatesOrSan) {
  const std::string afterNf3 = DivideOne("rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 1 0", "29");
  EXPECT_EQ(RunEngine("position startpos moves e2e4 e7e5 g1f3\ndivide 1\n"), afterNf3);
  EXPECT_EQ(RunEngine("position startpos moves e4 e5 Nf3\ndivide 1\n"), afterNf3);
  EXPECT_EQ(RunEngine("position startpos moves E2E4 e5 nf3\ndivide 1\n"), afterNf3);
  EXPECT_EQ(RunEngine("position fen 8/4P3/8/8/8/8/k7/4K3 w - - 0 1 moves e8=Q\ndivide 1\n"),
            DivideOne("4Q3/8/8/8/8/8/k7/4K3 b - - 0 0", "5"));
}

TEST(PositionCommand, TheFirstIllegalMoveEndsTheList) {
  const std::string afterE4 = DivideOne("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 0", "20");
  EXPECT_EQ(RunEngine("position startpos moves e2e4 e2e4 g1f3\ndivide 1\n"), afterE4);
  EXPECT_EQ(RunEngine("position startpos moves e2e4 e2-e4 g8f6\ndivide 1\n"), afterE4);
  // Every set-up starts from its own FEN: the moves of an earlier line are gone.
  EXPECT_EQ(RunEngine("position startpos moves e2e4\nposition startpos\ndivide 1\n"),
            DivideOne("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 0", "20"));
  // An unknown source word leaves the position alone.
  EXPECT_EQ(RunEngine("position startpos moves e2e4\nposition somewhere moves d2d4\ndivide 1\n"), afterE4);
}

TEST(MoveInput, TypedMovesArePlayedAndTakenBack) {
  const std::string afterE4 = DivideOne("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 0", "20");
  // From a pipe a played move shows no board.
  EXPECT_EQ(RunEngine("e4\ndivide 1\n"), afterE4);
  EXPECT_EQ(RunEngine("e2-e4\nQh5\ndivide 1\n"),
            DivideOne("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 0", "20"));
  // "unmake" takes back one move and shows the board; with nothing to take back it is no command.
  std::string out = RunEngine("position startpos moves e2e4 e7e5\nunmake\ndivide 1\n");
  EXPECT_NE(out.find(afterE4), std::string::npos);
  EXPECT_EQ(out.size() - afterE4.size(), out.find(afterE4));
  EXPECT_GT(out.size(), afterE4.size() + 54 * 80);  // the board came first
  EXPECT_EQ(RunEngine("unmake\nu\nisready\n"), "readyok\n");
}

// A working directory with one EPD file in it; removed with the test.
class PerftSuiteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tavrin-perftsuite-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  void WriteEpd(const std::string& name, const std::string& text) const { std::ofstream(dir_ + "/" + name) << text; }
  std::string Run(const std::string& input) const {
    return RunEngine(input, {.WorkingDirectory = dir_}, nullptr, 60000);
  }

  std::string dir_;
};

const std::string FilePrompt = "\r\nPerft EPD filename (.epd is optional) or <ENTER> to abort: ";
const std::string DepthPrompt = "Max Depth (1-127), <ENTER> to abort: ";
const std::string Question = Box("Press <Enter> (Q to finish)");

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST_F(PerftSuiteTest, CountsEachLineAndAsksOnlyAfterAMismatch) {
  const std::string wrongLine = KiwipeteFen + " 0 1 ;D1 48 ;D2 2040";
  WriteEpd("mini.epd", StartFen + " ;D1 20 ;D2 400\n" + wrongLine + "\n");
  std::string out = Run("perftsuite\nmissing\nmini\n0\nx\n2\n\nquit\n");
  // The missing file is named with its extension, then asked for again.
  EXPECT_EQ(out.rfind(FilePrompt + "\r\nError: file \"missing.epd\" not found.\n" + FilePrompt + DepthPrompt +
                          DepthPrompt + DepthPrompt,
                      0),
            0u)
      << out.substr(0, 300);
  EXPECT_EQ(Count(out, Box("PERFT " + StartFen) + EXPECTED_HEADER), 1u);
  EXPECT_EQ(Count(out, Box("PERFT " + KiwipeteFen + " 0 1") + EXPECTED_HEADER), 1u);
  EXPECT_EQ(Count(out, EXPECTED_FOOTER), 2u);
  EXPECT_EQ(MaskedRows(out), (std::vector<std::string>{
                                 MaskedRow(1, "20") + "             20 " + V + " PERFect! " + V,
                                 MaskedRow(2, "400") + "            400 " + V + " PERFect! " + V,
                                 MaskedRow(1, "48") + "             48 " + V + " PERFect! " + V,
                                 MaskedRow(2, "2,039") + "          2,040 " + V + " *WRONG!* " + V,
                             }));
  size_t first = out.find(Box("1 positions analyzed, 1 counted exactly."));
  size_t second = out.find(Box("2 positions analyzed, 1 counted exactly."));
  ASSERT_NE(first, std::string::npos);
  ASSERT_NE(second, std::string::npos);
  EXPECT_EQ(Count(out, Question), 1u);
  EXPECT_GT(out.find(Question), second);
  EXPECT_EQ(Count(out, "\xDA" + H(76) + "\xBF\r\n"), 2u);  // each position's board
}

TEST_F(PerftSuiteTest, BadFieldsAbortTheLineButItsRowsAreStillCounted) {
  WriteEpd("Bad.EPD",
           "4k3/8/8/8/8/8/8/4K3 w - - 0 1 ;D1 5\n" + StartFen + " ;D2 400 ;D1 20\n" + StartFen + " ;D1 twenty\n");
  // The extension is recognised in any letter case; "q" ends the run after the first line.
  std::string out = Run("perftsuite\nBad.EPD\n2\nq\nquit\n");
  EXPECT_NE(out.find(Box("Bad entry error: 4k3/8/8/8/8/8/8/4K3 w - - 0 1 ;D1 5 - Aborting")), std::string::npos);
  EXPECT_EQ(MaskedRows(out), (std::vector<std::string>{
                                 MaskedRow(1, "5") + "              5 " + V + " PERFect! " + V,
                                 MaskedRow(2, "25") + "              0 " + V + " *WRONG!* " + V,
                             }));
  EXPECT_EQ(out.find("Illegal depth"), std::string::npos);

  out = Run("perftsuite\nbad\nBad\n\nquit\n");  // neither "bad.epd" nor "Bad.epd" exists
  EXPECT_EQ(Count(out, "not found."), 2u);
  out = Run("perftsuite\nBad.EPD\n2\n\n\n\nquit\n");
  EXPECT_NE(out.find(Box("Illegal depth <2>, 1 expected in: " + StartFen + " ;D2 400 ;D1 20 - Aborting")),
            std::string::npos);
  EXPECT_NE(out.find(Box("Illegal number of positions in: " + StartFen + " ;D1 twenty - Aborting")), std::string::npos);
  EXPECT_NE(out.find(Box("3 positions analyzed, 0 counted exactly.")), std::string::npos);
  EXPECT_EQ(Count(out, Question), 3u);
}

TEST_F(PerftSuiteTest, EndOfInputAtAPromptEndsTheTool) {
  int code = -2;
  EXPECT_EQ(RunEngine("perftsuite\n", {.WorkingDirectory = dir_}, &code), FilePrompt);
  EXPECT_EQ(code, 0);
  WriteEpd("one.epd", StartFen + " ;D1 21\n" + StartFen + " ;D1 20\n");
  // No answer to the depth prompt, then none to the question: both count as empty.
  EXPECT_EQ(RunEngine("pe\none\n", {.WorkingDirectory = dir_}, &code), FilePrompt + DepthPrompt);
  std::string out = RunEngine("pe\none\n1", {.WorkingDirectory = dir_}, &code);
  EXPECT_EQ(MaskedRows(out).size(), 2u);
  EXPECT_EQ(Count(out, Question), 1u);
  EXPECT_EQ(code, 0);
}

TEST(PerftSuiteData, TheReferenceFileIsCountedExactlyToDepthFour) {
  // Every line has at least four depths, so none is cut short. The name is typed without ".epd".
  std::string out = RunEngine("pe\n" TAVRIN_DATA_DIR "/perft\n4\nquit\n", {}, nullptr, 300000);
  EXPECT_NE(out.find(Box("130 positions analyzed, 130 counted exactly.")), std::string::npos);
  EXPECT_EQ(Count(out, "PERFect!"), 4u * 130u);
  EXPECT_EQ(Count(out, Question), 0u);
}

}  // namespace
