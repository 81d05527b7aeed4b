// Reading the decimal field numbers that follow a placeholder mark.
#pragma once

// True for the ASCII digits only; placeholders know no other digits.
inline bool IsDecimalDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Reads the digits starting at text[*pos] and leaves *pos on the first other
// character. Too many digits wrap modulo 2^64 instead of overflowing; no
// digit gives 0.
inline long ReadDigits(const wchar_t* text, int* pos) {
  unsigned long value = 0;
  while (IsDecimalDigit(text[*pos])) {
    value = value * 10 + static_cast<unsigned long>(text[*pos] - L'0');
    ++*pos;
  }
  return static_cast<long>(value);
}
