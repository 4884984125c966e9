// The settings file: key=value lines read once at start-up.
#include <string>
#include <vector>

#include "console/console.h"
#include "platform/platform.h"
#include "search/search.h"
#include "shell/options.h"
#include "shell/shell.h"

namespace {

constexpr const char* SETTINGS_FILE = "Tavrin.ini";

struct RangedSetting {
  const char* Key;
  int32_t SettingsRecord::*Field;
  int32_t Min;
  int32_t Max;
};

// HASH_SIZE is handled apart: it is rounded and resizes the table.
constexpr RangedSetting RangedSettings[] = {
    {"MOVE_OVERHEAD", &SettingsRecord::MoveOverhead, 0, MOVE_OVERHEAD_MAX},
    {"DEFAULT_MOVE_TIME", &SettingsRecord::DefaultMoveTime, 0, 3600},
    {"MIN_TIME_TO_SHOW_STATS", &SettingsRecord::MinTimeToShowStats, 0, 3600000},
    {"MIN_TIME_TO_SHOW_MOVE_STATS", &SettingsRecord::MinTimeToShowMoveStats, 0, 3600000},
    {"TESTSUITE_ITERATIONS", &SettingsRecord::TestsuiteIterations, 1, 10},
};

void ApplySetting(const std::string& key, int32_t value) {
  if (key == "HASH_SIZE") {
    SetHashSize(value);
    return;
  }
  for (const RangedSetting& setting : RangedSettings)
    if (key == setting.Key && value >= setting.Min && value <= setting.Max) Settings.*setting.Field = value;
}

}  // namespace

void LoadSettings() {
  std::vector<std::string> lines;
  if (!FileExists(SETTINGS_FILE) || !ReadTextLines(SETTINGS_FILE, lines)) return;
  for (const std::string& raw : lines) {
    std::string rest = Trim(raw);
    if (rest.empty() || rest[0] == '#') continue;
    std::string key = ToUpper(NextToken(rest, '='));
    std::string value = ToLower(rest);
    // An empty value is reported, then applied as 0 like any value that is not a number.
    if (value.empty()) PrintLine("Illegal ini null value for setting " + key);
    ApplySetting(key, ReadInteger(value, 0));
  }
}
