// Line text helpers shared by loading and rendering.
#include <algorithm>
#include <cwchar>

#include "template/Line.h"

const wchar_t* Line::Rasdel = L" ,?!,;)]";

void Line::DelTab(const wchar_t* src, wchar_t* dst) { ExpandTabs(src, dst); }

size_t Line::ExpandTabs(const wchar_t* src, wchar_t* dst) {
  return ExpandTabs(src, std::wcslen(src), dst);
}

size_t Line::ExpandTabs(const wchar_t* src, size_t length, wchar_t* dst) {
  while (length > 0 && (src[length - 1] == L' ' || src[length - 1] == L'\n')) --length;
  size_t k = 0;
  size_t out = 0;
  const size_t limit = vexo::kLineMax;
  while (k < length && out < limit) {
    // Copy up to the next tab in one piece.
    const wchar_t* tab = std::wmemchr(src + k, L'\t', length - k);
    const size_t run = std::min((tab ? static_cast<size_t>(tab - src) : length) - k, limit - out);
    std::wmemcpy(dst + out, src + k, run);
    out += run;
    k += run;
    if (k >= length || out >= limit || src[k] != L'\t') break;
    // The stop is counted on the tab's index in the source, not on the column
    // it lands on, so a second tab at the start of a line gives 7 spaces.
    for (size_t spaces = 8 - k % 8; spaces > 0 && out < limit; --spaces) dst[out++] = L' ';
    ++k;
  }
  dst[out] = 0;
  return out;
}
