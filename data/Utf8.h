// Checking UTF-8 one sequence at a time, for the data-file writer and for
// programs that validate their input before they hand it on.
#pragma once

#include <cstddef>
#include <string_view>

namespace vexo {

// The length of the well-formed UTF-8 sequence that starts at text[i]
// (1 to 4), 0 when the bytes there are not one (a stray continuation byte,
// an overlong form, a surrogate, a value above U+10FFFF), and -1 when they
// are the start of one that the end of text cuts short.
int Utf8Sequence(std::string_view text, size_t i);

// What keeps the bytes at text[i] from being a well-formed sequence.
enum class Utf8Flaw {
  kNone,             // they are one
  kCut,              // the end of text comes before the sequence ends
  kContinuation,     // a continuation byte (0x80 to 0xBF) where a character starts
  kNeverUtf8,        // a byte no UTF-8 text holds (0xF8 to 0xFF)
  kOverlong,         // a longer form of a character that has a shorter one
  kSurrogate,        // U+D800 to U+DFFF, which UTF-8 does not encode
  kAboveMax,         // a value above U+10FFFF
  kBadContinuation,  // a lead byte whose next bytes do not continue it
};

// The flaw of the sequence at text[i], by the same rule as Utf8Sequence:
// kNone exactly where it gives a length, kCut where it gives -1.
Utf8Flaw Utf8FlawAt(std::string_view text, size_t i);

}  // namespace vexo
