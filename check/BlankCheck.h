// The checks of one blank part: every line read as the loader reads it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "check/Diagnostics.h"
#include "check/SourceText.h"

namespace vexo {

struct Command;

// One line of a part as the loader reads it, and where it starts in the file.
struct PartLine {
  std::wstring text;  // as read: carriage returns dropped, the line feed kept
  long offset = 0;    // the byte at which it starts
  int line = 0;       // where it starts in the file, from 1
  int column = 0;
};

// One text line as rendering reads it: its tab-expanded text and the columns
// (from 0) of each placeholder, with what it prints.
struct LayoutMark {
  int first = 0;
  int last = 0;
  std::string legend;
};
struct LayoutLine {
  size_t index = 0;  // the line in BlankPartCheck::Lines
  std::string text;
  std::vector<LayoutMark> marks;
};

// A placeholder that ends its line without "?": as wide as itself.
struct OpenPlaceholder {
  size_t index = 0;  // its line in BlankPartCheck::Lines
  int at = 0;        // its first character in that line
  bool record = false;
  long number = 0;
  int width = 0;
  std::string spelt;
};

// The longest value a field is given, and the record (from 1) that gives it
// first; record 0 for a header field.
struct LongestValue {
  int length = 0;
  long record = 0;
};

// Checks a part of a blank, in the order the run loads them, against the
// field store as the run leaves it: text lines register their fields and
// macro declarations bind theirs, so later parts are checked as the run
// would load them. Every problem is reported, not only the first.
class BlankPartCheck {
 public:
  BlankPartCheck(const std::wstring& path, DiagnosticSink& sink);

  // Reads and checks the part; false when its file cannot be read.
  bool Check();
  // Whether a check found a reason for vexo to refuse the part.
  bool Refused() const { return m_Refused; }
  const std::vector<PartLine>& Lines() const { return m_Lines; }
  const std::string& Name() const { return m_Name; }
  // Where each record field that a text line prints is first shown: its
  // line's index and the character there.
  const std::map<long, std::pair<size_t, int>>& RecordFields() const { return m_RecordFields; }
  // Placeholders at the end of their line without "?" that are wide enough
  // for short values; whether the data's values fit is checked afterwards.
  const std::vector<OpenPlaceholder>& OpenPlaceholders() const { return m_Open; }
  // Warns of each open placeholder narrower than the longest value of its
  // field.
  void CheckOpenPlaceholders(const std::map<long, LongestValue>& records,
                             const std::map<long, LongestValue>& headers);
  // Every text line, as rendering reads it.
  const std::vector<LayoutLine>& Layout() const { return m_Layout; }
  // How many text lines print a record field.
  int RecordLines() const { return m_RecordLines; }
  // Whether an unconditional jump goes back up the part, so that the walk
  // can go round for record after record.
  bool LoopsBack() const;
  // A diagnostic at character `at` of line `index` of the part.
  void Report(Severity severity, const char* check, size_t index, int at,
              const std::string& message);

 private:
  void ReadLines();
  void CheckEncoding();
  void CheckCommand(size_t index);
  void CheckMacro(size_t index, const Command& command);
  void CheckJumps();
  // Whether a text line stands between lines `from` and `to`.
  bool TextBetween(size_t from, size_t to) const;
  void CheckFileShape();
  // The warnings of a text line, read as rendering reads it (defined in
  // TextLineCheck.cpp).
  void CheckTextLine(size_t index);
  void CheckCounter(size_t index, const wchar_t* copy, int at, const std::vector<int>& source);
  void CheckMacroSymbol(size_t index, const wchar_t* copy, int at, const std::vector<int>& source);
  // An error that makes vexo refuse the part, naming its message.
  void Refuse(const char* check, size_t index, int at, const std::string& what, int error,
              const std::string& advice);

  std::wstring m_Path;
  std::string m_Name;  // m_Path in UTF-8, for the diagnostics
  DiagnosticSink& m_Sink;
  SourceText m_Source;
  std::vector<PartLine> m_Lines;
  std::map<long, size_t> m_Labels;  // label number to its line's index
  std::map<long, std::pair<size_t, int>> m_RecordFields;
  std::vector<LayoutLine> m_Layout;
  std::vector<OpenPlaceholder> m_Open;
  int m_RecordLines = 0;
  size_t m_LoadedEnd = 0;  // the byte after the last line the loader reads
  bool m_Refused = false;
};

// text in UTF-8, without a line end it may have.
std::string Utf8Line(const std::wstring& text);

}  // namespace vexo
