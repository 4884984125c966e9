// The settings file: key=value lines in Tavrin.ini of the working directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "search/search.h"
#include "shell/shell.h"

namespace {

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    Settings = SettingsRecord{};
    char pattern[] = "/tmp/tavrin-settings-XXXXXX";
    directory_ = mkdtemp(pattern);
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(directory_);
  }
  void TearDown() override {
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(directory_);
    Settings = SettingsRecord{};
  }
  void Load(const std::string& text) {
    std::ofstream("Tavrin.ini", std::ios::binary) << text;
    LoadSettings();
  }
  std::filesystem::path directory_;
  std::filesystem::path previous_;
};

TEST_F(SettingsFile, MissingFileKeepsDefaults) {
  LoadSettings();
  SettingsRecord defaults;
  EXPECT_EQ(Settings.HashSizeMB, defaults.HashSizeMB);
  EXPECT_EQ(Settings.MoveOverhead, 1);
  EXPECT_EQ(Settings.DefaultMoveTime, 5);
  EXPECT_EQ(Settings.MinTimeToShowStats, 500);
  EXPECT_EQ(Settings.MinTimeToShowMoveStats, 5000);
  EXPECT_EQ(Settings.TestsuiteIterations, 3);
}

TEST_F(SettingsFile, HashSizeRoundsDownAndIgnoresOutOfRange) {
  Load("HASH_SIZE=100\n");
  EXPECT_EQ(Settings.HashSizeMB, 64);
  Load("HASH_SIZE=15\n");
  EXPECT_EQ(Settings.HashSizeMB, 64);
  Load("HASH_SIZE=4096\n");
  EXPECT_EQ(Settings.HashSizeMB, 64);
  Load("hash_size = 2048\n");
  EXPECT_EQ(Settings.HashSizeMB, 2048);
}

TEST_F(SettingsFile, EveryKeyWithItsRange) {
  Load(
      "MOVE_OVERHEAD=1000\nDEFAULT_MOVE_TIME=3600\nMIN_TIME_TO_SHOW_STATS=3600000\n"
      "MIN_TIME_TO_SHOW_MOVE_STATS=0\nTESTSUITE_ITERATIONS=10\n");
  EXPECT_EQ(Settings.MoveOverhead, 1000);
  EXPECT_EQ(Settings.DefaultMoveTime, 3600);
  EXPECT_EQ(Settings.MinTimeToShowStats, 3600000);
  EXPECT_EQ(Settings.MinTimeToShowMoveStats, 0);
  EXPECT_EQ(Settings.TestsuiteIterations, 10);
  Load(
      "MOVE_OVERHEAD=1001\nDEFAULT_MOVE_TIME=-1\nMIN_TIME_TO_SHOW_STATS=3600001\n"
      "TESTSUITE_ITERATIONS=0\nTESTSUITE_ITERATIONS=11\n");
  EXPECT_EQ(Settings.MoveOverhead, 1000);
  EXPECT_EQ(Settings.DefaultMoveTime, 3600);
  EXPECT_EQ(Settings.MinTimeToShowStats, 3600000);
  EXPECT_EQ(Settings.TestsuiteIterations, 10);
}

TEST_F(SettingsFile, CommentsBlanksCaseAndLaterLinesWin) {
  Load(
      "# HASH_SIZE=16\n   #x\n\n  default_move_time = 10  \r\nDEFAULT_MOVE_TIME=$0C\nHASHSIZE=32\n"
      "MOVE_OVERHEAD=7\nMOVE_OVERHEAD=abc\n");
  EXPECT_EQ(Settings.HashSizeMB, 128);
  EXPECT_EQ(Settings.DefaultMoveTime, 12);
  EXPECT_EQ(Settings.MoveOverhead, 0);  // a value that is no number reads as 0, which is in range
}

TEST_F(SettingsFile, AnyLineEndAndAByteOrderMark) {
  // Saved with lone CRs and a UTF-8 mark: three settings, not one line with a hidden first key.
  Load("\xEF\xBB\xBFMOVE_OVERHEAD=7\rDEFAULT_MOVE_TIME=9\r\nTESTSUITE_ITERATIONS=4\r");
  EXPECT_EQ(Settings.MoveOverhead, 7);
  EXPECT_EQ(Settings.DefaultMoveTime, 9);
  EXPECT_EQ(Settings.TestsuiteIterations, 4);
}

TEST_F(SettingsFile, EmptyValueIsReportedThenAppliedAsZero) {
  testing::internal::CaptureStdout();
  Load("MOVE_OVERHEAD=\nTESTSUITE_ITERATIONS=\nFOO\n");
  std::string output = testing::internal::GetCapturedStdout();
  (void)output;  // the channel writes to the file descriptor, below the captured stream
  EXPECT_EQ(Settings.MoveOverhead, 0);
  EXPECT_EQ(Settings.TestsuiteIterations, 3);
}

}  // namespace
