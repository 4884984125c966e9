#pragma once
// The transposition table and the search's score constants. Part of the search room's front
// door (search/search.h): the search probes and stores, the board view shows the fill.

#include <cassert>
#include <cstdint>

#include "board/types.h"

// ---- Search scores ---------------------------------------------------------------------------

inline constexpr int32_t SCORE_MATE = 32700;      // mate at the root; mated at ply p scores p - 32700
inline constexpr int32_t SCORE_INFINITE = 32701;  // also marks a missing value, written -32701
// Scores beyond plus or minus this are mate scores, converted by the table: every mate lies
// within 128 plies, and no evaluation comes near. The pruning rules and the output draw their
// line one point further out (MATE_BOUND).
inline constexpr int32_t SCORE_MATE_THRESHOLD = SCORE_MATE - 128;

// Mate scores are stored as distance from the storing node, so that the same entry reads right
// wherever in the tree the position is met again.
constexpr int32_t ScoreToTT(int32_t score, int32_t ply) {
  if (score > SCORE_MATE_THRESHOLD) return score + ply;
  if (score < -SCORE_MATE_THRESHOLD) return score - ply;
  return score;
}
constexpr int32_t ScoreFromTT(int32_t score, int32_t ply) {
  if (score > SCORE_MATE_THRESHOLD) return score - ply;
  if (score < -SCORE_MATE_THRESHOLD) return score + ply;
  return score;
}

// ---- Table -----------------------------------------------------------------------------------

// Bits 0-1 of TTEntry.Flags; 0 never occurs in a stored entry.
enum : int32_t { BOUND_LOWER = 1, BOUND_UPPER = 2, BOUND_EXACT = 3 };

struct TTEntry {
  uint64_t Key;   // full position key (XOR-ed with an excluded move in a singular test); 0 = empty
  uint16_t Move;  // best or refutation move, 0 = none
  int16_t Score;  // relative to the storing node (ScoreToTT)
  int16_t Eval;   // static evaluation, -32701 when the node was in check
  int8_t Depth;   // remaining depth; quiescence stores 0 or -1
  uint8_t Flags;  // bits 0-1 bound, bits 2-7 the generation that wrote or last found it
};
// Four entries make one 64-byte bucket, one cache line.
static_assert(sizeof(TTEntry) == 16);

inline constexpr int32_t TT_BUCKET_SIZE = 4;
inline constexpr int32_t TT_ENTRIES_PER_MB = 65536;

struct TranspositionTableRecord {
  TTEntry* Entries;     // a small built-in array until the first TTResize, so it is never null
  uint64_t BucketMask;  // buckets - 1: a key's bucket is key AND BucketMask
  int32_t SizeMB;       // megabytes allocated; 0 while the built-in array is in use
  int32_t Generation;   // a multiple of 4 in 0..252, advanced by every search
};

extern TranspositionTableRecord TranspositionTable;

constexpr int32_t BoundOf(const TTEntry& entry) { return entry.Flags & 3; }

// The key of a singular test, which skips one move: kept apart from the node's own results.
// The move code lands in bits 16..31 (sign-extended), so the bucket stays the same.
constexpr uint64_t ExcludedMoveKey(uint64_t key, Move excluded) {
  int32_t shifted = static_cast<int32_t>(static_cast<uint32_t>(excluded) << 16);
  return key ^ static_cast<uint64_t>(int64_t{shifted});
}

// Discards the table and allocates megabytes x 65,536 zeroed entries (a power of two in
// 16..2048; other values are brought into that range). When the system refuses, the largest
// half that it grants is used, and one "info string " line says so.
void TTResize(int32_t megabytes);

// Zeroes every entry of the current table in place.
void TTClear();

// Index of the entry holding key, or -1. A hit marks the entry as current without touching
// its bound.
inline int64_t TTProbe(uint64_t key) {
  uint64_t first = (key & TranspositionTable.BucketMask) * TT_BUCKET_SIZE;
  for (uint64_t i = first; i < first + TT_BUCKET_SIZE; ++i) {
    TTEntry& entry = TranspositionTable.Entries[i];
    if (entry.Key == key) {
      entry.Flags = static_cast<uint8_t>((entry.Flags & 3) | (TranspositionTable.Generation & 0xFF));
      return static_cast<int64_t>(i);
    }
  }
  return -1;
}

// Starts loading a key's bucket into the cache, so that the probe a few steps later does not
// wait for memory.
inline void TTPrefetch(uint64_t key) {
  __builtin_prefetch(&TranspositionTable.Entries[(key & TranspositionTable.BucketMask) * TT_BUCKET_SIZE]);
}

inline TTEntry& TTEntryAt(int64_t index) {
  assert(index >= 0);
  return TranspositionTable.Entries[index];
}

// Writes a result; score must already be converted with ScoreToTT. Prefers, in the key's
// bucket, the same key, then an empty entry, then the shallowest and oldest.
void TTStore(uint64_t key, int32_t score, int32_t depth, int32_t bound, Move move, int32_t eval);

// Per-mille fill: the current generation's entries among the first 1000.
int32_t TTHashfull();
