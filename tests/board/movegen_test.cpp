// The generators: their exact order on hand-built positions, the special cases of castling,
// evasions and en passant, and their agreement with the legal-move list along random games.
#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "board/board_setup.h"
#include "board/random_walk.h"

namespace {

// "e2e4", "e4xd5", "c7xb8q": origin, 'x' for the capture flag, destination, promotion letter.
Move Code(std::string_view text) {
  bool capture = text[2] == 'x';
  int32_t from = ParseSquare(text.substr(0, 2));
  int32_t to = ParseSquare(text.substr(capture ? 3 : 2, 2));
  std::string_view rest = text.substr(capture ? 5 : 4);
  int32_t promotion = rest.empty() ? NO_PIECE : PieceFromChar(static_cast<char>(rest[0] - 'a' + 'A'));
  return EncodeMove(from, to, promotion, capture);
}

std::vector<Move> Codes(std::initializer_list<std::string_view> texts) {
  std::vector<Move> moves;
  for (std::string_view text : texts) moves.push_back(Code(text));
  return moves;
}

std::vector<Move> Listed(const MoveList& list, int32_t start, int32_t count) {
  std::vector<Move> moves;
  for (int32_t i = start; i < start + count; ++i) moves.push_back(list[i].Move);
  return moves;
}

Bitboard Opponents() { return Position.ColourBB[Position.SideToMove ^ 1]; }

std::vector<Move> Captures() {
  MoveList list;
  return Listed(list, 0, GenerateCaptures(0, Opponents(), list));
}
std::vector<Move> Quiets() {
  MoveList list;
  return Listed(list, 0, GenerateQuiets(0, ~Position.Occupied, list));
}
std::vector<Move> Evasions() {
  MoveList list;
  return Listed(list, 0, GenerateEvasions(0, list));
}
std::vector<Move> QuietChecks() {
  CheckInfo checkInfo;
  ComputeCheckInfo(checkInfo);
  MoveList list;
  return Listed(list, 0, GenerateQuietChecks(0, ~Position.Occupied, checkInfo, list));
}
std::vector<Move> LegalMoves() {
  MoveList list;
  return Listed(list, 0, GenerateLegalMoves(0, list));
}

bool Contains(const std::vector<Move>& moves, Move move) {
  return std::find(moves.begin(), moves.end(), move) != moves.end();
}

bool IsLegalHere(Move move) {
  CheckInfo checkInfo;
  ComputeCheckInfo(checkInfo);
  return IsLegal(move, checkInfo.Pinned);
}

class MoveGeneration : public BoardTest {
 protected:
  void SetUp() override { SearchState.RootDistance = 0; }
  static void Set(std::string_view fen) { ASSERT_EQ(ReadFen(fen), "") << fen; }
};

TEST_F(MoveGeneration, StartPositionListsKnightsThenSingleThenDoubleSteps) {
  Set(START_FEN);
  EXPECT_EQ(LegalMoves(), Codes({"b1a3", "b1c3", "g1f3", "g1h3", "a2a3", "b2b3", "c2c3", "d2d3", "e2e3", "f2f3",
                                 "g2g3", "h2h3", "a2a4", "b2b4", "c2c4", "d2d4", "e2e4", "f2f4", "g2g4", "h2h4"}));
}

TEST_F(MoveGeneration, LegalListPutsTheEightCapturesOfKiwipeteFirst) {
  Set("r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1");
  std::vector<Move> moves = LegalMoves();
  ASSERT_EQ(moves.size(), 48u);
  auto firstQuiet = std::find_if(moves.begin(), moves.end(), [](Move m) { return !IsCapture(m); });
  EXPECT_EQ(firstQuiet - moves.begin(), 8);
  EXPECT_TRUE(std::none_of(firstQuiet, moves.end(), IsCapture));
}

TEST_F(MoveGeneration, LegalListWritesFromTheStartIndexOnly) {
  Set(START_FEN);
  MoveList list;
  for (MoveEntry& entry : list) entry = {12345, 678};
  int32_t count = GenerateLegalMoves(5, list);
  EXPECT_EQ(count, 20);
  EXPECT_EQ(list[4].Move, 12345);
  EXPECT_EQ(list[25].Move, 12345);
  EXPECT_EQ(list[5].Move, Code("b1a3"));
  EXPECT_EQ(list[5].Score, 678);  // scores belong to the pickers
}

TEST_F(MoveGeneration, CapturesGoByPieceTypeThenOriginThenDestination) {
  Set("4k3/8/8/p3p1p1/7Q/2BN1N2/8/R3K3 w - - 0 1");
  EXPECT_EQ(Captures(), Codes({"d3xe5", "f3xe5", "f3xg5", "c3xa5", "c3xe5", "a1xa5", "h4xg5"}));
}

TEST_F(MoveGeneration, PawnCapturesLeftThenRightThenPromotionsThenTheQuietQueen) {
  Set("1n1qk3/2P5/8/3p4/2P1P3/8/8/4K3 w - - 0 1");
  EXPECT_EQ(Captures(), Codes({"e4xd5", "c4xd5", "c7xb8q", "c7xb8n", "c7xb8r", "c7xb8b", "c7xd8q", "c7xd8n", "c7xd8r",
                               "c7xd8b", "c7c8q"}));
  EXPECT_EQ(Quiets(), Codes({"e1d1", "e1f1", "e1d2", "e1e2", "e1f2", "c4c5", "e4e5", "c7c8n", "c7c8r", "c7c8b"}));
  EXPECT_EQ(LegalMoves().size(), 21u);
}

TEST_F(MoveGeneration, BlackPawnsCaptureTowardsFileAFirst) {
  Set("4k3/8/8/8/3p4/2P1P3/8/4K3 b - - 0 1");
  EXPECT_EQ(Captures(), Codes({"d4xc3", "d4xe3"}));
}

TEST_F(MoveGeneration, CapturesGiveEnPassantButNoOtherMoveToAnEmptySquare) {
  Set("4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1");
  EXPECT_EQ(Captures(), Codes({"e5xd6"}));
  Set("4k3/8/8/3pP3/8/8/8/4K3 w - - 0 1");
  EXPECT_TRUE(Captures().empty());
}

TEST_F(MoveGeneration, CastlingFollowsTheKingStepsKingSideFirst) {
  Set("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
  std::vector<Move> quiets = Quiets();
  auto kingSide = std::find(quiets.begin(), quiets.end(), EncodeMove(E1, G1));
  ASSERT_NE(kingSide, quiets.end());
  EXPECT_EQ(kingSide[-1], Code("e1f2"));
  EXPECT_EQ(kingSide[1], Move{132});
  EXPECT_EQ(EncodeMove(E1, G1), 388);
  Set("r3k2r/8/8/8/8/8/8/4K3 b kq - 0 1");
  quiets = Quiets();
  auto blackKingSide = std::find(quiets.begin(), quiets.end(), Move{4028});
  ASSERT_NE(blackKingSide, quiets.end());
  EXPECT_EQ(blackKingSide[1], Move{3772});
}

TEST_F(MoveGeneration, CastlingNeedsTheRightEmptySquaresAndAnUnattackedPassage) {
  const Move kingSide = 388, queenSide = 132;
  struct Case {
    const char* Fen;
    bool KingSide, QueenSide;
  };
  const Case cases[] = {
      {"4kr2/8/8/8/8/8/8/R3K2R w KQ - 0 1", false, true},  // f1 attacked
      {"3rk3/8/8/8/8/8/8/R3K2R w KQ - 0 1", true, false},  // d1 attacked
      {"1r2k3/8/8/8/8/8/8/R3K2R w KQ - 0 1", true, true},  // only b1 attacked: the king never crosses it
      {"4k3/8/8/8/8/8/8/RN2K2R w KQ - 0 1", true, false},  // b1 occupied
      {"4k3/8/8/8/8/8/8/R3KN1R w KQ - 0 1", false, true},  // f1 occupied
      {"4k3/8/8/8/8/8/8/R3K2R w K - 0 1", true, false},    // no queen-side right
  };
  for (const Case& c : cases) {
    Set(c.Fen);
    std::vector<Move> quiets = Quiets();
    EXPECT_EQ(Contains(quiets, kingSide), c.KingSide) << c.Fen;
    EXPECT_EQ(Contains(quiets, queenSide), c.QueenSide) << c.Fen;
  }
}

TEST_F(MoveGeneration, CastlingOntoAnAttackedSquareIsGeneratedButNotLegal) {
  Set("4k1r1/8/8/8/8/8/8/R3K2R w KQ - 0 1");
  EXPECT_TRUE(Contains(Quiets(), 388));
  EXPECT_FALSE(IsLegalHere(388));
  EXPECT_FALSE(Contains(LegalMoves(), 388));
  EXPECT_TRUE(Contains(LegalMoves(), 132));
}

TEST_F(MoveGeneration, DoubleCheckLeavesOnlyKingMovesOffTheCheckingLine) {
  Set("4k3/8/8/8/8/1N3n2/8/r3K3 w - - 0 1");
  EXPECT_EQ(Evasions(), Codes({"e1d2", "e1e2", "e1f2"}));
  EXPECT_EQ(LegalMoves(), Codes({"e1e2", "e1f2"}));
}

TEST_F(MoveGeneration, KingMayNotStepAlongTheCheckingFileEvenAway) {
  Set("4k3/8/8/4r3/8/8/4K3/8 w - - 0 1");
  EXPECT_EQ(Evasions(), Codes({"e2d1", "e2f1", "e2d2", "e2f2", "e2d3", "e2f3"}));
}

TEST_F(MoveGeneration, KingMayTakeAnAdjacentCheckerUnlessItIsProtected) {
  Set("4k3/8/8/8/8/4r3/4K3/8 w - - 0 1");
  EXPECT_EQ(Evasions(), Codes({"e2d1", "e2f1", "e2d2", "e2f2", "e2d3", "e2xe3", "e2f3"}));
  EXPECT_TRUE(Contains(LegalMoves(), Code("e2xe3")));
  Set("4k3/8/8/8/3p4/4r3/4K3/8 w - - 0 1");
  EXPECT_TRUE(Contains(Evasions(), Code("e2xe3")));
  EXPECT_EQ(LegalMoves(), Codes({"e2d1", "e2f1", "e2d2", "e2f2"}));
}

TEST_F(MoveGeneration, EvasionsPromoteByCaptureThenByBlockingQueenFirst) {
  Set("K6r/1P4P1/8/8/8/8/8/k7 w - - 0 1");
  EXPECT_EQ(Evasions(), Codes({"a8a7", "g7xh8q", "g7xh8n", "g7xh8r", "g7xh8b", "b7b8q", "b7b8n", "b7b8r", "b7b8b",
                               "g7g8q", "g7g8n", "g7g8r", "g7g8b"}));
}

TEST_F(MoveGeneration, EvasionsGoKingThenPiecesThenPawnPushesThenPawnCaptures) {
  // The bishop on b4 checks e1 through c3 and d2.
  Set("4k3/8/8/B7/Rb6/P7/2P5/1N2K3 w - - 0 1");
  std::vector<Move> expected =
      Codes({"e1d1", "e1f1", "e1e2", "e1f2", "b1d2", "b1c3", "a5xb4", "a4xb4", "c2c3", "a3xb4"});
  EXPECT_EQ(Evasions(), expected);
  EXPECT_EQ(LegalMoves(), expected);
}

TEST_F(MoveGeneration, EnPassantTakesTheCheckingPawn) {
  Set("8/8/8/3k4/4Pp2/8/8/4K3 b - e3 0 1");
  EXPECT_TRUE(Contains(Evasions(), Code("f4xe3")));
  EXPECT_TRUE(Contains(LegalMoves(), Code("f4xe3")));
}

TEST_F(MoveGeneration, EnPassantMayBlockASliderCheck) {
  Set("7k/8/K5r1/1Pp5/8/8/8/8 w - c6 0 1");
  EXPECT_TRUE(Contains(Evasions(), Code("b5xc6")));
  EXPECT_TRUE(Contains(LegalMoves(), Code("b5xc6")));
}

TEST_F(MoveGeneration, EnPassantThatBaresTheKingAlongTheRankIsIllegal) {
  Set("8/8/8/KPp4r/8/8/8/7k w - c6 0 2");
  EXPECT_TRUE(Contains(Captures(), Code("b5xc6")));
  EXPECT_FALSE(IsLegalHere(Code("b5xc6")));
  EXPECT_FALSE(Contains(LegalMoves(), Code("b5xc6")));
}

TEST_F(MoveGeneration, QuietChecksGoCandidatesKnightsBishopsRooksQueensPawns) {
  // The knight on e2 uncovers the rook on e1 wherever it goes.
  Set("4k3/8/5P2/8/8/Q7/4N2R/1B2R1K1 w - - 0 1");
  EXPECT_EQ(QuietChecks(), Codes({"e2c1", "e2c3", "e2g3", "e2d4", "e2f4", "b1g6", "h2h8", "a3e3", "a3a4", "a3e7",
                                  "a3a8", "a3f8", "f6f7"}));
}

TEST_F(MoveGeneration, QuietPawnChecksSinglesFirstAndNoneAlongTheKingsFile) {
  // b2 uncovers the bishop on a1, e2 only shields the rook on e1 along the king's file.
  Set("8/8/8/4k3/8/5P2/1P1PP3/B3R2K w - - 0 1");
  EXPECT_EQ(QuietChecks(), Codes({"b2b3", "f3f4", "b2b4", "d2d4"}));
}

TEST_F(MoveGeneration, CastlingIsAQuietCheckWhenTheRookLandsOnTheKingsFile) {
  Set("5k2/8/8/8/8/8/8/4K2R w K - 0 1");
  EXPECT_EQ(QuietChecks(), Codes({"h1f1", "h1h8", "e1g1"}));
  Set("5k2/8/8/5n2/8/8/8/4K2R w K - 0 1");
  EXPECT_EQ(QuietChecks(), Codes({"h1h8"}));
}

// Along random games: the staged generators give the legal list, in its order, once filtered
// by IsLegal; the quiet checks are the quiet moves that check; IsPseudoLegal accepts exactly
// the generated moves.
class StagedGenerators : public MoveGeneration {
 protected:
  std::mt19937 Random{2024};
  std::vector<Move> Earlier;  // moves of the position before, tried here as stale table moves

  void CheckPosition() {
    CheckInfo checkInfo;
    ComputeCheckInfo(checkInfo);
    std::vector<Move> legal = LegalMoves();
    std::set<Move> legalSet(legal.begin(), legal.end());
    ASSERT_EQ(legalSet.size(), legal.size()) << "a move listed twice";

    std::vector<Move> pseudo;
    if (Position.Checkers) {
      pseudo = Evasions();
    } else {
      std::vector<Move> captures = Captures();
      std::vector<Move> quiets = Quiets();
      for (Move m : captures) {
        EXPECT_TRUE(IsCapture(m) || PromotionType(m) == QUEEN) << MoveName(m);
        EXPECT_TRUE(!IsCapture(m) || PieceOn(ToSquare(m)) != NO_PIECE || ToSquare(m) == Position.EpSquare)
            << MoveName(m);
      }
      for (Move m : quiets) EXPECT_TRUE(!IsCapture(m) && PromotionType(m) != QUEEN) << MoveName(m);
      pseudo = captures;
      pseudo.insert(pseudo.end(), quiets.begin(), quiets.end());
      CheckQuietChecks(checkInfo, quiets);
    }
    std::set<Move> pseudoSet(pseudo.begin(), pseudo.end());
    EXPECT_EQ(pseudoSet.size(), pseudo.size()) << "a move generated twice";
    std::vector<Move> filtered;
    for (Move m : pseudo)
      if (IsLegal(m, checkInfo.Pinned)) filtered.push_back(m);
    EXPECT_EQ(filtered, legal) << "the legal list is the filtered staged moves in their order";

    for (Move m : pseudo) EXPECT_EQ(IsPseudoLegal(m), Accepted(m, pseudoSet, legalSet)) << MoveName(m);
    std::vector<Move> trials = Earlier;
    for (int32_t i = 0; i < 64; ++i) trials.push_back(static_cast<Move>(Random() & 0xFFFF));
    for (Move m : legal) trials.push_back(m ^ CAPTURE_FLAG);
    trials.push_back(MOVE_NONE);
    for (Move m : trials) EXPECT_EQ(IsPseudoLegal(m), Accepted(m, pseudoSet, legalSet)) << MoveName(m);
    Earlier = legal;
  }

  // What IsPseudoLegal must say: special moves are exactly the legal ones; in check a king
  // move must also reach a safe square; everything else is exactly the generated moves.
  bool Accepted(Move m, const std::set<Move>& pseudo, const std::set<Move>& legal) {
    int32_t from = FromSquare(m), to = ToSquare(m);
    int32_t type = TypeOf(PieceOn(from));
    bool enPassant = type == PAWN && IsCapture(m) && to == Position.EpSquare;
    bool castling = type == KING && (to - from == 2 || from - to == 2);
    if (enPassant || castling || PromotionType(m)) return legal.count(m) > 0;
    if (Position.Checkers && type == KING) return legal.count(m) > 0;
    return pseudo.count(m) > 0;
  }

  // Exactly the non-promoting quiet moves that check, unless the own king shields a slider
  // (some of its uncovering steps are left out); every move offered does check.
  void CheckQuietChecks(const CheckInfo& checkInfo, const std::vector<Move>& quiets) {
    std::vector<Move> checks = QuietChecks();
    std::set<Move> offered(checks.begin(), checks.end());
    EXPECT_EQ(offered.size(), checks.size()) << "a quiet check generated twice";
    std::set<Move> expected;
    for (Move m : quiets)
      if (!PromotionType(m) && GivesCheck(m, checkInfo)) expected.insert(m);
    bool kingUncovers = checkInfo.DiscoveredCandidates & SquareBit(Position.KingSquare[Position.SideToMove]);
    if (!kingUncovers) {
      EXPECT_EQ(offered, expected);
    } else {
      EXPECT_TRUE(std::includes(expected.begin(), expected.end(), offered.begin(), offered.end()));
    }
  }
};

TEST_F(StagedGenerators, AgreeWithTheLegalListAlongRandomGames) {
  WalkSuitePositions(4, 48, [this] { CheckPosition(); });
}

}  // namespace
