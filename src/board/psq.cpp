#include "board/psq.h"

#include <cstdio>
#include <cstdlib>

#include "board/board.h"
#include "board/resources.h"

PsqValue PieceSquareTable[13][64];

namespace {

constexpr int32_t CELL_OFFSET = 30000;
constexpr int32_t PAWN_MG = 124;
constexpr int32_t PAWN_EG = 206;

constexpr const char* PieceNames[7] = {"empty", "pawn", "knight", "bishop", "rook", "queen", "king"};

PsqValue Decode(uint32_t cell) {
  return {static_cast<int32_t>(cell & 0xFFFF) - CELL_OFFSET, static_cast<int32_t>(cell >> 16) - CELL_OFFSET};
}

std::string Fault(int type, int square, const char* what) {
  return std::string(PieceNames[type]) + " " + SquareName(square) + ": " + what;
}

}  // namespace

std::string CheckPieceSquareCells(const PsqCells& cells) {
  for (int square = 0; square < 64; ++square)
    if (cells[6][square] != 0) return Fault(0, square, "the empty row is not zero");
  for (int type = 1; type <= 6; ++type) {
    const uint32_t* white = cells[6 + type];
    const uint32_t* black = cells[6 - type];
    const PsqCellRange& range = PsqCellRanges[type];
    for (int square = 0; square < 64; ++square) {
      PsqValue own = Decode(white[square]);
      PsqValue mirrored = Decode(black[square ^ 56]);
      if (mirrored.Mg != -own.Mg || mirrored.Eg != -own.Eg)
        return Fault(type, square, "Black's cell is not the mirrored negation of White's");
      if (type != 1 && white[square] != white[square ^ 7])
        return Fault(type, square, "not symmetric between the a-d and e-h files");
      int rank = square >> 3;
      if (type == 1 && (rank == 0 || rank == 7)) {
        if (own.Mg != PAWN_MG || own.Eg != PAWN_EG) return Fault(type, square, "not the plain pawn value");
        continue;
      }
      if (own.Mg < range.MgLow || own.Mg > range.MgHigh || own.Eg < range.EgLow || own.Eg > range.EgHigh)
        return Fault(type, square, "value outside the piece's band");
    }
  }
  return {};
}

void ReadPieceSquareCells(PsqCells& cells) {
  unsigned char bytes[sizeof(PsqCells)];
  LoadResourceData("R16", bytes, sizeof bytes);
  for (int row = 0; row < 13; ++row) {
    for (int square = 0; square < 64; ++square) {
      const unsigned char* b = bytes + 4 * (64 * row + square);  // little-endian words
      cells[row][square] = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
    }
  }
}

void InitPieceSquareTable() {
  PsqCells cells;
  ReadPieceSquareCells(cells);
  std::string fault = CheckPieceSquareCells(cells);
  if (!fault.empty()) {
    std::fprintf(stderr, "Tavrin: resource R16 is broken: %s\n", fault.c_str());
    std::exit(1);
  }
  for (int row = 0; row < 13; ++row)
    for (int square = 0; square < 64; ++square)
      PieceSquareTable[row][square] = row == 6 ? PsqValue{0, 0} : Decode(cells[row][square]);
}

void ComputePsqSums(int32_t& mg, int32_t& eg) {
  mg = 0;
  eg = 0;
  for (Bitboard b = Position.Occupied; b;) {
    int32_t s = PopLowestBit(b);
    const PsqValue& cell = PieceSquareTable[Position.Squares[s] + 6][s];
    mg += cell.Mg;
    eg += cell.Eg;
  }
}
