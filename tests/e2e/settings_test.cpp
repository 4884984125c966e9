// The settings file as the running engine reads it at start-up.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "e2e/harness.h"

namespace {

std::string RunWithSettings(const std::string& ini, const std::string& input) {
  char pattern[] = "/tmp/tavrin-ini-XXXXXX";
  std::string directory = mkdtemp(pattern);
  std::ofstream(directory + "/Tavrin.ini", std::ios::binary) << ini;
  std::string output = RunEngine(input, {.WorkingDirectory = directory});
  std::filesystem::remove_all(directory);
  return output;
}

std::string OptionLines(int hash, int overhead) {
  return "option name Hash type spin default " + std::to_string(hash) +
         " min 16 max 2048\noption name MoveOverhead type spin default " + std::to_string(overhead) +
         " min 0 max 1000\n";
}

std::string UciReply(int hash, int overhead) {
  return "id name Tavrin dev_20240807b\nid author Nemisor\n" + OptionLines(hash, overhead) + "uciok\n";
}

TEST(SettingsAtStartUp, ValuesReachTheUciOptions) {
  EXPECT_EQ(RunWithSettings("HASH_SIZE=100\nMOVE_OVERHEAD=30\n", "uci\n"), UciReply(64, 30));
}

TEST(SettingsAtStartUp, EmptyValuesAreReportedBeforeAnyCommand) {
  EXPECT_EQ(RunWithSettings("MOVE_OVERHEAD=\nFOO\nhash_size=\n", "uci\n"),
            "Illegal ini null value for setting MOVE_OVERHEAD\n"
            "Illegal ini null value for setting FOO\n"
            "Illegal ini null value for setting HASH_SIZE\n" +
                UciReply(128, 0));
}

TEST(SettingsAtStartUp, BadLinesAreHarmless) {
  std::string ini = std::string("HASH_SIZE=99999999999\nHASH_SIZE=-16\n=5\n==\n\xff\xfe=1\n") +
                    std::string(10000, 'x') + "\nMOVE_OVERHEAD = 0x10\n";
  // The long line has no "=", so it is a key with an empty value.
  std::string expected = "Illegal ini null value for setting " + std::string(10000, 'X') + "\n" + UciReply(128, 16);
  EXPECT_TRUE(RunWithSettings(ini, "uci\n") == expected);
}

TEST(SettingsAtStartUp, UsageIgnoresTheFile) {
  char pattern[] = "/tmp/tavrin-ini-XXXXXX";
  std::string directory = mkdtemp(pattern);
  std::ofstream(directory + "/Tavrin.ini") << "FOO\n";
  std::string output = RunEngine("", {.Args = {"?"}, .WorkingDirectory = directory});
  std::filesystem::remove_all(directory);
  EXPECT_EQ(output.find("Illegal"), std::string::npos);
}

}  // namespace
