// The checks of the data file and the begin-parameter files, heard from
// vexo's own scanners while they read: bytes that are not UTF-8 and what vexo
// does with them, and what it reads differently from what a writer of the
// file may have meant.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/TblDataFile.h"
#include "check/BlankCheck.h"
#include "check/Diagnostics.h"
#include "check/SourceCursor.h"

namespace vexo {

// Listens to the scanners (SetScanListener) for as long as they read, and
// follows each file they read with a cursor of its own: memory does not grow
// with the data. A diagnostic is written once the line it points at has been
// read. shown holds the record fields that the blank gives the record table;
// the longest first value of each of measured is noted.
class DataCheck : public ScanListener {
 public:
  DataCheck(DiagnosticSink& sink, std::set<long> shown, std::vector<long> measured);
  ~DataCheck() override;

  void Step(const ScanEvent& event) override;

  // The data line where the record being read or printed shows its first
  // character other than white space; 0 before the first.
  int64_t RecordLine() const { return m_RecordLine > 0 ? m_RecordLine : m_LastRecordLine; }
  // Whether reading stopped at the end of the data file, not before it.
  bool DataEnded() const { return m_DataEnded; }
  // A sheet break read during the run: its record (counted from 1), whether
  // it stands before the record's first tag, and the place of its ">".
  struct SheetBreak {
    int64_t record;
    bool first;
    std::shared_ptr<MarkedPlace> place;
  };
  // The sheet breaks read during the run and not yet carried out.
  size_t PendingBreaks() const { return m_Breaks.size() + m_BreaksUntold; }
  // Takes the oldest pending break; false, taking it all the same, for one
  // of those read while kBreaksTold were pending, which are only counted.
  bool TakeBreak(SheetBreak& taken);
  static constexpr size_t kBreaksTold = 256;
  // Writes d once place is complete, in the order of the data file.
  void Report(Diagnostic d, std::shared_ptr<MarkedPlace> place);
  // vexo's run ends here: what is read from now on is never printed.
  void RunEnds(bool stopped) {
    m_RunOver = true;
    m_RunStopped = stopped;
  }
  // Reads to the end of the data file and writes what is left.
  void Finish();
  const std::map<long, LongestValue>& Longest() const { return m_Longest; }

 private:
  // A file the scanners read, followed by a cursor.
  struct Source : SourceCursor::Listener {
    Source(DataCheck& check, ScanPart part, const std::wstring& name);
    void Heard(const BadSequence& bad) override;
    DataCheck& owner;
    ScanPart part;
    std::string name;
    SourceCursor cursor{this};
    bool opened = false;
    bool held = false;  // the last step held its last character
    bool flawed = false;
    int64_t flawLine = 0;
    int64_t stoppedLine = 0;  // vexo reads no further than this line
    // A sequence that vexo's reader could not read, until the scanner says
    // what it did there.
    bool failing = false;
    BadSequence failure;
    std::shared_ptr<MarkedPlace> failurePlace;
  };

  void Take(Source& source, const ScanEvent& e);
  void Claim(Source& source, const ScanEvent& e);
  void EndRecord();
  // The diagnostic of check at place in source's file.
  void Report(Source& source, Severity severity, const char* check, const std::string& message,
              std::shared_ptr<MarkedPlace> place);
  void Flush();
  void ReportSummaries();

  DiagnosticSink& m_Sink;
  std::set<long> m_Shown;
  std::vector<long> m_Measured;
  std::map<long, LongestValue> m_Longest;
  std::unique_ptr<Source> m_Data;
  std::unique_ptr<Source> m_Begin;
  bool m_RunOver = false;
  bool m_RunStopped = false;
  bool m_DataEnded = false;

  // The record being read.
  int64_t m_Records = 0;  // read to their "@"
  int64_t m_RecordLine = 0;
  int64_t m_LastRecordLine = 0;
  bool m_RecordHasTag = false;
  bool m_RecordHasText = false;
  wchar_t m_LastCharacter = L'\n';
  bool m_AtAfterWord = false;  // the last step was "@" after a letter or digit

  // Where vexo's reading of the data stopped at a byte it could not read,
  // and the records read after that.
  std::unique_ptr<Diagnostic> m_Stop;
  std::shared_ptr<MarkedPlace> m_StopPlace;
  std::string m_StopAdvice;
  int64_t m_RecordsLost = 0;

  // Records whose every field is empty.
  int64_t m_EmptyRecords = 0;
  int64_t m_FirstEmptyLine = 0;
  // Record tags of fields the blank does not show: records, first place; of
  // the first kShown numbers, and the tags of any other.
  struct Dropped {
    int64_t records = 0;
    int64_t lastRecord = 0;
    std::shared_ptr<MarkedPlace> place;
  };
  std::map<long, Dropped> m_Dropped;
  int64_t m_DroppedBeyond = 0;

  std::deque<SheetBreak> m_Breaks;
  size_t m_BreaksUntold = 0;  // pending breaks read after those in m_Breaks
  // Diagnostics waiting for their places.
  struct Waiting {
    Diagnostic diagnostic;
    std::shared_ptr<MarkedPlace> place;
  };
  std::deque<Waiting> m_Waiting;
};

}  // namespace vexo
