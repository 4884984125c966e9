// The board view: a 54 x 78 coloured diagram with block-graphic pieces, then the statistics.
#include "shell/view.h"

#include <string>
#include <string_view>

#include "board/board.h"
#include "console/console.h"
#include "eval/eval.h"
#include "search/search.h"
#include "shell/shell.h"

namespace {

// Palette indices of the squares and the piece details; the frame is in NORMAL_COLOUR.
enum : uint8_t {
  DARK_SQUARE = 1,  // empty or holding a white piece
  LIGHT_SQUARE = 2,
  DARK_SQUARE_BLACK = 3,  // holding a black piece
  LIGHT_SQUARE_BLACK = 4,
  BLACK_DETAIL = 8,
  WHITE_DETAIL = 9,
};

constexpr int SQUARE_ROWS = 6;
constexpr int SQUARE_COLUMNS = 9;
constexpr int BOARD_TOP = 3;  // grid row and column of a8's block
constexpr int BOARD_LEFT = 3;

// Each piece type's picture in its block, top row first: 'l' lower half block, 'u' upper half
// block, '#' full block, ':' dark shade; the details, drawn in the detail colour, are
// '=' double horizontal, '+' double cross, '*' cross and 'o' the letter itself.
constexpr std::string_view PiecePictures[7][SQUARE_ROWS] = {
    {},
    {"         ", "    l    ", "   :#:   ", "   ###   ", "  :###:  ", "  uuuuu  "},  // pawn
    {"  l      ", "  o##    ", " #####   ", " ## ###  ", "    ###  ", "   uuuuu "},  // knight
    {"    l    ", "   ###   ", "  ##+##  ", "   ###   ", "   :::   ", " uuu uuu "},  // bishop
    {" l lll l ", " ======= ", "   ===   ", "   ===   ", "  =====  ", " uuuuuuu "},  // rook
    {" l  l  l ", "  # # #  ", "  #####  ", "  =====  ", "   ===   ", "  uuuuu  "},  // queen
    {"    *    ", "  #l#l#  ", " ####### ", "  =====  ", "   ===   ", "  uuuuu  "},  // king
};

struct PictureSymbol {
  char Symbol;
  char Glyph;
  bool Detail;
};

constexpr PictureSymbol PictureSymbols[] = {
    {'l', '\xDC', false}, {'u', '\xDF', false}, {'#', '\xDB', false}, {':', '\xB2', false},
    {'=', '\xCD', true},  {'+', '\xCE', true},  {'*', '\xC5', true},  {'o', 'o', true},
};

constexpr std::string_view FileLabels = "      a        b        c        d        e        f        g        h     ";
constexpr std::string_view RankLabels = "    8     7     6     5     4     3     2     1     ";

void DrawSquare(BoardGrid& grid, int boardRow, int file, int32_t piece) {
  bool light = (boardRow + file) % 2 == 0;
  uint8_t colour = piece < 0 ? (light ? LIGHT_SQUARE_BLACK : DARK_SQUARE_BLACK) : (light ? LIGHT_SQUARE : DARK_SQUARE);
  uint8_t detail = piece < 0 ? BLACK_DETAIL : WHITE_DETAIL;
  int32_t type = piece < 0 ? -piece : piece;
  int top = BOARD_TOP + SQUARE_ROWS * boardRow;
  int left = BOARD_LEFT + SQUARE_COLUMNS * file;
  for (int r = 0; r < SQUARE_ROWS; ++r)
    for (int c = 0; c < SQUARE_COLUMNS; ++c) {
      ViewCell& cell = grid[top + r][left + c];
      cell = {' ', colour};
      if (type < 1 || type > 6) continue;
      for (const PictureSymbol& symbol : PictureSymbols)
        if (symbol.Symbol == PiecePictures[type][r][c]) cell = {symbol.Glyph, symbol.Detail ? detail : colour};
    }
}

// A rectangle outline from (top, left) to (bottom, right), in the normal colour.
void DrawBox(BoardGrid& grid, int top, int left, int bottom, int right) {
  for (int c = left + 1; c < right; ++c) grid[top][c] = grid[bottom][c] = {BOX_HORIZONTAL, NORMAL_COLOUR};
  for (int r = top + 1; r < bottom; ++r) grid[r][left] = grid[r][right] = {BOX_VERTICAL, NORMAL_COLOUR};
  grid[top][left] = {BOX_TOP_LEFT, NORMAL_COLOUR};
  grid[top][right] = {BOX_TOP_RIGHT, NORMAL_COLOUR};
  grid[bottom][left] = {BOX_BOTTOM_LEFT, NORMAL_COLOUR};
  grid[bottom][right] = {BOX_BOTTOM_RIGHT, NORMAL_COLOUR};
}

}  // namespace

BoardGrid BuildBoardGrid(std::span<const int32_t, 64> squares) {
  BoardGrid grid;
  for (auto& row : grid) row.fill({' ', NORMAL_COLOUR});
  for (int boardRow = 0; boardRow < 8; ++boardRow)  // row 0 is rank 8
    for (int file = 0; file < 8; ++file) DrawSquare(grid, boardRow, file, squares[(7 - boardRow) * 8 + file]);

  constexpr int LAST_ROW = BOARD_VIEW_ROWS - 1;
  constexpr int LAST_COLUMN = BOARD_VIEW_COLUMNS - 1;
  DrawBox(grid, 0, 0, LAST_ROW, LAST_COLUMN);
  for (size_t i = 0; i < FileLabels.size(); ++i) {
    grid[1][i + 1].Glyph = FileLabels[i];
    grid[LAST_ROW - 1][i + 1].Glyph = FileLabels[i];
  }
  for (size_t i = 0; i < RankLabels.size(); ++i) {
    grid[i + 1][1].Glyph = RankLabels[i];
    grid[i + 1][LAST_COLUMN - 1].Glyph = RankLabels[i];
  }
  DrawBox(grid, 2, 2, LAST_ROW - 2, LAST_COLUMN - 2);
  return grid;
}

void PrintBoardGrid(const BoardGrid& grid) {
  for (const auto& row : grid) {
    // Every row starts and ends in the normal colour; runs of one colour go out as one text.
    uint8_t current = NORMAL_COLOUR;
    std::string run;
    for (const ViewCell& cell : row) {
      if (cell.Colour != current) {
        PrintText(run);
        run.clear();
        SetTextColour(cell.Colour);
        current = cell.Colour;
      }
      run += cell.Glyph;
    }
    WriteLine(run);
  }
}

void ShowBoard() {
  PrintBoardGrid(BuildBoardGrid(Position.Squares));
  TableTitle("Stats", {Align::RIGHT, Align::LEFT, Align::LEFT});
  TableRow({"Ply", std::to_string(Position.GamePly), "#"});
  TableRow({"Static Eval", std::to_string(Evaluate()), "cp"});  // raw units, not the search's display
  TableRow({"Hash", std::to_string(Settings.HashSizeMB), "MB"});
  TableRow({"Hash full", std::to_string(TTHashfull()), "%."});
  PrintTable();
}
