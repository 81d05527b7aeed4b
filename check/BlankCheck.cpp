#include "check/BlankCheck.h"

#include "io/InputFile.h"
#include "io/TextEncoding.h"
#include "messages/ErrorText.h"
#include "state/Tbl.h"
#include "template/CommandSyntax.h"
#include "template/FieldRegistration.h"
#include "template/Line.h"

namespace vexo {
namespace {

const char kStops[] = "vexo stops loading the blank here";

std::string Utf8(const std::wstring& text) {
  std::string out;
  AppendUtf8(out, text.data(), text.size());
  return out;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string HexByte(unsigned char byte) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", byte);
  return text;
}

}  // namespace

std::string Utf8Line(const std::wstring& text) {
  size_t length = text.size();
  while (length > 0 && (text[length - 1] == L'\n' || text[length - 1] == L'\r')) --length;
  return Utf8(text.substr(0, length));
}

BlankPartCheck::BlankPartCheck(const std::wstring& path, DiagnosticSink& sink)
    : m_Path(path), m_Name(Utf8(path)), m_Sink(sink) {}

bool BlankPartCheck::Check() {
  if (!m_Source.Read(m_Name)) return false;
  ReadLines();
  CheckEncoding();
  for (size_t i = 0; i < m_Lines.size(); ++i) {
    const wchar_t* text = m_Lines[i].text.c_str();
    if (text[0] != L'>') {
      RegisterFields(text);
    } else {
      CheckCommand(i);
    }
  }
  CheckJumps();
  CheckFileShape();
  for (size_t i = 0; i < m_Lines.size(); ++i) {
    if (m_Lines[i].text[0] != L'>') CheckTextLine(i);
  }
  return true;
}

// The lines the loader takes: GetLine until the first call that gives none.
void BlankPartCheck::ReadLines() {
  InputFile file;
  if (!file.Open(m_Path.c_str())) return;
  wchar_t text[kLineBuffer];
  for (;;) {
    const long offset = file.GetFilePointer();
    if (!file.GetLine(text, kLineMax)) break;
    PartLine line;
    line.text = text;
    line.offset = offset;
    m_Source.Locate(static_cast<size_t>(offset), line.line, line.column);
    m_Lines.push_back(line);
    m_LoadedEnd = static_cast<size_t>(file.GetFilePointer());
  }
}

// Bytes that are not UTF-8, one report per line. Where the loader's reading
// ended, the rest of the file is never loaded.
void BlankPartCheck::CheckEncoding() {
  const std::string& bytes = m_Source.Bytes();
  int reportedLine = 0;
  for (size_t at = m_Source.NextInvalidUtf8(0); at != std::string::npos;
       at = m_Source.NextInvalidUtf8(at + 1)) {
    int line, column;
    m_Source.Locate(at, line, column);
    if (line == reportedLine) continue;
    reportedLine = line;
    const unsigned char byte = static_cast<unsigned char>(bytes[at]);
    std::string what = "byte " + HexByte(byte) + " is not UTF-8: ";
    if (at >= m_LoadedEnd) {
      what += "vexo stops reading the blank part here, so ";
      what += line == m_Source.LineCount() ? "the rest of line " + std::to_string(line) + " is"
                                           : "lines " + std::to_string(line) + " to " +
                                                 std::to_string(m_Source.LineCount()) + " are";
      what += " never loaded";
    } else if (byte < 0xC0 || byte >= 0xF8) {
      what += "vexo drops it and breaks the line here";
    } else {
      what += "vexo reads it and the bytes after it as one wrong character";
    }
    Diagnostic d;
    d.file = m_Name;
    d.line = line;
    d.column = column;
    d.check = "encoding";
    d.message = what + "; save the file as UTF-8";
    d.source = m_Source.LineText(line);
    m_Sink.Report(d);
  }
}

void BlankPartCheck::CheckCommand(size_t index) {
  const std::wstring& line = m_Lines[index].text;
  const Command command = ReadCommand(line.c_str());
  switch (command.error) {
    case Tbl::errCommand:
      return Refuse("unknown-command", index, command.errorAt,
                    command.errorAt == 0 ? std::string("a \">\" with no command")
                                         : "unknown command " + Quoted(Utf8Line(line.substr(1))),
                    command.error,
                    "commands are \">jump to\", \">repeat\", \">\" with a label number and "
                    "\">X=$N\" or \">X=&N\" macros, keywords in lower case");
    case Tbl::errJump:
      return Refuse(
          "jump-format", index, command.errorAt,
          "unexpected " + Quoted(Utf8(line.substr(command.errorAt, 1))) + " in a jump condition",
          command.error, "a condition is \"$N\" or \"&N\", optionally followed by \"^\"");
    case Tbl::errBlockLines:
      return Refuse("repeat-lines", index, command.errorAt,
                    "a repeat block of " + std::to_string(command.lines) + " lines", command.error,
                    "a block has 1 to 100 text lines");
    case Tbl::errRepeatCount:
      return Refuse("repeat-passes", index, command.errorAt,
                    command.passes == 0 && line[command.errorAt] != L'0'
                        ? std::string("a repeat line without its number of passes")
                        : "a repeat block of " + std::to_string(command.passes) + " passes",
                    command.error, "write \">repeat LINES:PASSES\" with 1 to 1000 passes");
  }
  if (command.kind == Line::kLabel) {
    const auto found = m_Labels.emplace(command.number, index);
    if (!found.second) {
      const PartLine& first = m_Lines[found.first->second];
      Refuse("label-twice", index, command.numberAt,
             "label " + std::to_string(command.number) + " is already on line " +
                 std::to_string(first.line),
             Tbl::errLabelTwice, "give one of them another number");
    }
  }
  if (command.kind == Line::kMacro) CheckMacro(index, command);
}

// The declaration is refused when its field was named before it or when the
// other table uses its symbol, exactly as the loader finds it.
void BlankPartCheck::CheckMacro(size_t index, const Command& command) {
  FieldTab& own = command.isRecord ? Tbl::TabRcdField : Tbl::TabHdrField;
  FieldTab& other = command.isRecord ? Tbl::TabHdrField : Tbl::TabRcdField;
  const std::string field = (command.isRecord ? "$" : "&") + std::to_string(command.number);
  const std::string symbol = Quoted(Utf8(std::wstring(1, command.symbol)));
  if (!own.InsertFieldMac(command.number, command.symbol)) {
    return Refuse("macro-refused", index, command.numberAt,
                  "field " + field + " is named before this declaration" +
                      (command.isRecord ? std::string(" (by a placeholder or another macro)")
                                        : std::string(" (by a placeholder, another macro or the "
                                                      "data file's header)")),
                  Tbl::errRedefine,
                  "declare the macro before any other mention of the field, or use another field");
  }
  if (other.SetCurrentMac(command.symbol)) {
    Refuse("macro-refused", index, 1,
           "symbol " + symbol + " already stands for a " +
               (command.isRecord ? "header" : "record") + " field",
           Tbl::errRedefine, "use another symbol");
  }
}

void BlankPartCheck::CheckJumps() {
  for (size_t i = 0; i < m_Lines.size(); ++i) {
    const std::wstring& line = m_Lines[i].text;
    if (line[0] != L'>') continue;
    const Command command = ReadCommand(line.c_str());
    if (command.kind != Line::kJump || command.error >= 0) continue;
    const auto label = m_Labels.find(command.number);
    if (label != m_Labels.end()) {
      if (command.cond == 0 && label->second < i && !TextBetween(label->second, i)) {
        Report(Severity::kWarning, "endless-jump", i, 1,
               "this jump goes back to label " + std::to_string(command.number) +
                   " with no text line on the way: the walk goes round without printing and "
                   "vexo ends it with message 11112; put a text line inside the loop");
      }
      continue;
    }
    Refuse("missing-label", i, command.numberAt,
           "no label " + std::to_string(command.number) + " in this part", Tbl::errNoLabel,
           "add a line \">" + std::to_string(command.number) + "\" or jump to a label that exists");
  }
}

// A byte-order mark, and lines that the loader's line length splits.
void BlankPartCheck::CheckFileShape() {
  if (m_Lines.empty()) return;
  if (m_Source.HasByteOrderMark()) {
    Report(Severity::kWarning, "byte-order-mark", 0, 0,
           std::string("the file starts with a byte-order mark: vexo reads it as a character of "
                       "the first line") +
               (m_Lines[0].text[1] == L'>' ? ", so its command is not recognised" : "") +
               "; save the file as UTF-8 without a byte-order mark");
  }
  for (size_t i = 0; i + 1 < m_Lines.size(); ++i) {
    const std::wstring& text = m_Lines[i].text;
    if (text.size() < static_cast<size_t>(kLineMax) || text.back() == L'\n') continue;
    if (m_Lines[i + 1].line != m_Lines[i].line) continue;
    Report(Severity::kWarning, "long-line", i, kLineMax,
           "a line longer than 4095 characters: vexo drops character 4096 and reads the rest as a "
           "line of its own; split the line");
  }
}

bool BlankPartCheck::TextBetween(size_t from, size_t to) const {
  for (size_t i = from + 1; i < to; ++i) {
    if (m_Lines[i].text[0] != L'>') return true;
  }
  return false;
}

bool BlankPartCheck::LoopsBack() const {
  for (size_t i = 0; i < m_Lines.size(); ++i) {
    const std::wstring& line = m_Lines[i].text;
    if (line[0] != L'>') continue;
    const Command command = ReadCommand(line.c_str());
    if (command.kind != Line::kJump || command.error >= 0 || command.cond != 0) continue;
    const auto label = m_Labels.find(command.number);
    if (label != m_Labels.end() && label->second < i) return true;
  }
  return false;
}

void BlankPartCheck::Refuse(const char* check, size_t index, int at, const std::string& what,
                            int error, const std::string& advice) {
  m_Refused = true;
  Report(Severity::kError, check, index, at,
         what + ": " + kStops + " (message " + std::to_string(ErrorMessageNumber(error)) + "); " +
             advice);
}

void BlankPartCheck::Report(Severity severity, const char* check, size_t index, int at,
                            const std::string& message) {
  const PartLine& line = m_Lines[index];
  Diagnostic d;
  d.file = m_Name;
  d.line = line.line;
  d.column = line.column + at;
  d.severity = severity;
  d.check = check;
  d.message = message;
  d.source = m_Source.LineText(line.line);
  m_Sink.Report(d);
}

}  // namespace vexo
