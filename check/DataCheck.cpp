#include "check/DataCheck.h"

#include <cwctype>

#include "check/BadBytes.h"
#include "check/Words.h"
#include "io/TextEncoding.h"
#include "state/Tbl.h"

namespace vexo {
namespace {

bool IsWordCharacter(wchar_t c) {
  return c >= 0x80 || (c > 0 && std::iswalnum(static_cast<wint_t>(c)));
}

// Characters that mean something in a data file and so are worth escaping.
bool IsEscapable(wchar_t c) {
  return c == L'\\' || c == L'@' || c == L'$' || c == L'&' || c == L'>' || c == L'\n' || c == L'\r';
}

bool IsBlank(const wchar_t* text, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (text[i] != L' ' && text[i] != L'\t' && text[i] != L'\r') return false;
  }
  return true;
}

}  // namespace

DataCheck::Source::Source(DataCheck& check, ScanPart part, const std::wstring& wide)
    : owner(check), part(part), name(Utf8(wide)) {
  opened = cursor.Open(name);
}

DataCheck::DataCheck(DiagnosticSink& sink, std::set<long> shown, std::vector<long> measured)
    : m_Sink(sink), m_Shown(std::move(shown)), m_Measured(std::move(measured)) {}

DataCheck::~DataCheck() = default;

// A sequence vexo reads as a character is reported at once; one it cannot
// read waits for the scanner to say what it did there. One report a line.
void DataCheck::Source::Heard(const BadSequence& bad) {
  if (stoppedLine > 0) {
    if (flawed && cursor.Line() == flawLine) return;
    owner.Report(
        *this, Severity::kError, "encoding",
        BadBytes(bad) + ": vexo stops reading before this, at line " + std::to_string(stoppedLine),
        cursor.Mark());
    return;
  }
  if (!bad.got) {
    failing = true;
    failure = bad;
    failurePlace = cursor.Mark();
    return;
  }
  if (flawed && cursor.Line() == flawLine) return;
  owner.Report(*this, Severity::kError, "encoding", BadBytes(bad) + ": " + ReadAs(bad),
               cursor.Mark());
}

void DataCheck::Report(Source& source, Severity severity, const char* check,
                       const std::string& message, std::shared_ptr<MarkedPlace> place) {
  Diagnostic d;
  d.file = source.name;
  d.severity = severity;
  d.check = check;
  d.message = message;
  if (d.check == "encoding") {
    if (!source.flawed) {
      d.message += "; " + ConvertAdvice(source.name, source.name, false);
    }
    source.flawed = true;
    source.flawLine = place->place.line;
  }
  Report(std::move(d), std::move(place));
}

void DataCheck::Report(Diagnostic d, std::shared_ptr<MarkedPlace> place) {
  if (!m_Sink.Take(d.severity, d.file, d.check)) return;
  m_Waiting.push_back({std::move(d), std::move(place)});
  Flush();
}

void DataCheck::Flush() {
  while (!m_Waiting.empty()) {
    Waiting& front = m_Waiting.front();
    if (front.place) {
      if (!front.place->complete) return;
      front.diagnostic.place = front.place->place;
    }
    m_Sink.Write(front.diagnostic);
    m_Waiting.pop_front();
  }
}

void DataCheck::Step(const ScanEvent& e) {
  if (e.step == ScanStep::kOpened) {
    std::unique_ptr<Source>& source = e.part == ScanPart::kBeginFile ? m_Begin : m_Data;
    source = std::make_unique<Source>(*this, e.part, *e.name);
    if (e.part == ScanPart::kHeader && source->cursor.Ahead(3) == "\xEF\xBB\xBF") {
      Report(*source, Severity::kWarning, "byte-order-mark",
             "the data file starts with a byte-order mark: vexo reads it as text, so a tag at "
             "the start of the first line is not seen; save the file as UTF-8 without a "
             "byte-order mark",
             source->cursor.Mark());
    }
    return;
  }
  Source* source = e.part == ScanPart::kBeginFile ? m_Begin.get() : m_Data.get();
  if (source && source->opened) Take(*source, e);
}

void DataCheck::Take(Source& source, const ScanEvent& e) {
  SourceCursor& cursor = source.cursor;
  const bool last = source.held;  // the step begins with the character passed last
  const bool records = e.part == ScanPart::kRecords;
  const bool atAfterWord = m_AtAfterWord;
  m_AtAfterWord = false;
  auto recordStarts = [&] {
    if (records && m_RecordLine == 0) m_RecordLine = cursor.Line(last);
  };
  switch (e.step) {
    case ScanStep::kText:
      if (atAfterWord && e.length > 0 && IsWordCharacter(e.text[0])) {
        Report(source, Severity::kWarning, "at-in-value",
               "\"@\" ends the record here, as in an e-mail address: the rest goes to a record "
               "of its own; write \"\\@\" for an \"@\" in a value",
               cursor.Mark(true));
      }
      if (!IsBlank(e.text, e.length)) {
        recordStarts();
        m_RecordHasText = true;
      }
      break;
    case ScanStep::kEscape:
      recordStarts();
      m_RecordHasText = true;
      if (e.character >= 0x20 && !IsEscapable(e.character)) {
        Report(source, Severity::kWarning, "escape",
               "vexo drops this backslash and keeps the character after it; write \"\\\\\" for a "
               "backslash in a value",
               cursor.Mark(last));
      }
      break;
    case ScanStep::kTag:
      recordStarts();
      if (records) {
        m_RecordHasTag = true;
        if (!m_Shown.count(e.number)) {
          m_RecordHasText = true;  // which the field-not-shown warning tells of
          if (!m_Dropped.count(e.number) &&
              m_Dropped.size() >= static_cast<size_t>(DiagnosticSink::kShown)) {
            ++m_DroppedBeyond;
            break;
          }
          Dropped& dropped = m_Dropped[e.number];
          if (!dropped.place) dropped.place = cursor.Mark(last);
          if (dropped.lastRecord != m_Records + 1) ++dropped.records;
          dropped.lastRecord = m_Records + 1;
        }
      }
      break;
    case ScanStep::kBrokenTag:
      recordStarts();
      if (e.digits > 0 && e.character != 0) {
        // The mark was passed already when it ended a text before.
        const std::string mark = records ? "$" : "&";
        const size_t shown = std::min<size_t>(e.digits, 20);
        const std::string tag =
            mark + std::string(cursor.Ahead(shown + (last ? 0 : 1)).substr(last ? 0 : 1)) +
            (e.digits > shown ? "..." : "");
        std::string after;
        AppendUtf8(after, &e.character, 1);
        Report(source, Severity::kWarning, "broken-tag",
               "\"" + tag + after + "\" is not a tag: \"" + after +
                   "\" follows the digits where \";\" should, so vexo keeps these characters as "
                   "text of the field before; write \"" +
                   mark + "N;\" for a tag, or \"\\" + mark + "\" for a \"" + mark +
                   "\" that is text",
               cursor.Mark(last));
      }
      break;
    case ScanStep::kRecordEnd:
      recordStarts();
      break;
    case ScanStep::kSheetBreak: {
      recordStarts();
      const bool told = m_BreaksUntold == 0 && m_Breaks.size() < kBreaksTold;
      std::shared_ptr<MarkedPlace> place = told || m_RecordHasTag ? cursor.Mark(last) : nullptr;
      if (m_RecordHasTag) {
        Report(source, Severity::kWarning, "break-in-record",
               "a \">\" at the start of a line inside a record asks for a sheet break and is not "
               "printed; write \"\\>\" to print it",
               place);
      }
      if (m_RunOver) break;
      if (told) {
        m_Breaks.push_back({m_Records + 1, !m_RecordHasTag, place});
      } else {
        ++m_BreaksUntold;
      }
      break;
    }
    default:
      break;
  }
  cursor.MoveTo(e.offset);
  source.held = e.held;
  Claim(source, e);
  switch (e.step) {
    case ScanStep::kText:
      if (e.length > 0) m_LastCharacter = e.text[e.length - 1];
      break;
    case ScanStep::kLineEnd:
      m_LastCharacter = L'\n';
      break;
    case ScanStep::kEscape:
      m_LastCharacter = e.character;
      break;
    case ScanStep::kTag:
      m_LastCharacter = L';';
      break;
    case ScanStep::kBrokenTag:
      m_LastCharacter = e.digits > 0 ? L'0' : L'$';
      break;
    case ScanStep::kRecordEnd:
      m_AtAfterWord = IsWordCharacter(m_LastCharacter);
      m_LastCharacter = L'@';
      EndRecord();
      break;
    case ScanStep::kEnd:
      if (records) {
        m_DataEnded = cursor.Ahead(1).empty();
        if (m_DataEnded && m_RecordHasTag && !m_RunOver) {
          Diagnostic d;
          d.file = source.name;
          d.place.line = RecordLine();
          d.severity = Severity::kWarning;
          d.check = "last-record-open";
          d.message =
              "the last record has no closing \"@\": vexo prints its text only with the closing "
              "lines of the report; end it with \"@\"";
          Report(std::move(d), nullptr);
        }
      }
      if (e.part == ScanPart::kBeginFile) cursor.Finish();
      break;
    default:
      break;
  }
  Flush();
}

// A sequence vexo's reader could not read ends the reading there (kEnd), or
// is passed over (after a backslash, among a tag's digits).
void DataCheck::Claim(Source& source, const ScanEvent& e) {
  if (!source.failing) return;
  const bool passed =
      (e.step == ScanStep::kEscape || e.step == ScanStep::kBrokenTag) && e.character == 0;
  if (!passed && e.step != ScanStep::kEnd) return;
  source.failing = false;
  const std::string bad = BadBytes(source.failure);
  if (passed) {
    Report(source, Severity::kError, "encoding", bad + ": vexo passes over it and reads on",
           source.failurePlace);
    return;
  }
  if (e.part == ScanPart::kHeader) {
    Report(source, Severity::kError, "encoding",
           bad + ": vexo ends the header here and reads what follows as records",
           source.failurePlace);
  } else if (e.part == ScanPart::kBeginFile) {
    Report(source, Severity::kError, "encoding",
           bad +
               ": vexo stops reading this file here, so the header fields after it are not "
               "given",
           source.failurePlace);
    source.stoppedLine = source.failurePlace->place.line;
  } else if (!m_RunOver && !m_Stop) {
    // The number of records lost is known at the end.
    m_Stop = std::make_unique<Diagnostic>();
    m_Stop->file = source.name;
    m_Stop->severity = Severity::kError;
    m_Stop->check = "encoding";
    m_Stop->message = bad + ": vexo stops reading the data here";
    if (!source.flawed) m_StopAdvice = "; " + ConvertAdvice(source.name, source.name, false);
    source.flawed = true;
    m_StopPlace = source.failurePlace;
    source.stoppedLine = m_StopPlace->place.line;
  } else {
    // The run stopped before, for another reason: this is where it would
    // stop once it got this far.
    Report(source, Severity::kError, "encoding",
           bad + ": vexo stops reading the data here, once its run gets this far",
           source.failurePlace);
  }
}

// Breaks are carried out oldest first, and the untold ones are all younger
// than the told ones.
bool DataCheck::TakeBreak(SheetBreak& taken) {
  if (m_Breaks.empty()) {
    if (m_BreaksUntold > 0) --m_BreaksUntold;
    return false;
  }
  taken = m_Breaks.front();
  m_Breaks.pop_front();
  return true;
}

void DataCheck::EndRecord() {
  ++m_Records;
  if (m_RunOver || m_Stop) {
    if (m_RunStopped || m_Stop) ++m_RecordsLost;
  } else {
    if (Tbl::FirstOst == 0 && !m_RecordHasText && m_EmptyRecords++ == 0) {
      m_FirstEmptyLine = m_RecordLine;
    }
    for (const long field : m_Measured) {
      const int length = static_cast<int>(Tbl::TabRcdField.FirstValue(field, kLineMax + 1).size());
      LongestValue& longest = m_Longest[field];
      if (length > longest.length) longest = {length, m_Records};
    }
  }
  m_LastRecordLine = m_RecordLine;
  m_RecordLine = 0;
  m_RecordHasTag = false;
  m_RecordHasText = false;
}

void DataCheck::Finish() {
  if (m_Data) m_Data->cursor.Finish();
  Flush();
  if (m_Stop) {
    m_Stop->message += ", so " + Counted(m_RecordsLost, "more record") + " " +
                       (m_RecordsLost == 1 ? "is" : "are") + " never printed" + m_StopAdvice;
    m_Stop->place = m_StopPlace->place;
    m_Sink.Report(*m_Stop);
  }
  ReportSummaries();
}

void DataCheck::ReportSummaries() {
  if (!m_Data) return;
  for (const auto& [number, dropped] : m_Dropped) {
    Diagnostic d;
    d.file = m_Data->name;
    d.place = dropped.place->place;
    d.severity = Severity::kWarning;
    d.check = "field-not-shown";
    d.message = "record field $" + std::to_string(number) +
                " is shown by no part of the blank: vexo drops its text, in " +
                Counted(dropped.records, "record") +
                " from here on; check the field number or show "
                "the field";
    m_Sink.Report(d);
  }
  if (m_DroppedBeyond > 0) {
    Diagnostic d;
    d.file = m_Data->name;
    d.severity = Severity::kWarning;
    d.check = "field-not-shown";
    d.message = Counted(m_DroppedBeyond, "more record tag") +
                " name fields that no part of the blank shows, besides the fields above: vexo "
                "drops their text";
    m_Sink.ReportSum(d);
  }
  if (m_EmptyRecords > 0) {
    Diagnostic d;
    d.file = m_Data->name;
    d.place.line = m_FirstEmptyLine;
    d.severity = Severity::kWarning;
    d.check = "empty-record";
    d.message =
        (m_EmptyRecords > 1
             ? "this record and " + Counted(m_EmptyRecords - 1, "more record") + " after it give"
             : std::string("this record gives")) +
        " no field any text: vexo prints a line of the blank for each with every record field "
        "empty, and says nothing; remove the empty records or give them their text";
    m_Sink.Report(d);
  }
}

}  // namespace vexo
