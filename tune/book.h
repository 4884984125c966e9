#pragma once
// The opening book of the self-play generator: the games of a PGN file, each kept as the
// move texts of its main line, which the engine's move input plays.

#include <string>
#include <vector>

struct Opening {
  std::string Fen;                 // the game's FEN tag; empty for the start position
  std::vector<std::string> Moves;  // SAN as written, without move numbers, comments or variations
};

// The games of PGN text in file order; a game with neither moves nor a FEN tag is left out.
std::vector<Opening> ParseOpenings(const std::vector<std::string>& lines);
