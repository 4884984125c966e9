// Score pairs: two independent 16-bit halves with saturation and no carry between them.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "eval/score.h"

namespace {

static_assert(MgValue(MakeScore(-5, 9)) == -5 && EgValue(MakeScore(-5, 9)) == 9, "usable at compile time");

TEST(MakeScore, TakesEachInputModulo65536) {
  EXPECT_EQ(MakeScore(0, -1), 0xFFFF0000u);
  EXPECT_EQ(MakeScore(-1, 0), 0x0000FFFFu);  // a negative middle game must not spill into the endgame half
  EXPECT_EQ(MakeScore(65536 + 5, -65536 - 3), MakeScore(5, -3));
  EXPECT_EQ(MgValue(MakeScore(40000, 0)), 40000 - 65536);
  EXPECT_EQ(EgValue(MakeScore(0, 32768)), -32768);
}

TEST(MakeScore, HalvesReadBackSignExtended) {
  for (int32_t mg : {-32768, -206, -1, 0, 1, 124, 32767}) {
    for (int32_t eg : {-32768, -1, 0, 206, 32767}) {
      PackedScore s = MakeScore(mg, eg);
      EXPECT_EQ(MgValue(s), mg);
      EXPECT_EQ(EgValue(s), eg);
    }
  }
}

TEST(AddScore, AddsHalvesWithoutCarry) {
  PackedScore s = AddScore(MakeScore(-1, 10), MakeScore(1, -20));
  EXPECT_EQ(MgValue(s), 0);
  EXPECT_EQ(EgValue(s), -10);
  s = AddScore(MakeScore(-100, 0), MakeScore(-100, 0));
  EXPECT_EQ(MgValue(s), -200);
  EXPECT_EQ(EgValue(s), 0);
}

TEST(AddScore, SaturatesEachHalfAlone) {
  PackedScore s = AddScore(MakeScore(30000, 5), MakeScore(10000, -7));
  EXPECT_EQ(MgValue(s), 32767);
  EXPECT_EQ(EgValue(s), -2);
  s = AddScore(MakeScore(-3, -30000), MakeScore(4, -10000));
  EXPECT_EQ(MgValue(s), 1);
  EXPECT_EQ(EgValue(s), -32768);
}

TEST(SubScore, SubtractsHalvesWithSaturation) {
  PackedScore s = SubScore(MakeScore(10, 20), MakeScore(3, -5));
  EXPECT_EQ(MgValue(s), 7);
  EXPECT_EQ(EgValue(s), 25);
  s = SubScore(MakeScore(-30000, 30000), MakeScore(10000, -10000));
  EXPECT_EQ(MgValue(s), -32768);
  EXPECT_EQ(EgValue(s), 32767);
}

TEST(SubScore, NegationOfMinusMaxSaturatesToMax) {
  // A Black term stuck at -32768 must still count against White.
  PackedScore s = SubScore(MakeScore(0, 100), MakeScore(-32768, 0));
  EXPECT_EQ(MgValue(s), 32767);
  EXPECT_EQ(EgValue(s), 100);
  s = SubScore(MakeScore(50, -1), MakeScore(0, -32768));
  EXPECT_EQ(MgValue(s), 50);
  EXPECT_EQ(EgValue(s), 32766);  // -1 + 32767: the negation saturates before the addition
}

// The fast path adds both halves at once; every half must still be clamped on its own, with
// the negation clamped before the addition, for any pair of inputs.
TEST(ScoreArithmetic, BothHalvesSaturateIndependentlyForAnyInputs) {
  auto clamp16 = [](int32_t v) { return std::clamp(v, -32768, 32767); };
  const int32_t edges[] = {-32768, -32767, -16384, -1, 0, 1, 16384, 32766, 32767};
  std::vector<int32_t> values(std::begin(edges), std::end(edges));
  std::mt19937 random(11);
  for (int32_t i = 0; i < 40; ++i) values.push_back(static_cast<int16_t>(random()));
  for (int32_t am : values)
    for (int32_t ae : {values[0], values[4], values[8], am}) {
      for (int32_t sm : values) {
        int32_t se = values[(sm & 0xFF) % values.size()];
        PackedScore a = MakeScore(am, ae), s = MakeScore(sm, se);
        PackedScore sum = AddScore(a, s), difference = SubScore(a, s);
        ASSERT_EQ(MgValue(sum), clamp16(am + sm));
        ASSERT_EQ(EgValue(sum), clamp16(ae + se));
        ASSERT_EQ(MgValue(difference), clamp16(am + clamp16(-sm)));
        ASSERT_EQ(EgValue(difference), clamp16(ae + clamp16(-se)));
      }
    }
  // Full-width halves packed at once: each clamped alone, the middle game in the low half.
  for (int32_t mg : {-1000000, -32769, -32768, -5, 0, 7, 32767, 32768, 1000000})
    for (int32_t eg : {-70000, -32768, -1, 0, 32767, 40000}) {
      PackedScore packed = SaturatedScore(mg, eg);
      ASSERT_EQ(MgValue(packed), clamp16(mg));
      ASSERT_EQ(EgValue(packed), clamp16(eg));
    }
}

}  // namespace
