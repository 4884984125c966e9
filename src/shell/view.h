#pragma once
// The board view's grid, built apart from its printing so that it can be checked cell by cell
// (internal to the shell).

#include <array>
#include <cstdint>
#include <span>

inline constexpr int BOARD_VIEW_ROWS = 54;
inline constexpr int BOARD_VIEW_COLUMNS = 78;

struct ViewCell {
  char Glyph;      // code page 437 byte
  uint8_t Colour;  // palette index of SetTextColour
};

using BoardGrid = std::array<std::array<ViewCell, BOARD_VIEW_COLUMNS>, BOARD_VIEW_ROWS>;

// The diagram of the piece codes given per square (a1 = 0): squares, pieces, labels, frame.
BoardGrid BuildBoardGrid(std::span<const int32_t, 64> squares);

// Writes the grid row by row, changing colour only where a cell's colour differs.
void PrintBoardGrid(const BoardGrid& grid);
