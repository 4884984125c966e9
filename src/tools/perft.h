#pragma once
// Inside the tools room: the perft counter and its result tables, shared by the perft
// command and the perft suite.

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr int32_t PERFT_MAX_DEPTH = 127;

// Expected leaf counts of the perft-suite line being checked, [1..127]; 0 where none is given.
extern int64_t PerftExpected[PERFT_MAX_DEPTH + 1];

// The depth-1 cache for one run: zeroed when it starts, released when it ends. Without the
// memory the run counts without it and says so on an "info string " line.
void AllocatePerftCache();
void FreePerftCache();

// Leaf nodes of the legal move tree depth >= 1 plies below Position.
uint64_t Perft(int32_t depth);

// Counts and prints one depth's row; with expected counts, true when the count differs.
bool PerftRow(int32_t depth, bool withExpected);

// One row per root move with its count below, then the total.
void Divide(int32_t depth);

void PerftTableHead(bool divide, bool withExpected, std::string_view fen);
void PerftTableFoot(bool divide, bool withExpected);

// One perft-suite line "<fen> ;D1 n ;D2 n ...": sets up and shows the position, fills
// PerftExpected up to maxDepth (reporting a bad field) and returns the FEN part.
std::string ReadPerftSuiteLine(const std::string& line, int32_t maxDepth);
