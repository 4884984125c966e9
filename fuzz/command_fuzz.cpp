// ExecuteCommand fed whole input lines, as the command loop hands them out. Lines that would
// run long are bounded: every search finds "stop" waiting at its first input poll, perft
// depths and hash sizes are capped, the benchmark is skipped, and the prompts of the
// interactive tools are answered from the following input lines.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "console/console.h"
#include "fuzz/fuzz_common.h"
#include "search/search.h"
#include "shell/shell.h"

namespace {

constexpr size_t MAX_LINES = 48;
constexpr int32_t MAX_PERFT_DEPTH = 2;
constexpr int32_t MAX_GO_DEPTH = 3;
constexpr int32_t MAX_GO_NODES = 1000;

bool IsOneOf(const std::string& word, std::initializer_list<const char*> words) {
  for (const char* w : words)
    if (word == w) return true;
  return false;
}

// The line with every token after the first whose value lies outside lowest..highest written
// as the nearer bound.
std::string CapNumbers(const std::string& line, int32_t lowest, int32_t highest) {
  std::string rest = line;
  std::string capped = NextToken(rest);
  while (!rest.empty()) {
    std::string token = NextToken(rest);
    int32_t value = 0;
    bool number = TryReadInteger(token, value);
    capped += ' ';
    capped += !number || (value >= lowest && value <= highest) ? token
              : value < lowest                                 ? std::to_string(lowest)
                                                               : std::to_string(highest);
  }
  return capped;
}

// An answer a prompt can take: never empty (the score prompt waits for a non-empty line) and
// never a path, so no suite finds a file outside the empty working directory.
std::string Answer(const std::vector<std::string>& lines, size_t& next) {
  if (next >= lines.size()) return "0";
  const std::string& line = lines[next++];
  return line.find('/') == std::string::npos ? line : "0";
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  StartEngineForFuzzing();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  UseScratchDirectory();
  // Every input starts from the same state, so that a finding replays on its own.
  Settings = SettingsRecord{};
  Settings.HashSizeMB = 16;
  DrainInput();
  NewGame();

  std::vector<std::string> lines = SplitLines(data, size, MAX_LINES);
  for (size_t i = 0; i < lines.size();) {
    std::string line = lines[i++];
    std::string rest = line;
    std::string word = NextToken(rest);
    std::string folded = ToLower(word);
    if (IsOneOf(folded, {"bench", "be"})) continue;
    if (word == "z") {
      std::string mg = Answer(lines, i);
      std::string eg = Answer(lines, i);
      FeedInput(mg + "\n" + eg + "\n");
    } else if (IsOneOf(folded, {"perftsuite", "pe", "testsuite", "t", "valsuite", "v"})) {
      // The file is not found; the empty line after it gives up.
      FeedInput(Answer(lines, i) + "\n\n");
    } else if (IsOneOf(folded, {"perft", "p", "divide", "d"})) {
      line = CapNumbers(line, INT32_MIN, MAX_PERFT_DEPTH);
    } else if (folded == "setoption") {
      line = CapNumbers(line, INT32_MIN, HASH_MIN_MB);
    } else {
      if (folded == "go") {
        std::string limit = ToLower(NextToken(rest));
        line = CapNumbers(line, INT32_MIN,
                          limit == "depth"   ? MAX_GO_DEPTH
                          : limit == "nodes" ? MAX_GO_NODES
                                             : INT32_MAX);
      }
      FeedInput("stop\n");  // ends any search this line starts at its first poll
    }
    ExecuteCommand(line);
    DrainInput();
    RequireConsistentPosition(line);
  }
  return 0;
}
