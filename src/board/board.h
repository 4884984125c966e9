#pragma once
// The board room's front door: the one position record, its accessors, the attack tables,
// the piece-square table, hash keys, FEN, move generation and make/unmake, notation, move
// input, exchange evaluation.

#include <array>
#include <cassert>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "board/bitboard.h"
// Part of this door: start-up loads the piece-square table; the tuner reads and checks its cells.
#include "board/psq.h"
#include "board/types.h"

// ---- Position ------------------------------------------------------------------------------

// The one board. Only the FEN set-up and the move operations write it.
struct PositionRecord {
  int32_t SideToMove;
  Bitboard PieceBB[KING];        // [PAWN..QUEEN], both colours; kings have no entry, [0] unused
  Bitboard ColourBB[COLOUR_NB];  // kings included
  int32_t Squares[SQUARE_NB];    // piece code on each square
  int32_t KingSquare[COLOUR_NB];
  Bitboard Occupied;
  int32_t EpSquare;        // square passed over by the last double step, or -1
  int32_t CastlingRights;  // WHITE_KING_SIDE | WHITE_QUEEN_SIDE | BLACK_KING_SIDE | BLACK_QUEEN_SIDE
  int32_t HalfmoveClock;   // plies since the last capture or pawn move
  int32_t GamePly;         // 2 x fullmove number, +1 with Black to move
  Bitboard Checkers;       // enemy pieces giving check to the side to move
  int32_t CapturedPiece;   // code captured by the last move, 0 if none
  uint64_t Key;
  uint64_t PawnKey;
  uint64_t MaterialKey;
  int32_t NonPawnMaterial[COLOUR_NB];
  int32_t PsqMg;  // piece-square sums of every piece on the board
  int32_t PsqEg;
  int32_t PliesFromNull;
};

extern PositionRecord Position;

inline int32_t PieceOn(int32_t square) { return Position.Squares[square]; }

// Pawns to queens of one colour; a king is found through KingSquare.
inline Bitboard PiecesOf(int32_t colour, int32_t type) {
  assert(PAWN <= type && type <= QUEEN);
  return Position.PieceBB[type] & Position.ColourBB[colour];
}

inline int32_t KingSquareOf(int32_t colour) { return Position.KingSquare[colour]; }

// Every piece of either colour attacking square when the pieces stand on occupied; AND it
// with a colour set for one side's attackers.
inline Bitboard AttackersTo(int32_t square, Bitboard occupied) {
  Bitboard kings = SquareBit(Position.KingSquare[WHITE]) | SquareBit(Position.KingSquare[BLACK]);
  Bitboard queens = Position.PieceBB[QUEEN];
  return (PawnAttacks[BLACK][square] & Position.PieceBB[PAWN] & Position.ColourBB[WHITE]) |
         (PawnAttacks[WHITE][square] & Position.PieceBB[PAWN] & Position.ColourBB[BLACK]) |
         (PseudoAttacks[KNIGHT][square] & Position.PieceBB[KNIGHT]) | (PseudoAttacks[KING][square] & kings) |
         (BishopAttacks(square, occupied) & (Position.PieceBB[BISHOP] | queens)) |
         (RookAttacks(square, occupied) & (Position.PieceBB[ROOK] | queens));
}

// ---- Hash keys -----------------------------------------------------------------------------

inline constexpr int32_t MATERIAL_COUNT_NB = 11;  // material keys exist for counts 0..10

// The random keys of resource R11, read once by InitHashKeys. Slots for type 0 are zero.
struct HashKeysRecord {
  uint64_t PieceKeys[COLOUR_NB][PIECE_TYPE_NB][SQUARE_NB];  // [colour][PAWN..KING][square]
  uint64_t EpKeys[SQUARE_NB];
  uint64_t CastlingKeys[CASTLING_NB];                         // by the whole rights value
  uint64_t MaterialKeys[COLOUR_NB][KING][MATERIAL_COUNT_NB];  // [colour][PAWN..QUEEN][count]
  uint64_t SideKey;                                           // in the key when Black is to move
};

extern HashKeysRecord HashKeys;

// Loads R11; a second call does nothing.
void InitHashKeys();

// The three keys of Position computed from its contents.
uint64_t ComputeKey();
uint64_t ComputePawnKey();
uint64_t ComputeMaterialKey();

// The castling rights that survive a move touching the square: a king or rook leaving home,
// or a rook taken on its corner, takes its rights along.
constexpr auto CastleMask = [] {
  std::array<int32_t, SQUARE_NB> mask{};
  mask.fill(255);
  mask[A1] = 253;
  mask[E1] = 252;
  mask[H1] = 254;
  mask[A8] = 247;
  mask[E8] = 243;
  mask[H8] = 251;
  return mask;
}();

// The key after a move, for fetching its table entry early. Exact but for castling, en passant
// captures and promotions (rare), where it costs only a wasted fetch.
[[gnu::always_inline]] inline uint64_t KeyAfter(Move move) {
  const int32_t from = FromSquare(move);
  const int32_t to = ToSquare(move);
  const int32_t piece = Position.Squares[from];
  const int32_t captured = Position.Squares[to];
  const int32_t us = Position.SideToMove;
  uint64_t key = Position.Key ^ HashKeys.SideKey ^ HashKeys.PieceKeys[us][TypeOf(piece)][from] ^
                 HashKeys.PieceKeys[us][TypeOf(piece)][to];
  if (captured != NO_PIECE) key ^= HashKeys.PieceKeys[us ^ 1][TypeOf(captured)][to];
  if (Position.EpSquare != NO_SQUARE) key ^= HashKeys.EpKeys[Position.EpSquare];
  // A double step always sets the square it passed over.
  if (TypeOf(piece) == PAWN && (to - from == 16 || from - to == 16)) key ^= HashKeys.EpKeys[(from + to) / 2];
  const int32_t rights = Position.CastlingRights;
  return key ^ HashKeys.CastlingKeys[rights] ^ HashKeys.CastlingKeys[rights & CastleMask[from] & CastleMask[to]];
}

// The key after a null move.
inline uint64_t KeyAfterNullMove() {
  const uint64_t key = Position.Key ^ HashKeys.SideKey;
  return Position.EpSquare == NO_SQUARE ? key : key ^ HashKeys.EpKeys[Position.EpSquare];
}

// ---- Set-up and FEN ------------------------------------------------------------------------

inline constexpr std::string_view START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// "P".."K" +1..+6, "p".."k" -1..-6; 0 for any other character.
int32_t PieceFromChar(char c);

// "a1".."h8" (lower-case file) to 0..63; -1 for any other text.
int32_t ParseSquare(std::string_view text);

inline std::string SquareName(int32_t square) {
  return {static_cast<char>('a' + FileOf(square)), static_cast<char>('1' + RankOf(square))};
}

// Knights x 500 + bishops x 530 + rooks x 850 + queens x 1700 of the colour.
int32_t ComputeNonPawnMaterial(int32_t colour);

// Sums of the middle-game and endgame piece-square values of every piece on the board.
void ComputePsqSums(int32_t& mg, int32_t& eg);

// Rebuilds Position from the text; returns the error, empty on success. A rejected text
// leaves Position partly built: only SetBoard calls this, and it replaces such a position.
std::string ReadFen(std::string_view fen);

// Sets the position (and empties the game history); on a rejected text reports it when
// verbose, sets the start position and returns false. An all-blank text changes nothing.
bool SetBoard(std::string_view fen, bool verbose);

// The FEN text of Position; the fullmove field is always "0".
std::string WriteFen();

// ---- Move notation and move input ----------------------------------------------------------

// Coordinate text: origin, destination and the promotion letter ("e2e4", "e7e8q").
std::string MoveText(Move move);

// The SAN of each of the first count moves, which must be legal moves of Position (normally
// its whole list: disambiguation looks only at these). Position is unchanged afterwards.
std::vector<std::string> SanTexts(const MoveList& moves, int32_t count);

// One move played through move input, with what taking it back needs.
struct GameHistoryEntry {
  ::Move Move;
  UndoInfo Undo;
};

// More plies than a game lasts under the fifty-move rule; a full history refuses moves.
inline constexpr int32_t GAME_HISTORY_CAPACITY = 16384;

extern GameHistoryEntry GameHistory[GAME_HISTORY_CAPACITY];
// Moves played through move input since the last set-up.
extern int32_t GameHistoryCount;

// Plays the legal move whose SAN or coordinate text is text (exactly, else ignoring letter
// case; the last match in generation order wins) and records it. False changes nothing.
bool PlayMoveText(std::string_view text);

// Takes back the newest move of the game history; nothing when it is empty.
void TakeBack();

// ---- Move generation -----------------------------------------------------------------------
// Each generator writes the Move of consecutive entries of list from index start and returns
// how many it wrote. The staged generators give pseudo-legal moves, which IsLegal filters.

// Captures onto targets (the opponent's pieces), en passant, capturing promotions and the
// quiet queen promotions. Only when not in check.
int32_t GenerateCaptures(int32_t start, Bitboard targets, MoveList& list);
// Non-captures onto targets (the empty squares), castling and the quiet under-promotions.
// Only when not in check.
int32_t GenerateQuiets(int32_t start, Bitboard targets, MoveList& list);
// Moves that may answer the check; only when in check.
int32_t GenerateEvasions(int32_t start, MoveList& list);
// Non-captures onto targets (the empty squares) that give check; a king that uncovers a check
// is not offered every such step. Only when not in check.
int32_t GenerateQuietChecks(int32_t start, Bitboard targets, const CheckInfo& checkInfo, MoveList& list);
// Exactly the legal moves: captures before quiets, or the evasions when in check.
int32_t GenerateLegalMoves(int32_t start, MoveList& list);

// ---- Move operations -----------------------------------------------------------------------
// MakeMove takes a legal move, an undo record that SaveUndoInfo filled on the current position,
// and givesCheck = GivesCheck(move, ...). UnmakeMove takes the same move and record; moves and
// null moves are taken back innermost first.

void SaveUndoInfo(UndoInfo& undo);
void MakeMove(Move move, UndoInfo& undo, bool givesCheck);
void UnmakeMove(Move move, const UndoInfo& undo);
// Passes the turn; the side to move must not be in check. SaveUndoInfo first.
void MakeNullMove();
void UnmakeNullMove(const UndoInfo& undo);

// Check and pin facts for the side to move.
void ComputeCheckInfo(CheckInfo& checkInfo);
// Whether a pseudo-legal move checks the enemy king.
bool GivesCheck(Move move, const CheckInfo& checkInfo);
// Whether any move code (from the transposition table, a killer slot) is pseudo-legal here.
bool IsPseudoLegal(Move move);

// Whether a bishop, rook or queen of colour reaches square when the pieces stand on occupied.
inline bool SliderReaches(int32_t colour, int32_t square, Bitboard occupied) {
  Bitboard queens = Position.PieceBB[QUEEN];
  Bitboard theirs = Position.ColourBB[colour];
  return (BishopAttacks(square, occupied) & (Position.PieceBB[BISHOP] | queens) & theirs) ||
         (RookAttacks(square, occupied) & (Position.PieceBB[ROOK] | queens) & theirs);
}

// The occupancy after the side to move takes en passant from `from` to `to`.
inline Bitboard OccupiedAfterEnPassant(int32_t from, int32_t to) {
  int32_t captured = to + (Position.SideToMove == WHITE ? -8 : 8);
  return (Position.Occupied ^ SquareBit(from) ^ SquareBit(captured)) | SquareBit(to);
}

// Whether a generated or pseudo-legal move leaves the own king unattacked; pinned is
// CheckInfo.Pinned. King moves in check are exact because the evasions already left out the
// squares on a checking line.
inline bool IsLegal(Move move, Bitboard pinned) {
  int32_t us = Position.SideToMove;
  int32_t from = FromSquare(move);
  int32_t to = ToSquare(move);
  int32_t king = Position.KingSquare[us];
  if (from == king) return !(AttackersTo(to, Position.Occupied) & Position.ColourBB[us ^ 1]);
  // En passant takes two pawns off their squares at once, which no pin test sees.
  if (IsCapture(move) && Position.Squares[to] == NO_PIECE)
    return !SliderReaches(us ^ 1, king, OccupiedAfterEnPassant(from, to));
  // A pinned piece stays on the line through its king (no piece moves across the king).
  return !(pinned & SquareBit(from)) || (Line[king][from] & SquareBit(to));
}

// ---- Exchange evaluation -------------------------------------------------------------------

// Material outcome for the side to move of the captures on the move's destination, each side
// taking with its least valuable piece and free to stop; 0 for castling. A promotion counts as
// the pawn's move.
int32_t StaticExchangeValue(Move move);

// 10000 at once when the mover is worth no more than what stands on the destination (every
// king move too); otherwise StaticExchangeValue.
int32_t StaticExchange(Move move);
