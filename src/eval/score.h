#pragma once
// Score pairs: a middle-game and an endgame value travel in one 32-bit word, the middle
// game in the low half, and are combined half by half with saturation. Part of the eval
// room's front door (eval/eval.h).

#include <algorithm>
#include <cstdint>
#include <type_traits>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using PackedScore = uint32_t;

// Each input is taken modulo 2^16.
constexpr PackedScore MakeScore(int32_t mg, int32_t eg) {
  return (static_cast<uint32_t>(eg) << 16) | (static_cast<uint32_t>(mg) & 0xFFFF);
}

// The halves read back as signed 16-bit numbers.
constexpr int32_t MgValue(PackedScore s) { return static_cast<int16_t>(s & 0xFFFF); }
constexpr int32_t EgValue(PackedScore s) { return static_cast<int16_t>(s >> 16); }

constexpr int32_t SaturateHalf(int32_t v) { return std::clamp(v, -32768, 32767); }

// The pair of two full-width halves, each clamped to 16 bits.
constexpr PackedScore SaturatedScore(int32_t mg, int32_t eg) {
#if defined(__SSE2__)
  // One saturating pack does both clamps, and leaves the middle game in the low half.
  if (!std::is_constant_evaluated())
    return static_cast<PackedScore>(
        _mm_cvtsi128_si32(_mm_packs_epi32(_mm_setr_epi32(mg, eg, 0, 0), _mm_setzero_si128())));
#endif
  return MakeScore(SaturateHalf(mg), SaturateHalf(eg));
}

// No carry passes between the halves: each one is clamped on its own.
[[nodiscard]] constexpr PackedScore AddScore(PackedScore acc, PackedScore s) {
#if defined(__SSE2__)
  // One saturating add of two 16-bit lanes does both halves (the evaluation's hottest step).
  if (!std::is_constant_evaluated())
    return static_cast<PackedScore>(_mm_cvtsi128_si32(
        _mm_adds_epi16(_mm_cvtsi32_si128(static_cast<int32_t>(acc)), _mm_cvtsi32_si128(static_cast<int32_t>(s)))));
#endif
  return MakeScore(SaturateHalf(MgValue(acc) + MgValue(s)), SaturateHalf(EgValue(acc) + EgValue(s)));
}

// The negation of -32768 saturates to 32767, so a saturated Black term still counts
// against White instead of for it.
[[nodiscard]] constexpr PackedScore SubScore(PackedScore acc, PackedScore s) {
#if defined(__SSE2__)
  if (!std::is_constant_evaluated())
    return static_cast<PackedScore>(_mm_cvtsi128_si32(
        _mm_adds_epi16(_mm_cvtsi32_si128(static_cast<int32_t>(acc)),
                       _mm_subs_epi16(_mm_setzero_si128(), _mm_cvtsi32_si128(static_cast<int32_t>(s))))));
#endif
  return AddScore(acc, MakeScore(SaturateHalf(-MgValue(s)), SaturateHalf(-EgValue(s))));
}
