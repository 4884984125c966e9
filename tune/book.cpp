// Reads the openings of a PGN file: of the tag pairs only FEN is kept, of the movetext only
// the main line's moves.
#include "tune/book.h"

#include <cstdint>
#include <string_view>

#include "console/console.h"

namespace {

constexpr std::string_view FEN_TAG = "[FEN \"";

// What the reader carries from one line to the next: comments and variations may span lines.
struct ReaderState {
  Opening Game;
  bool InComment = false;      // inside { }
  int32_t VariationDepth = 0;  // inside ( ), nested
};

void FinishGame(ReaderState& state, std::vector<Opening>& book) {
  if (!state.Game.Moves.empty() || !state.Game.Fen.empty()) book.push_back(std::move(state.Game));
  state.Game = {};
}

// One blank-separated word of the main line.
void TakeToken(std::string_view token, ReaderState& state, std::vector<Opening>& book) {
  if (token == "1-0" || token == "0-1" || token == "1/2-1/2" || token == "*") {
    FinishGame(state, book);
    return;
  }
  // A move number ("12.", "12...") may stand against its move ("12.e4").
  size_t end = token.find_first_not_of("0123456789");
  if (end == std::string_view::npos) return;
  if (end > 0 && token[end] == '.') {
    size_t start = token.find_first_not_of('.', end);
    if (start == std::string_view::npos) return;
    token.remove_prefix(start);
  }
  // Annotation marks ("e4!?") are not part of the move's SAN; "$1" is an annotation glyph.
  while (!token.empty() && (token.back() == '!' || token.back() == '?')) token.remove_suffix(1);
  if (token.empty() || token[0] == '$') return;
  state.Game.Moves.emplace_back(token);
}

void ReadMovetextLine(std::string_view line, ReaderState& state, std::vector<Opening>& book) {
  std::string token;
  auto flush = [&] {
    if (!token.empty() && state.VariationDepth == 0) TakeToken(token, state, book);
    token.clear();
  };
  for (char c : line) {
    if (state.InComment) {
      state.InComment = c != '}';
      continue;
    }
    if (c == ';') break;  // a comment to the end of the line
    if (c == '{' || c == '(' || c == ')' || static_cast<unsigned char>(c) <= ' ') {
      flush();
      if (c == '{') state.InComment = true;
      if (c == '(') ++state.VariationDepth;
      if (c == ')' && state.VariationDepth > 0) --state.VariationDepth;
    } else {
      token += c;
    }
  }
  flush();
}

}  // namespace

std::vector<Opening> ParseOpenings(const std::vector<std::string>& lines) {
  std::vector<Opening> book;
  ReaderState state;
  for (const std::string& raw : lines) {
    std::string line = Trim(raw);
    if (!state.InComment && line.starts_with('[')) {
      // Tags after movetext begin the next game, even when the last one had no result.
      if (!state.Game.Moves.empty()) FinishGame(state, book);
      if (line.starts_with(FEN_TAG))
        state.Game.Fen = line.substr(FEN_TAG.size(), line.find('"', FEN_TAG.size()) - FEN_TAG.size());
    } else if (!line.starts_with('%')) {
      ReadMovetextLine(line, state, book);
    }
  }
  FinishGame(state, book);
  return book;
}
