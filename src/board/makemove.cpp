// Make, unmake and the null move, kept exact incrementally, and the check and legality
// questions the search asks about a move before it plays it.
#include "board/board.h"
#include "board/moves.h"
#include "board/psq.h"
#include "search/state.h"

namespace {

constexpr int32_t PushOf(int32_t colour) { return colour == WHITE ? 8 : -8; }

constexpr bool IsCastling(int32_t type, int32_t from, int32_t to) {
  return type == KING && (to - from == 2 || from - to == 2);
}

// The rook's squares of a castling king move: from the corner to the square the king passed.
struct RookMove {
  int32_t From;
  int32_t To;
};
constexpr RookMove CastlingRook(int32_t kingFrom, int32_t kingTo) {
  return kingTo > kingFrom ? RookMove{kingTo + 1, kingFrom + 1} : RookMove{kingTo - 2, kingFrom - 1};
}

inline void AddPsq(int32_t piece, int32_t square) {
  Position.PsqMg += PieceSquareTable[piece + 6][square].Mg;
  Position.PsqEg += PieceSquareTable[piece + 6][square].Eg;
}
inline void SubtractPsq(int32_t piece, int32_t square) {
  Position.PsqMg -= PieceSquareTable[piece + 6][square].Mg;
  Position.PsqEg -= PieceSquareTable[piece + 6][square].Eg;
}

// The material key's change when colour's count of type goes between count and count + 1.
inline uint64_t MaterialStep(int32_t colour, int32_t type, int32_t count) {
  return HashKeys.MaterialKeys[colour][type][count] ^ HashKeys.MaterialKeys[colour][type][count + 1];
}

// Moves a rook in the squares and bitboards (castling and its undoing).
inline void ShiftRook(int32_t colour, int32_t from, int32_t to) {
  Bitboard fromTo = SquareBit(from) | SquareBit(to);
  Position.Squares[to] = Position.Squares[from];
  Position.Squares[from] = NO_PIECE;
  Position.ColourBB[colour] ^= fromTo;
  Position.Occupied ^= fromTo;
  Position.PieceBB[ROOK] ^= fromTo;
}

// The fields UnmakeMove copies back rather than works out: both records name them alike.
template <typename Target, typename Source>
inline void CopyRestoredFields(Target& target, const Source& source) {
  target.EpSquare = source.EpSquare;
  target.CastlingRights = source.CastlingRights;
  target.HalfmoveClock = source.HalfmoveClock;
  target.Checkers = source.Checkers;
  target.CapturedPiece = source.CapturedPiece;
  target.Key = source.Key;
  target.PawnKey = source.PawnKey;
  target.MaterialKey = source.MaterialKey;
  target.NonPawnMaterial[WHITE] = source.NonPawnMaterial[WHITE];
  target.NonPawnMaterial[BLACK] = source.NonPawnMaterial[BLACK];
  target.PsqMg = source.PsqMg;
  target.PsqEg = source.PsqEg;
  target.PliesFromNull = source.PliesFromNull;
}

}  // namespace

void SaveUndoInfo(UndoInfo& undo) { CopyRestoredFields(undo, Position); }

void MakeMove(Move move, UndoInfo& undo, bool givesCheck) {
  const int32_t us = Position.SideToMove;
  const int32_t them = us ^ 1;
  const int32_t from = FromSquare(move);
  const int32_t to = ToSquare(move);
  const int32_t piece = Position.Squares[from];
  const int32_t type = TypeOf(piece);
  const auto& keys = HashKeys.PieceKeys;

  undo.IsCapture = IsCapture(move);
  undo.IsEnPassant = IsCapture(move) && Position.Squares[to] == NO_PIECE;
  undo.IsCastling = IsCastling(type, from, to);

  uint64_t key = Position.Key ^ HashKeys.SideKey;
  Position.HalfmoveClock++;

  int32_t captured = NO_PIECE;
  if (undo.IsCapture) {
    Position.HalfmoveClock = 0;
    int32_t square = undo.IsEnPassant ? to - PushOf(us) : to;
    captured = Position.Squares[square];
    int32_t capturedType = TypeOf(captured);
    assert(capturedType != NO_PIECE && capturedType != KING);
    if (capturedType == PAWN)
      Position.PawnKey ^= keys[them][PAWN][square];
    else
      Position.NonPawnMaterial[them] -= NonPawnValue[capturedType];
    Bitboard bit = SquareBit(square);
    Position.Squares[square] = NO_PIECE;
    Position.PieceBB[capturedType] ^= bit;
    Position.ColourBB[them] ^= bit;
    Position.Occupied ^= bit;
    Position.MaterialKey ^= MaterialStep(them, capturedType, PopCount(PiecesOf(them, capturedType)));
    SubtractPsq(captured, square);
    key ^= keys[them][capturedType][square];
  }

  if (Position.EpSquare != NO_SQUARE) {
    key ^= HashKeys.EpKeys[Position.EpSquare];
    Position.EpSquare = NO_SQUARE;
  }

  Position.CastlingRights &= CastleMask[from] & CastleMask[to];
  if (Position.CastlingRights != undo.CastlingRights)
    key ^= HashKeys.CastlingKeys[undo.CastlingRights] ^ HashKeys.CastlingKeys[Position.CastlingRights];

  Bitboard fromTo = SquareBit(from) | SquareBit(to);
  Position.Squares[from] = NO_PIECE;
  Position.Squares[to] = piece;
  Position.ColourBB[us] ^= fromTo;
  Position.Occupied ^= fromTo;
  if (type == KING)
    Position.KingSquare[us] = to;
  else
    Position.PieceBB[type] ^= fromTo;
  key ^= keys[us][type][from] ^ keys[us][type][to];
  SubtractPsq(piece, from);
  AddPsq(piece, to);

  if (undo.IsCastling) {
    RookMove rook = CastlingRook(from, to);
    int32_t rookPiece = Position.Squares[rook.From];
    ShiftRook(us, rook.From, rook.To);
    key ^= keys[us][ROOK][rook.From] ^ keys[us][ROOK][rook.To];
    SubtractPsq(rookPiece, rook.From);
    AddPsq(rookPiece, rook.To);
  }

  if (type == PAWN) {
    Position.HalfmoveClock = 0;
    Position.PawnKey ^= keys[us][PAWN][from] ^ keys[us][PAWN][to];
    if (to - from == 16 || from - to == 16) {
      // Set after every double step, whether or not a capture en passant is possible.
      Position.EpSquare = from + PushOf(us);
      key ^= HashKeys.EpKeys[Position.EpSquare];
    } else if (int32_t promotion = PromotionType(move)) {
      Bitboard bit = SquareBit(to);
      int32_t promoted = MakePiece(us, promotion);
      Position.PieceBB[PAWN] ^= bit;
      Position.PieceBB[promotion] |= bit;
      Position.Squares[to] = promoted;
      Position.PawnKey ^= keys[us][PAWN][to];
      Position.MaterialKey ^= MaterialStep(us, PAWN, PopCount(PiecesOf(us, PAWN)));
      Position.MaterialKey ^= MaterialStep(us, promotion, PopCount(PiecesOf(us, promotion)) - 1);
      Position.NonPawnMaterial[us] += NonPawnValue[promotion];
      SubtractPsq(piece, to);
      AddPsq(promoted, to);
      key ^= keys[us][PAWN][to] ^ keys[us][promotion][to];
    }
  }

  Position.Key = key;
  Position.GamePly++;
  Position.SideToMove = them;
  Position.CapturedPiece = captured;
  Position.PliesFromNull++;
  SearchState.RootDistance++;
  if (SearchState.RootDistance > SearchState.SelDepth) SearchState.SelDepth = SearchState.RootDistance;
  Position.Checkers =
      givesCheck ? AttackersTo(Position.KingSquare[them], Position.Occupied) & Position.ColourBB[us] : 0;
}

void UnmakeMove(Move move, const UndoInfo& undo) {
  const int32_t us = Position.SideToMove ^ 1;
  const int32_t them = us ^ 1;
  const int32_t from = FromSquare(move);
  const int32_t to = ToSquare(move);
  Position.SideToMove = us;
  int32_t piece = Position.Squares[to];

  if (undo.IsCastling) {
    RookMove rook = CastlingRook(from, to);
    ShiftRook(us, rook.To, rook.From);
  }

  if (int32_t promotion = PromotionType(move)) {
    Bitboard bit = SquareBit(to);
    Position.PieceBB[promotion] ^= bit;
    Position.PieceBB[PAWN] |= bit;
    piece = MakePiece(us, PAWN);
  }

  Bitboard fromTo = SquareBit(from) | SquareBit(to);
  Position.Squares[to] = NO_PIECE;
  Position.Squares[from] = piece;
  Position.ColourBB[us] ^= fromTo;
  Position.Occupied ^= fromTo;
  if (TypeOf(piece) == KING)
    Position.KingSquare[us] = from;
  else
    Position.PieceBB[TypeOf(piece)] ^= fromTo;

  if (undo.IsCapture) {
    int32_t square = undo.IsEnPassant ? to - PushOf(us) : to;
    int32_t captured = Position.CapturedPiece;
    Bitboard bit = SquareBit(square);
    Position.Squares[square] = captured;
    Position.PieceBB[TypeOf(captured)] |= bit;
    Position.ColourBB[them] |= bit;
    Position.Occupied |= bit;
  }

  CopyRestoredFields(Position, undo);
  Position.GamePly--;
  SearchState.RootDistance--;
}

void MakeNullMove() {
  assert(!Position.Checkers);
  Position.Key = KeyAfterNullMove();
  Position.EpSquare = NO_SQUARE;
  Position.PliesFromNull = 0;
  Position.SideToMove ^= 1;
}

void UnmakeNullMove(const UndoInfo& undo) {
  Position.SideToMove ^= 1;
  Position.EpSquare = undo.EpSquare;
  Position.Key = undo.Key;
  Position.PliesFromNull = undo.PliesFromNull;
}

void ComputeCheckInfo(CheckInfo& checkInfo) {
  const int32_t us = Position.SideToMove;
  const int32_t them = us ^ 1;
  const int32_t enemyKing = Position.KingSquare[them];
  checkInfo.DiscoveredCandidates = SliderBlockers(enemyKing, us, us);
  checkInfo.Pinned = SliderBlockers(Position.KingSquare[us], them, us);
  checkInfo.EnemyKingSquare = enemyKing;
  checkInfo.CheckSquares[NO_PIECE] = 0;
  checkInfo.CheckSquares[PAWN] = PawnAttacks[them][enemyKing];
  checkInfo.CheckSquares[KNIGHT] = PseudoAttacks[KNIGHT][enemyKing];
  checkInfo.CheckSquares[BISHOP] = BishopAttacks(enemyKing, Position.Occupied);
  checkInfo.CheckSquares[ROOK] = RookAttacks(enemyKing, Position.Occupied);
  checkInfo.CheckSquares[QUEEN] = checkInfo.CheckSquares[BISHOP] | checkInfo.CheckSquares[ROOK];
  checkInfo.CheckSquares[KING] = 0;
}

bool GivesCheck(Move move, const CheckInfo& checkInfo) {
  const int32_t us = Position.SideToMove;
  const int32_t from = FromSquare(move);
  const int32_t to = ToSquare(move);
  const int32_t type = TypeOf(Position.Squares[from]);
  const int32_t enemyKing = checkInfo.EnemyKingSquare;
  const Bitboard fromBit = SquareBit(from);
  const Bitboard toBit = SquareBit(to);
  const Bitboard enemyKingBit = SquareBit(enemyKing);

  if (checkInfo.CheckSquares[type] & toBit) return true;
  // Leaving the line between an own slider and the enemy king uncovers the check.
  if ((checkInfo.DiscoveredCandidates & fromBit) && !(Line[from][enemyKing] & toBit)) return true;

  if (int32_t promotion = PromotionType(move))
    return AttacksOf(promotion, to, Position.Occupied ^ fromBit) & enemyKingBit;
  if (IsCapture(move) && Position.Squares[to] == NO_PIECE)
    return SliderReaches(us, enemyKing, OccupiedAfterEnPassant(from, to));
  if (IsCastling(type, from, to)) {
    RookMove rook = CastlingRook(from, to);
    if (!(PseudoAttacks[ROOK][rook.To] & enemyKingBit)) return false;
    Bitboard occupied = (Position.Occupied ^ fromBit ^ SquareBit(rook.From)) | toBit | SquareBit(rook.To);
    return RookAttacks(rook.To, occupied) & enemyKingBit;
  }
  return false;
}

bool IsPseudoLegal(Move move) {
  const int32_t us = Position.SideToMove;
  const int32_t them = us ^ 1;
  const int32_t from = FromSquare(move);
  const int32_t to = ToSquare(move);
  // Every move code fits in 16 bits; 0 has from = to.
  if (from == to || (move & ~0xFFFF)) return false;

  const int32_t piece = Position.Squares[from];
  const int32_t type = TypeOf(piece);
  // The rare special moves are looked up in the full list.
  if ((type == PAWN && IsCapture(move) && to == Position.EpSquare) || IsCastling(type, from, to) ||
      PromotionType(move)) {
    MoveList moves;
    int32_t count = GenerateLegalMoves(0, moves);
    for (int32_t i = 0; i < count; ++i)
      if (moves[i].Move == move) return true;
    return false;
  }

  if (piece == NO_PIECE || ColourOf(piece) != us) return false;
  const Bitboard toBit = SquareBit(to);
  if (Position.ColourBB[us] & toBit) return false;
  const bool takes = (Position.ColourBB[them] & toBit) != 0;

  if (type == PAWN) {
    if (RelativeRank(us, to) == RANK_8) return false;
    int32_t push = PushOf(us);
    if (IsCapture(move)) {
      if (!(PawnAttacks[us][from] & toBit) || !takes) return false;
    } else {
      bool single = to == from + push;
      bool twice = to == from + 2 * push && RelativeRank(us, from) == RANK_2 && PieceOn(from + push) == NO_PIECE;
      if (takes || !(single || twice)) return false;
    }
  } else {
    // A capture flag that does not match the destination would make MakeMove lose a piece.
    if (IsCapture(move) != takes) return false;
    if (!(AttacksOf(type, from, Position.Occupied) & toBit)) return false;
  }

  if (!Position.Checkers) return true;
  if (type == KING) return !(AttackersTo(to, Position.Occupied ^ SquareBit(from)) & Position.ColourBB[them]);
  if (MoreThanOne(Position.Checkers)) return false;
  int32_t checker = LowestBit(Position.Checkers);
  return (Between[Position.KingSquare[us]][checker] | SquareBit(checker)) & toBit;
}
