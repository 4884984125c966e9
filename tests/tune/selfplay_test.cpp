// Self-play games from chosen positions: the ends the rules give, adjudication by the
// searched scores, and the position lines they leave.
#include <string>
#include <vector>

#include "console/capture.h"
#include "console/console.h"
#include "search/search_setup.h"
#include "tune/selfplay.h"

namespace {

// Pawns locked on every file: neither king nor a rook can cross them, so no mate comes near.
constexpr std::string_view LOCKED_WITH_ROOK = "4k3/8/8/1p1p1p1p/pPpPpPpP/P1P1P1P1/8/R3K3 w - - 0 1";
constexpr std::string_view LOCKED = "4k3/8/8/1p1p1p1p/pPpPpPpP/P1P1P1P1/8/4K3 w - - 0 1";

class SelfPlayTest : public SearchTest {
 protected:
  // NewGame sizes the table from the settings: keep it at the tests' small size.
  static void SetUpTestSuite() {
    SearchTest::SetUpTestSuite();
    SavedHashMB = Settings.HashSizeMB;
    Settings.HashSizeMB = 16;
  }
  static void TearDownTestSuite() { Settings.HashSizeMB = SavedHashMB; }

  // A game at a few hundred nodes a move; the engine's own output is swallowed.
  static PlayedGame Play(const Opening& opening, const AdjudicationRules& rules = {}) {
    PlayedGame game;
    CaptureOutput([&] { game = PlayGame(opening, 300, rules); });
    return game;
  }

  static inline int32_t SavedHashMB = 0;
};

TEST_F(SelfPlayTest, GamesEndAtOnceByTheRulesOrOnAMateScore) {
  struct Case {
    Opening Start;
    GameEnd End;
    GameResult Result;
    int32_t Plies;
  };
  const Case cases[] = {
      {{"R5k1/5ppp/8/8/8/8/8/6K1 b - - 1 1", {}}, GameEnd::CHECKMATE, WHITE_WON, 0},
      {{"7k/5Q2/6K1/8/8/8/8/8 b - - 0 1", {}}, GameEnd::STALEMATE, DRAWN, 0},
      {{"4k3/8/8/8/8/8/8/R3K3 w - - 100 80", {}}, GameEnd::FIFTY_MOVES, DRAWN, 0},
      {{"4k3/8/3b4/8/8/4B3/8/4K3 w - - 0 1", {}}, GameEnd::INSUFFICIENT_MATERIAL, DRAWN, 0},
      {{"", {"Nf3", "Nf6", "Ng1", "Ng8", "Nf3", "Nf6", "Ng1", "Ng8"}}, GameEnd::REPETITION, DRAWN, 8},
      // The first of the three stands right after a double step that no pawn can take.
      {{"", {"e4", "Nf6", "Nf3", "Ng8", "Ng1", "Nf6", "Nf3", "Ng8", "Ng1"}}, GameEnd::REPETITION, DRAWN, 9},
      // The book's moves count: the last capture leaves bare kings.
      {{"4k3/8/8/8/8/8/3q4/4K3 w - - 0 1", {"Kxd2"}}, GameEnd::INSUFFICIENT_MATERIAL, DRAWN, 1},
      {{"6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", {}}, GameEnd::MATE_SCORE, WHITE_WON, 0},
      {{"r5k1/8/8/8/8/8/5PPP/6K1 b - - 0 1", {}}, GameEnd::MATE_SCORE, BLACK_WON, 0},
      {{"", {"e4", "e5", "Qxe5"}}, GameEnd::BAD_OPENING, DRAWN, 0},
  };
  for (const Case& c : cases) {
    PlayedGame game = Play(c.Start);
    std::string name = c.Start.Fen + " " + std::to_string(c.Start.Moves.size()) + " book moves";
    EXPECT_EQ(game.End, c.End) << name << " ended by " << GameEndNames[static_cast<int32_t>(game.End)];
    EXPECT_EQ(game.Result, c.Result) << name;
    EXPECT_EQ(game.Plies, c.Plies) << name;
    EXPECT_TRUE(game.Samples.empty()) << name;
  }
}

TEST_F(SelfPlayTest, OnlyMaterialThatCanNeverMateIsInsufficient) {
  const std::pair<std::string_view, bool> cases[] = {
      {"4k3/8/8/8/8/8/8/4K3 w - - 0 1", true},      {"4k3/8/8/8/8/8/8/4KN2 w - - 0 1", true},
      {"4k3/8/3b4/8/8/4B3/8/4K3 w - - 0 1", true},  {"4k3/8/8/8/8/2B1B3/8/4K3 w - - 0 1", true},
      {"4k3/8/3b4/8/8/3B4/8/4K3 w - - 0 1", false}, {"4k3/8/8/8/8/8/8/3NKN2 w - - 0 1", false},
      {"4k3/8/3n4/8/8/4B3/8/4K3 w - - 0 1", false}, {"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", false},
  };
  for (const auto& [fen, insufficient] : cases) {
    SetUpBoard(fen);
    EXPECT_EQ(IsInsufficientMaterial(), insufficient) << fen;
  }
}

TEST_F(SelfPlayTest, ScoresAdjudicateOnlyAfterTheirStreaks) {
  AdjudicationRules win;
  win.WinScore = 500;
  PlayedGame game = Play({std::string(LOCKED_WITH_ROOK), {}}, win);
  EXPECT_EQ(game.End, GameEnd::WIN_SCORE);
  EXPECT_EQ(game.Result, WHITE_WON);
  EXPECT_EQ(game.Plies, 3);  // the fourth score in a row ends the game before its move
  ASSERT_EQ(game.Samples.size(), 4u);
  for (const Sample& sample : game.Samples) EXPECT_GT(sample.Score, 500) << sample.Fen;

  AdjudicationRules draw;
  draw.DrawScore = 400;
  draw.DrawFromPly = 10;
  game = Play({std::string(LOCKED), {}}, draw);
  EXPECT_EQ(game.End, GameEnd::DRAW_SCORE);
  EXPECT_EQ(game.Plies, 10);  // eight scores in a row came sooner, the ply later

  AdjudicationRules limit;
  limit.MaxPlies = 5;
  game = Play({std::string(LOCKED), {}}, limit);
  EXPECT_EQ(game.End, GameEnd::PLY_LIMIT);
  EXPECT_EQ(game.Result, DRAWN);
  EXPECT_EQ(game.Plies, 5);
}

TEST_F(SelfPlayTest, LinesHoldEveryPositionAfterTheBookWithTheGamesResult) {
  AdjudicationRules rules;
  rules.MaxPlies = 40;
  PlayedGame game = Play({"", {"e4", "e5", "Nf3", "Nc6", "Bb5", "a6"}}, rules);
  ASSERT_FALSE(game.Samples.empty());
  EXPECT_EQ(game.Samples[0].Fen, "r1bqkbnr/1ppp1ppp/p1n5/1B2p3/4P3/5N2/PPPP1PPP/RNBQK2R w KQkq - 0 4");
  EXPECT_LE(game.Samples.size(), static_cast<size_t>(game.Plies - 6 + 1));
  for (const Sample& sample : game.Samples) {
    std::string line = PositionLine(sample, game.Result, 17);
    std::vector<std::string> fields;
    for (std::string rest = line; !rest.empty();) fields.push_back(Trim(NextToken(rest, '|')));
    ASSERT_EQ(fields.size(), 4u) << line;
    EXPECT_EQ(line, fields[0] + " | " + fields[1] + " | 17 | " + fields[3]);
    EXPECT_EQ(fields[1], ResultTexts[game.Result]);
    ASSERT_TRUE(SetBoard(fields[0], false)) << line;
    EXPECT_EQ(Position.Checkers, 0u) << line;
    EXPECT_EQ(WriteFen().substr(0, fields[0].rfind(' ')), fields[0].substr(0, fields[0].rfind(' '))) << line;
  }
}

}  // namespace
