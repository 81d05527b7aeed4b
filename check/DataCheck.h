// The checks of a data file: where vexo's reading stops, and what it reads
// differently from what a writer of the file may expect.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "check/BlankCheck.h"
#include "check/Diagnostics.h"

namespace vexo {

// Reads the data file twice, streaming: once with vexo's own scanners, which
// tell how many records there are, where reading stops and whether the last
// record is closed; then byte by byte for the warnings, each shown with its
// line once the line is complete. Record fields are looked up in the field
// store, so the blank's parts must be checked first.
class DataCheck {
 public:
  DataCheck(const std::wstring& path, DiagnosticSink& sink);

  // Checks the file; false when it cannot be opened.
  bool Check();
  // The longest first value that the records give each of `fields`; call
  // before Check.
  void Measure(const std::vector<long>& fields) { m_Measured = fields; }
  const std::map<long, LongestValue>& Longest() const { return m_Longest; }
  // Records that vexo reads to their closing "@".
  long Records() const { return m_Records; }

 private:
  // One byte of the file; false at its end or at `m_Stop`.
  bool Next(int& byte);
  void Scan();
  void Tag(int& byte);
  void EndOfLine();
  // A diagnostic at column `column` of the current line, shown once the line
  // is complete.
  void Warn(const char* check, int column, const std::string& message,
            Severity severity = Severity::kWarning);
  void ReportDropped();
  // A diagnostic of this data file at line and column, without its source line.
  Diagnostic At(int line, int column, const char* check, const std::string& message,
                Severity severity) const;

  std::wstring m_Path;
  std::string m_Name;
  DiagnosticSink& m_Sink;
  long m_Records = 0;
  std::vector<long> m_Measured;
  std::map<long, LongestValue> m_Longest;
  long m_Stop = -1;  // the byte after which vexo reads nothing, -1 at the end
  long m_HeaderEnd = 0;
  long m_Record = 0;  // the record the scan is in, from 0

  FILE* m_File = nullptr;
  long m_Offset = 0;
  int m_Line = 1;
  int m_Column = 0;  // characters of the current line read so far
  std::string m_Text;
  std::vector<Diagnostic> m_Pending;
  // Record tags of fields that no part shows: number, records, first place.
  struct Dropped {
    long number;
    long records;
    long lastRecord;
    int line;
    int column;
    std::string source;
  };
  std::vector<Dropped> m_Dropped;
  Dropped m_LastTag = {};  // the last record tag read, for an unclosed record
};

}  // namespace vexo
