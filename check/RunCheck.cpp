#include "check/RunCheck.h"

#include <algorithm>

#include "io/Console.h"
#include "io/TextEncoding.h"

namespace vexo {
namespace {

std::string Utf8(const std::wstring& text) {
  std::string out;
  AppendUtf8(out, text.data(), text.size());
  return out;
}

bool StartsWith(const std::wstring& text, const std::wstring& start) {
  return !start.empty() && text.compare(0, start.size(), start) == 0;
}

std::string Count(long count, const char* word) {
  return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

}  // namespace

RunCheck::RunCheck(DiagnosticSink& sink)
    : m_Sink(sink), m_Name(Utf8(Tbl::InpFile)), m_Lines(Tbl::InpFile) {}

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
  Tbl::OutFile = L"/dev/null";

  SetMessageListener(&RunCheck::Message, this);
  Tbl::Observer = this;
  Tbl run;
  const bool stopped = run.Execute() != 0;
  Tbl::Observer = nullptr;
  SetMessageListener(nullptr, nullptr);

  ReportAtRecords();
  TakeHeader();
  ReportHeader();
  Diagnostic note;
  note.severity = Severity::kNote;
  note.file = m_Name;
  note.check = "run";
  note.message = "vexo's run reads " + Count(stopped ? m_Starts : m_Starts - 1, "record") +
                 " and prints " + Count(m_Sheets, "sheet") + ", " +
                 Count(m_ReportLines, "report line");
  m_Sink.Report(note);
}

void RunCheck::RecordStarts(Tbl&) { ++m_Starts; }

void RunCheck::SheetEnds(int nextPart) {
  TakeHeader();
  m_SheetPending = nextPart == 2;
}

void RunCheck::LinePrinted() {
  // A part 2 that cannot be loaded makes no sheet.
  if (m_SheetPending) ++m_Sheets;
  m_SheetPending = false;
  ++m_ReportLines;
}

void RunCheck::Message(const std::wstring& text, void* self) {
  static_cast<RunCheck*>(self)->Message(text);
}

void RunCheck::Message(const std::wstring& text) {
  if (StartsWith(text, Tbl::Err(Tbl::errCycleSheets))) {
    ReportAtRecord(Severity::kWarning, "record-dropped",
                   "a whole sheet of part 2 printed nothing more of this record: vexo drops its "
                   "last " +
                       Count(static_cast<long>(Tbl::TabRcdField.AllOst()), "character") +
                       " with message 11116; show its fields in part 2");
    return;
  }
  if (StartsWith(text, Tbl::Err(Tbl::errCycleJump))) {
    ReportAtRecord(Severity::kWarning, "walk-ended",
                   "the blank's jumps go round without printing a line for this record: vexo "
                   "ends the walk with message 11112; jump back over a text line");
    return;
  }
  if (StartsWith(text, Tbl::Err(Tbl::errBlankLoad))) {
    const std::wstring part = text.substr(Tbl::Err(Tbl::errBlankLoad).size());
    ReportAtRecord(Severity::kNote, "run-stopped",
                   "vexo cannot load " + Utf8(part) +
                       " here and stops the run with message 11115: nothing after this is "
                       "printed");
    return;
  }
  // The blank's own refusals are reported at their line by the blank checks.
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
                Count(text.least, "character") +
                ": no placeholder prints them on any sheet; widen its placeholder";
    m_Sink.Report(d);
  }
}

void RunCheck::ReportAtRecord(Severity severity, const char* check, const std::string& message) {
  AtRecord at;
  at.record = m_Starts;
  at.diagnostic.severity = severity;
  at.diagnostic.file = m_Name;
  at.diagnostic.check = check;
  at.diagnostic.message = message;
  m_AtRecords.push_back(at);
}

// Asking the run's reader where each record starts would cost a system call
// a record; the records concerned are found afterwards by reading the data
// again with the same scanners, only when there are any.
void RunCheck::ReportAtRecords() {
  if (m_AtRecords.empty()) return;
  Tbl reader;
  const bool open = reader.GetHider() != 0;
  long read = 0;
  long start = -1;
  for (AtRecord& at : m_AtRecords) {
    if (open && at.record > 0) {
      while (read + 1 < at.record && reader.GetRecord()) ++read;
      if (read + 1 == at.record) start = reader.GetFilePointer();
      if (start >= 0) at.diagnostic.line = m_Lines.LineOf(start);
    }
    m_Sink.Report(at.diagnostic);
  }
}

}  // namespace vexo
