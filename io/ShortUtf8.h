// The UTF-8 form of text in the first two byte ranges (ASCII and the two-byte
// alphabets: Cyrillic, Greek, Hebrew, Arabic and more), eight characters at a
// time.
#pragma once

namespace vexo {

// Writes the one- or two-byte forms of text[0, 8) to out, which has room for
// 16 bytes whatever the result, and returns the end of what it wrote. Null,
// with nothing written, when a character is not in [0, 0x800).
char* EncodeShortEight(const wchar_t* text, char* out);

}  // namespace vexo
