// The columns that a macro field covers, read once for rendering and for the
// tools that show a line's layout.
#pragma once

#include "template/Line.h"
#include "template/Placeholder.h"

namespace vexo {

// Where the macro field whose symbol stands at text[first] ends.
struct MacroColumns {
  Line::typAlign align = Line::alLeft;  // from a mark right after the symbol
  int last = 0;                         // the field's last column
  bool closed = false;                  // text[last] is the closing symbol
};

// An alignment mark may follow the symbol. Then the symbol again closes the
// field; a run of spaces widens it, up to and including a closing symbol
// right after the run, or else up to its last space; anything else leaves
// the field as wide as the symbol and its mark. text is zero-terminated.
inline MacroColumns ScanMacroColumns(const wchar_t* text, int first) {
  const wchar_t symbol = text[first];
  MacroColumns columns;
  int pos = first + 1;
  columns.align = AlignmentOf(text[pos]);
  if (columns.align != Line::alLeft) ++pos;
  columns.last = pos - 1;
  if (text[pos] == symbol) {
    columns.last = pos;
    columns.closed = true;
  } else if (text[pos] == L' ') {
    int end = pos;
    while (text[end] == L' ') ++end;
    columns.closed = text[end] == symbol;
    columns.last = columns.closed ? end : end - 1;
  }
  return columns;
}

}  // namespace vexo
