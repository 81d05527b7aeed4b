// The checks of one blank part, made with the loader's own rules.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "check/Diagnostics.h"
#include "check/SourceCursor.h"
#include "template/Blank.h"

namespace vexo {

// One text line as rendering reads it: its tab-expanded text and the columns
// (from 0) of each placeholder, with what it prints.
struct LayoutMark {
  int first = 0;
  int last = 0;
  std::string legend;
};
struct LayoutLine {
  size_t index = 0;  // the line in the part
  std::string text;
  std::vector<LayoutMark> marks;
};

// A placeholder that ends its line without "?": as wide as itself.
struct OpenPlaceholder {
  bool record = false;
  long number = 0;
  int width = 0;
  std::string spelt;
  std::shared_ptr<MarkedPlace> place;
};

// The longest value a field is given, and the record (from 1) that gives it
// first; record 0 for a header field.
struct LongestValue {
  int length = 0;
  int64_t record = 0;
};

// Loads one part into the blank, as the run loads the parts in turn, with a
// watcher on the loader: every line the loader refuses is heard, with the
// reason, and the load goes on. Then every line is read again as rendering
// reads it, for the warnings of text lines, against the field store as the
// load leaves it; and the part's file is read once, for the places of the
// problems and for bytes that are not UTF-8. Every problem is reported, in
// the order of the file.
class BlankPartCheck : public LoadWatcher {
 public:
  BlankPartCheck(Blank& blank, int part, DiagnosticSink& sink);

  enum class Result { kMissing, kUnreadable, kChecked };
  // Checks the part; kMissing, with nothing reported, when its file does not
  // exist, kUnreadable, reported, when it cannot be loaded.
  Result Check();
  const std::string& Name() const { return m_Name; }
  // The place where each record field that a text line prints is shown
  // first.
  const std::map<long, std::shared_ptr<MarkedPlace>>& RecordFields() const {
    return m_RecordFields;
  }
  // Placeholders at the end of their line without "?" that are wide enough
  // for short values; whether the data's values fit is checked afterwards.
  const std::vector<OpenPlaceholder>& OpenPlaceholders() const { return m_Open; }
  // Warns of each open placeholder narrower than the longest value of its
  // field.
  void CheckOpenPlaceholders(const std::map<long, LongestValue>& records,
                             const std::map<long, LongestValue>& headers);
  // Every text line, as rendering reads it, with its line in the file.
  void PrintLayout() const;
  // How many text lines print a record field.
  int RecordLines() const { return m_RecordLines; }
  // Whether an unconditional jump goes back up the part, so that the walk
  // can go round for record after record.
  bool LoopsBack() const { return m_LoopsBack; }
  // A diagnostic of check at place (null: the file as a whole).
  void Report(Severity severity, const char* check, const std::string& message,
              const std::shared_ptr<MarkedPlace>& place) const;

  void Refused(const LoadProblem& problem) override;

 private:
  // A problem at character `at` of line `line` as read, its message made
  // once the lines of the file are known; or (report unset) a place wanted.
  struct Finding {
    size_t line = 0;
    int at = 0;
    Severity severity = Severity::kNote;
    const char* check = "";
    std::function<std::string()> message;
    bool report = true;
    std::function<void(const std::shared_ptr<MarkedPlace>&)> deliver;  // a place wanted
    std::shared_ptr<MarkedPlace> place;
  };
  class Flaws;

  Result Load();
  std::wstring ReadLine(size_t index) const;
  void CheckCommand(size_t index, const std::wstring& text, const LoadProblem& problem);
  void CheckJumps();
  void CheckLongLines();
  // The warnings of a text line, read as rendering reads it (defined in
  // TextLineCheck.cpp).
  void CheckTextLine(size_t index, const std::wstring& text);
  void CheckCounter(size_t index, const wchar_t* copy, int at, const std::vector<int>& source);
  void CheckMacroSymbol(size_t index, const wchar_t* copy, int at, const std::vector<int>& source);
  void CheckSubstitution(size_t index, const wchar_t* copy, int at, int end,
                         const std::vector<int>& source);
  // Notes that line `index` shows record field number at character `at`.
  void ShowsRecordField(size_t index, long number, int at);
  // Reads the file for the places of the findings and its bytes, then
  // writes the findings.
  void Resolve();
  void Find(size_t line, int at, Severity severity, const char* check, std::string message);
  void FindLater(size_t line, int at, Severity severity, const char* check,
                 std::function<std::string()> message);
  void Want(size_t line, int at, std::function<void(const std::shared_ptr<MarkedPlace>&)> deliver);
  // The line of the file where line `index` of the part starts.
  int64_t FileLine(size_t index) const { return m_FileLines[index]; }
  // An error that makes vexo refuse the part, naming its message.
  std::string Refusal(const std::string& what, int error, const std::string& advice) const;

  Blank& m_Blank;
  int m_Part;
  std::wstring m_Path;
  std::string m_Name;  // m_Path in UTF-8, for the diagnostics
  DiagnosticSink& m_Sink;
  std::vector<LoadProblem> m_Problems;
  bool m_Refused = false;
  long m_LoadedEnd = 0;  // the byte after the last line the loader reads
  std::vector<Finding> m_Findings;
  std::vector<int64_t> m_FileLines;
  std::map<long, std::shared_ptr<MarkedPlace>> m_RecordFields;
  std::vector<OpenPlaceholder> m_Open;
  std::vector<LayoutLine> m_Layout;
  int m_RecordLines = 0;
  bool m_LoopsBack = false;
};

// text in UTF-8, without a line end it may have.
std::string Utf8Line(const std::wstring& text);

}  // namespace vexo
