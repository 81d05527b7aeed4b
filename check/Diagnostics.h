// What the checker found, and how it is shown: compiler-style lines with the
// source line and a caret on standard error, or JSON Lines on standard output.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>

namespace vexo {

enum class Severity { kError, kWarning, kNote };

// Where a diagnostic points. Line and column count from 1; line 0 means the
// file as a whole, column 0 the line as a whole.
struct SourcePlace {
  int64_t line = 0;
  int64_t column = 0;
  std::string excerpt;  // the line around the column, UTF-8, without its end
  int64_t caret = 0;    // characters of excerpt before the column
};

// One finding. Texts are UTF-8; bytes that are not are shown as \xNN.
struct Diagnostic {
  std::string file;
  SourcePlace place;
  Severity severity = Severity::kError;
  std::string check;    // a short name that scripts can match
  std::string message;  // what vexo will do, and what the user can do
};

// Writes diagnostics as they come and counts them. Of each check in each
// file only the first kShown are written; the rest are counted, and a note at
// the end says how many were left out.
class DiagnosticSink {
 public:
  static constexpr int64_t kShown = 100;

  // json chooses JSON Lines on standard output; otherwise text on standard
  // error.
  explicit DiagnosticSink(bool json) : m_Json(json) {}

  // Counts a diagnostic of check in file, and tells whether it is to be
  // written (with Write, once its place is known).
  bool Take(Severity severity, const std::string& file, const std::string& check);
  void Write(const Diagnostic& diagnostic);
  // Take and Write in one.
  void Report(const Diagnostic& diagnostic);
  // Counts and writes a diagnostic that sums up what the limit of its check
  // left out, and so is not held back by it.
  void ReportSum(const Diagnostic& diagnostic);
  // The notes of what was left out, then, in text mode, the closing count
  // "2 errors, 5 warnings" on standard error.
  void Summary();

  int64_t Errors() const { return m_Errors; }
  int64_t Warnings() const { return m_Warnings; }
  // Whether writing to standard output or standard error has failed.
  bool WriteFailed() const;

 private:
  void WriteText(const Diagnostic& diagnostic);
  void WriteJson(const Diagnostic& diagnostic);

  bool m_Json;
  int64_t m_Errors = 0;
  int64_t m_Warnings = 0;
  std::map<std::pair<std::string, std::string>, int64_t> m_Taken;
};

// text with every byte that is not part of well-formed UTF-8 written as
// \xNN.
std::string ShowUtf8(std::string_view text);
// text as a JSON string, quotes included: ShowUtf8, then the escapes JSON
// requires.
std::string JsonString(std::string_view text);

}  // namespace vexo
