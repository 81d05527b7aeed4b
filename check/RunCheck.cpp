#include "check/RunCheck.h"

#include <algorithm>

#include "check/Words.h"
#include "io/Console.h"
#include "io/TextEncoding.h"
#include "messages/ErrorText.h"

namespace vexo {
namespace {

bool StartsWith(const std::wstring& text, const std::wstring& start) {
  return !start.empty() && text.compare(0, start.size(), start) == 0;
}

}  // namespace

RunCheck::RunCheck(DiagnosticSink& sink, DataCheck& data)
    : m_Sink(sink), m_Data(data), m_Name(Utf8(Tbl::InpFile)) {}

void RunCheck::Run() {
  // The checks before have filled the field tables; the run starts as vexo
  // starts, with the same settings and nothing else.
  const std::wstring blank = Tbl::BlankFile, data = Tbl::InpFile;
  const std::wstring begin = Tbl::BegParam, directory = Tbl::PathBlank;
  ResetRunState();
  Tbl::BlankFile = blank;
  Tbl::InpFile = data;
  Tbl::BegParam = begin;
  Tbl::PathBlank = directory;
  // The report goes nowhere: to a device that takes it all, which must not
  // be one of the inputs, or the run would refuse it.
  for (const wchar_t* nowhere : {L"/dev/null", L"/dev/zero"}) {
    Tbl::OutFile = nowhere;
    if (!Tbl::OutputIsAnInput()) break;
  }

  SetMessageListener(&RunCheck::Message, this);
  SetScanListener(&m_Data);
  Tbl::Observer = this;
  Tbl run;
  m_Stopped = run.Execute() != 0;
  Tbl::Observer = nullptr;
  SetMessageListener(nullptr, nullptr);
  m_Data.RunEnds(m_Stopped);
  // The rest of the data, which the run did not read, has its checks too.
  if (run.IsOpen()) {
    while (run.GetRecord() || !m_Data.DataEnded()) {
    }
  }
  SetScanListener(nullptr);
  TakeHeader();
}

void RunCheck::Close() {
  ReportHeader();
  Diagnostic note;
  note.severity = Severity::kNote;
  note.file = m_Name;
  note.check = "run";
  note.message = "vexo's run reads " + Counted(m_Stopped ? m_Starts : m_Starts - 1, "record") +
                 " and prints " + Counted(m_Sheets, "sheet") + ", " +
                 Counted(m_ReportLines, "report line");
  m_Sink.Report(note);
}

void RunCheck::RecordStarts(Tbl&) {
  CheckBreaks();
  ++m_Starts;
  m_RecordFresh = true;
}

void RunCheck::SheetEnds(int nextPart) {
  CheckBreaks();
  TakeHeader();
  m_SheetPending = nextPart == 2;
}

// A part 2 that cannot be loaded makes no sheet.
void RunCheck::LinePrinted() {
  if (m_SheetPending) {
    ++m_Sheets;
    m_SheetRecord = m_Starts;
    m_SheetLines = 0;
  }
  m_SheetPending = false;
  CheckBreaks();
  const size_t unread = Tbl::TabRcdField.AllOst();
  if (unread < (m_RecordFresh ? Tbl::FirstOst : m_Unread)) ++m_SheetLines;
  m_Unread = unread;
  m_RecordFresh = false;
  ++m_ReportLines;
}

// The walk carries out a pending break instead of a jump back or the next
// pass of a repeat block, maybe only when the next record asks for a line.
// When the break's record began the sheet (the record before filled its
// sheet), the lines printed on it stand alone there.
void RunCheck::CheckBreaks() {
  while (m_Data.PendingBreaks() > static_cast<size_t>(std::max(Tbl::totBreak, 0))) {
    DataCheck::SheetBreak done;
    if (!m_Data.TakeBreak(done)) continue;
    if (!done.first || m_SheetRecord != done.record || m_SheetPending) continue;
    Diagnostic d;
    d.file = m_Name;
    d.severity = Severity::kWarning;
    d.check = "break-on-new-sheet";
    d.message = "this record begins sheet " + std::to_string(m_Sheets) +
                " anyway, and its sheet break is carried out on that sheet " +
                (m_SheetLines == 0 ? std::string("before any line of the record")
                                   : "after " + Counted(m_SheetLines, "line") + ", which stand" +
                                         (m_SheetLines == 1 ? "s" : "") + " alone there") +
                "; leave out the \">\" of a record that begins a sheet";
    m_Data.Report(d, done.place);
  }
}

void RunCheck::Message(const std::wstring& text, void* self) {
  static_cast<RunCheck*>(self)->Message(text);
}

void RunCheck::Message(const std::wstring& text) {
  if (StartsWith(text, Tbl::Err(Tbl::errCycleSheets))) {
    ReportAtRecord(Severity::kWarning, "record-dropped",
                   "a whole sheet of part 2 printed nothing more of this record: vexo drops its "
                   "last " +
                       Counted(static_cast<int64_t>(Tbl::TabRcdField.AllOst()), "character") +
                       " with message " + MessageNumber(Tbl::errCycleSheets) +
                       "; show its fields in part 2");
    return;
  }
  if (StartsWith(text, Tbl::Err(Tbl::errCycleJump))) {
    ReportAtRecord(Severity::kWarning, "walk-ended",
                   "the blank's jumps go round without printing a line for this record: vexo "
                   "ends the walk with message " +
                       MessageNumber(Tbl::errCycleJump) + "; jump back over a text line");
    return;
  }
  // Part 1 is loaded before any record; the part checks have said why it
  // cannot be.
  if (StartsWith(text, Tbl::Err(Tbl::errBlankLoad)) && m_Starts == 0) return;
  if (StartsWith(text, Tbl::Err(Tbl::errBlankLoad))) {
    const std::wstring part = text.substr(Tbl::Err(Tbl::errBlankLoad).size());
    ReportAtRecord(Severity::kError, "run-stopped",
                   "vexo cannot load " + Utf8(part) + " here and stops the run with message " +
                       MessageNumber(Tbl::errBlankLoad) + ": nothing after this is printed");
    return;
  }
  // The data file and the blank's own refusals are reported by their checks.
  if (StartsWith(text, Tbl::Err(Tbl::errNoInput))) return;
  for (int refusal = Tbl::errJump; refusal <= Tbl::errNoLabel; ++refusal) {
    if (StartsWith(text, Tbl::Err(static_cast<Tbl::numErr>(refusal)))) return;
  }
  // Load messages end with the line concerned and its line end.
  const size_t end = text.find_last_not_of(L"\r\n");
  ReportAtRecord(Severity::kNote, "run-message",
                 "vexo writes \"" + Utf8(text.substr(0, end + 1)) + "\" here");
}

void RunCheck::TakeHeader() {
  FieldTab& header = Tbl::TabHdrField;
  long number = -1;
  while (header.NextNumber(number, number)) {
    if (!header.SetCurrent(number)) continue;
    const int unread = header.Ostatok();
    const auto seen = m_Header.find(number);
    if (seen == m_Header.end()) {
      m_Header[number] = {unread, static_cast<int>(header.FirstValue(number).size())};
    } else {
      seen->second.least = std::min(seen->second.least, unread);
    }
  }
}

// Only text that a placeholder began to print and could not finish: a field
// that nothing shows is the blank's choice.
void RunCheck::ReportHeader() {
  for (const auto& [number, text] : m_Header) {
    if (text.least == 0 || text.least >= text.whole) continue;
    Diagnostic d;
    d.severity = Severity::kWarning;
    d.file = m_Name;
    d.check = "header-cut";
    d.message = "header field &" + std::to_string(number) + " loses its last " +
                Counted(text.least, "character") +
                ": no placeholder prints them on any sheet; widen its placeholder";
    m_Sink.Report(d);
  }
}

void RunCheck::ReportAtRecord(Severity severity, const char* check, const std::string& message) {
  Diagnostic d;
  d.severity = severity;
  d.file = m_Name;
  d.place.line = m_Starts > 0 ? m_Data.RecordLine() : 0;
  d.check = check;
  d.message = message;
  m_Data.Report(d, nullptr);
}

}  // namespace vexo
