#pragma once
// The chess primitives every room shares: squares, colours, piece codes, the move code and
// the records that travel with moves. Part of the board room's front door (board/board.h).

#include <array>
#include <cstdint>
#include <string_view>

using Bitboard = uint64_t;  // bit i stands for square i

// clang-format off
enum : int32_t {
  A1, B1, C1, D1, E1, F1, G1, H1,
  A2, B2, C2, D2, E2, F2, G2, H2,
  A3, B3, C3, D3, E3, F3, G3, H3,
  A4, B4, C4, D4, E4, F4, G4, H4,
  A5, B5, C5, D5, E5, F5, G5, H5,
  A6, B6, C6, D6, E6, F6, G6, H6,
  A7, B7, C7, D7, E7, F7, G7, H7,
  A8, B8, C8, D8, E8, F8, G8, H8,
  SQUARE_NB,
  NO_SQUARE = -1,
};
// clang-format on

enum : int32_t { FILE_A, FILE_B, FILE_C, FILE_D, FILE_E, FILE_F, FILE_G, FILE_H, FILE_NB };
enum : int32_t { RANK_1, RANK_2, RANK_3, RANK_4, RANK_5, RANK_6, RANK_7, RANK_8, RANK_NB };

enum : int32_t { WHITE, BLACK, COLOUR_NB };

// Piece types; a piece code is +type for White, -type for Black, 0 for an empty square.
enum : int32_t { NO_PIECE, PAWN, KNIGHT, BISHOP, ROOK, QUEEN, KING, PIECE_TYPE_NB };

// Bits of Position.CastlingRights.
enum : int32_t {
  WHITE_KING_SIDE = 1,
  WHITE_QUEEN_SIDE = 2,
  BLACK_KING_SIDE = 4,
  BLACK_QUEEN_SIDE = 8,
  CASTLING_NB = 16,
};

// Piece letters indexed by piece code + 6: black king first, a blank for empty, white king last.
inline constexpr std::string_view PieceChars = "kqrbnp PNBRQK";

constexpr int32_t MakePiece(int32_t colour, int32_t type) { return colour == WHITE ? type : -type; }
constexpr int32_t ColourOf(int32_t piece) { return piece < 0 ? BLACK : WHITE; }
constexpr int32_t TypeOf(int32_t piece) { return piece < 0 ? -piece : piece; }

// ---- Move code ---------------------------------------------------------------------------
// Bits 0-5 origin, 6-11 destination, 12-14 promotion type, 15 capture. Castling is a king move
// of two files; en passant a capture onto the empty en-passant square. 0 is no move.
using Move = int32_t;

inline constexpr Move MOVE_NONE = 0;
inline constexpr Move CAPTURE_FLAG = 0x8000;

constexpr Move EncodeMove(int32_t from, int32_t to, int32_t promotion = NO_PIECE, bool capture = false) {
  return from | to << 6 | promotion << 12 | (capture ? CAPTURE_FLAG : 0);
}
constexpr int32_t FromSquare(Move move) { return move & 63; }
constexpr int32_t ToSquare(Move move) { return move >> 6 & 63; }
constexpr int32_t PromotionType(Move move) { return move >> 12 & 7; }
constexpr bool IsCapture(Move move) { return (move & CAPTURE_FLAG) != 0; }
// Neither a capture nor a promotion.
constexpr bool IsQuiet(Move move) { return (move & 0xF000) == 0; }

inline constexpr int32_t MAX_MOVES = 256;  // more than any legal position has

struct MoveEntry {
  ::Move Move;
  int32_t Score;  // written by the move pickers only
};
using MoveList = std::array<MoveEntry, MAX_MOVES>;

// What a move needs to be taken back; SaveUndoInfo fills all but the three flags.
struct UndoInfo {
  uint8_t IsCapture;
  uint8_t IsCastling;
  uint8_t IsEnPassant;
  int32_t EpSquare;
  int32_t CastlingRights;
  int32_t HalfmoveClock;
  Bitboard Checkers;
  int32_t CapturedPiece;
  uint64_t Key;
  uint64_t PawnKey;
  uint64_t MaterialKey;
  int32_t NonPawnMaterial[COLOUR_NB];
  int32_t PsqMg;
  int32_t PsqEg;
  int32_t PliesFromNull;
};

// Check and pin facts of one node, for the side to move.
struct CheckInfo {
  Bitboard DiscoveredCandidates;         // own pieces whose move may uncover a check
  Bitboard CheckSquares[PIECE_TYPE_NB];  // [type]: squares from which that type checks; [0] unused
  Bitboard Pinned;                       // own pieces pinned to the own king
  int32_t EnemyKingSquare;
};

// Piece values by type: exchange evaluation and capture ordering; non-pawn material.
inline constexpr int32_t OrderValue[PIECE_TYPE_NB] = {0, 95, 500, 530, 850, 1700, 0};
inline constexpr int32_t NonPawnValue[PIECE_TYPE_NB] = {0, 0, 500, 530, 850, 1700, 0};
