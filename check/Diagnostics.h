// What the checker found, and how it is shown: compiler-style lines with the
// source line and a caret on standard error, or JSON Lines on standard output.
#pragma once

#include <cstdio>
#include <string>

namespace vexo {

enum class Severity { kError, kWarning, kNote };

// One finding. Texts are UTF-8. Line and column count from 1; line 0 means
// the file as a whole, column 0 the line as a whole.
struct Diagnostic {
  std::string file;
  int line = 0;
  int column = 0;
  Severity severity = Severity::kError;
  std::string check;    // a short name that scripts can match
  std::string message;  // what vexo will do, and what the user can do
  std::string source;   // the line as it stands in the file, without its end
};

// Writes each diagnostic as it comes and counts errors and warnings.
class DiagnosticSink {
 public:
  // json chooses JSON Lines on standard output; otherwise text on standard
  // error.
  explicit DiagnosticSink(bool json) : m_Json(json) {}

  void Report(const Diagnostic& diagnostic);
  // The closing count, "2 errors, 5 warnings", on standard error; nothing in
  // JSON mode.
  void Summary() const;

  int Errors() const { return m_Errors; }
  int Warnings() const { return m_Warnings; }

 private:
  void WriteText(const Diagnostic& diagnostic) const;
  void WriteJson(const Diagnostic& diagnostic) const;

  bool m_Json;
  int m_Errors = 0;
  int m_Warnings = 0;
};

// text as a JSON string, quotes included, with the escapes JSON requires.
std::string JsonString(const std::string& text);

}  // namespace vexo
