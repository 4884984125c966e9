#pragma once
// The piece-square table: the complete value of each piece on each square, material
// included, positive for White and negative for Black. The position keeps its sums. Part of
// the board room's front door (board/board.h).

#include <cstdint>
#include <string>

struct PsqValue {
  int32_t Mg;
  int32_t Eg;
};

// [piece code + 6][square], decoded; the empty-square row is zero.
extern PsqValue PieceSquareTable[13][64];

// Loads the embedded block R16, checks it and decodes it. A broken block stops start-up
// with one line on stderr and exit code 1. Call once before any position is set up.
void InitPieceSquareTable();

// The band of White's cells per piece type in each phase (pawns on ranks 2-7): wide enough
// for any table fitted to games, narrow enough that a cell outside it can only be a damaged
// or mis-generated block.
struct PsqCellRange {
  int32_t MgLow, MgHigh, EgLow, EgHigh;
};
inline constexpr PsqCellRange PsqCellRanges[7] = {
    {0, 0, 0, 0},              // no piece
    {40, 400, 60, 500},        // pawn: 124 / 206 plain
    {300, 1200, 400, 1300},    // knight
    {350, 1300, 450, 1400},    // bishop
    {700, 1900, 800, 2000},    // rook
    {1800, 3400, 1900, 3500},  // queen
    {-500, 700, -500, 700},    // king
};

// Raw cells as stored in R16: low half mg + 30000, high half eg + 30000.
using PsqCells = uint32_t[13][64];

// Copies the raw cells out of the embedded block (missing or short: exit as above).
void ReadPieceSquareCells(PsqCells& cells);

// What is wrong with a block of raw cells, or empty when it is sound: Black's rows mirror
// White's, the empty row is zero, pieces but pawns are file-symmetric, pawn rows hold the
// plain pawn on ranks 1 and 8, and every White cell lies in its piece's band.
std::string CheckPieceSquareCells(const PsqCells& cells);
