// The transposition table: mate-score conversion, probe and every replacement rule, the fill
// figure and resizing.
#include <gtest/gtest.h>

#include "search/search.h"

namespace {

// Mate scores relative to the node: mated at ply p is p - 32700 and is stored as -32700.
TEST(ScoreConversion, MateScoresAreStoredAsDistanceFromTheNode) {
  for (int32_t ply : {1, 2, 17, 127}) {
    EXPECT_EQ(ScoreToTT(ply - SCORE_MATE, ply), -SCORE_MATE) << ply;
    EXPECT_EQ(ScoreToTT(SCORE_MATE - ply, ply), SCORE_MATE) << ply;
  }
  // A mate 3 plies below a node at ply 5 (mate at ply 8), met again at ply 2: now 6 plies away.
  int32_t stored = ScoreToTT(SCORE_MATE - 8, 5);
  EXPECT_EQ(ScoreFromTT(stored, 2), SCORE_MATE - 5);
  EXPECT_EQ(ScoreFromTT(-stored, 2), -(SCORE_MATE - 5));
}

TEST(ScoreConversion, OnlyScoresBeyondTheMateWindowMove) {
  EXPECT_EQ(ScoreToTT(32572, 10), 32572);
  EXPECT_EQ(ScoreToTT(32573, 10), 32583);
  EXPECT_EQ(ScoreToTT(-32572, 10), -32572);
  EXPECT_EQ(ScoreToTT(-32573, 10), -32583);
  EXPECT_EQ(ScoreFromTT(32572, 10), 32572);
  EXPECT_EQ(ScoreFromTT(32573, 10), 32563);
  EXPECT_EQ(ScoreFromTT(-32573, 10), -32563);
  EXPECT_EQ(ScoreToTT(0, 50), 0);
  EXPECT_EQ(ScoreToTT(-1234, 50), -1234);
}

TEST(ScoreConversion, RoundTripsEveryReachableScore) {
  for (int32_t ply : {1, 3, 64, 128}) {
    for (int32_t score = -(SCORE_MATE - ply); score <= SCORE_MATE - ply; ++score)
      ASSERT_EQ(ScoreFromTT(ScoreToTT(score, ply), ply), score) << score << " at ply " << ply;
  }
}

// Keys of one bucket: the low bits choose the bucket, the high bits tell the keys apart.
constexpr uint64_t BucketKey(uint64_t bucket, uint64_t n) { return bucket | n << 40; }

class TTTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TTResize(16);
    TranspositionTable.Generation = 4;
  }
  static const TTEntry& Slot(uint64_t bucket, int32_t i) { return TranspositionTable.Entries[bucket * 4 + i]; }
  // Four different keys in bucket 7 with the given depths, written at the given generations.
  static void FillBucket(const int32_t (&depths)[4], const int32_t (&generations)[4]) {
    for (int32_t i = 0; i < 4; ++i) {
      TranspositionTable.Generation = generations[i];
      TTStore(BucketKey(7, i + 1), 10 * i, depths[i], BOUND_LOWER, EncodeMove(i, 20), 0);
    }
  }
  // Which entry of bucket 7 a fifth key replaces, at the current generation.
  static int32_t VictimOfNewKey() {
    TTStore(BucketKey(7, 99), 0, 1, BOUND_EXACT, MOVE_NONE, 0);
    for (int32_t i = 0; i < 4; ++i)
      if (Slot(7, i).Key == BucketKey(7, 99)) return i;
    return -1;
  }
};

TEST_F(TTTest, StoredEntryReadsBackThroughTheProbe) {
  uint64_t key = BucketKey(3, 5);
  EXPECT_EQ(TTProbe(key), -1);
  Move capture = EncodeMove(E4, D5, NO_PIECE, true);  // bit 15 set
  TTStore(key, ScoreToTT(SCORE_MATE - 9, 4), 12, BOUND_LOWER, capture, -SCORE_INFINITE);
  int64_t index = TTProbe(key);
  ASSERT_EQ(index, 3 * 4);
  const TTEntry& entry = TTEntryAt(index);
  EXPECT_EQ(Move{entry.Move}, capture);  // the 16-bit field gives back the generator's code
  EXPECT_EQ(ScoreFromTT(entry.Score, 4), SCORE_MATE - 9);
  EXPECT_EQ(entry.Eval, -SCORE_INFINITE);
  EXPECT_EQ(entry.Depth, 12);
  EXPECT_EQ(BoundOf(entry), BOUND_LOWER);
  EXPECT_EQ(entry.Flags & 252, 4);
  EXPECT_EQ(TTProbe(BucketKey(3, 6)), -1);  // same bucket, other key
}

TEST_F(TTTest, QuiescenceDepthMinusOneIsKept) {
  TTStore(BucketKey(1, 1), -25, -1, BOUND_UPPER, MOVE_NONE, -30);
  EXPECT_EQ(TTEntryAt(TTProbe(BucketKey(1, 1))).Depth, -1);
}

TEST_F(TTTest, ProbeHitRefreshesOnlyTheGeneration) {
  TTStore(BucketKey(2, 1), 50, 6, BOUND_UPPER, EncodeMove(B1, C3), 40);
  TranspositionTable.Generation = 12;
  int64_t index = TTProbe(BucketKey(2, 1));
  EXPECT_EQ(TTEntryAt(index).Flags, 12 | BOUND_UPPER);
  EXPECT_EQ(TTEntryAt(index).Depth, 6);
}

TEST_F(TTTest, ShallowerBoundKeepsTheDeeperResultButTakesItsMove) {
  uint64_t key = BucketKey(5, 1);
  TTStore(key, 100, 10, BOUND_LOWER, EncodeMove(G1, F3), 90);
  TranspositionTable.Generation = 8;
  TTStore(key, -70, 6, BOUND_UPPER, EncodeMove(D2, D4), 11);  // 4 plies shallower
  const TTEntry& entry = TTEntryAt(TTProbe(key));
  EXPECT_EQ(Move{entry.Move}, EncodeMove(D2, D4));
  EXPECT_EQ(entry.Score, 100);
  EXPECT_EQ(entry.Depth, 10);
  EXPECT_EQ(entry.Eval, 90);
  EXPECT_EQ(entry.Flags, 8 | BOUND_LOWER);  // the probe above refreshed it; the store did not

  TTStore(key, -70, 7, BOUND_UPPER, MOVE_NONE, 11);  // only 3 shallower: replaces
  EXPECT_EQ(Move{entry.Move}, EncodeMove(D2, D4));   // no move given: the old one stays
  EXPECT_EQ(entry.Score, -70);
  EXPECT_EQ(entry.Depth, 7);
  EXPECT_EQ(BoundOf(entry), BOUND_UPPER);
  EXPECT_EQ(entry.Eval, 11);
}

TEST_F(TTTest, ExactResultAlwaysReplacesTheSameKey) {
  uint64_t key = BucketKey(5, 2);
  TTStore(key, 100, 20, BOUND_LOWER, EncodeMove(G1, F3), 90);
  TTStore(key, 33, 1, BOUND_EXACT, MOVE_NONE, 44);
  const TTEntry& entry = TTEntryAt(TTProbe(key));
  EXPECT_EQ(entry.Score, 33);
  EXPECT_EQ(entry.Depth, 1);
  EXPECT_EQ(BoundOf(entry), BOUND_EXACT);
  EXPECT_EQ(Move{entry.Move}, EncodeMove(G1, F3));
}

TEST_F(TTTest, NewKeysFillEmptyEntriesInOrder) {
  TTStore(BucketKey(9, 1), 0, 1, BOUND_LOWER, MOVE_NONE, 0);   // shallow, but not replaced:
  TTStore(BucketKey(9, 2), 0, 30, BOUND_LOWER, MOVE_NONE, 0);  // an empty entry comes first
  EXPECT_EQ(TTProbe(BucketKey(9, 1)), 9 * 4);
  EXPECT_EQ(TTProbe(BucketKey(9, 2)), 9 * 4 + 1);
  EXPECT_EQ(Slot(9, 2).Key, 0u);
}

// A full bucket gives up the entry of lowest replacement value: depth less 8 per search of
// age; among equals the lowest-numbered.
struct VictimCase {
  int32_t Depths[4];
  int32_t Generations[4];
  int32_t Generation;  // of the store
  int32_t Victim;
  const char* Why;
};

constexpr VictimCase VictimCases[] = {
    {{10, 3, 7, 3}, {4, 4, 4, 4}, 4, 1, "the shallowest, the earlier of two"},
    {{5, 5, 5, 5}, {4, 4, 4, 4}, 4, 0, "entry 0 wins a tie"},
    {{10, 10, 20, 10}, {12, 12, 0, 12}, 12, 2, "three searches old: 20 - 24 is below 10"},
    {{10, 11, 20, 10}, {12, 12, 8, 12}, 12, 0, "one search old: 20 - 8 still beats 10"},
    // After the stamp wrapped to 4, 252 is 248 apart (40 - 496); counted round the wrap it
    // would be 8 apart (40 - 16) and entry 0 would go.
    {{12, 40, 40, 40}, {4, 8, 252, 4}, 4, 2, "the age has no wrap-around"},
};

TEST_F(TTTest, FullBucketReplacesTheLowestReplacementValue) {
  for (const VictimCase& c : VictimCases) {
    TTClear();
    FillBucket(c.Depths, c.Generations);
    TranspositionTable.Generation = c.Generation;
    EXPECT_EQ(VictimOfNewKey(), c.Victim) << c.Why;
    EXPECT_EQ(Slot(7, c.Victim).Move, 0) << "a new key without a move writes none, not the old one's";
  }
}

TEST_F(TTTest, ExcludedMoveKeysShareTheBucketButNotTheEntry) {
  uint64_t key = BucketKey(11, 3);
  Move excluded = EncodeMove(E4, D5, NO_PIECE, true);  // 0x88DC: bit 31 of the shifted code is set
  uint64_t singularKey = ExcludedMoveKey(key, excluded);
  EXPECT_EQ(singularKey, key ^ 0xFFFFFFFF88DC0000ULL);
  EXPECT_EQ(ExcludedMoveKey(key, EncodeMove(E2, E4)), key ^ 0x070C0000ULL);

  TTStore(key, 120, 9, BOUND_LOWER, excluded, 0);
  TTStore(singularKey, -5, 9, BOUND_UPPER, EncodeMove(G1, F3), 0);
  EXPECT_EQ(TTProbe(key), 11 * 4);
  EXPECT_EQ(TTProbe(singularKey), 11 * 4 + 1);
  EXPECT_EQ(TTEntryAt(TTProbe(key)).Score, 120);
}

TEST_F(TTTest, HashfullCountsTheCurrentGenerationAmongTheFirstThousand) {
  EXPECT_EQ(TTHashfull(), 0);  // fresh table: empty entries carry no generation
  TranspositionTable.Generation = 0;
  EXPECT_EQ(TTHashfull(), 0);

  // 250 sampled buckets: one current entry each, and an old one in buckets 0..99.
  for (uint64_t bucket = 0; bucket < 250; ++bucket) {
    TranspositionTable.Generation = 4;
    if (bucket < 100) TTStore(BucketKey(bucket, 1), 0, 5, BOUND_EXACT, MOVE_NONE, 0);
    TranspositionTable.Generation = 8;
    TTStore(BucketKey(bucket, 2), 0, 5, BOUND_EXACT, MOVE_NONE, 0);
  }
  TTStore(BucketKey(250, 1), 0, 5, BOUND_EXACT, MOVE_NONE, 0);  // outside the sample
  EXPECT_EQ(TTHashfull(), 250);
  TranspositionTable.Generation = 4;
  EXPECT_EQ(TTHashfull(), 100);

  TranspositionTable.Generation = 8;
  for (uint64_t bucket = 0; bucket < 250; ++bucket)
    for (uint64_t n = 1; n <= 4; ++n) TTStore(BucketKey(bucket, n), 0, 5, BOUND_EXACT, MOVE_NONE, 0);
  EXPECT_EQ(TTHashfull(), 1000);
}

TEST_F(TTTest, ResizeGivesExactlyTheMegabytesAndAnEmptyTable) {
  for (int32_t megabytes = 16; megabytes <= 2048; megabytes *= 2) {
    TTResize(megabytes);
    ASSERT_EQ(TranspositionTable.SizeMB, megabytes);
    uint64_t entries = (TranspositionTable.BucketMask + 1) * 4;
    EXPECT_EQ(entries * sizeof(TTEntry), uint64_t(megabytes) << 20);
    // The highest bucket is reachable and starts empty.
    uint64_t last = TranspositionTable.BucketMask;
    EXPECT_EQ(Slot(last, 3).Key, 0u);
    TTStore(BucketKey(last, 1), 1, 1, BOUND_EXACT, MOVE_NONE, 0);
    EXPECT_EQ(TTProbe(BucketKey(last, 1)), int64_t(last * 4));
  }
  TTResize(2048);  // re-created: what was stored is gone
  EXPECT_EQ(TTProbe(BucketKey(TranspositionTable.BucketMask, 1)), -1);
}

TEST_F(TTTest, ResizeBringsOtherSizesIntoRange) {
  TTResize(100);
  EXPECT_EQ(TranspositionTable.SizeMB, 64);
  TTResize(1);
  EXPECT_EQ(TranspositionTable.SizeMB, 16);
  TTResize(5000);
  EXPECT_EQ(TranspositionTable.SizeMB, 2048);
  TTResize(16);  // leave a small table for the other tests
}

TEST_F(TTTest, ClearEmptiesInPlace) {
  TTStore(BucketKey(4, 1), 1, 1, BOUND_EXACT, MOVE_NONE, 0);
  TTClear();
  EXPECT_EQ(TTProbe(BucketKey(4, 1)), -1);
  EXPECT_EQ(TranspositionTable.SizeMB, 16);
}

}  // namespace
