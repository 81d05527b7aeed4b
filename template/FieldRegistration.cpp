// Field registration: what loading a part takes from its text lines.
#include "FieldRegistration.h"

#include <cwchar>

#include "Digits.h"
#include "Line.h"
#include "Tbl.h"

namespace {

// The header placeholder whose "&" stands at `column` of the tab-expanded
// copy: creates its field and appends the text of its columns, with "@D",
// "@T" and "@n" replaced by the date, the date and time, or the first segment
// of header field n.
void RegisterHeaderPlaceholder(const wchar_t* copy, int length, int column) {
  FieldTab& header = Tbl::TabHdrField;
  // An "&" that the copy's bound cut off stands at its end: field 0, no text.
  int pos = column < length ? column + 1 : length;
  const long number = ReadDigits(copy, &pos);
  if (copy[pos] == L'=' || copy[pos] == L'>') ++pos;
  header.InsertField(number);
  header.SetCurrent(number);
  for (; copy[pos] != 0; ++pos) {
    const wchar_t c = copy[pos];
    if (c == L'$' || c == L'&' || c == L'?') {
      header.DelEndBlank();
      return;
    }
    if (c != L'@') {
      header.PutSym(c);
      continue;
    }
    const wchar_t next = copy[pos + 1];
    if (next == L'D') {
      header.PutStr(GetCurrentTimeString("%d.%m.%Y").c_str());
      ++pos;
    } else if (next == L'T') {
      header.PutStr(GetCurrentTimeString("%d.%m.%Y %H:%M").c_str());
      ++pos;
    } else if (IsDecimalDigit(next)) {
      int end = pos + 1;
      header.PutStr(header.FirstValue(ReadDigits(copy, &end)).c_str());
      pos = end - 1;
    }
  }
}

}  // namespace

void RegisterFields(const wchar_t* line) {
  wchar_t copy[kLineBuffer];
  int copyLength = -1;  // the tab-expanded copy is made at the first "&"
  int column = 0;       // where line[i] stands in that copy
  for (int i = 0; line[i] != 0; column += line[i] == L'\t' ? 8 - i % 8 : 1, ++i) {
    const wchar_t c = line[i];
    if (c == L'$') {
      Tbl::TabRcdField.InsertField(std::wcstol(line + i + 1, nullptr, 10));
    } else if (c == L'@' && line[i + 1] == L'@') {
      Tbl::TabRcdField.InsertField(std::wcstol(line + i + 2, nullptr, 10));
    } else if (c == L'&') {
      if (copyLength < 0) {
        Line::DelTab(line, copy);
        copyLength = static_cast<int>(std::wcslen(copy));
      }
      RegisterHeaderPlaceholder(copy, copyLength, column);
    }
  }
}
