// Field registration: what loading a part takes from its text lines.
#include "template/FieldRegistration.h"

#include <cwchar>

#include "state/Tbl.h"
#include "template/Line.h"
#include "template/SubstitutionText.h"

namespace vexo {
namespace {

// The header placeholder whose "&" stands at `column` of the tab-expanded
// copy: creates its field and appends the text of its stretch, with "@D",
// "@T" and "@n" replaced by their text and any other "@" dropped. A stretch
// ended by "?", "$" or "&" trims every header field; one ended by the end of
// the line does not.
void RegisterHeaderPlaceholder(const wchar_t* copy, int length, int column) {
  FieldTab& header = Tbl::TabHdrField;
  // An "&" that the copy's bound cut off stands at its end: field 0, no text.
  const FieldColumns columns =
      ScanFieldColumns(copy, column < length ? column + 1 : length, length);
  header.InsertField(columns.number);
  header.SetCurrent(columns.number);
  for (int pos = columns.stretch; pos < columns.stretchEnd; ++pos) {
    if (copy[pos] != L'@') {
      header.PutSym(copy[pos]);
      continue;
    }
    const Substitution found = ScanSubstitution(copy, pos, false);
    if (found.kind == SubstitutionKind::kNone) continue;
    header.PutStr(SubstitutionText(found).c_str());
    pos = found.end - 1;
  }
  if (copy[columns.stretchEnd] != 0) header.DelEndBlank();
}

}  // namespace

// Record fields are named by every "$" and "@@", their numbers read as wcstol
// reads them; header placeholders by every "&".
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

}  // namespace vexo
