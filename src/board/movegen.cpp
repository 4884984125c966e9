// Move generation: the staged generators of pseudo-legal moves, each in the fixed order the
// move pickers and the move listings rely on, and the legal-move list built from them.
#include <type_traits>

#include "board/board.h"
#include "board/moves.h"

namespace {

constexpr Move QUEEN_PROMOTION = QUEEN << 12;
constexpr Move KNIGHT_PROMOTION = KNIGHT << 12;
constexpr Move ROOK_PROMOTION = ROOK << 12;
constexpr Move BISHOP_PROMOTION = BISHOP << 12;

// Pawn geometry of one side: steps and the ranks that matter, seen from that side.
template <int32_t Us>
struct PawnSide {
  static constexpr int32_t Push = Us == WHITE ? 8 : -8;
  static constexpr int32_t Left = Us == WHITE ? 7 : -9;   // captures towards file a
  static constexpr int32_t Right = Us == WHITE ? 9 : -7;  // captures towards file h
  static constexpr Bitboard Rank7 = RankMask[Us == WHITE ? RANK_7 : RANK_2];
  static constexpr Bitboard Rank3 = RankMask[Us == WHITE ? RANK_3 : RANK_6];
};

template <int32_t Offset>
constexpr Bitboard Shifted(Bitboard b) {
  if constexpr (Offset > 0)
    return b << Offset;
  else
    return b >> -Offset;
}

template <int32_t Us>
constexpr Bitboard PushesOf(Bitboard pawns) {
  return Shifted<PawnSide<Us>::Push>(pawns);
}
template <int32_t Us>
constexpr Bitboard LeftCapturesOf(Bitboard pawns) {
  return Shifted<PawnSide<Us>::Left>(pawns & ~FileMask[FILE_A]);
}
template <int32_t Us>
constexpr Bitboard RightCapturesOf(Bitboard pawns) {
  return Shifted<PawnSide<Us>::Right>(pawns & ~FileMask[FILE_H]);
}

// One move from `from` to every square of targets, ascending. With FlagByContents the capture
// flag goes on exactly the occupied destinations, otherwise flags on all of them.
template <bool FlagByContents = false>
inline MoveEntry* AddMoves(MoveEntry* out, int32_t from, Bitboard targets, Move flags) {
  while (targets) {
    int32_t to = PopLowestBit(targets);
    Move flag = FlagByContents ? static_cast<Move>(Position.Occupied >> to & 1) << 15 : flags;
    out++->Move = from | to << 6 | flag;
  }
  return out;
}

// A pawn move onto every square of targets from the square Offset behind it, ascending.
template <int32_t Offset>
inline MoveEntry* AddPawnMoves(MoveEntry* out, Bitboard targets, Move flags) {
  while (targets) {
    int32_t to = PopLowestBit(targets);
    out++->Move = (to - Offset) | to << 6 | flags;
  }
  return out;
}

// The four promotions of each pawn move: queen, knight, rook, bishop.
template <int32_t Offset>
inline MoveEntry* AddPromotions(MoveEntry* out, Bitboard targets, Move flags) {
  while (targets) {
    int32_t to = PopLowestBit(targets);
    Move move = (to - Offset) | to << 6 | flags;
    out[0].Move = move | QUEEN_PROMOTION;
    out[1].Move = move | KNIGHT_PROMOTION;
    out[2].Move = move | ROOK_PROMOTION;
    out[3].Move = move | BISHOP_PROMOTION;
    out += 4;
  }
  return out;
}

// The quiet under-promotions: knight, rook, bishop (the queen goes with the captures).
template <int32_t Offset>
inline MoveEntry* AddUnderPromotions(MoveEntry* out, Bitboard targets) {
  while (targets) {
    int32_t to = PopLowestBit(targets);
    Move move = (to - Offset) | to << 6;
    out[0].Move = move | KNIGHT_PROMOTION;
    out[1].Move = move | ROOK_PROMOTION;
    out[2].Move = move | BISHOP_PROMOTION;
    out += 3;
  }
  return out;
}

// The legal-move list drops, while generating, exactly the moves IsLegal would refuse: the
// staged generators run with Legal = false and keep every pseudo-legal move.
struct Legality {
  Bitboard Pinned;
  int32_t King;
};

// A pinned piece keeps to the line through its king.
template <bool Legal>
inline Bitboard KeepOnPinLine(Bitboard destinations, int32_t from, const Legality& legality) {
  if (Legal && (legality.Pinned & SquareBit(from))) destinations &= Line[legality.King][from];
  return destinations;
}

// The same for pawn moves, given by their destinations, each Offset ahead of its origin.
template <bool Legal, int32_t Offset>
inline Bitboard KeepPawnsOnPinLine(Bitboard destinations, const Legality& legality) {
  if (!Legal) return destinations;
  for (Bitboard pinned = legality.Pinned & Position.PieceBB[PAWN]; pinned;) {
    int32_t from = PopLowestBit(pinned);
    int32_t to = from + Offset;
    if (IsOnBoard(to) && !(Line[legality.King][from] & SquareBit(to))) destinations &= ~SquareBit(to);
  }
  return destinations;
}

// King destinations no enemy piece attacks, the king still standing on its square.
template <bool Legal>
inline Bitboard KeepSafeForKing(Bitboard destinations, int32_t them) {
  if (!Legal) return destinations;
  Bitboard safe = 0;
  for (Bitboard b = destinations; b;) {
    int32_t to = PopLowestBit(b);
    if (!(AttackersTo(to, Position.Occupied) & Position.ColourBB[them])) safe |= SquareBit(to);
  }
  return safe;
}

// Whether taking en passant from `from` leaves no enemy slider on the own king.
inline bool EnPassantIsSafe(int32_t from, int32_t us, const Legality& legality) {
  return !SliderReaches(us ^ 1, legality.King, OccupiedAfterEnPassant(from, Position.EpSquare));
}

// Pawn captures given by destinations: the en-passant one goes if it bares the king.
template <bool Legal, int32_t Offset>
inline Bitboard KeepSafeEnPassant(Bitboard destinations, int32_t us, const Legality& legality) {
  Bitboard ep = SquareBit(Position.EpSquare);
  if (Legal && (destinations & ep) && !EnPassantIsSafe(Position.EpSquare - Offset, us, legality)) destinations ^= ep;
  return destinations;
}

// Every piece of one type of the side to move onto its attacks AND targets.
template <int32_t Type, bool Legal, bool FlagByContents>
inline MoveEntry* AddPieceMoves(MoveEntry* out, int32_t us, Bitboard targets, Move flags, const Legality& legality) {
  for (Bitboard pieces = PiecesOf(us, Type); pieces;) {
    int32_t from = PopLowestBit(pieces);
    Bitboard destinations = KeepOnPinLine<Legal>(AttacksOf<Type>(from, Position.Occupied) & targets, from, legality);
    out = AddMoves<FlagByContents>(out, from, destinations, flags);
  }
  return out;
}

// Knights, bishops, rooks and queens, in this order.
template <bool Legal, bool FlagByContents = false>
inline MoveEntry* AddOfficerMoves(MoveEntry* out, int32_t us, Bitboard targets, Move flags, const Legality& legality) {
  out = AddPieceMoves<KNIGHT, Legal, FlagByContents>(out, us, targets, flags, legality);
  out = AddPieceMoves<BISHOP, Legal, FlagByContents>(out, us, targets, flags, legality);
  out = AddPieceMoves<ROOK, Legal, FlagByContents>(out, us, targets, flags, legality);
  return AddPieceMoves<QUEEN, Legal, FlagByContents>(out, us, targets, flags, legality);
}

struct CastlingMove {
  int32_t Right;
  Bitboard MustBeEmpty;  // between king and rook
  int32_t Passed;        // next to the king, must not be attacked
  int32_t RookTo;
  Move Code;
};

// King-side first, then queen-side.
constexpr CastlingMove Castlings[COLOUR_NB][2] = {
    {{WHITE_KING_SIDE, Bitboard{1} << F1 | Bitboard{1} << G1, F1, F1, EncodeMove(E1, G1)},
     {WHITE_QUEEN_SIDE, Bitboard{1} << B1 | Bitboard{1} << C1 | Bitboard{1} << D1, D1, D1, EncodeMove(E1, C1)}},
    {{BLACK_KING_SIDE, Bitboard{1} << F8 | Bitboard{1} << G8, F8, F8, EncodeMove(E8, G8)},
     {BLACK_QUEEN_SIDE, Bitboard{1} << B8 | Bitboard{1} << C8 | Bitboard{1} << D8, D8, D8, EncodeMove(E8, C8)}},
};

// The king's own square is not tested (no caller is in check) and the destination is left to
// IsLegal, which treats castling as a king move.
inline bool CanCastle(const CastlingMove& castling, int32_t us) {
  return (Position.CastlingRights & castling.Right) && !(Position.Occupied & castling.MustBeEmpty) &&
         !(AttackersTo(castling.Passed, Position.Occupied) & Position.ColourBB[us ^ 1]);
}

template <int32_t Us, bool Legal>
MoveEntry* AddCaptures(MoveEntry* out, Bitboard targets, const Legality& legality) {
  using Side = PawnSide<Us>;
  out = AddOfficerMoves<Legal>(out, Us, targets, CAPTURE_FLAG, legality);
  int32_t king = Position.KingSquare[Us];
  out = AddMoves(out, king, KeepSafeForKing<Legal>(PseudoAttacks[KING][king] & targets, Us ^ 1), CAPTURE_FLAG);

  Bitboard pawns = PiecesOf(Us, PAWN);
  Bitboard normal = pawns & ~Side::Rank7;
  Bitboard pawnTargets = targets | SquareBit(Position.EpSquare);
  Bitboard left = KeepPawnsOnPinLine<Legal, Side::Left>(LeftCapturesOf<Us>(normal) & pawnTargets, legality);
  Bitboard right = KeepPawnsOnPinLine<Legal, Side::Right>(RightCapturesOf<Us>(normal) & pawnTargets, legality);
  out = AddPawnMoves<Side::Left>(out, KeepSafeEnPassant<Legal, Side::Left>(left, Us, legality), CAPTURE_FLAG);
  out = AddPawnMoves<Side::Right>(out, KeepSafeEnPassant<Legal, Side::Right>(right, Us, legality), CAPTURE_FLAG);
  if (Bitboard seventh = pawns & Side::Rank7) {
    left = KeepPawnsOnPinLine<Legal, Side::Left>(LeftCapturesOf<Us>(seventh) & targets, legality);
    right = KeepPawnsOnPinLine<Legal, Side::Right>(RightCapturesOf<Us>(seventh) & targets, legality);
    Bitboard pushes = KeepPawnsOnPinLine<Legal, Side::Push>(PushesOf<Us>(seventh) & ~Position.Occupied, legality);
    out = AddPromotions<Side::Left>(out, left, CAPTURE_FLAG);
    out = AddPromotions<Side::Right>(out, right, CAPTURE_FLAG);
    out = AddPawnMoves<Side::Push>(out, pushes, QUEEN_PROMOTION);
  }
  return out;
}

template <int32_t Us, bool Legal>
MoveEntry* AddQuiets(MoveEntry* out, Bitboard targets, const Legality& legality) {
  using Side = PawnSide<Us>;
  out = AddOfficerMoves<Legal>(out, Us, targets, 0, legality);
  int32_t king = Position.KingSquare[Us];
  out = AddMoves(out, king, KeepSafeForKing<Legal>(PseudoAttacks[KING][king] & targets, Us ^ 1), 0);
  for (const CastlingMove& castling : Castlings[Us])
    if (CanCastle(castling, Us) && KeepSafeForKing<Legal>(SquareBit(ToSquare(castling.Code)), Us ^ 1))
      out++->Move = castling.Code;

  Bitboard pawns = PiecesOf(Us, PAWN);
  Bitboard single = PushesOf<Us>(pawns & ~Side::Rank7) & targets;
  Bitboard doubles = PushesOf<Us>(single & Side::Rank3) & targets;
  out = AddPawnMoves<Side::Push>(out, KeepPawnsOnPinLine<Legal, Side::Push>(single, legality), 0);
  out = AddPawnMoves<2 * Side::Push>(out, KeepPawnsOnPinLine<Legal, 2 * Side::Push>(doubles, legality), 0);
  if (Bitboard seventh = pawns & Side::Rank7) {
    Bitboard pushes = KeepPawnsOnPinLine<Legal, Side::Push>(PushesOf<Us>(seventh) & targets, legality);
    out = AddUnderPromotions<Side::Push>(out, pushes);
  }
  return out;
}

template <int32_t Us, bool Legal>
MoveEntry* AddEvasions(MoveEntry* out, const Legality& legality) {
  using Side = PawnSide<Us>;
  int32_t king = Position.KingSquare[Us];
  Bitboard checkers = Position.Checkers;
  assert(checkers);

  // The king may not step along a checking line, not even away from the checker, but it may
  // take the checker unless another checker's line runs through it.
  Bitboard sliders = Position.PieceBB[BISHOP] | Position.PieceBB[ROOK] | Position.PieceBB[QUEEN];
  Bitboard forbidden = 0;
  for (Bitboard b = checkers & sliders; b;) {
    int32_t checker = PopLowestBit(b);
    forbidden |= Line[king][checker] ^ SquareBit(checker);
  }
  Bitboard steps = PseudoAttacks[KING][king] & ~Position.ColourBB[Us] & ~forbidden;
  out = AddMoves<true>(out, king, KeepSafeForKing<Legal>(steps, Us ^ 1), 0);
  if (MoreThanOne(checkers)) return out;

  int32_t checker = LowestBit(checkers);
  Bitboard checkerBit = SquareBit(checker);
  Bitboard block = Between[king][checker] | checkerBit;
  out = AddOfficerMoves<Legal, true>(out, Us, block, 0, legality);

  Bitboard empty = ~Position.Occupied;
  Bitboard pawns = PiecesOf(Us, PAWN);
  Bitboard normal = pawns & ~Side::Rank7;
  Bitboard single = PushesOf<Us>(normal) & empty;
  Bitboard doubles = PushesOf<Us>(single & Side::Rank3) & empty & block;
  Bitboard left = LeftCapturesOf<Us>(normal) & checkerBit;
  Bitboard right = RightCapturesOf<Us>(normal) & checkerBit;
  out = AddPawnMoves<Side::Push>(out, KeepPawnsOnPinLine<Legal, Side::Push>(single & block, legality), 0);
  out = AddPawnMoves<2 * Side::Push>(out, KeepPawnsOnPinLine<Legal, 2 * Side::Push>(doubles, legality), 0);
  out = AddPawnMoves<Side::Left>(out, KeepPawnsOnPinLine<Legal, Side::Left>(left, legality), CAPTURE_FLAG);
  out = AddPawnMoves<Side::Right>(out, KeepPawnsOnPinLine<Legal, Side::Right>(right, legality), CAPTURE_FLAG);
  // En passant answers a check by taking the pawn that just gave it, or by landing between a
  // slider and the king.
  int32_t ep = Position.EpSquare;
  if (ep != NO_SQUARE && (checker == ep - Side::Push || (block & SquareBit(ep)))) {
    for (Bitboard takers = PawnAttacks[Us ^ 1][ep] & pawns; takers;) {
      int32_t from = PopLowestBit(takers);
      if (!Legal || EnPassantIsSafe(from, Us, legality)) out++->Move = EncodeMove(from, ep, NO_PIECE, true);
    }
  }
  if (Bitboard seventh = pawns & Side::Rank7) {
    left = KeepPawnsOnPinLine<Legal, Side::Left>(LeftCapturesOf<Us>(seventh) & checkerBit, legality);
    right = KeepPawnsOnPinLine<Legal, Side::Right>(RightCapturesOf<Us>(seventh) & checkerBit, legality);
    Bitboard pushes = KeepPawnsOnPinLine<Legal, Side::Push>(PushesOf<Us>(seventh) & empty & block, legality);
    out = AddPromotions<Side::Left>(out, left, CAPTURE_FLAG);
    out = AddPromotions<Side::Right>(out, right, CAPTURE_FLAG);
    out = AddPromotions<Side::Push>(out, pushes, 0);
  }
  return out;
}

// Direct checks of the given pieces of one type; only pieces whose empty-board attacks meet a
// checking square look their attacks up.
template <int32_t Type>
inline MoveEntry* AddDirectChecks(MoveEntry* out, Bitboard pieces, Bitboard targets) {
  while (pieces) {
    int32_t from = PopLowestBit(pieces);
    if (PseudoAttacks[Type][from] & targets)
      out = AddMoves(out, from, AttacksOf<Type>(from, Position.Occupied) & targets, 0);
  }
  return out;
}

template <int32_t Us>
MoveEntry* AddQuietChecks(MoveEntry* out, Bitboard targets, const CheckInfo& checkInfo) {
  using Side = PawnSide<Us>;
  int32_t enemyKing = checkInfo.EnemyKingSquare;
  Bitboard empty = ~Position.Occupied;
  Bitboard candidates = checkInfo.DiscoveredCandidates;

  // A candidate's every move uncovers the check (it cannot stay on the line without already
  // giving check); a king stepping onto the enemy king's rays might stay on it.
  for (Bitboard b = candidates & ~Position.PieceBB[PAWN]; b;) {
    int32_t from = PopLowestBit(b);
    int32_t type = TypeOf(Position.Squares[from]);
    Bitboard to = type == KING ? PseudoAttacks[KING][from] & ~PseudoAttacks[QUEEN][enemyKing]
                               : AttacksOf(type, from, Position.Occupied);
    out = AddMoves(out, from, to & empty, 0);
  }
  const Bitboard* checkSquares = checkInfo.CheckSquares;
  out = AddDirectChecks<KNIGHT>(out, PiecesOf(Us, KNIGHT) & ~candidates, targets & checkSquares[KNIGHT]);
  out = AddDirectChecks<BISHOP>(out, PiecesOf(Us, BISHOP) & ~candidates, targets & checkSquares[BISHOP]);
  out = AddDirectChecks<ROOK>(out, PiecesOf(Us, ROOK) & ~candidates, targets & checkSquares[ROOK]);
  out = AddDirectChecks<QUEEN>(out, PiecesOf(Us, QUEEN), targets & checkSquares[QUEEN]);

  int32_t king = Position.KingSquare[Us];
  for (const CastlingMove& castling : Castlings[Us])
    if (CanCastle(castling, Us) &&
        (RookAttacks(castling.RookTo, Position.Occupied ^ SquareBit(king)) & SquareBit(enemyKing)))
      out++->Move = castling.Code;

  // Pushes onto a checking square, and pushes of candidates off the enemy king's file.
  Bitboard normal = PiecesOf(Us, PAWN) & ~Side::Rank7;
  Bitboard single = PushesOf<Us>(normal) & empty;
  Bitboard uncovering = PushesOf<Us>(normal & candidates) & empty & ~FileMask[FileOf(enemyKing)];
  Bitboard doubles = PushesOf<Us>(single & Side::Rank3) & empty & targets;
  Bitboard uncoveringDoubles = PushesOf<Us>(uncovering & Side::Rank3) & empty & targets;
  Bitboard pawnChecks = checkInfo.CheckSquares[PAWN];
  out = AddPawnMoves<Side::Push>(out, (single & pawnChecks) | uncovering, 0);
  return AddPawnMoves<2 * Side::Push>(out, (doubles & pawnChecks) | uncoveringDoubles, 0);
}

// Runs a generator for the side to move, writing from list[start]; returns the count.
template <typename Generator>
int32_t WriteMoves(MoveList& list, int32_t start, Generator generate) {
  MoveEntry* first = list.data() + start;
  MoveEntry* end = Position.SideToMove == WHITE ? generate(first, std::integral_constant<int32_t, WHITE>{})
                                                : generate(first, std::integral_constant<int32_t, BLACK>{});
  return static_cast<int32_t>(end - first);
}

}  // namespace

int32_t GenerateCaptures(int32_t start, Bitboard targets, MoveList& list) {
  return WriteMoves(list, start, [targets](MoveEntry* out, auto us) {
    return AddCaptures<decltype(us)::value, false>(out, targets, Legality{});
  });
}

int32_t GenerateQuiets(int32_t start, Bitboard targets, MoveList& list) {
  return WriteMoves(list, start, [targets](MoveEntry* out, auto us) {
    return AddQuiets<decltype(us)::value, false>(out, targets, Legality{});
  });
}

int32_t GenerateEvasions(int32_t start, MoveList& list) {
  return WriteMoves(list, start,
                    [](MoveEntry* out, auto us) { return AddEvasions<decltype(us)::value, false>(out, Legality{}); });
}

int32_t GenerateQuietChecks(int32_t start, Bitboard targets, const CheckInfo& checkInfo, MoveList& list) {
  return WriteMoves(list, start, [targets, &checkInfo](MoveEntry* out, auto us) {
    return AddQuietChecks<decltype(us)::value>(out, targets, checkInfo);
  });
}

// The evasions, or the captures and then the quiet moves, without the moves that leave the
// own king attacked; the same list as filtering the staged generators through IsLegal.
int32_t GenerateLegalMoves(int32_t start, MoveList& list) {
  int32_t us = Position.SideToMove;
  Legality legality{SliderBlockers(Position.KingSquare[us], us ^ 1, us), Position.KingSquare[us]};
  return WriteMoves(list, start, [&legality](MoveEntry* out, auto side) {
    constexpr int32_t Us = decltype(side)::value;
    if (Position.Checkers) return AddEvasions<Us, true>(out, legality);
    out = AddCaptures<Us, true>(out, Position.ColourBB[Us ^ 1], legality);
    return AddQuiets<Us, true>(out, ~Position.Occupied, legality);
  });
}
