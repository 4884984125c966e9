// The hash keys: the layout of the R11 block and the three keys computed at set-up.
#include "board_setup.h"

#include <set>

#include "board/resources.h"

namespace {

class HashKeyTest : public BoardTest {};

constexpr int32_t KEY_COUNT = 959;

uint64_t RawKey(const uint8_t* raw, int32_t index) {
  uint64_t key = 0;
  for (int32_t b = 7; b >= 0; --b) key = key << 8 | raw[index * 8 + b];
  return key;
}

TEST_F(HashKeyTest, BlockHoldsTheGroupsInOrder) {
  uint8_t raw[KEY_COUNT * 8];
  LoadResourceData("R11", raw, sizeof raw);
  const HashKeysRecord& k = HashKeys;
  EXPECT_EQ(k.PieceKeys[WHITE][PAWN][A1], RawKey(raw, 0));
  EXPECT_EQ(k.PieceKeys[WHITE][PAWN][H8], RawKey(raw, 63));
  EXPECT_EQ(k.PieceKeys[WHITE][KNIGHT][A1], RawKey(raw, 64));
  EXPECT_EQ(k.PieceKeys[WHITE][KING][H8], RawKey(raw, 383));
  EXPECT_EQ(k.PieceKeys[BLACK][PAWN][A1], RawKey(raw, 384));
  EXPECT_EQ(k.PieceKeys[BLACK][KING][H8], RawKey(raw, 767));
  EXPECT_EQ(k.EpKeys[A1], RawKey(raw, 768));
  EXPECT_EQ(k.EpKeys[H8], RawKey(raw, 831));
  EXPECT_EQ(k.CastlingKeys[0], RawKey(raw, 832));
  EXPECT_EQ(k.CastlingKeys[15], RawKey(raw, 847));
  EXPECT_EQ(k.MaterialKeys[WHITE][PAWN][0], RawKey(raw, 848));
  EXPECT_EQ(k.MaterialKeys[WHITE][KNIGHT][0], RawKey(raw, 859));
  EXPECT_EQ(k.MaterialKeys[BLACK][PAWN][0], RawKey(raw, 903));
  EXPECT_EQ(k.MaterialKeys[BLACK][QUEEN][10], RawKey(raw, 957));
  EXPECT_EQ(k.SideKey, RawKey(raw, 958));
  // The block is exactly the 959 keys.
  for (const EmbeddedResource* block = EmbeddedResources; block->Name; ++block)
    if (std::string(block->Name) == "R11") EXPECT_EQ(block->Size, sizeof raw);
}

TEST_F(HashKeyTest, KeysAreDistinctAndNonZero) {
  std::set<uint64_t> keys;
  for (int32_t colour : {WHITE, BLACK}) {
    for (int32_t type = PAWN; type <= KING; ++type)
      keys.insert(std::begin(HashKeys.PieceKeys[colour][type]), std::end(HashKeys.PieceKeys[colour][type]));
    for (int32_t type = PAWN; type <= QUEEN; ++type)
      keys.insert(std::begin(HashKeys.MaterialKeys[colour][type]), std::end(HashKeys.MaterialKeys[colour][type]));
  }
  keys.insert(std::begin(HashKeys.EpKeys), std::end(HashKeys.EpKeys));
  keys.insert(std::begin(HashKeys.CastlingKeys), std::end(HashKeys.CastlingKeys));
  keys.insert(HashKeys.SideKey);
  EXPECT_EQ(keys.size(), static_cast<size_t>(KEY_COUNT));
  EXPECT_EQ(keys.count(0), 0u);
}

TEST_F(HashKeyTest, LoneKingsByHand) {
  ASSERT_TRUE(SetBoard("4k3/8/8/8/8/8/8/4K3 w - -", true));
  EXPECT_EQ(Position.Key,
            HashKeys.PieceKeys[WHITE][KING][E1] ^ HashKeys.PieceKeys[BLACK][KING][E8] ^ HashKeys.CastlingKeys[0]);
  EXPECT_EQ(Position.PawnKey, 0u);
  uint64_t material = 0;
  for (int32_t colour : {WHITE, BLACK})
    for (int32_t type = PAWN; type <= QUEEN; ++type) material ^= HashKeys.MaterialKeys[colour][type][0];
  EXPECT_EQ(Position.MaterialKey, material);
}

TEST_F(HashKeyTest, StartPositionKeys) {
  ASSERT_TRUE(SetBoard(START_FEN, true));
  uint64_t material = 0, pawns = 0;
  for (int32_t colour : {WHITE, BLACK}) {
    const uint64_t(&m)[KING][MATERIAL_COUNT_NB] = HashKeys.MaterialKeys[colour];
    material ^= m[PAWN][8] ^ m[KNIGHT][2] ^ m[BISHOP][2] ^ m[ROOK][2] ^ m[QUEEN][1];
    for (int32_t file = 0; file < 8; ++file)
      pawns ^= HashKeys.PieceKeys[colour][PAWN][(colour == WHITE ? A2 : A7) + file];
  }
  EXPECT_EQ(Position.MaterialKey, material);
  EXPECT_EQ(Position.PawnKey, pawns);
  EXPECT_EQ(Position.Key, ComputeKey());
}

TEST_F(HashKeyTest, SideToMoveFlipsOnlyTheSideKey) {
  const char* const pairs[][2] = {
      {"r3k2r/8/8/8/8/8/8/R3K2R w KQkq -", "r3k2r/8/8/8/8/8/8/R3K2R b KQkq -"},
      {"4k3/8/8/3Pp3/8/8/8/4K3 w - -", "4k3/8/8/3Pp3/8/8/8/4K3 b - -"},
  };
  for (const auto& pair : pairs) {
    ASSERT_TRUE(SetBoard(pair[0], true));
    uint64_t key = Position.Key, pawnKey = Position.PawnKey, materialKey = Position.MaterialKey;
    ASSERT_TRUE(SetBoard(pair[1], true));
    EXPECT_EQ(Position.Key ^ key, HashKeys.SideKey);
    EXPECT_EQ(Position.PawnKey, pawnKey);
    EXPECT_EQ(Position.MaterialKey, materialKey);
  }
}

TEST_F(HashKeyTest, CastlingAndEnPassantEnterThePositionKeyOnly) {
  ASSERT_TRUE(SetBoard("r3k2r/8/8/8/8/8/8/R3K2R w - -", true));
  uint64_t none = Position.Key;
  ASSERT_TRUE(SetBoard("r3k2r/8/8/8/8/8/8/R3K2R w Kq -", true));
  EXPECT_EQ(Position.Key ^ none, HashKeys.CastlingKeys[0] ^ HashKeys.CastlingKeys[WHITE_KING_SIDE | BLACK_QUEEN_SIDE]);

  ASSERT_TRUE(SetBoard("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq -", true));
  uint64_t key = Position.Key, pawnKey = Position.PawnKey;
  ASSERT_TRUE(SetBoard("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3", true));
  EXPECT_EQ(Position.Key ^ key, HashKeys.EpKeys[E3]);
  EXPECT_EQ(Position.PawnKey, pawnKey);
}

TEST_F(HashKeyTest, MaterialKeyCountsPiecesWhereverTheyStand) {
  ASSERT_TRUE(SetBoard("4k3/8/2n5/8/8/5B2/3P4/4K3 w - -", true));
  uint64_t key = Position.Key, materialKey = Position.MaterialKey, pawnKey = Position.PawnKey;
  ASSERT_TRUE(SetBoard("4k3/8/8/6n1/7B/8/6P1/4K3 w - -", true));
  EXPECT_EQ(Position.MaterialKey, materialKey);
  EXPECT_NE(Position.Key, key);
  // Only the pawn moved from d2 to g2.
  EXPECT_EQ(Position.PawnKey ^ pawnKey, HashKeys.PieceKeys[WHITE][PAWN][D2] ^ HashKeys.PieceKeys[WHITE][PAWN][G2]);
}

TEST_F(HashKeyTest, TenOfAKindHasAMaterialKey) {
  ASSERT_TRUE(SetBoard("NNNNNNNN/NN6/8/8/8/8/8/4K2k w - -", true));
  uint64_t expected = 0;
  for (int32_t colour : {WHITE, BLACK})
    for (int32_t type = PAWN; type <= QUEEN; ++type)
      expected ^= HashKeys.MaterialKeys[colour][type][colour == WHITE && type == KNIGHT ? 10 : 0];
  EXPECT_EQ(Position.MaterialKey, expected);
}

}  // namespace
