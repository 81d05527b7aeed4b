// The report run itself, in-process and with its output discarded: what it
// drops, where it stops, and how much it prints.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "check/DataCheck.h"
#include "check/Diagnostics.h"
#include "state/Tbl.h"

namespace vexo {

// Runs the report through vexo's own run with vexo's settings as they stand
// (-B, -I, -F, -P), the report written nowhere, vexo's messages taken in and
// the data check listening to the scanners. Reports at the data line of the
// record concerned: a part that vexo cannot load there (an error: the run
// stops), each record that vexo ends with message 11116 and each walk it
// ends with message 11112, and a sheet break carried out on a sheet that its
// record began anyway; then header text that no placeholder prints on any
// sheet. Any other message of the run but the blank's refusals (which the
// blank checks report) is a note. Closes with a note of the records, sheets
// and report lines. Memory does not grow with the records.
class RunCheck : public RunObserver {
 public:
  RunCheck(DiagnosticSink& sink, DataCheck& data);

  // Puts the run state back to its start and runs the report; then reads
  // what is left of the data file for the data check.
  void Run();
  // Once the data check has finished: the header fields that lose text, and
  // a note of what the run read and printed.
  void Close();

  void RecordStarts(Tbl& data) override;
  void LinePrinted() override;
  void SheetEnds(int nextPart) override;

 private:
  static void Message(const std::wstring& text, void* self);
  void Message(const std::wstring& text);
  // Finds the sheet breaks that the walk has carried out since the last look.
  void CheckBreaks();
  // Notes the least unread text of every header field so far.
  void TakeHeader();
  void ReportHeader();
  // A diagnostic at the data line of the current record.
  void ReportAtRecord(Severity severity, const char* check, const std::string& message);

  DiagnosticSink& m_Sink;
  DataCheck& m_Data;
  std::string m_Name;    // the data file, as diagnostics show it
  int64_t m_Starts = 0;  // records begun, the one that meets the end included
  int64_t m_Sheets = 0;
  bool m_SheetPending = true;  // the next line printed begins a sheet
  int64_t m_ReportLines = 0;
  // The record that printed the current sheet's first line, and the lines
  // on that sheet that printed some record text.
  int64_t m_SheetRecord = 0;
  int64_t m_SheetLines = 0;
  size_t m_Unread = 0;        // record text unread after the last line
  bool m_RecordFresh = true;  // no line printed since the record was read
  // Header field number to its unread text at the end of the sheet that
  // printed most of it, and its whole length.
  struct Unprinted {
    int least;
    int whole;
  };
  std::map<long, Unprinted> m_Header;
  bool m_Stopped = false;  // the run ended with status 1
};

}  // namespace vexo
