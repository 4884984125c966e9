// Text files through the standard library, the same on every system.
#include <fstream>
#include <iterator>
#include <string_view>

#include "platform/platform.h"

namespace {

// Editors on some systems put this UTF-8 mark at the start of a text file.
constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";

}  // namespace

bool ReadTextLines(const std::string& path, std::vector<std::string>& lines) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  std::string_view rest = text;
  if (rest.starts_with(BYTE_ORDER_MARK)) rest.remove_prefix(BYTE_ORDER_MARK.size());
  lines.clear();
  // LF, CR LF and a lone CR (files saved by older Mac editors) each end a line.
  while (!rest.empty()) {
    size_t end = rest.find_first_of("\r\n");
    lines.emplace_back(rest.substr(0, end));
    if (end == std::string_view::npos) break;
    bool crLf = rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n';
    rest.remove_prefix(end + (crLf ? 2 : 1));
  }
  return true;
}
