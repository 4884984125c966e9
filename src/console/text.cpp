#include "console/console.h"

#include <algorithm>

namespace {

constexpr bool IsTrimmed(unsigned char c) { return c <= 32; }

int DigitValue(char c, int base) {
  int value = -1;
  if (c >= '0' && c <= '9')
    value = c - '0';
  else if (c >= 'a' && c <= 'f')
    value = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F')
    value = c - 'A' + 10;
  return value < base ? value : -1;
}

}  // namespace

std::string Trim(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsTrimmed(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && IsTrimmed(static_cast<unsigned char>(text[end - 1]))) --end;
  return std::string(text.substr(begin, end - begin));
}

std::string ToLower(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return result;
}

std::string ToUpper(std::string_view text) {
  std::string result(text);
  for (char& c : result)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return result;
}

std::string NextToken(std::string& rest, char separator) {
  rest = Trim(rest);
  if (separator == ' ' && rest.find("  ") != std::string::npos) {
    // One pass collapses every run of blanks, as repeated pair replacement would.
    std::string collapsed;
    collapsed.reserve(rest.size());
    for (char c : rest)
      if (!(c == ' ' && !collapsed.empty() && collapsed.back() == ' ')) collapsed += c;
    rest = std::move(collapsed);
  }
  size_t at = rest.find(separator);
  if (at == std::string::npos) {
    std::string token = std::move(rest);
    rest.clear();
    return token;
  }
  std::string token = Trim(std::string_view(rest).substr(0, at));
  rest = Trim(std::string_view(rest).substr(at + 1));
  return token;
}

std::vector<std::string> SplitWords(std::string_view text) {
  std::vector<std::string> words;
  for (size_t start = 0; start <= text.size();) {
    size_t end = std::min(text.find(' ', start), text.size());
    // Trimming each piece drops the other control characters at word ends, as NextToken does.
    std::string word = Trim(text.substr(start, end - start));
    if (!word.empty()) words.push_back(std::move(word));
    start = end + 1;
  }
  return words;
}

bool TryReadInteger(std::string_view text, int32_t& value) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) return false;
  int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    int digit = DigitValue(text[i], base);
    if (digit < 0) return false;
    magnitude = magnitude * base + digit;
    if (magnitude > 2147483648LL) return false;  // beyond every 32-bit value
  }
  int64_t result = negative ? -magnitude : magnitude;
  if (result > INT32_MAX || result < INT32_MIN) return false;
  value = static_cast<int32_t>(result);
  return true;
}

int32_t ReadInteger(std::string_view text, int32_t fallback) {
  int32_t value;
  return TryReadInteger(text, value) ? value : fallback;
}
