#include "tune/cells.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "board/board.h"

namespace {

constexpr int32_t PAWN_PARAMS = 48;
constexpr const char* PieceNames[7] = {"", "pawn", "knight", "bishop", "rook", "queen", "king"};

}  // namespace

int32_t ParamIndex(int32_t type, int32_t square) {
  const int32_t rank = square >> 3, file = square & 7;
  if (type == 1) return rank == 0 || rank == 7 ? -1 : square - 8;
  return PAWN_PARAMS + 32 * (type - 2) + 4 * rank + std::min(file, 7 - file);
}

int32_t ParamType(int32_t index) { return index < PAWN_PARAMS ? 1 : 2 + (index - PAWN_PARAMS) / 32; }

int32_t ParamSquares(int32_t index) { return index < PAWN_PARAMS ? 1 : 2; }

std::vector<std::pair<int32_t, int32_t>> NeighbourParams() {
  std::vector<std::pair<int32_t, int32_t>> pairs;
  for (int32_t type = 1; type <= 6; ++type) {
    for (int32_t square = 0; square < 64; ++square) {
      const int32_t index = ParamIndex(type, square);
      const int32_t file = square & 7;
      // Each pair once: the neighbour to the right and the one above. Squares that share a
      // parameter through the file symmetry (d and e) are no pair.
      const int32_t right = file < 7 ? ParamIndex(type, square + 1) : -1;
      const int32_t above = square < 56 ? ParamIndex(type, square + 8) : -1;
      if (index < 0) continue;
      if (right >= 0 && right != index && (type == 1 || file < 4)) pairs.emplace_back(index, right);
      if (above >= 0 && (type == 1 || file < 4)) pairs.emplace_back(index, above);
    }
  }
  return pairs;
}

CellParams CurrentCells() {
  CellParams cells{};
  for (int32_t type = 1; type <= 6; ++type) {
    for (int32_t square = 0; square < 64; ++square) {
      const int32_t index = ParamIndex(type, square);
      if (index < 0) continue;
      cells[0][index] = PieceSquareTable[6 + type][square].Mg;
      cells[1][index] = PieceSquareTable[6 + type][square].Eg;
    }
  }
  return cells;
}

bool WriteCellsText(const std::string& path, const CellParams& cells, const std::string& header) {
  std::FILE* file = std::fopen(path.c_str(), "w");
  if (!file) return false;
  std::fputs(header.c_str(), file);
  constexpr int32_t PLAIN_PAWN[2] = {124, 206};
  for (int32_t type = 1; type <= 6; ++type) {
    for (int32_t phase = 0; phase < 2; ++phase) {
      std::fprintf(file, "\n%s %s\n", PieceNames[type], phase == 0 ? "mg" : "eg");
      for (int32_t rank = 7; rank >= 0; --rank) {  // as seen from White: rank 8 on top
        for (int32_t file8 = 0; file8 < 8; ++file8) {
          const int32_t index = ParamIndex(type, 8 * rank + file8);
          const long value = index < 0 ? PLAIN_PAWN[phase] : std::lround(cells[phase][index]);
          std::fprintf(file, file8 ? " %4ld" : "%4ld", value);
        }
        std::fputc('\n', file);
      }
    }
  }
  return std::fclose(file) == 0;
}
