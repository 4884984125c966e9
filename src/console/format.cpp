// Number, duration and speed formats shared by perft, the bench and the test suites.
#include <cmath>
#include <cstdio>

#include "console/console.h"

namespace {

// Halves go to the even neighbour, as everywhere a value is "rounded".
double RoundEven(double value) { return std::nearbyint(value); }

std::string Decimal(double value, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%4.*f", decimals, value);
  return text;
}

}  // namespace

std::string FormatCount(int64_t n, int width) {
  uint64_t magnitude = n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
  std::string digits = std::to_string(magnitude);
  std::string grouped;
  grouped.reserve(digits.size() + digits.size() / 3 + 2);
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  if (n < 0) grouped.insert(0, 1, '-');
  if (width > 0 && static_cast<int>(grouped.size()) < width)
    grouped.insert(0, static_cast<size_t>(width) - grouped.size(), ' ');
  return grouped;
}

std::string FormatDuration(uint32_t ms) {
  uint32_t hours = ms / 3600000;
  uint32_t belowHour = ms % 3600000;
  uint32_t minutes = belowHour / 60000;
  uint32_t belowMinute = belowHour % 60000;
  uint32_t seconds = belowMinute / 1000;
  char text[48];
  std::string result = ms >= 3600000 ? std::to_string(hours) + "h" : "";
  if (belowHour < 60000) {
    if (!result.empty()) result += "00m";
  } else {
    std::snprintf(text, sizeof text, result.empty() ? "%um" : "%02um", minutes);
    result += text;
  }
  if (belowMinute < 1000) {
    result += result.empty() ? "0." : "00.";
  } else {
    std::snprintf(text, sizeof text, result.empty() ? "%u." : "%02u.", seconds);
    result += text;
  }
  std::snprintf(text, sizeof text, "%03u", belowMinute % 1000);
  return result + text;
}

std::string FormatNps(uint32_t ms, uint64_t nodes) {
  if (ms == 0) return "\xA7\xA7";
  double exact = RoundEven(static_cast<double>(nodes) * 1000.0 / ms);
  uint32_t v = exact >= 4294967295.0 ? UINT32_MAX : static_cast<uint32_t>(exact);
  if (v < 1000) return std::to_string(v);
  if (v < 10000) return Decimal(RoundEven(v / 10.0) / 100.0, 2) + "k";
  if (v < 100000) return Decimal(RoundEven(v / 100.0) / 10.0, 1) + "k";
  if (v < 1000000) return std::to_string(static_cast<uint32_t>(RoundEven(v / 1000.0))) + "k";
  if (v < 10000000) return Decimal(RoundEven(v / 10000.0) / 100.0, 2) + "M";
  if (v < 100000000) return Decimal(RoundEven(v / 100000.0) / 10.0, 1) + "M";
  return std::to_string(static_cast<uint32_t>(RoundEven(v / 1000000.0))) + "M";
}
