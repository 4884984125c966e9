#pragma once
// Colour mirroring of a FEN, for the symmetry tests of the evaluation.
#include <cctype>
#include <string>

#include "console/console.h"

// The same position with the board turned over and the colours exchanged.
inline std::string MirrorFen(const std::string& fen) {
  std::string rest = fen;
  std::string placement = NextToken(rest), side = NextToken(rest), castling = NextToken(rest);
  std::string ep = NextToken(rest), clock = NextToken(rest), fullmove = NextToken(rest);
  auto swapCase = [](char c) {
    return std::isupper(static_cast<unsigned char>(c)) ? std::tolower(c) : std::toupper(c);
  };
  std::string mirrored;
  for (std::string ranks = placement; !ranks.empty();) {
    std::string rank = NextToken(ranks, '/');
    for (char& c : rank) c = static_cast<char>(swapCase(c));
    mirrored = rank + (mirrored.empty() ? "" : "/") + mirrored;
  }
  std::string rights;
  for (char c : std::string("kqKQ"))
    if (castling.find(c) != std::string::npos) rights += static_cast<char>(swapCase(c));
  if (ep != "-") ep[1] = ep[1] == '3' ? '6' : '3';
  return mirrored + (side == "w" ? " b " : " w ") + (rights.empty() ? "-" : rights) + " " + ep + " " + clock + " " +
         fullmove;
}
