#include "data/Utf8.h"

namespace vexo {
namespace {

// The rule itself: the length of the well-formed sequence at text[i], or 0
// with the flaw that keeps the bytes from being one.
int ReadSequence(std::string_view text, size_t i, Utf8Flaw& flaw) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  flaw = Utf8Flaw::kNone;
  if (lead < 0x80) return 1;
  if (lead < 0xC0) {
    flaw = Utf8Flaw::kContinuation;
    return 0;
  }
  if (lead < 0xC2) {
    flaw = Utf8Flaw::kOverlong;
    return 0;
  }
  if (lead > 0xF4) {
    flaw = lead <= 0xF7 ? Utf8Flaw::kAboveMax : Utf8Flaw::kNeverUtf8;
    return 0;
  }
  const int length = lead <= 0xDF ? 2 : lead <= 0xEF ? 3 : 4;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  Utf8Flaw outside = Utf8Flaw::kBadContinuation;
  if (lead == 0xE0 || lead == 0xF0) {  // shorter forms exist
    low = lead == 0xE0 ? 0xA0 : 0x90;
    outside = Utf8Flaw::kOverlong;
  } else if (lead == 0xED) {
    high = 0x9F;
    outside = Utf8Flaw::kSurrogate;
  } else if (lead == 0xF4) {
    high = 0x8F;
    outside = Utf8Flaw::kAboveMax;
  }
  for (int k = 1; k < length; ++k) {
    if (i + k >= text.size()) {
      flaw = Utf8Flaw::kCut;
      return 0;
    }
    const unsigned char next = byte(i + k);
    if ((next & 0xC0) != 0x80) {
      flaw = Utf8Flaw::kBadContinuation;
      return 0;
    }
    if (k == 1 && (next < low || next > high)) {
      flaw = outside;
      return 0;
    }
  }
  return length;
}

}  // namespace

int Utf8Sequence(std::string_view text, size_t i) {
  Utf8Flaw flaw;
  const int length = ReadSequence(text, i, flaw);
  return flaw == Utf8Flaw::kCut ? -1 : length;
}

Utf8Flaw Utf8FlawAt(std::string_view text, size_t i) {
  Utf8Flaw flaw;
  ReadSequence(text, i, flaw);
  return flaw;
}

}  // namespace vexo
