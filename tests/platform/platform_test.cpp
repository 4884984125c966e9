// The platform layer on either system: the input reader on a pipe, the clock, files, large
// zero-filled memory and the data blocks linked into the executable.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "board/resources.h"
#include "platform/platform.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

// A pipe put in place of standard input for the length of one test.
class StdinPipe {
 public:
  StdinPipe() {
#ifdef _WIN32
    saved_ = GetStdHandle(STD_INPUT_HANDLE);
    CreatePipe(&read_, &write_, nullptr, 0);
    SetStdHandle(STD_INPUT_HANDLE, read_);
#else
    int ends[2];
    if (pipe(ends) != 0) return;
    saved_ = dup(STDIN_FILENO);
    dup2(ends[0], STDIN_FILENO);
    close(ends[0]);
    write_ = ends[1];
#endif
  }
  ~StdinPipe() {
    CloseWriter();
#ifdef _WIN32
    SetStdHandle(STD_INPUT_HANDLE, saved_);
    CloseHandle(read_);
#else
    dup2(saved_, STDIN_FILENO);
    close(saved_);
#endif
  }
  void Write(const std::string& bytes) {
#ifdef _WIN32
    DWORD written = 0;
    WriteFile(write_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
#else
    ssize_t written = write(write_, bytes.data(), bytes.size());
    (void)written;
#endif
  }
  void CloseWriter() {
#ifdef _WIN32
    if (write_) CloseHandle(write_);
    write_ = nullptr;
#else
    if (write_ >= 0) close(write_);
    write_ = -1;
#endif
  }

 private:
#ifdef _WIN32
  HANDLE saved_ = nullptr, read_ = nullptr, write_ = nullptr;
#else
  int saved_ = -1, write_ = -1;
#endif
};

std::string ReadAvailable() {
  char buffer[64];
  long count = ReadAvailableInput(buffer, sizeof buffer);
  return count > 0 ? std::string(buffer, static_cast<size_t>(count)) : "<" + std::to_string(count) + ">";
}

// One test only: the end of input is final for the whole process.
TEST(PipeInput, GivesWhatIsWaitingWithoutBlockingThenTheEnd) {
  StdinPipe input;
  EXPECT_FALSE(StdinIsTerminal());
  EXPECT_EQ(ReadAvailable(), "<0>");  // nothing written yet: no wait, no bytes
  input.Write("isready\nuci");
  EXPECT_EQ(ReadAvailable(), "isready\nuci");  // whole lines are the channel's business
  EXPECT_EQ(ReadAvailable(), "<0>");
  std::string longer(100, 'x');
  input.Write(longer);
  EXPECT_EQ(ReadAvailable(), longer.substr(0, 64));  // never more than the buffer holds
  EXPECT_EQ(ReadAvailable(), longer.substr(64));
  input.CloseWriter();
  EXPECT_EQ(ReadAvailable(), "<-1>");
  EXPECT_EQ(ReadAvailable(), "<-1>");
  uint64_t before = NowMilliseconds();
  WaitForInput(20);  // ended input still paces a waiting loop instead of letting it spin
  EXPECT_GE(NowMilliseconds() - before, 10u);
}

TEST(Clock, NeverGoesBackAndCountsASleep) {
  uint64_t before = NowMilliseconds();
  SleepMilliseconds(60);
  uint64_t slept = NowMilliseconds() - before;
  EXPECT_GE(slept, 50u);
  EXPECT_LT(slept, 5000u);
  uint64_t previous = NowMilliseconds();
  for (int i = 0; i < 100000; ++i) {
    uint64_t now = NowMilliseconds();
    ASSERT_GE(now, previous);
    previous = now;
  }
}

class Files : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = std::filesystem::temp_directory_path() /
                 ("tavrin-platform-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(directory_);
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }
  std::string Make(const std::string& name, const std::string& bytes) {
    std::string path = (directory_ / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::filesystem::path directory_;
};

TEST_F(Files, OnlyRegularFilesExist) {
  EXPECT_TRUE(FileExists(Make("Tavrin.ini", "HASH_SIZE=16\n")));
  EXPECT_TRUE(FileExists(Make("empty.epd", "")));
  EXPECT_FALSE(FileExists(directory_.string()));
  EXPECT_FALSE(FileExists((directory_ / "missing.epd").string()));
}

TEST_F(Files, LinesLoseTheirEndsOfEitherKind) {
  std::vector<std::string> lines = {"old"};
  ASSERT_TRUE(ReadTextLines(Make("suite.epd", "a b\r\nc\n\n\r\nlast"), lines));
  EXPECT_EQ(lines, (std::vector<std::string>{"a b", "c", "", "", "last"}));
  ASSERT_TRUE(ReadTextLines(Make("none.epd", ""), lines));
  EXPECT_TRUE(lines.empty());
  EXPECT_FALSE(ReadTextLines((directory_ / "missing.epd").string(), lines));
}

TEST(LargeMemory, ZeroFilledAndWritable) {
  constexpr size_t BYTES = size_t{64} << 20;
  auto* memory = static_cast<unsigned char*>(AllocateLarge(BYTES));
  ASSERT_NE(memory, nullptr);
#ifndef _WIN32
  // On a 2 MiB boundary, so huge pages can back all of it.
  EXPECT_EQ(reinterpret_cast<uintptr_t>(memory) % (uintptr_t{2} << 20), 0u);
#endif
  MakeResident(memory, BYTES);
  for (size_t i = 0; i < BYTES; i += 4096) ASSERT_EQ(memory[i], 0) << i;
  EXPECT_EQ(memory[BYTES - 1], 0);
  memory[0] = memory[BYTES - 1] = 0xA5;
  EXPECT_EQ(memory[0] + memory[BYTES - 1], 2 * 0xA5);
  FreeLarge(memory, BYTES);
}

TEST(LargeMemory, RefusedRequestGivesNull) {
  // More than any 64-bit process can address: the table sizes fall back instead of crashing.
  EXPECT_EQ(AllocateLarge(size_t{1} << 52), nullptr);
}

std::vector<unsigned char> SourceBlock(const std::string& name) {
  std::ifstream file(std::string(TAVRIN_SOURCE_DIR) + "/resources/" + name + ".bin", std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(DataBlocks, LinkedBytesEqualTheSourceFiles) {
  for (const char* name : {"R11", "R16"}) {
    std::vector<unsigned char> expected = SourceBlock(name);
    ASSERT_FALSE(expected.empty()) << name;
    std::vector<unsigned char> loaded(expected.size(), 0xEE);
    LoadResourceData(name, loaded.data(), loaded.size());
    EXPECT_EQ(loaded, expected) << name;
  }
  EXPECT_EQ(SourceBlock("R11").size(), 959u * 8);
  EXPECT_EQ(SourceBlock("R16").size(), 3328u);
}

TEST(DataBlocksDeathTest, MissingOrShortBlockStopsWithExitCodeOne) {
  unsigned char buffer[4000];
  EXPECT_EXIT(LoadResourceData("R99", buffer, 1), ::testing::ExitedWithCode(1), "R99");
  EXPECT_EXIT(LoadResourceData("R16", buffer, 3329), ::testing::ExitedWithCode(1), "R16");
}

}  // namespace
