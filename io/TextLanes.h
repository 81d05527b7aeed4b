// The fast paths of reading and writing UTF-8, each beside the plain loop
// that does the same one character at a time (util/Lanes.h). The reader and
// the writer take the fast path where the build and the processor have it,
// the plain loop elsewhere; a table test compares each pair.
#pragma once

#include <cstddef>

#include "util/Lanes.h"

namespace vexo {

// Widens n bytes, each below 0x80, into characters. The two never overlap,
// which lets the compiler widen many at a time.
inline void WidenBytes(const unsigned char* __restrict bytes, size_t n, wchar_t* __restrict out) {
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<wchar_t>(bytes[i]);
}

// Widens bytes[0, n) into out for as long as each is a plain line byte: below
// 0x80, not a carriage return and not a zero. Returns how many were widened.
// The lanes take whole blocks of sixteen only: the block that holds another
// byte, and the last few, are left to the plain loop, which takes them one by
// one.
inline size_t WidenLineBytesLanes(const unsigned char* bytes, size_t n, wchar_t* out) {
  size_t k = 0;
  for (; k + 16 <= n; k += 16) {
    const ByteLanes lanes = LoadBytes(bytes + k);
    if (FirstSet((lanes >= 0x80) | (lanes == '\r') | (lanes == 0)) < 16) break;
    WidenBytes(bytes + k, 16, out + k);
  }
  return k;
}

inline size_t WidenLineBytesPlain(const unsigned char* bytes, size_t n, wchar_t* out) {
  size_t k = 0;
  for (; k < n && bytes[k] < 0x80 && bytes[k] != '\r' && bytes[k] != 0; ++k) out[k] = bytes[k];
  return k;
}

// The ASCII bytes that end a run of plain text: kRunStops of them, a byte
// listed more than once where there are fewer. Each is also kept sixteen
// times side by side.
constexpr int kRunStops = 4;
struct RunStops {
  explicit RunStops(const unsigned char* stops) {
    for (int i = 0; i < kRunStops; ++i) {
      bytes[i] = stops[i];
      lanes[i] = ByteLanes{} + stops[i];
    }
  }
  unsigned char bytes[kRunStops];
  ByteLanes lanes[kRunStops];
};

// The index of the first of bytes[0, 16) that is 0x80 or above or a stop, or
// 16 when there is none.
inline size_t FirstNotPlainLanes(const unsigned char* bytes, const RunStops& stops) {
  static_assert(kRunStops == 4, "one comparison for each stop");
  const ByteLanes lanes = LoadBytes(bytes);
  return FirstSet((lanes >= 0x80) | (lanes == stops.lanes[0]) | (lanes == stops.lanes[1]) |
                  (lanes == stops.lanes[2]) | (lanes == stops.lanes[3]));
}

inline size_t FirstNotPlainPlain(const unsigned char* bytes, const RunStops& stops) {
  size_t k = 0;
  for (; k < 16 && bytes[k] < 0x80; ++k) {
    const unsigned char b = bytes[k];
    if (b == stops.bytes[0] || b == stops.bytes[1] || b == stops.bytes[2] || b == stops.bytes[3])
      break;
  }
  return k;
}

// Whether the processor has the byte shuffle that DecodeBlocksShuffled and
// EncodeEightShuffled use, and the build lets them use it: they may be
// called only then.
bool HasShuffle();

// Decodes bytes[0, n) sixteen bytes at a time, each block from its start up
// to the first byte that is neither an ASCII byte other than a stop nor part
// of a two-byte sequence: a lead byte from 0xC2 to 0xDF and the continuation
// byte (0x80 to 0xBF) that follows it, which decode to 0x80 to 0x7FF and so
// are never a stop. A sequence cut by the end of a block is left to the next.
// Goes on while the last block decoded something and both the bytes and out,
// which has room for `room` characters, hold sixteen more. Writes the
// characters to out, sets chars to their number and returns the number of
// bytes decoded; zero when n or room is below sixteen. The shuffled one
// decodes each block all at once.
size_t DecodeBlocksShuffled(const unsigned char* bytes, size_t n, const RunStops& stops,
                            wchar_t* out, size_t room, size_t& chars);
size_t DecodeBlocksPlain(const unsigned char* bytes, size_t n, const RunStops& stops, wchar_t* out,
                         size_t room, size_t& chars);

// Writes text[0, 16) to out as one byte each and returns true when all of it
// is ASCII; otherwise writes nothing and returns false.
bool NarrowAsciiLanes(const wchar_t* text, char* out);
bool NarrowAsciiPlain(const wchar_t* text, char* out);

// Writes the one- or two-byte forms of text[0, 8) to out, which has room for
// 16 bytes whatever the result, and returns the end of what it wrote; null,
// with nothing written, when a character is not in [0, 0x800). The shuffled
// one writes all eight at once.
char* EncodeEightShuffled(const wchar_t* text, char* out);
char* EncodeEightPlain(const wchar_t* text, char* out);

}  // namespace vexo
