// Move text in the two notations: coordinates for the protocol, SAN for people.
#include <cctype>
#include <string>
#include <vector>

#include "board/board.h"

std::string MoveText(Move move) {
  std::string text = SquareName(FromSquare(move)) + SquareName(ToSquare(move));
  if (PromotionType(move) != NO_PIECE) text += PieceChars[6 - PromotionType(move)];
  return text;
}

namespace {

// What disambiguation compares between the moves of one list.
struct SanWork {
  char Letter;  // upper-case piece letter, "O" for castling
  int32_t From;
  int32_t To;
};

bool IsCastling(char letter, int32_t from, int32_t to) {
  return (letter == 'K' && from == E1 && (to == G1 || to == C1)) ||
         (letter == 'k' && from == E8 && (to == G8 || to == C8));
}

// The check or mate sign the move earns; the move is made and taken back.
std::string_view CheckSign(Move move, const CheckInfo& checkInfo) {
  bool givesCheck = GivesCheck(move, checkInfo);
  UndoInfo undo;
  SaveUndoInfo(undo);
  MakeMove(move, undo, givesCheck);
  std::string_view sign;
  if (Position.Checkers) {
    MoveList replies;
    sign = GenerateLegalMoves(0, replies) == 0 ? "#" : "+";
  }
  UnmakeMove(move, undo);
  return sign;
}

}  // namespace

std::vector<std::string> SanTexts(const MoveList& moves, int32_t count) {
  CheckInfo checkInfo;
  ComputeCheckInfo(checkInfo);
  std::vector<std::string> texts(static_cast<size_t>(count));
  std::vector<SanWork> work(static_cast<size_t>(count));
  for (int32_t i = 0; i < count; ++i) {
    Move move = moves[i].Move;
    int32_t from = FromSquare(move);
    int32_t to = ToSquare(move);
    char letter = PieceChars[PieceOn(from) + 6];
    std::string& text = texts[i];
    if (IsCastling(letter, from, to)) {
      letter = 'O';
      text = FileOf(to) == FILE_G ? "O-O" : "O-O-O";
    } else {
      letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
      text = SquareName(to);
      if (IsCapture(move)) text.insert(0, 1, 'x');
      if (letter != 'P')
        text.insert(0, 1, letter);
      else if (IsCapture(move))
        text.insert(0, 1, SquareName(from)[0]);
      if (PromotionType(move) != NO_PIECE) {
        text += '=';
        text += PieceChars[6 + PromotionType(move)];
      }
    }
    text += CheckSign(move, checkInfo);
    work[i] = {letter, from, to};
  }

  // Kings, pawns and castling never need it: only one king exists, a pawn capture names its file.
  for (int32_t i = 0; i < count; ++i) {
    const SanWork& w = work[i];
    if (w.Letter != 'N' && w.Letter != 'B' && w.Letter != 'R' && w.Letter != 'Q') continue;
    bool ambiguous = false, fileUnique = true, rankUnique = true;
    for (int32_t k = 0; k < count; ++k) {
      if (k == i || work[k].Letter != w.Letter || work[k].To != w.To) continue;
      ambiguous = true;
      if (FileOf(work[k].From) == FileOf(w.From)) fileUnique = false;
      if (RankOf(work[k].From) == RankOf(w.From)) rankUnique = false;
    }
    if (!ambiguous) continue;
    std::string origin = SquareName(w.From);
    texts[i].insert(1, fileUnique ? origin.substr(0, 1) : rankUnique ? origin.substr(1, 1) : origin);
  }
  return texts;
}
