#pragma once
// The tuner's view of the piece-square table: White's cells as free parameters. Black's
// cells are White's mirrored by rank and negated, the pieces but pawns are the same on
// files a-d and h-e, and pawn cells on ranks 1 and 8 stay at the plain pawn value, so each
// phase has 48 pawn and 5 x 32 piece parameters.

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

inline constexpr int32_t PARAMS_PER_PHASE = 48 + 5 * 32;

// [0] middle game, [1] endgame.
using CellParams = std::array<std::array<double, PARAMS_PER_PHASE>, 2>;

// The parameter of White's piece of type 1..6 on square, or -1 for a pawn on rank 1 or 8.
int32_t ParamIndex(int32_t type, int32_t square);

// The piece type (1..6) a parameter belongs to.
int32_t ParamType(int32_t index);

// How many squares of White's board share the parameter (1 for pawns, 2 for the others).
int32_t ParamSquares(int32_t index);

// The pairs of parameters on squares side by side (same piece; a file or a rank apart).
std::vector<std::pair<int32_t, int32_t>> NeighbourParams();

// The parameters of the table the engine runs with.
CellParams CurrentCells();

// Writes the readable table (the layout resources/make_psq.py reads) with rounded values;
// header holds comment lines. Returns false when the file cannot be written.
bool WriteCellsText(const std::string& path, const CellParams& cells, const std::string& header);
