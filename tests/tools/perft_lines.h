#pragma once
// The lines of the perft tables as the tools must print them, in code page 437 bytes, for the
// unit tests and the end-to-end tests alike.

#include <string>
#include <vector>

namespace perft_lines {

inline const std::string V = "\xB3";
inline std::string H(int count) { return std::string(static_cast<size_t>(count), '\xC4'); }

// A message box, its three lines each ending in LF.
inline std::string Box(const std::string& text) {
  int width = static_cast<int>(text.size()) + 2;
  return "\xDA" + H(width) + "\xBF\n" + V + " " + text + " " + V + "\n\xC0" + H(width) + "\xD9\n";
}

inline std::string Right(const std::string& text, size_t width) {
  return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
}

inline const std::string PERFT_HEADER = V + " Depth " + V + "     Nodes      " + V + "    Time    " + V + "   NPS    " +
                                        V + "\n" + "\xC3" + H(7) + "\xC5" + H(16) + "\xC5" + H(12) + "\xC5" + H(10) +
                                        "\xB4\n";
inline const std::string PERFT_FOOTER = "\xC0" + H(7) + "\xC1" + H(16) + "\xC1" + H(12) + "\xC1" + H(10) + "\xD9\n";

inline const std::string EXPECTED_HEADER =
    V + " Depth " + V + "     Nodes      " + V + "    Time    " + V + "   NPS    " + V + " Expected Nodes " + V + "\n" +
    "\xC3" + H(7) + "\xC5" + H(16) + "\xC5" + H(12) + "\xC5" + H(10) + "\xC5" + H(16) + "\xC5" + H(10) + "\xBF\n";
inline const std::string EXPECTED_FOOTER =
    "\xC0" + H(7) + "\xC1" + H(16) + "\xC1" + H(12) + "\xC1" + H(10) + "\xC1" + H(16) + "\xC1" + H(10) + "\xD9\n";

inline const std::string DIVIDE_HEADER = V + " Move  " + V + "     Nodes      " + V + "   # " + V + "\n" + "\xC3" +
                                         H(7) + "\xC5" + H(16) + "\xC5" + H(5) + "\xB4\n";

// The total block and the footer that close a divide.
inline std::string DivideEnd(const std::string& total) {
  return "\xC0" + H(7) + "\xC5" + H(16) + "\xC5" + H(5) + "\xD9\r\n        " + V + " " + Right(total, 14) + " " + V +
         "\n        \xC0" + H(16) + "\xD9\n";
}

// A perft row with its time and speed cells, which vary, written as dots of their widths.
inline std::string MaskedRow(int depth, const std::string& count) {
  return V + " " + Right(std::to_string(depth), 5) + " " + V + " " + Right(count, 14) + " " + V + std::string(12, '.') +
         V + std::string(10, '.') + V;
}

// The time and speed cells of a printed row replaced by dots, for comparison with MaskedRow.
inline std::string MaskTimes(std::string row) {
  size_t start = 0;
  for (int bar = 0; bar < 3 && start != std::string::npos; ++bar) start = row.find(V, start + (bar ? 1 : 0));
  if (start == std::string::npos) return row;
  size_t end = row.find(V, row.find(V, start + 1) + 1);
  for (size_t i = start + 1; i < end && i < row.size(); ++i)
    if (row[i] != V[0]) row[i] = '.';
  return row;
}

// Every row of output that starts with a perft row's depth cell, masked.
inline std::vector<std::string> MaskedRows(const std::string& output) {
  std::vector<std::string> rows;
  for (size_t start = 0, end; (end = output.find('\n', start)) != std::string::npos; start = end + 1) {
    std::string line = output.substr(start, end - start);
    if (line.size() > 8 && line.compare(0, 2, V + " ") == 0 && line[6] >= '0' && line[6] <= '9' && line[7] == ' ' &&
        line[8] == V[0])
      rows.push_back(MaskTimes(line));
  }
  return rows;
}

}  // namespace perft_lines
