// The report run itself, in-process and with its output discarded: what it
// drops, and how much it prints.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "check/DataLines.h"
#include "check/Diagnostics.h"
#include "state/Tbl.h"

namespace vexo {

// Runs the report through vexo's own run with vexo's settings as they stand
// (-B, -I, -F, -P), the report written nowhere and vexo's messages taken in.
// Reports, at the data line of the record concerned, each record that vexo
// ends with message 11116 and each walk it ends with message 11112; header
// text that no placeholder prints on any sheet; any other message of the run
// but the blank's refusals (which the blank checks report) as a note. Closes with a note of the
// records, sheets and report lines. Memory does not grow with the records.
class RunCheck : public RunObserver {
 public:
  explicit RunCheck(DiagnosticSink& sink);

  // Puts the run state back to its start, runs the report and reports.
  void Run();

  void RecordStarts(Tbl& data) override;
  void LinePrinted() override;
  void SheetEnds(int nextPart) override;

 private:
  static void Message(const std::wstring& text, void* self);
  void Message(const std::wstring& text);
  // Notes the least unread text of every header field so far.
  void TakeHeader();
  void ReportHeader();
  // Keeps a diagnostic for the current record, to be placed at its data
  // line once the run is over.
  void ReportAtRecord(Severity severity, const char* check, const std::string& message);
  void ReportAtRecords();

  DiagnosticSink& m_Sink;
  std::string m_Name;  // the data file, as diagnostics show it
  DataLines m_Lines;
  long m_Starts = 0;  // records begun, the one that meets the end included
  long m_Sheets = 0;
  bool m_SheetPending = true;  // a part is being loaded for a further sheet
  long m_ReportLines = 0;
  // Header field number to its unread text at the end of the sheet that
  // printed most of it, and its whole length.
  struct Unprinted {
    int least;
    int whole;
  };
  std::map<long, Unprinted> m_Header;
  // Diagnostics of the records concerned, counted from 1 (0 before any).
  struct AtRecord {
    long record;
    Diagnostic diagnostic;
  };
  std::vector<AtRecord> m_AtRecords;
};

}  // namespace vexo
