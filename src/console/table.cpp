// The shared text table and the message box, drawn with code page 437 box characters.
#include <algorithm>
#include <string>
#include <vector>

#include "console/console.h"

namespace {

constexpr int NO_HEADER = -1;

// Row 0 holds the title in its first cell; the rows after it are the header and the data.
struct TextTableRecord {
  std::vector<std::vector<std::string>> Rows;  // grows: a legal-move list may pass 200 rows
  std::vector<Align> Alignment;                // one per column
  int HeaderRow = NO_HEADER;
};

TextTableRecord TextTable;

void AddRow(const std::vector<std::string>& cells) {
  size_t columns = std::min(cells.size(), static_cast<size_t>(TABLE_MAX_COLUMNS));
  TextTable.Rows.emplace_back(cells.begin(), cells.begin() + columns);
}

std::string_view Cell(size_t row, size_t column) {
  const std::vector<std::string>& cells = TextTable.Rows[row];
  return column < cells.size() ? std::string_view(cells[column]) : std::string_view();
}

// Left-aligned cells have the blank before them, right-aligned cells after them.
std::string RowLine(size_t row, const std::vector<int>& widths, bool allLeft) {
  std::string line(1, BOX_VERTICAL);
  for (size_t c = 0; c < widths.size(); ++c) {
    if (allLeft || TextTable.Alignment[c] == Align::LEFT) {
      line += ' ';
      line += PadText(Cell(row, c), widths[c] + 1);
    } else {
      line += PadText(Cell(row, c), -(widths[c] + 1));
      line += ' ';
    }
    line += BOX_VERTICAL;
  }
  return line;
}

}  // namespace

void TableTitle(std::string_view title, const std::vector<Align>& alignment) {
  AddRow({std::string(title)});
  size_t columns = std::min(alignment.size(), static_cast<size_t>(TABLE_MAX_COLUMNS));
  TextTable.Alignment.assign(alignment.begin(), alignment.begin() + columns);
  TextTable.HeaderRow = NO_HEADER;
}

void TableHeader(const std::vector<std::string>& cells) {
  TextTable.HeaderRow = static_cast<int>(TextTable.Rows.size());
  AddRow(cells);
}

void TableRow(const std::vector<std::string>& cells) { AddRow(cells); }

void ClearTable() {
  TextTable.Rows.clear();
  TextTable.HeaderRow = NO_HEADER;
}

void PrintTable() {
  std::string_view title = TextTable.Rows.empty() ? std::string_view() : Cell(0, 0);
  size_t columns = TextTable.Alignment.size();
  std::vector<int> widths(columns, 0);
  for (size_t row = 1; row < TextTable.Rows.size(); ++row)
    for (size_t c = 0; c < columns; ++c) widths[c] = std::max(widths[c], static_cast<int>(Cell(row, c).size()));

  // A column's rule runs over its cells and the blank on each side of them.
  std::vector<int> rules(columns);
  for (size_t c = 0; c < columns; ++c) rules[c] = widths[c] + 2;

  int columnBlock = 1;
  for (int width : widths) columnBlock += width + 3;
  int titleBox = static_cast<int>(title.size()) + 4;
  int width = std::max(columnBlock, titleBox);

  PrintLine(BOX_TOP_LEFT + std::string(static_cast<size_t>(width) - 2, BOX_HORIZONTAL) + BOX_TOP_RIGHT);
  PrintLine(std::string(1, BOX_VERTICAL) + ' ' + PadText(title, width - 3) + BOX_VERTICAL);
  if (columnBlock < titleBox) {
    // The title box is wider: it closes to the right of the last column.
    std::string line = BoxRule(BOX_TEE_RIGHT, BOX_TEE_DOWN, BOX_TEE_DOWN, rules);
    line.append(static_cast<size_t>(titleBox - columnBlock - 1), BOX_HORIZONTAL);
    PrintLine(line + BOX_BOTTOM_RIGHT);
  } else {
    PrintLine(BoxRule(BOX_TEE_RIGHT, BOX_TEE_DOWN, BOX_TEE_LEFT, rules));
  }

  if (TextTable.HeaderRow != NO_HEADER) {
    WriteLine(RowLine(static_cast<size_t>(TextTable.HeaderRow), widths, true));
    PrintLine(BoxRule(BOX_TEE_RIGHT, BOX_CROSS, BOX_TEE_LEFT, rules));
  }
  if (TextTable.Rows.size() <= 1) {
    WriteLine();
  } else {
    for (size_t row = 1; row < TextTable.Rows.size(); ++row)
      if (static_cast<int>(row) != TextTable.HeaderRow) WriteLine(RowLine(row, widths, false));
    PrintLine(BoxRule(BOX_BOTTOM_LEFT, BOX_TEE_UP, BOX_BOTTOM_RIGHT, rules));
  }
  ClearTable();
}

std::string BoxRule(char left, char joint, char right, std::span<const int> widths) {
  std::string line(1, left);
  for (size_t c = 0; c < widths.size(); ++c) {
    if (c > 0) line += joint;
    line.append(static_cast<size_t>(widths[c]), BOX_HORIZONTAL);
  }
  line += right;
  return line;
}

std::string PadText(std::string_view text, int width) {
  bool padLeft = width < 0;
  int64_t blanks = (padLeft ? -int64_t{width} : int64_t{width}) - static_cast<int64_t>(text.size());
  std::string result;
  if (padLeft && blanks > 0) result.append(static_cast<size_t>(blanks), ' ');
  result.append(text);
  if (!padLeft && blanks > 0) result.append(static_cast<size_t>(blanks), ' ');
  return result;
}

void ShowMessageBox(std::string_view text, bool coloured) {
  std::string rule(text.size() + 2, BOX_HORIZONTAL);
  if (coloured) SetTextColour(LOGO_COLOUR);
  PrintLine(BOX_TOP_LEFT + rule + BOX_TOP_RIGHT);
  PrintLine(std::string(1, BOX_VERTICAL) + ' ' + std::string(text) + ' ' + BOX_VERTICAL);
  PrintLine(BOX_BOTTOM_LEFT + rule + BOX_BOTTOM_RIGHT);
  if (coloured) SetTextColour(NORMAL_COLOUR);
}
