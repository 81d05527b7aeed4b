#include "check/DataCheck.h"

#include "io/TextEncoding.h"
#include "state/Tbl.h"

namespace vexo {
namespace {

// The data file read through vexo's own reader; it may look into the put-back
// slot to tell where the header ended.
class DataReader : public Tbl {
 public:
  bool HoldsCharacter() const { return m_IsBack; }
};

bool IsWordByte(int byte) {
  return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
         (byte >= 'a' && byte <= 'z') || byte >= 0x80;
}

// Characters that mean something in a data file and so are worth escaping.
bool IsEscapable(int byte) {
  return byte == '\\' || byte == '@' || byte == '$' || byte == '&' || byte == '>' || byte == '\n' ||
         byte == '\r';
}

std::string Utf8(const std::wstring& text) {
  std::string out;
  AppendUtf8(out, text.data(), text.size());
  return out;
}

}  // namespace

DataCheck::DataCheck(const std::wstring& path, DiagnosticSink& sink)
    : m_Path(path), m_Name(Utf8(path)), m_Sink(sink) {}

bool DataCheck::Check() {
  DataReader reader;
  if (!reader.GetHider()) return false;
  m_HeaderEnd = reader.GetFilePointer() - (reader.HoldsCharacter() ? 1 : 0);
  while (reader.GetRecord()) {
    ++m_Records;
    for (const long field : m_Measured) {
      if (!Tbl::TabRcdField.SetCurrent(field)) continue;
      const int length = Tbl::TabRcdField.Ostatok();
      LongestValue& longest = m_Longest[field];
      if (length > longest.length) longest = {length, m_Records};
    }
  }
  const long stop = reader.GetFilePointer();

  m_File = std::fopen(m_Name.c_str(), "rb");
  if (!m_File) return false;
  std::fseek(m_File, 0, SEEK_END);
  const long size = std::ftell(m_File);
  std::fseek(m_File, 0, SEEK_SET);
  // vexo's reader consumed the byte that ended its input.
  if (stop < size) m_Stop = stop - 1;
  Scan();
  ReportDropped();
  std::fclose(m_File);
  return true;
}

bool DataCheck::Next(int& byte) {
  if (m_Stop >= 0 && m_Offset >= m_Stop) return false;
  byte = getc_unlocked(m_File);  // the file is read by one thread only
  if (byte == EOF) return false;
  ++m_Offset;
  if (byte == '\n') return true;
  if ((byte & 0xC0) != 0x80) ++m_Column;
  if (byte != '\r') m_Text.push_back(static_cast<char>(byte));
  return true;
}

void DataCheck::Scan() {
  int byte;
  bool lineStart = true;
  bool inRecord = false;  // past the header
  bool recordHasTag = false;
  int previous = '\n';
  char mark[3] = {};
  if (std::fread(mark, 1, 3, m_File) == 3 && std::string(mark, 3) == "\xEF\xBB\xBF") {
    Warn("byte-order-mark", 1,
         "the data file starts with a byte-order mark: vexo reads it as text, so a tag at the "
         "start of the first line is not seen; save the file as UTF-8 without a byte-order mark");
    m_Offset = 3;
    m_Column = 1;
    m_Text = std::string(mark, 3);
    lineStart = false;
  } else {
    std::fseek(m_File, 0, SEEK_SET);
  }
  if (!Next(byte)) byte = EOF;
  while (byte != EOF) {
    if (!inRecord && m_Offset > m_HeaderEnd) inRecord = true;
    int next = EOF;
    if (byte == '\\') {
      if (!Next(next)) break;
      if (!IsEscapable(next) && next >= 0x20) {
        Warn("escape", m_Column - 1,
             "vexo drops this backslash and keeps the character after it; write \"\\\\\" "
             "for a backslash in a value");
      }
      if (next == '\n') EndOfLine();
      previous = next;
      lineStart = false;
      if (!Next(byte)) break;
      continue;
    }
    if (byte == '\n') {
      EndOfLine();
      lineStart = true;
      previous = byte;
      if (!Next(byte)) break;
      continue;
    }
    if (inRecord && byte == '$') {
      recordHasTag = true;
      lineStart = false;
      Tag(byte);
      previous = '$';
      continue;
    }
    if (inRecord && byte == '@') {
      const int column = m_Column;
      const bool after = Next(next);
      if (IsWordByte(previous) && after && IsWordByte(next)) {
        Warn("at-in-value", column,
             "\"@\" ends the record here, as in an e-mail address: the rest goes to a record of "
             "its own; write \"\\@\" for an \"@\" in a value");
      }
      ++m_Record;
      recordHasTag = false;
      lineStart = false;
      previous = '@';
      if (!after) break;
      byte = next;
      continue;
    }
    if (inRecord && byte == '>' && lineStart && recordHasTag) {
      Warn("break-in-record", m_Column,
           "a \">\" at the start of a line inside a record asks for a sheet break and is not "
           "printed; write \"\\>\" to print it");
    }
    lineStart = false;
    previous = byte;
    if (!Next(byte)) break;
  }
  if (m_Stop >= 0) {
    long ends = 0;  // "@" in the rest of the file: roughly the records lost
    for (int rest = std::getc(m_File); rest != EOF; rest = std::getc(m_File)) ends += rest == '@';
    Warn("encoding", m_Column + 1,
         "a byte that is not UTF-8: vexo stops reading the data here, so about " +
             std::to_string(ends) + " more records are never printed; save the file as UTF-8",
         Severity::kError);
  }
  if (!m_Text.empty() || !m_Pending.empty()) EndOfLine();
  if (m_Stop < 0 && recordHasTag) {
    Diagnostic d = At(m_LastTag.line, m_LastTag.column, "last-record-open",
                      "the last record has no closing \"@\": vexo prints its text only with the "
                      "closing lines of the report; end it with \"@\"",
                      Severity::kWarning);
    d.source = m_LastTag.source;
    m_Sink.Report(d);
  }
}

// "$", digits and ";" in a record: a tag for a field the blank does not show
// drops the text up to the next tag.
void DataCheck::Tag(int& byte) {
  const int column = m_Column;
  m_LastTag = {0, 0, 0, m_Line, column, std::string()};
  long number = 0;
  while (Next(byte) && byte >= '0' && byte <= '9') number = number * 10 + (byte - '0');
  if (byte != ';') return;
  if (!Next(byte)) byte = EOF;
  if (Tbl::TabRcdField.SetCurrent(number)) return;
  const long record = m_Record;
  for (Dropped& dropped : m_Dropped) {
    if (dropped.number != number) continue;
    if (dropped.lastRecord != record) ++dropped.records;
    dropped.lastRecord = record;
    return;
  }
  m_Dropped.push_back({number, 1, record, m_Line, column, std::string()});
}

void DataCheck::EndOfLine() {
  for (Diagnostic& d : m_Pending) {
    d.source = m_Text;
    m_Sink.Report(d);
  }
  m_Pending.clear();
  for (Dropped& dropped : m_Dropped) {
    if (dropped.line == m_Line && dropped.source.empty()) dropped.source = m_Text;
  }
  if (m_LastTag.line == m_Line) m_LastTag.source = m_Text;
  m_Text.clear();
  m_Column = 0;
  ++m_Line;
}

void DataCheck::ReportDropped() {
  for (const Dropped& dropped : m_Dropped) {
    Diagnostic d =
        At(dropped.line, dropped.column, "field-not-shown",
           "record field $" + std::to_string(dropped.number) +
               " is shown by no part of the blank: vexo drops its text, in " +
               std::to_string(dropped.records) + (dropped.records == 1 ? " record" : " records") +
               " from here on; check the field number or show the field",
           Severity::kWarning);
    d.source = dropped.source;
    m_Sink.Report(d);
  }
}

void DataCheck::Warn(const char* check, int column, const std::string& message, Severity severity) {
  m_Pending.push_back(At(m_Line, column, check, message, severity));
}

Diagnostic DataCheck::At(int line, int column, const char* check, const std::string& message,
                         Severity severity) const {
  Diagnostic d;
  d.file = m_Name;
  d.line = line;
  d.column = column;
  d.severity = severity;
  d.check = check;
  d.message = message;
  return d;
}

}  // namespace vexo
