// Lanes: several characters or bytes side by side in one vector, for the
// fast paths of the text loops. Each fast path is a short function named
// ...Lanes (or, for whole runs of work handed to the processor's byte
// shuffle, ...Shuffled), and stands beside the plain loop it replaces, named
// ...Plain or written out in its caller; a table test compares the two.
//
// A build with VEXO_PLAIN_LOOPS defined (the CMake option VEXO_FAST_PATHS
// off) takes the plain loop everywhere: kFastPaths is false, the run-time
// check for the byte shuffle answers no, and the processor-specific branches
// below take their portable side, so that the tests hold the plain loops and
// the portable branches too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if !defined(VEXO_PLAIN_LOOPS) && defined(__SSE2__)
#define VEXO_LANES_SSE2 1
#include <emmintrin.h>
#else
#define VEXO_LANES_SSE2 0
#endif

// Whether the byte shuffle may be used where the processor has it.
#if !defined(VEXO_PLAIN_LOOPS) && (defined(__x86_64__) || defined(__i386__))
#define VEXO_LANES_SHUFFLE 1
#else
#define VEXO_LANES_SHUFFLE 0
#endif

namespace vexo {

#ifdef VEXO_PLAIN_LOOPS
constexpr bool kFastPaths = false;
#else
constexpr bool kFastPaths = true;
#endif

// Four characters side by side. Comparisons give all ones in the lanes where
// they hold, zeros elsewhere.
using WideLanes = int32_t __attribute__((vector_size(16)));
static_assert(sizeof(wchar_t) == sizeof(int32_t), "a lane holds one character");

// Sixteen bytes side by side, and what comparing them gives.
using ByteLanes = unsigned char __attribute__((vector_size(16)));
using ByteMask = signed char __attribute__((vector_size(16)));

inline WideLanes LoadWide(const wchar_t* text) {
  WideLanes lanes;
  std::memcpy(&lanes, text, sizeof lanes);
  return lanes;
}

inline ByteLanes LoadBytes(const unsigned char* bytes) {
  ByteLanes lanes;
  std::memcpy(&lanes, bytes, sizeof lanes);
  return lanes;
}

// One bit for each lane of found, set where the lane is all ones.
inline unsigned LaneBits(WideLanes found) {
#if VEXO_LANES_SSE2
  return static_cast<unsigned>(_mm_movemask_ps(reinterpret_cast<__m128>(found)));
#else
  unsigned bits = 0;
  for (int lane = 0; lane < 4; ++lane) bits |= (found[lane] != 0 ? 1u : 0u) << lane;
  return bits;
#endif
}

// The index of the first lane set in found, or 16 when none is.
inline size_t FirstSet(ByteMask found) {
  static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "lane 0 is the low byte");
  uint64_t halves[2];
  std::memcpy(halves, &found, sizeof halves);
  if (halves[0] != 0) return static_cast<size_t>(__builtin_ctzll(halves[0]) >> 3);
  if (halves[1] != 0) return 8 + static_cast<size_t>(__builtin_ctzll(halves[1]) >> 3);
  return 16;
}

// Packs sixteen characters, each below 0x80, into one byte each.
inline ByteLanes PackAscii(const wchar_t* text) {
#if VEXO_LANES_SSE2
  const __m128i* from = reinterpret_cast<const __m128i*>(text);
  // No character is above 0x7F, so neither packing saturates.
  const __m128i low = _mm_packs_epi32(_mm_loadu_si128(from), _mm_loadu_si128(from + 1));
  const __m128i high = _mm_packs_epi32(_mm_loadu_si128(from + 2), _mm_loadu_si128(from + 3));
  return reinterpret_cast<ByteLanes>(_mm_packus_epi16(low, high));
#else
  ByteLanes bytes;
  for (int lane = 0; lane < 16; ++lane) bytes[lane] = static_cast<unsigned char>(text[lane]);
  return bytes;
#endif
}

}  // namespace vexo
