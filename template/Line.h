// One line of a loaded blank part, and the rendering of text lines.
#pragma once

#include <cstddef>
#include <string>

class FieldTab;

// The working line holds at most kLineMax characters and a terminating zero.
namespace vexo {
constexpr int kLineMax = 4095;
constexpr int kLineBuffer = kLineMax + 1;
}  // namespace vexo

// A plain record filled by the loader and walked by Blank::Next. Only text
// lines (m_Type 0) are rendered; their text is read from the blank file at
// m_FilePos (a line rendered before may be served from what that reading
// kept, LineCache.h). DelTab, ExpandTabs and Rasdel are defined in
// LineText.cpp; ConvStr and PutPol in LineConvStr.cpp.
class Line {
 public:
  enum typAlign { alLeft = 0, alCenter = 1, alRight = 2 };
  enum Kind { kText = 0, kLabel = 1, kJump = 2, kRepeat = 3, kMacro = 4 };

  int m_Type = kText;
  long m_Next = 0;         // next index, label number, jump target or 0
  short m_BlockLines = 0;  // repeat line: text lines in the block
  short m_Repeat = 0;      // repeat line: passes; block end: passes to come
  long m_Field = 0;        // jump line: tested field
  int m_IsRcd = 0;         // jump line: 1 record field, 0 header field
  int m_Cond = 0;          // jump line: 0 always, 1 with "^", 2 without
  int m_Cycle = 0;         // cycle check pass mark
  size_t m_LastOst = 0;    // cycle check remainder total
  long m_FilePos = 0;      // byte offset of the line in the part file

  // Reads the line from Blank::m_File, expands its tabs and fills its
  // placeholders from the field tables; the result has no line end. Consumes
  // field text and advances Tbl::CountList for counters. The reader is left
  // after the line.
  std::wstring ConvStr();
  // The same rendering into text, which holds kLineBuffer characters; returns
  // the length, the text zero-terminated there. Writing a line from a buffer
  // of the caller's costs no copy into a string.
  int ConvStr(wchar_t* text);

  // Copies src into dst (kLineBuffer characters) without trailing spaces and
  // line feeds, every tab at source index k becoming 8 - k % 8 spaces. The
  // copy stops at kLineMax characters.
  static void DelTab(const wchar_t* src, wchar_t* dst);
  // DelTab, returning the length of the copy.
  static size_t ExpandTabs(const wchar_t* src, wchar_t* dst);
  // ExpandTabs for a src whose length (up to its first zero) is known.
  static size_t ExpandTabs(const wchar_t* src, size_t length, wchar_t* dst);
  // Whether c is one of the break characters of Rasdel, at which an
  // overlong value may wrap; false for the terminating zero. Defined inline
  // in template/RasdelTable.h, which a caller includes.
  static bool IsRasdel(wchar_t c);
  // Fills columns first..last of line from the current field of tab,
  // aligned; an overlong value is cut (cut) or wrapped at a break character,
  // the characters that did not fit staying in the field.
  void PutPol(wchar_t* line, typAlign align, int first, int last, FieldTab* tab, bool cut);

  static const wchar_t* Rasdel;
};
