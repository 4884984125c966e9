// FEN reading: every rejection with its exact text and in the order the checks run, the
// optional fields, SetBoard's fallback and report, and FEN out and back in.
#include "board_setup.h"

#include <sstream>

#include "search/state.h"

namespace {

class ReadFenTest : public BoardTest {};

// The first five fields: WriteFen always writes "0" as the sixth.
std::string FirstFiveFields(const std::string& fen) {
  std::istringstream in(fen);
  std::string field, result;
  for (int i = 0; i < 5 && in >> field; ++i) result += (i ? " " : "") + field;
  return result;
}

struct Rejection {
  const char* Fen;
  const char* Error;
};

// Each fault with its text, in the order the checks run.
constexpr Rejection Rejections[] = {
    {"8/8/8/8/8/8/8/K1k6 w -", "Illegal board definition"},    // last rank expands to 9 squares
    {"8/8/8/8/8/8/8/K1k4 w -", "Illegal board definition"},    // last rank has 7
    {"8/8/8/8/8/8/8 w -", "Illegal board definition"},         // seven ranks
    {"8/8/8/8/8/8/88/K1k5 w -", "Illegal board definition"},   // a separator missing
    {"8/8/8/8/8/8/8/8/K1k5 w -", "Illegal board definition"},  // nine ranks
    {"", "Illegal board definition"},
    {"8/8/8/8/8/8/8/K1k4x w -", "Illegal character \"x\" in board definition"},
    {"8/8/8/8/8/8/8/K1k49 w -", "Illegal character \"9\" in board definition"},
    {"8/8/8/8/8/8/8/K1k40 w -", "Illegal character \"0\" in board definition"},
    // The walk runs from a8: a bad letter on rank 8 comes before a second king on rank 1,
    // and a second king before a bad letter after it.
    {"K6Z/8/8/8/8/8/8/K1k5 w -", "Illegal character \"Z\" in board definition"},
    {"k7/8/8/8/8/8/8/K1k4Z w -", "Too many Kings"},
    {"K7/8/8/8/8/8/8/K1k5 w -", "Too many Kings"},
    {"8/8/8/8/8/8/8/K7 w - -", "Illegal number of Kings"},
    {"8/8/8/8/8/8/8/k7 w - -", "Illegal number of Kings"},
    {"8/8/8/8/8/8/8/Kk6 w - -", "Kings are too close"},
    {"8/8/8/8/8/8/1k6/K7 w - -", "Kings are too close"},
    {"4k3/8/8/8/8/P7/PPPPPPPP/4K3 w - -", "Too many pawns"},
    {"4k3/pppppppp/p7/8/8/8/8/4K3 w - -", "Too many pawns"},
    {"RNBQKBNR/PPPPPPPP/8/8/8/8/8/N3k3 w - -", "Too many white pieces"},
    {"n3K3/8/8/8/8/8/pppppppp/rnbqkbnr w - -", "Too many black pieces"},
    // Eleven knights fit the count limits, but no material key exists for them; with ten
    // knights a pawn could still promote to the eleventh.
    {"NNNNNNNN/NNN5/8/8/8/8/8/4K2k w - -", "Too many pieces of one kind"},
    {"nnnnnnnn/nnn5/8/8/8/8/8/4K2k w - -", "Too many pieces of one kind"},
    {"NNNNNNNN/NN6/8/8/8/8/P7/4K2k w - -", "Too many pieces of one kind"},
    {"QQQ5/8/8/8/8/8/PPPPPPPP/k3K3 w - -", "Too many pieces of one kind"},
    // Every other rule speaks first: here the knights give check to the side not to move.
    {"k7/NNNNNNNN/NNN5/8/8/8/8/K7 w - -", "Side not to move is in check"},
    {"P3k3/8/8/8/8/8/8/4K3 w - -", "Pawns on first or eighth rank"},
    {"4k3/8/8/8/8/8/8/p3K3 w - -", "Pawns on first or eighth rank"},
    {"8/8/8/8/8/8/8/K1k5 W -", "Illegal side to move"},
    {"8/8/8/8/8/8/8/K1k5 white -", "Illegal side to move"},
    {"8/8/8/8/8/8/8/K1k5", "Illegal side to move"},
    {"4k3/8/8/8/8/8/8/4R1K1 w - -", "Side not to move is in check"},
    {"k7/8/8/8/8/8/8/K6q b - -", "Side not to move is in check"},
    {"8/8/8/8/8/8/8/K1k5 w", "Illegal castling rights"},
    {"r3k2r/8/8/8/8/8/8/R3K2R w KK -", "Illegal castling rights"},
    {"r3k2r/8/8/8/8/8/8/R3K2R w KX -", "Illegal castling rights"},
    {"r3k2r/8/8/8/8/8/8/R3K2R w K- -", "Illegal castling rights"},
    {"r3k2r/8/8/8/8/8/8/R3K2R w kqk -", "Illegal castling rights"},
    {"r3k2r/8/8/8/8/8/8/R3K1R1 w K -", "Illegal King or Rook positions according to castling rights"},
    {"r3k2r/8/8/8/8/8/8/1R2K2R w Q -", "Illegal King or Rook positions according to castling rights"},
    {"r3k2r/8/8/8/8/8/8/R2K3R w K -", "Illegal King or Rook positions according to castling rights"},
    {"r3k1r1/8/8/8/8/8/8/R3K2R w k -", "Illegal King or Rook positions according to castling rights"},
    {"1r2k2r/8/8/8/8/8/8/R3K2R w q -", "Illegal King or Rook positions according to castling rights"},
    {"r3k2r/8/8/8/8/8/8/R3K2r w K -", "Illegal King or Rook positions according to castling rights"},
    {"r2k3r/8/8/8/8/8/8/R3K2R w kq -", "Illegal King or Rook positions according to castling rights"},
    {"rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e6 0 1", "Illegal en passant square"},
    // Rank 1 with White to move and rank 8 with Black to move have no square behind them;
    // the other back rank could only hold a capture onto the last rank without promotion.
    {"4k3/8/8/8/8/8/8/4K3 w - e1", "Illegal en passant square"},
    {"4k3/8/8/8/8/8/8/4K3 b - e8", "Illegal en passant square"},
    {"7k/3p4/8/8/8/8/8/K7 w - d8", "Illegal en passant square"},
    {"k7/8/8/8/8/8/3P4/7K b - d1", "Illegal en passant square"},
    // The square a pawn passed over is empty after every double step.
    {"4k3/8/3n4/3pP3/8/8/8/4K3 w - d6", "Illegal en passant square"},
};

TEST_F(ReadFenTest, EachFaultHasItsOwnText) {
  for (const Rejection& rejection : Rejections) EXPECT_EQ(ReadFen(rejection.Fen), rejection.Error) << rejection.Fen;
}

TEST_F(ReadFenTest, LimitsThemselvesAreAccepted) {
  const char* const accepted[] = {
      "8/8/8/8/8/8/8/K1k5 w -",                 // kings two files apart
      "RNBQKBNR/PPPPPPPP/8/8/8/8/8/4k3 w - -",  // sixteen pieces
      "NNNNNNNN/NN6/8/8/8/8/8/4K2k w - -",      // ten of a kind
      "QQ6/8/4k3/8/8/8/PPPPPPPP/4K3 w - -",     // two queens and eight pawns
  };
  for (const char* fen : accepted) EXPECT_EQ(ReadFen(fen), "") << fen;
  EXPECT_EQ(PopCount(PiecesOf(WHITE, QUEEN)), 2);
}

TEST_F(ReadFenTest, OnlyTheSideToMoveMayBeInCheck) {
  EXPECT_EQ(ReadFen("4r1k1/8/8/8/8/8/8/4K3 w - -"), "");
  EXPECT_EQ(Position.Checkers, SquareBit(E8));
  // A rook and a knight at once.
  EXPECT_EQ(ReadFen("4r2k/8/8/8/8/3n4/8/4K3 w - -"), "");
  EXPECT_EQ(Position.Checkers, SquareBit(E8) | SquareBit(D3));
  // A black pawn gives check diagonally downwards only.
  EXPECT_EQ(ReadFen("7k/8/8/3pp3/4K3/8/8/8 w - -"), "");
  EXPECT_EQ(Position.Checkers, SquareBit(D5));
  EXPECT_EQ(ReadFen("4k3/8/8/8/8/8/8/3QK3 w - -"), "");
  EXPECT_EQ(Position.Checkers, 0u);
}

TEST_F(ReadFenTest, CastlingRights) {
  EXPECT_EQ(ReadFen("8/8/8/8/8/8/8/K1k5 w -"), "");
  EXPECT_EQ(Position.EpSquare, NO_SQUARE);
  EXPECT_EQ(Position.HalfmoveClock, 0);
  EXPECT_EQ(Position.GamePly, 1);
  EXPECT_EQ(ReadFen("r3k2r/8/8/8/8/8/8/R3K2R w qkQK -"), "");
  EXPECT_EQ(Position.CastlingRights, 15);
  EXPECT_EQ(ReadFen("r3k2r/8/8/8/8/8/8/R3K2R w Qk -"), "");
  EXPECT_EQ(Position.CastlingRights, WHITE_QUEEN_SIDE | BLACK_KING_SIDE);
}

TEST_F(ReadFenTest, EnPassantSquare) {
  EXPECT_EQ(ReadFen("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1"), "");
  EXPECT_EQ(Position.EpSquare, E3);
  EXPECT_EQ(Position.GamePly, 3);
  EXPECT_EQ(ReadFen("rnbqkbnr/ppp1pppp/8/3pP3/8/8/PPPP1PPP/RNBQKBNR w KQkq d6 0 3"), "");
  EXPECT_EQ(Position.EpSquare, D6);
  // Not a square name: no square and no error.
  for (const char* field : {"-", "E3", "e9", "i3", "e33", "x"}) {
    EXPECT_EQ(ReadFen(std::string("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq ") + field), "") << field;
    EXPECT_EQ(Position.EpSquare, NO_SQUARE) << field;
  }
}

TEST_F(ReadFenTest, CountersAreOptional) {
  struct Counters {
    const char* Fen;
    int32_t HalfmoveClock, GamePly;
  };
  const Counters cases[] = {
      {"4k3/8/8/8/8/8/8/4K3 b - - 17 42", 17, 85},
      {"4k3/8/8/8/8/8/8/4K3 b - - - -", 0, 1},  // "-" keeps the defaults
      {"4k3/8/8/8/8/8/8/4K3 b - -", 0, 1},
      {"4k3/8/8/8/8/8/8/4K3 b - - x y", 1, 3},  // not a number: 1
      {"   4k3/8/8/8/8/8/8/4K3   w   -  -  5   9  extra fields  ", 5, 18},
      {"4k3/8/8/8/8/8/8/4K3 w - - -2000000000 1", 0, 2},       // a negative clock is none
      {"4k3/8/8/8/8/8/8/4K3 w - - 2147483647 1", 1000000, 2},  // held clear of overflow
      {"4k3/8/8/8/8/8/8/4K3 b - - 0 -5", 0, 1},                // a negative move number is 0
  };
  for (const Counters& c : cases) {
    ASSERT_EQ(ReadFen(c.Fen), "") << c.Fen;
    EXPECT_EQ(Position.HalfmoveClock, c.HalfmoveClock) << c.Fen;
    EXPECT_EQ(Position.PliesFromNull, c.HalfmoveClock) << c.Fen;
    EXPECT_EQ(Position.GamePly, c.GamePly) << c.Fen;
  }
  // A fullmove number beyond the 32-bit range of the ply count is held inside it.
  EXPECT_EQ(ReadFen("4k3/8/8/8/8/8/8/4K3 w - - 0 2147483647"), "");
  EXPECT_GT(Position.GamePly, 0);
}

TEST_F(ReadFenTest, NewSetUpKeepsNothingOfTheOld) {
  EXPECT_EQ(ReadFen("r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 7 30"), "");
  EXPECT_EQ(ReadFen("4k3/8/8/8/8/8/8/4K3 w -"), "");
  EXPECT_EQ(Position.CastlingRights, 0);
  EXPECT_EQ(Position.HalfmoveClock, 0);
  EXPECT_EQ(Position.GamePly, 1);
  EXPECT_EQ(Position.SideToMove, WHITE);
  EXPECT_EQ(Position.Squares[A1], NO_PIECE);
}

class SetBoardTest : public BoardTest {};

TEST_F(SetBoardTest, RejectedTextIsReportedOnceAndTheStartPositionTakesOver) {
  ASSERT_TRUE(SetBoard("4k3/8/8/8/8/8/8/4K3 w - -", false));
  GameHistoryCount = 3;
  testing::internal::CaptureStdout();
  EXPECT_FALSE(SetBoard("  8/8/8/8/8/8/8/Kk6 w - -", true));
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "info setboard error Kings are too close in FEN   8/8/8/8/8/8/8/Kk6 w - -\n");
  EXPECT_EQ(GameHistoryCount, 0);
  EXPECT_EQ(WriteFen(), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 0");
  EXPECT_EQ(SearchStack[1].Key, Position.Key);
}

TEST_F(SetBoardTest, QuietWhenNotVerbose) {
  testing::internal::CaptureStdout();
  EXPECT_FALSE(SetBoard("8/8/8/8/8/8/8/K7 w - -", false));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(Position.Occupied, RankMask[RANK_1] | RankMask[RANK_2] | RankMask[RANK_7] | RankMask[RANK_8]);
}

TEST_F(SetBoardTest, BlankTextChangesNothing) {
  ASSERT_TRUE(SetBoard("4k3/8/8/8/8/8/8/4K3 b - - 3 9", false));
  GameHistoryCount = 2;
  std::string before = WriteFen();
  testing::internal::CaptureStdout();
  EXPECT_FALSE(SetBoard(" \t\r\n ", true));
  EXPECT_FALSE(SetBoard("", true));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(WriteFen(), before);
  EXPECT_EQ(GameHistoryCount, 2);
}

TEST_F(SetBoardTest, AcceptedTextEmptiesTheGameHistoryAndSetsRepetitionKeys) {
  SearchStack[-1].Key = 11;
  SearchStack[0].Key = 12;
  GameHistoryCount = 5;
  ASSERT_TRUE(SetBoard("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", true));
  EXPECT_EQ(GameHistoryCount, 0);
  EXPECT_EQ(SearchStack[-1].Key, 0u);
  EXPECT_EQ(SearchStack[0].Key, 0u);
  EXPECT_EQ(SearchStack[1].Key, Position.Key);
  EXPECT_NE(Position.Key, 0u);
}

TEST_F(SetBoardTest, WriteFenOfTheStartPosition) {
  ASSERT_TRUE(SetBoard(START_FEN, true));
  EXPECT_EQ(Position.HalfmoveClock, 0);
  EXPECT_EQ(Position.GamePly, 2);
  EXPECT_EQ(Position.CastlingRights, 15);
  EXPECT_EQ(WriteFen(), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 0");
}

TEST_F(SetBoardTest, WriteFenSpellsEveryField) {
  ASSERT_TRUE(SetBoard("rnbqkbnr/ppp1pppp/8/3pP3/8/8/PPPP1PPP/RNBQKBNR w Kq d6 12 3", true));
  EXPECT_EQ(WriteFen(), "rnbqkbnr/ppp1pppp/8/3pP3/8/8/PPPP1PPP/RNBQKBNR w Kq d6 12 0");
  ASSERT_TRUE(SetBoard("7k/8/8/8/8/8/8/K7 b - - 99 80", true));
  EXPECT_EQ(WriteFen(), "7k/8/8/8/8/8/8/K7 b - - 99 0");
}

TEST_F(SetBoardTest, EveryPerftPositionRoundTrips) {
  std::vector<std::string> fens = PerftSuiteFens();
  ASSERT_GE(fens.size(), 100u);
  for (const std::string& fen : fens) {
    ASSERT_TRUE(SetBoard(fen, true)) << fen;
    std::string written = WriteFen();
    EXPECT_EQ(FirstFiveFields(written), FirstFiveFields(fen));
    EXPECT_EQ(written.substr(written.size() - 2), " 0");
    uint64_t key = Position.Key;
    ASSERT_TRUE(SetBoard(written, true)) << written;
    EXPECT_EQ(Position.Key, key) << fen;
  }
}

TEST(SquareNames, ParseAndWrite) {
  EXPECT_EQ(ParseSquare("a1"), A1);
  EXPECT_EQ(ParseSquare("h8"), H8);
  EXPECT_EQ(ParseSquare("e3"), E3);
  for (const char* text : {"", "a", "A1", "a0", "a9", "i1", "a1 "}) EXPECT_EQ(ParseSquare(text), NO_SQUARE) << text;
  for (int32_t s = 0; s < SQUARE_NB; ++s) EXPECT_EQ(ParseSquare(SquareName(s)), s);
}

TEST(PieceLetters, CaseSensitiveAndNothingElse) {
  EXPECT_EQ(PieceFromChar('P'), 1);
  EXPECT_EQ(PieceFromChar('K'), 6);
  EXPECT_EQ(PieceFromChar('n'), -2);
  EXPECT_EQ(PieceFromChar('q'), -5);
  for (char c : {' ', 'x', 'A', '1', '\0', '/'}) EXPECT_EQ(PieceFromChar(c), NO_PIECE) << int(c);
}

}  // namespace
