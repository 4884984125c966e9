// The settings file: the input is written as Tavrin.ini in the empty working directory and
// read by LoadSettings. Whatever it holds, every setting stays within its range and the
// table has the size the settings name.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "console/console.h"
#include "fuzz/fuzz_common.h"
#include "search/search.h"
#include "shell/shell.h"

namespace {

// Tables above this are not made: a second line of the same size would zero gigabytes.
constexpr int32_t MAX_FUZZ_HASH_MB = 64;

// The input with each hash-size value above the fuzzing cap replaced by the cap.
std::string CapHashSizes(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  std::string capped;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    std::string rest = Trim(line);
    std::string key = ToUpper(NextToken(rest, '='));
    if (key == "HASH_SIZE" && ReadInteger(ToLower(rest), 0) > MAX_FUZZ_HASH_MB)
      line = "HASH_SIZE=" + std::to_string(MAX_FUZZ_HASH_MB);
    capped += line;
    if (end < text.size()) capped += '\n';
    start = end + 1;
  }
  return capped;
}

bool WriteSettingsFile(const std::string& text) {
  std::FILE* file = std::fopen("Tavrin.ini", "wb");
  if (!file) return false;
  bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  StartEngineForFuzzing();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  UseScratchDirectory();
  // The table stays at the size the last input left (16..64 MB): making it anew costs more
  // than the whole read.
  Settings = SettingsRecord{};
  Settings.HashSizeMB = TranspositionTable.SizeMB;
  Require(WriteSettingsFile(CapHashSizes(data, size)), "cannot write the settings file");
  LoadSettings();

  const SettingsRecord& s = Settings;
  Require(s.HashSizeMB >= HASH_MIN_MB && s.HashSizeMB <= HASH_MAX_MB && std::has_single_bit(uint32_t(s.HashSizeMB)),
          "hash size");
  Require(TranspositionTable.SizeMB == s.HashSizeMB, "the table does not have the hash size");
  Require(s.MoveOverhead >= 0 && s.MoveOverhead <= MOVE_OVERHEAD_MAX, "move overhead");
  Require(s.DefaultMoveTime >= 0 && s.DefaultMoveTime <= 3600, "default move time");
  Require(s.MinTimeToShowStats >= 0 && s.MinTimeToShowStats <= 3600000, "time to show statistics");
  Require(s.MinTimeToShowMoveStats >= 0 && s.MinTimeToShowMoveStats <= 3600000, "time to show move statistics");
  Require(s.TestsuiteIterations >= 1 && s.TestsuiteIterations <= 10, "test-suite iterations");
  return 0;
}
