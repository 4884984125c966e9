// The position record after a set-up, the move code and the piece codes.
#include "board_setup.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace {

class PositionRecordTest : public BoardTest {};

TEST_F(PositionRecordTest, StartPosition) {
  ASSERT_TRUE(SetBoard(START_FEN, true));
  EXPECT_EQ(Position.SideToMove, WHITE);
  EXPECT_EQ(Position.PieceBB[PAWN], RankMask[RANK_2] | RankMask[RANK_7]);
  EXPECT_EQ(Position.ColourBB[WHITE], RankMask[RANK_1] | RankMask[RANK_2]);
  EXPECT_EQ(Position.ColourBB[BLACK], RankMask[RANK_7] | RankMask[RANK_8]);
  EXPECT_EQ(Position.Occupied, RankMask[RANK_1] | RankMask[RANK_2] | RankMask[RANK_7] | RankMask[RANK_8]);
  EXPECT_EQ(Position.KingSquare[WHITE], 4);
  EXPECT_EQ(Position.KingSquare[BLACK], 60);
  EXPECT_EQ(Position.CastlingRights, 15);
  EXPECT_EQ(Position.EpSquare, -1);
  EXPECT_EQ(Position.NonPawnMaterial[WHITE], 5460);
  EXPECT_EQ(Position.NonPawnMaterial[BLACK], 5460);
  EXPECT_EQ(Position.GamePly, 2);
  EXPECT_EQ(Position.HalfmoveClock, 0);
  EXPECT_EQ(Position.Checkers, 0u);
  EXPECT_EQ(Position.CapturedPiece, 0);
  EXPECT_EQ(Position.PliesFromNull, 0);
  // The piece-square table is mirrored exactly between the colours.
  EXPECT_EQ(Position.PsqMg, 0);
  EXPECT_EQ(Position.PsqEg, 0);
  EXPECT_EQ(Position.Squares[D1], 5);
  EXPECT_EQ(Position.Squares[G8], -2);
  EXPECT_EQ(Position.Squares[E4], 0);
  EXPECT_EQ(PiecesOf(BLACK, ROOK), SquareBit(A8) | SquareBit(H8));
  EXPECT_EQ(KingSquareOf(BLACK), E8);
}

// Piece counts read off the FEN's letters, independent of the board walk.
int32_t LetterCount(const std::string& fen, char letter) {
  return static_cast<int32_t>(std::count(fen.begin(), fen.begin() + fen.find(' '), letter));
}

TEST_F(PositionRecordTest, InvariantsHoldForEveryPerftPosition) {
  for (const std::string& fen : PerftSuiteFens()) {
    ASSERT_TRUE(SetBoard(fen, true)) << fen;
    SCOPED_TRACE(fen);
    EXPECT_EQ(Position.ColourBB[WHITE] & Position.ColourBB[BLACK], 0u);
    EXPECT_EQ(Position.Occupied, Position.ColourBB[WHITE] | Position.ColourBB[BLACK]);
    for (int32_t s = 0; s < SQUARE_NB; ++s) {
      int32_t piece = Position.Squares[s];
      ASSERT_EQ(piece != 0, (Position.Occupied & SquareBit(s)) != 0) << s;
      if (piece == 0) continue;
      EXPECT_TRUE(Position.ColourBB[ColourOf(piece)] & SquareBit(s)) << s;
      for (int32_t type = PAWN; type <= QUEEN; ++type)
        EXPECT_EQ((Position.PieceBB[type] & SquareBit(s)) != 0, TypeOf(piece) == type) << s;
      if (TypeOf(piece) == KING) EXPECT_EQ(Position.KingSquare[ColourOf(piece)], s);
    }
    for (int32_t colour : {WHITE, BLACK}) {
      const char* letters = colour == WHITE ? "NBRQ" : "nbrq";
      int32_t material = 0;
      for (int32_t i = 0; i < 4; ++i) material += NonPawnValue[KNIGHT + i] * LetterCount(fen, letters[i]);
      EXPECT_EQ(Position.NonPawnMaterial[colour], material);
    }
  }
}

// The same position with the colours exchanged and the board turned over.
std::string MirrorFen(const std::string& fen) {
  std::istringstream in(fen);
  std::string placement, side, castling, ep;
  in >> placement >> side >> castling >> ep;
  std::vector<std::string> ranks;
  std::istringstream rankStream(placement);
  for (std::string rank; std::getline(rankStream, rank, '/');) ranks.push_back(rank);
  std::reverse(ranks.begin(), ranks.end());
  std::string mirrored;
  for (const std::string& rank : ranks) mirrored += (mirrored.empty() ? "" : "/") + rank;
  auto swapCase = [](std::string text) {
    for (char& c : text) c = std::isupper(static_cast<unsigned char>(c)) ? std::tolower(c) : std::toupper(c);
    return text;
  };
  std::string swappedRights = swapCase(castling);
  std::string rights;
  for (char c : std::string("KQkq"))
    if (swappedRights.find(c) != std::string::npos) rights += c;
  if (ep != "-") ep[1] = static_cast<char>('9' - (ep[1] - '0'));
  return swapCase(mirrored) + (side == "w" ? " b " : " w ") + (rights.empty() ? "-" : rights) + " " + ep;
}

Bitboard MirrorSquares(Bitboard b) {
  Bitboard mirrored = 0;
  for (int32_t s = 0; s < SQUARE_NB; ++s)
    if (b >> s & 1) mirrored |= Bitboard{1} << (s ^ 56);
  return mirrored;
}

TEST_F(PositionRecordTest, MirroredPositionsHaveOppositeSums) {
  for (const std::string& fen : PerftSuiteFens()) {
    ASSERT_TRUE(SetBoard(fen, true)) << fen;
    int32_t mg = Position.PsqMg, eg = Position.PsqEg;
    int32_t white = Position.NonPawnMaterial[WHITE], black = Position.NonPawnMaterial[BLACK];
    Bitboard checkers = Position.Checkers;
    std::string mirror = MirrorFen(fen);
    ASSERT_TRUE(SetBoard(mirror, true)) << mirror;
    EXPECT_EQ(Position.PsqMg, -mg) << fen;
    EXPECT_EQ(Position.PsqEg, -eg) << fen;
    EXPECT_EQ(Position.NonPawnMaterial[WHITE], black) << fen;
    EXPECT_EQ(Position.NonPawnMaterial[BLACK], white) << fen;
    EXPECT_EQ(Position.Checkers, MirrorSquares(checkers)) << fen;
  }
}

TEST_F(PositionRecordTest, PsqSumsAddTheCellsOfEachPiece) {
  ASSERT_TRUE(SetBoard("4k3/8/8/8/3N4/8/8/4K3 w - -", true));
  EXPECT_EQ(Position.PsqMg,
            PieceSquareTable[6 + 6][E1].Mg + PieceSquareTable[2 + 6][D4].Mg + PieceSquareTable[-6 + 6][E8].Mg);
  EXPECT_EQ(Position.PsqEg,
            PieceSquareTable[6 + 6][E1].Eg + PieceSquareTable[2 + 6][D4].Eg + PieceSquareTable[-6 + 6][E8].Eg);
  // Lone kings on mirrored squares cancel; the knight is what remains.
  EXPECT_EQ(Position.PsqMg, PieceSquareTable[2 + 6][D4].Mg);
  EXPECT_EQ(Position.PsqEg, PieceSquareTable[2 + 6][D4].Eg);
}

TEST(MoveCode, Fields) {
  Move queening = EncodeMove(E7, D8, QUEEN, true);
  EXPECT_EQ(queening, 52 + 59 * 64 + 5 * 4096 + 32768);
  EXPECT_EQ(EncodeMove(E7, D8, KNIGHT, true), 52 + 59 * 64 + 2 * 4096 + 32768);
  EXPECT_EQ(FromSquare(queening), E7);
  EXPECT_EQ(ToSquare(queening), D8);
  EXPECT_EQ(PromotionType(queening), QUEEN);
  EXPECT_TRUE(IsCapture(queening));
  EXPECT_FALSE(IsQuiet(queening));
  EXPECT_FALSE(IsQuiet(EncodeMove(A7, A8, ROOK)));
  EXPECT_TRUE(IsQuiet(EncodeMove(G1, F3)));
  EXPECT_EQ(queening >> 16, 0);
  EXPECT_EQ(EncodeMove(E1, G1), 388);
  EXPECT_EQ(EncodeMove(E1, C1), 132);
  EXPECT_EQ(EncodeMove(E8, G8), 4028);
  EXPECT_EQ(EncodeMove(E8, C8), 3772);
}

TEST(PieceCodes, Letters) {
  EXPECT_EQ(PieceChars[1 + 6], 'P');
  EXPECT_EQ(PieceChars[-6 + 6], 'k');
  EXPECT_EQ(PieceChars[0 + 6], ' ');
  EXPECT_EQ(TypeOf(MakePiece(BLACK, QUEEN)), QUEEN);
  EXPECT_EQ(ColourOf(MakePiece(BLACK, QUEEN)), BLACK);
}

}  // namespace
