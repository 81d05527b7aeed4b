// Text in the first two byte ranges of UTF-8 (ASCII and the two-byte
// alphabets: Cyrillic, Greek, Hebrew, Arabic and more), encoded and decoded
// many characters at a time.
#pragma once

#include <cstddef>

namespace vexo {

// Writes the one- or two-byte forms of text[0, 8) to out, which has room for
// 16 bytes whatever the result, and returns the end of what it wrote. Null,
// with nothing written, when a character is not in [0, 0x800), and where the
// processor lacks the byte shuffle: the caller then goes one character at a
// time.
char* EncodeShortEight(const wchar_t* text, char* out);

// The number of stop bytes DecodeShortSixteen tests.
constexpr int kShortStops = 4;

// Decodes bytes[0, 16) from the start up to the first byte that is neither an
// ASCII byte outside stops (kShortStops bytes) nor part of a two-byte sequence: a
// lead byte from 0xC2 to 0xDF and the continuation byte (0x80 to 0xBF) that
// follows it, which decode to 0x80 to 0x7FF and so are never a stop. A
// sequence cut by the end of the sixteen bytes is left too. Writes the
// characters to out, which has room for 16 whatever the result, sets chars to
// their number and returns the number of bytes decoded; 0 also where the
// processor lacks the byte shuffle.
size_t DecodeShortSixteen(const unsigned char* bytes, const unsigned char* stops, wchar_t* out,
                          size_t& chars);

}  // namespace vexo
