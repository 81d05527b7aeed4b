// Finding the first character of a short wide text that meets a test, four
// characters at a time.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexo {

// Four characters side by side.
using WideLanes = int32_t __attribute__((vector_size(16)));
static_assert(sizeof(wchar_t) == sizeof(int32_t), "a lane holds one character");

// The index of the first of text[0, n) for which hit holds, or n when none
// does. hit is called in two forms: with a wchar_t, returning a truth value,
// and with WideLanes, returning all ones in the lanes that meet the test (as
// the vector comparisons give it).
template <typename Hit>
size_t FindFirst(const wchar_t* text, size_t n, Hit hit) {
  size_t k = 0;
  for (; k + 4 <= n; k += 4) {
    WideLanes block;
    __builtin_memcpy(&block, text + k, sizeof block);
    const WideLanes found = hit(block);
    uint64_t halves[2];
    __builtin_memcpy(halves, &found, sizeof halves);
    if (halves[0] != 0) return k + (__builtin_ctzll(halves[0]) >> 5);
    if (halves[1] != 0) return k + 2 + (__builtin_ctzll(halves[1]) >> 5);
  }
  while (k < n && !hit(text[k])) ++k;
  return k;
}

}  // namespace vexo
