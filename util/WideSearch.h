// Finding the first character of a short wide text that meets a test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

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

// The bits of the eight characters from text on for which hit holds.
template <typename Hit>
unsigned HitBits8(const wchar_t* text, Hit hit) {
  return LaneBits(hit(LoadWide(text))) | LaneBits(hit(LoadWide(text + 4))) << 4;
}

// FindFirstPlain over text[from, n), testing eight characters with one
// branch; hit is also called with WideLanes (IsAnyOf). The last few are
// tested in one block that ends at n and overlaps characters before them
// (whose bits are dropped), so that no character goes on its own unless the
// whole text is shorter than four.
template <typename Hit>
size_t FindFirstLanesFrom(const wchar_t* text, size_t from, size_t n, Hit hit) {
  size_t k = from;
  for (; k + 8 <= n; k += 8) {
    const unsigned bits = HitBits8(text + k, hit);
    if (bits != 0) return k + static_cast<size_t>(__builtin_ctz(bits));
  }
  if (k == n) return n;
  unsigned bits;
  if (n >= 8) {
    bits = HitBits8(text + n - 8, hit) >> (k + 8 - n);
  } else if (n >= 4) {
    if (k + 4 <= n) {
      bits = LaneBits(hit(LoadWide(text + k)));
      if (bits != 0) return k + static_cast<size_t>(__builtin_ctz(bits));
      k += 4;
      if (k == n) return n;
    }
    bits = LaneBits(hit(LoadWide(text + n - 4))) >> (k + 4 - n);
  } else {
    return k + FindFirstPlain(text + k, n - k, hit);
  }
  return bits != 0 ? k + static_cast<size_t>(__builtin_ctz(bits)) : n;
}

template <typename Hit>
size_t FindFirstLanes(const wchar_t* text, size_t n, Hit hit) {
  return FindFirstLanesFrom(text, 0, n, hit);
}

template <typename Hit>
size_t FindFirst(const wchar_t* text, size_t n, Hit hit) {
  return kFastPaths ? FindFirstLanes(text, n, hit) : FindFirstPlain(text, n, hit);
}

// Copies text[0, count) to out one character at a time.
inline void CopyWidePlain(const wchar_t* text, size_t count, wchar_t* out) {
  for (size_t k = 0; k < count; ++k) out[k] = text[k];
}

// CopyWidePlain in blocks of eight, or of four for a copy shorter than eight,
// the last block overlapping what was copied before; a copy of three or less
// one at a time. A field's segment is a few dozen characters: the library's
// copy would cost more in the call than in the copy.
inline void CopyWideLanes(const wchar_t* text, size_t count, wchar_t* out) {
  if (count < 4) {
    CopyWidePlain(text, count, out);
    return;
  }
  if (count < 8) {
    std::memcpy(out, text, 4 * sizeof(wchar_t));
    std::memcpy(out + count - 4, text + count - 4, 4 * sizeof(wchar_t));
    return;
  }
  size_t k = 0;
  for (; k + 8 <= count; k += 8) std::memcpy(out + k, text + k, 8 * sizeof(wchar_t));
  if (k < count) std::memcpy(out + count - 8, text + count - 8, 8 * sizeof(wchar_t));
}

inline void CopyWide(const wchar_t* text, size_t count, wchar_t* out) {
  if (kFastPaths) {
    CopyWideLanes(text, count, out);
  } else {
    CopyWidePlain(text, count, out);
  }
}

// Copies the characters of text[0, n) before the first for which hit holds
// to out, at most room of them, and returns the index of that character, or
// n when none does; one character at a time.
template <typename Hit>
size_t CopyUntilPlain(const wchar_t* text, size_t n, wchar_t* out, size_t room, Hit hit) {
  const size_t found = FindFirstPlain(text, n, hit);
  for (size_t k = 0; k < found && k < room; ++k) out[k] = text[k];
  return found;
}

// Completes the copy of text[0, end) to out when all but its last seven or
// fewer characters are there already: one block of eight ending at end,
// which writes the characters before them again with the same values, or
// else the whole start again.
inline void CopyLastFew(const wchar_t* text, size_t end, wchar_t* out) {
  if (end >= 8) {
    std::memcpy(out + end - 8, text + end - 8, 8 * sizeof(wchar_t));
  } else {
    CopyWideLanes(text, end, out);
  }
}

// CopyUntilPlain testing and copying eight characters at a time, while out
// has room for eight; the last few are searched and copied in blocks that
// overlap what came before.
template <typename Hit>
size_t CopyUntilLanes(const wchar_t* text, size_t n, wchar_t* out, size_t room, Hit hit) {
  size_t k = 0;
  const size_t blocks = n < room ? n : room;
  for (; k + 8 <= blocks; k += 8) {
    const WideLanes low = LoadWide(text + k);
    const WideLanes high = LoadWide(text + k + 4);
    const unsigned bits = LaneBits(hit(low)) | LaneBits(hit(high)) << 4;
    if (bits != 0) {
      const size_t found = k + static_cast<size_t>(__builtin_ctz(bits));
      CopyLastFew(text, found, out);
      return found;
    }
    std::memcpy(out + k, &low, sizeof low);
    std::memcpy(out + k + 4, &high, sizeof high);
  }
  const size_t found = FindFirstLanesFrom(text, k, n, hit);
  CopyLastFew(text, found < room ? found : room, out);
  return found;
}

template <typename Hit>
size_t CopyUntil(const wchar_t* text, size_t n, wchar_t* out, size_t room, Hit hit) {
  return kFastPaths ? CopyUntilLanes(text, n, out, room, hit)
                    : CopyUntilPlain(text, n, out, room, hit);
}

}  // namespace vexo
