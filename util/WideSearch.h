// Finding the first character of a short wide text that meets a test.
#pragma once

#include <cstddef>
#include <cstdint>

#include "util/Lanes.h"

namespace vexo {

// A test for the characters of a set: called with a wchar_t it gives a truth
// value, with WideLanes all ones in the lanes that hold a member.
template <wchar_t... Members>
struct IsAnyOf {
  bool operator()(wchar_t c) const { return ((c == Members) || ...); }
  WideLanes operator()(WideLanes c) const { return ((c == int32_t{Members}) | ...); }
};

// The index of the first of text[0, n) for which hit holds, or n when none
// does, one character at a time.
template <typename Hit>
size_t FindFirstPlain(const wchar_t* text, size_t n, Hit hit) {
  size_t k = 0;
  while (k < n && !hit(text[k])) ++k;
  return k;
}

// FindFirstPlain testing eight characters with one branch; hit is also called
// with WideLanes (IsAnyOf). The last few go one at a time.
template <typename Hit>
size_t FindFirstLanes(const wchar_t* text, size_t n, Hit hit) {
  size_t k = 0;
  for (; k + 8 <= n; k += 8) {
    const unsigned bits = LaneBits(hit(LoadWide(text + k))) | LaneBits(hit(LoadWide(text + k + 4)))
                                                                  << 4;
    if (bits != 0) return k + static_cast<size_t>(__builtin_ctz(bits));
  }
  if (k + 4 <= n) {
    const unsigned bits = LaneBits(hit(LoadWide(text + k)));
    if (bits != 0) return k + static_cast<size_t>(__builtin_ctz(bits));
    k += 4;
  }
  return k + FindFirstPlain(text + k, n - k, hit);
}

template <typename Hit>
size_t FindFirst(const wchar_t* text, size_t n, Hit hit) {
  return kFastPaths ? FindFirstLanes(text, n, hit) : FindFirstPlain(text, n, hit);
}

}  // namespace vexo
