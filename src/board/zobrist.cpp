// The hash keys of resource R11 and the three position keys computed from scratch.
#include "board/board.h"
#include "board/resources.h"

HashKeysRecord HashKeys;

namespace {

constexpr int32_t KEY_COUNT = 2 * 6 * 64 + 64 + 16 + 2 * 5 * 11 + 1;

}  // namespace

void InitHashKeys() {
  static bool loaded = false;
  if (loaded) return;
  loaded = true;

  uint8_t raw[KEY_COUNT * 8];
  LoadResourceData("R11", raw, sizeof raw);
  const uint8_t* next = raw;
  // Reads the block's little-endian words in the group order of the record.
  auto read = [&next](uint64_t& key) {
    key = 0;
    for (int32_t b = 0; b < 8; ++b) key |= uint64_t{*next++} << (8 * b);
  };
  for (auto& colour : HashKeys.PieceKeys)
    for (int32_t type = PAWN; type <= KING; ++type)
      for (uint64_t& key : colour[type]) read(key);
  for (uint64_t& key : HashKeys.EpKeys) read(key);
  for (uint64_t& key : HashKeys.CastlingKeys) read(key);
  for (auto& colour : HashKeys.MaterialKeys)
    for (int32_t type = PAWN; type <= QUEEN; ++type)
      for (uint64_t& key : colour[type]) read(key);
  read(HashKeys.SideKey);
  assert(next == raw + sizeof raw);
}

uint64_t ComputeKey() {
  uint64_t key = 0;
  for (Bitboard b = Position.Occupied; b;) {
    int32_t s = PopLowestBit(b);
    key ^= HashKeys.PieceKeys[ColourOf(Position.Squares[s])][TypeOf(Position.Squares[s])][s];
  }
  if (Position.EpSquare != NO_SQUARE) key ^= HashKeys.EpKeys[Position.EpSquare];
  key ^= HashKeys.CastlingKeys[Position.CastlingRights];
  if (Position.SideToMove == BLACK) key ^= HashKeys.SideKey;
  return key;
}

uint64_t ComputePawnKey() {
  uint64_t key = 0;
  for (Bitboard b = Position.PieceBB[PAWN]; b;) {
    int32_t s = PopLowestBit(b);
    key ^= HashKeys.PieceKeys[ColourOf(Position.Squares[s])][PAWN][s];
  }
  return key;
}

uint64_t ComputeMaterialKey() {
  uint64_t key = 0;
  for (int32_t colour : {WHITE, BLACK}) {
    for (int32_t type = PAWN; type <= QUEEN; ++type) {
      int32_t count = PopCount(PiecesOf(colour, type));
      // The set-up rejects positions that could ever hold more than ten of a kind.
      assert(count < MATERIAL_COUNT_NB);
      key ^= HashKeys.MaterialKeys[colour][type][count];
    }
  }
  return key;
}
