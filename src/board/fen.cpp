// Position set-up from FEN text, with strict validation, and the FEN writer.
#include <algorithm>

#include "board/board.h"
#include "console/console.h"
#include "search/state.h"

namespace {

// Material keys exist for counts 0..10 of each kind, and promotions only move units from the
// pawns to another kind, so a kind's count plus the own pawns must stay within that range.
constexpr int32_t MAX_PIECES_OF_A_KIND = MATERIAL_COUNT_NB - 1;

// Any clock from 100 on is a draw; the bound keeps the counting clear of overflow.
constexpr int32_t MAX_HALFMOVE_CLOCK = 1000000;

void ResetPosition() {
  Position = PositionRecord{};
  Position.KingSquare[WHITE] = NO_SQUARE;
  Position.KingSquare[BLACK] = NO_SQUARE;
  Position.EpSquare = NO_SQUARE;
  Position.GamePly = 1;
}

// Digits 1..8 expanded to blanks, then the rank separators checked and removed: the 64
// squares from a8 to h8, a7 to h7, ..., h1. Empty when the text is no board of 8 x 8.
std::string ExpandPlacement(std::string_view field) {
  std::string expanded;
  for (char c : field) {
    if ('1' <= c && c <= '8')
      expanded.append(static_cast<size_t>(c - '0'), ' ');
    else
      expanded += c;
  }
  for (size_t i = 8; i < 63; i += 9)
    if (i >= expanded.size() || expanded[i] != '/') return {};
  std::erase(expanded, '/');
  return expanded.size() == SQUARE_NB ? expanded : std::string{};
}

std::string PlacePieces(std::string_view field) {
  std::string squares = ExpandPlacement(field);
  if (squares.empty()) return "Illegal board definition";
  for (int32_t i = 0; i < SQUARE_NB; ++i) {
    char c = squares[i];
    if (c == ' ') continue;
    int32_t piece = PieceFromChar(c);
    if (piece == NO_PIECE) {
      std::string error = "Illegal character \"";
      error += c;
      return error + "\" in board definition";
    }
    int32_t s = (7 - i / 8) * 8 + i % 8;
    int32_t colour = ColourOf(piece);
    int32_t type = TypeOf(piece);
    Position.Squares[s] = piece;
    Position.ColourBB[colour] |= SquareBit(s);
    if (type == KING) {
      if (Position.KingSquare[colour] != NO_SQUARE) return "Too many Kings";
      Position.KingSquare[colour] = s;
    } else {
      Position.PieceBB[type] |= SquareBit(s);
    }
  }
  return {};
}

std::string CheckPieceCounts() {
  if (Position.KingSquare[WHITE] == NO_SQUARE || Position.KingSquare[BLACK] == NO_SQUARE)
    return "Illegal number of Kings";
  if (Distance[Position.KingSquare[WHITE]][Position.KingSquare[BLACK]] < 2) return "Kings are too close";
  if (PopCount(PiecesOf(WHITE, PAWN)) > 8 || PopCount(PiecesOf(BLACK, PAWN)) > 8) return "Too many pawns";
  if (PopCount(Position.ColourBB[WHITE]) > 16) return "Too many white pieces";
  if (PopCount(Position.ColourBB[BLACK]) > 16) return "Too many black pieces";
  if (Position.PieceBB[PAWN] & (RankMask[RANK_1] | RankMask[RANK_8])) return "Pawns on first or eighth rank";
  return {};
}

// Checked after every other rule, so that any text another rule refuses gets that rule's
// message. No game reaches a placement this refuses.
std::string CheckKindCounts() {
  for (int32_t colour : {WHITE, BLACK}) {
    int32_t pawns = PopCount(PiecesOf(colour, PAWN));
    for (int32_t type = KNIGHT; type <= QUEEN; ++type)
      if (PopCount(PiecesOf(colour, type)) + pawns > MAX_PIECES_OF_A_KIND) return "Too many pieces of one kind";
  }
  return {};
}

std::string ReadCastling(std::string_view field) {
  if (field == "-") return {};
  if (field.empty()) return "Illegal castling rights";
  for (char c : field) {
    size_t index = std::string_view("KQkq").find(c);
    int32_t right = index == std::string_view::npos ? 0 : 1 << index;
    if (right == 0 || (Position.CastlingRights & right)) return "Illegal castling rights";
    Position.CastlingRights |= right;
  }
  // Each right needs its king and rook on their start squares.
  struct Home {
    int32_t Right, Colour, KingSquare, RookSquare;
  };
  constexpr Home Homes[] = {
      {WHITE_QUEEN_SIDE, WHITE, E1, A1},
      {WHITE_KING_SIDE, WHITE, E1, H1},
      {BLACK_QUEEN_SIDE, BLACK, E8, A8},
      {BLACK_KING_SIDE, BLACK, E8, H8},
  };
  for (const Home& home : Homes) {
    if (!(Position.CastlingRights & home.Right)) continue;
    if (Position.KingSquare[home.Colour] != home.KingSquare ||
        Position.Squares[home.RookSquare] != MakePiece(home.Colour, ROOK))
      return "Illegal King or Rook positions according to castling rights";
  }
  return {};
}

// A square name must have the pawn that just passed it in front of it (seen from the side
// to move). It must also be empty and off the back ranks: otherwise the en-passant capture
// would take an own piece or reach the last rank without promoting. Other text means no square.
std::string ReadEnPassant(std::string_view field) {
  int32_t square = ParseSquare(field);
  if (square == NO_SQUARE) return {};
  int32_t us = Position.SideToMove;
  int32_t pawnSquare = square + (us == WHITE ? -8 : 8);
  if (RankOf(square) == RANK_1 || RankOf(square) == RANK_8 || Position.Squares[square] != NO_PIECE ||
      Position.Squares[pawnSquare] != MakePiece(us ^ 1, PAWN))
    return "Illegal en passant square";
  Position.EpSquare = square;
  return {};
}

void ReadCounters(std::string& rest) {
  std::string field = NextToken(rest);
  if (!field.empty() && field != "-") Position.HalfmoveClock = std::clamp(ReadInteger(field, 1), 0, MAX_HALFMOVE_CLOCK);
  field = NextToken(rest);
  if (!field.empty() && field != "-") {
    // A negative move number counts as 0, as a negative clock does: the time allocation takes
    // the square root of the ply count. The top is kept well inside 32 bits, so that the ply
    // count can still grow move by move.
    int64_t ply = 2 * int64_t{std::max(ReadInteger(field, 1), 0)} + Position.SideToMove;
    Position.GamePly = static_cast<int32_t>(std::min<int64_t>(ply, INT32_MAX / 2));
  }
}

}  // namespace

int32_t PieceFromChar(char c) {
  size_t index = PieceChars.find(c);  // the blank in the middle stands for code 0
  return index == std::string_view::npos ? NO_PIECE : static_cast<int32_t>(index) - 6;
}

int32_t ParseSquare(std::string_view text) {
  if (text.size() != 2 || text[0] < 'a' || text[0] > 'h' || text[1] < '1' || text[1] > '8') return NO_SQUARE;
  return (text[1] - '1') * 8 + (text[0] - 'a');
}

int32_t ComputeNonPawnMaterial(int32_t colour) {
  int32_t material = 0;
  for (int32_t type = KNIGHT; type <= QUEEN; ++type) material += NonPawnValue[type] * PopCount(PiecesOf(colour, type));
  return material;
}

std::string ReadFen(std::string_view fen) {
  ResetPosition();
  std::string rest(fen);

  if (std::string error = PlacePieces(NextToken(rest)); !error.empty()) return error;
  Position.Occupied = Position.ColourBB[WHITE] | Position.ColourBB[BLACK];
  if (std::string error = CheckPieceCounts(); !error.empty()) return error;

  std::string side = NextToken(rest);
  if (side != "w" && side != "b") return "Illegal side to move";
  int32_t us = side == "w" ? WHITE : BLACK;
  int32_t them = us ^ 1;
  Position.SideToMove = us;
  Position.Checkers = AttackersTo(Position.KingSquare[us], Position.Occupied) & Position.ColourBB[them];
  if (AttackersTo(Position.KingSquare[them], Position.Occupied) & Position.ColourBB[us])
    return "Side not to move is in check";

  if (std::string error = ReadCastling(NextToken(rest)); !error.empty()) return error;
  if (std::string error = ReadEnPassant(NextToken(rest)); !error.empty()) return error;
  if (std::string error = CheckKindCounts(); !error.empty()) return error;
  ReadCounters(rest);

  Position.Key = ComputeKey();
  Position.PawnKey = ComputePawnKey();
  Position.MaterialKey = ComputeMaterialKey();
  Position.NonPawnMaterial[WHITE] = ComputeNonPawnMaterial(WHITE);
  Position.NonPawnMaterial[BLACK] = ComputeNonPawnMaterial(BLACK);
  ComputePsqSums(Position.PsqMg, Position.PsqEg);
  Position.PliesFromNull = Position.HalfmoveClock;

  // The repetition test of the next search sees no game position before this one.
  SearchStack[-1].Key = 0;
  SearchStack[0].Key = 0;
  SearchStack[1].Key = Position.Key;
  return {};
}

bool SetBoard(std::string_view fen, bool verbose) {
  if (Trim(fen).empty()) return false;
  std::string error = ReadFen(fen);
  GameHistoryCount = 0;
  if (error.empty()) return true;
  if (verbose) PrintLine("info setboard error " + error + " in FEN " + std::string(fen));
  ReadFen(START_FEN);
  return false;
}

std::string WriteFen() {
  std::string fen;
  for (int32_t rank = RANK_8; rank >= RANK_1; --rank) {
    int32_t blanks = 0;
    for (int32_t file = FILE_A; file <= FILE_H; ++file) {
      int32_t piece = Position.Squares[rank * 8 + file];
      if (piece == NO_PIECE) {
        ++blanks;
        continue;
      }
      if (blanks) fen += static_cast<char>('0' + blanks);
      blanks = 0;
      fen += PieceChars[piece + 6];
    }
    if (blanks) fen += static_cast<char>('0' + blanks);
    if (rank != RANK_1) fen += '/';
  }
  fen += Position.SideToMove == WHITE ? " w " : " b ";
  for (int32_t bit = 0; bit < 4; ++bit)
    if (Position.CastlingRights & (1 << bit)) fen += "KQkq"[bit];
  if (fen.back() == ' ') fen += '-';
  fen += Position.EpSquare == NO_SQUARE ? std::string(" -") : " " + SquareName(Position.EpSquare);
  fen += " " + std::to_string(Position.HalfmoveClock) + " 0";
  return fen;
}
