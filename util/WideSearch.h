// Finding the first character of a short wide text that meets a test, eight
// characters at a time.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef __SSE2__
#include <xmmintrin.h>
#endif

namespace vexo {

// Four characters side by side.
using WideLanes = int32_t __attribute__((vector_size(16)));
static_assert(sizeof(wchar_t) == sizeof(int32_t), "a lane holds one character");

// One bit for each lane of found, set where the lane is all ones.
inline unsigned LaneBits(WideLanes found) {
#ifdef __SSE2__
  return static_cast<unsigned>(_mm_movemask_ps(reinterpret_cast<__m128>(found)));
#else
  unsigned bits = 0;
  for (int lane = 0; lane < 4; ++lane) bits |= (found[lane] != 0 ? 1u : 0u) << lane;
  return bits;
#endif
}

// The index of the first of text[0, n) for which hit holds, or n when none
// does. hit is called in two forms: with a wchar_t, returning a truth value,
// and with WideLanes, returning all ones in the lanes that meet the test (as
// the vector comparisons give it). Eight characters are tested per step, with
// one branch.
template <typename Hit>
size_t FindFirst(const wchar_t* text, size_t n, Hit hit) {
  size_t k = 0;
  for (; k + 8 <= n; k += 8) {
    WideLanes low;
    WideLanes high;
    __builtin_memcpy(&low, text + k, sizeof low);
    __builtin_memcpy(&high, text + k + 4, sizeof high);
    const unsigned bits = LaneBits(hit(low)) | LaneBits(hit(high)) << 4;
    if (bits != 0) return k + static_cast<size_t>(__builtin_ctz(bits));
  }
  if (k + 4 <= n) {
    WideLanes block;
    __builtin_memcpy(&block, text + k, sizeof block);
    const unsigned bits = LaneBits(hit(block));
    if (bits != 0) return k + static_cast<size_t>(__builtin_ctz(bits));
    k += 4;
  }
  while (k < n && !hit(text[k])) ++k;
  return k;
}

}  // namespace vexo
