#include "check/BlankCheck.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "check/BadBytes.h"
#include "check/ReachCheck.h"
#include "check/Words.h"
#include "io/TextEncoding.h"
#include "messages/ErrorText.h"
#include "state/Tbl.h"
#include "template/CommandSyntax.h"
#include "template/Line.h"

namespace vexo {
namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

constexpr wchar_t kByteOrderMark = 0xFEFF;

}  // namespace

std::string Utf8Line(const std::wstring& text) {
  size_t length = text.size();
  while (length > 0 && (text[length - 1] == L'\n' || text[length - 1] == L'\r')) --length;
  return Utf8(text.substr(0, length));
}

// Bytes that are not UTF-8, one report a line, said as the loader's line
// reader takes them.
class BlankPartCheck::Flaws : public SourceCursor::Listener {
 public:
  Flaws(const BlankPartCheck& part, std::vector<Diagnostic>& found,
        std::vector<std::shared_ptr<MarkedPlace>>& places)
      : m_Part(part), m_Found(found), m_Places(places) {}
  void Follow(SourceCursor* cursor) { m_Cursor = cursor; }

  void Heard(const BadSequence& bad) override {
    const int64_t line = m_Cursor->Line();
    if (line == m_Line) return;
    m_Line = line;
    std::string what = BadBytes(bad) + ": ";
    if (m_Stopped > 0) {
      what += "vexo stops reading the part before this, at line " + std::to_string(m_Stopped);
    } else if (bad.got) {
      what += ReadAs(bad);
    } else if (bad.offset >= m_Part.m_LoadedEnd) {
      m_Stopped = line;
      what += "vexo stops reading the part here, so the rest of it, from line " +
              std::to_string(line) + " on, is never loaded";
    } else {
      what += "vexo ends the line here and reads the rest of it as a line of its own";
    }
    if (m_Found.empty()) what += "; " + ConvertAdvice(m_Part.m_Name, m_Part.m_Name, true);
    Diagnostic d;
    d.file = m_Part.m_Name;
    d.check = "encoding";
    d.message = what;
    m_Found.push_back(d);
    m_Places.push_back(m_Cursor->Mark());
  }

 private:
  const BlankPartCheck& m_Part;
  std::vector<Diagnostic>& m_Found;
  std::vector<std::shared_ptr<MarkedPlace>>& m_Places;
  SourceCursor* m_Cursor = nullptr;
  int64_t m_Line = 0;
  int64_t m_Stopped = 0;
};

BlankPartCheck::BlankPartCheck(Blank& blank, int part, DiagnosticSink& sink)
    : m_Blank(blank),
      m_Part(part),
      m_Path(blank.PartPath(part)),
      m_Name(Utf8(m_Path)),
      m_Sink(sink) {}

BlankPartCheck::Result BlankPartCheck::Check() {
  const Result loaded = Load();
  if (loaded != Result::kChecked) return loaded;
  const size_t count = static_cast<size_t>(m_Blank.LineCount());
  size_t next = 0;  // the next problem heard, in the order of the lines
  std::sort(m_Problems.begin(), m_Problems.end(),
            [](const LoadProblem& a, const LoadProblem& b) { return a.line < b.line; });
  for (size_t i = 0; i < count; ++i) {
    const std::wstring text = ReadLine(i);
    for (; next < m_Problems.size() && static_cast<size_t>(m_Problems[next].line) == i; ++next) {
      CheckCommand(i, text, m_Problems[next]);
    }
    if (text[0] != L'>') CheckTextLine(i, text);
  }
  CheckJumps();
  if (!m_Refused) {
    for (const auto& [first, last] : UnreachedLines(m_Blank)) {
      const size_t from = static_cast<size_t>(first), to = static_cast<size_t>(last);
      FindLater(from, 0, Severity::kWarning, "unreachable", [this, from, to] {
        const bool one = FileLine(from) == FileLine(to);
        return (one ? "line " + std::to_string(FileLine(from)) + " is"
                    : "lines " + std::to_string(FileLine(from)) + " to " +
                          std::to_string(FileLine(to)) + " are") +
               " never printed: the jump above goes past and no jump leads here; remove " +
               (one ? "it" : "them") + " or put a label above and jump to it";
      });
    }
  }
  CheckLongLines();
  const std::wstring first = count > 0 ? ReadLine(0) : std::wstring();
  if (!first.empty() && first[0] == kByteOrderMark) {
    Find(0, 0, Severity::kWarning, "byte-order-mark",
         std::string("the file starts with a byte-order mark: vexo reads it as a character of the "
                     "first line") +
             (first[1] == L'>' ? ", so its command is not recognised" : "") +
             "; save the file as UTF-8 without a byte-order mark");
  }
  Resolve();
  return Result::kChecked;
}

// A part that exists must load, as vexo loads it: a directory, a file that
// cannot be read and one too large for the loader are errors here.
BlankPartCheck::Result BlankPartCheck::Load() {
  struct stat info;
  std::string why;
  if (stat(m_Name.c_str(), &info) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return Result::kMissing;
    why = std::strerror(errno);
  } else if (S_ISDIR(info.st_mode)) {
    why = "it is a directory";
  } else if (access(m_Name.c_str(), R_OK) != 0) {
    why = std::strerror(errno);
  } else if (S_ISREG(info.st_mode) &&
             static_cast<uint64_t>(info.st_size) > InputFile::kMaxInMemory) {
    why = "it is larger than the " + std::to_string(InputFile::kMaxInMemory >> 20) +
          " MiB that vexo loads";
  }
  bool loaded = false;
  if (why.empty()) {
    m_Blank.Watch(this);
    loaded = m_Blank.Load(m_Part) != 0;
    m_Blank.Watch(nullptr);
    m_LoadedEnd = Blank::m_File.GetFilePointer();
    if (!loaded && m_Problems.empty()) why = "vexo cannot read it";
  }
  if (!why.empty()) {
    Report(Severity::kError, "part-unreadable",
           "part " + std::to_string(m_Part) + " of the blank cannot be loaded: " + why +
               "; vexo stops with message " + MessageNumber(Tbl::errBlankLoad) +
               " when it needs this part",
           nullptr);
    return Result::kUnreadable;
  }
  m_Refused = !loaded;
  m_FileLines.assign(static_cast<size_t>(m_Blank.LineCount()), 0);
  return Result::kChecked;
}

void BlankPartCheck::Refused(const LoadProblem& problem) { m_Problems.push_back(problem); }

std::wstring BlankPartCheck::ReadLine(size_t index) const {
  wchar_t text[kLineBuffer];
  Blank::m_File.SetFilePointer(m_Blank.LineAt(static_cast<int>(index)).m_FilePos);
  if (!Blank::m_File.GetLine(text, kLineMax)) text[0] = 0;
  return text;
}

std::string BlankPartCheck::Refusal(const std::string& what, int error,
                                    const std::string& advice) const {
  return what + ": vexo stops loading the blank here (message " +
         MessageNumber(static_cast<Tbl::numErr>(error)) + "); " + advice;
}

void BlankPartCheck::CheckCommand(size_t index, const std::wstring& line,
                                  const LoadProblem& problem) {
  const Command command = ReadCommand(line.c_str());
  const Severity error = Severity::kError;
  switch (problem.error) {
    case Tbl::errCommand:
      return Find(
          index, command.errorAt, error, "unknown-command",
          Refusal(command.errorAt == 0 ? std::string("a \">\" with no command")
                                       : "unknown command " + Quoted(Utf8Line(line.substr(1))),
                  problem.error,
                  "commands are \">jump to\", \">repeat\", \">\" with a label number and "
                  "\">X=$N\" or \">X=&N\" macros, keywords in lower case"));
    case Tbl::errJump:
      return Find(
          index, command.errorAt, error, "jump-format",
          Refusal("unexpected " + Quoted(Utf8(line.substr(command.errorAt, 1))) +
                      " in a jump condition",
                  problem.error, "a condition is \"$N\" or \"&N\", optionally followed by \"^\""));
    case Tbl::errBlockLines:
      return Find(index, command.errorAt, error, "repeat-lines",
                  Refusal("a repeat block of " + std::to_string(command.lines) + " lines",
                          problem.error, "a block has 1 to 100 text lines"));
    case Tbl::errRepeatCount:
      return Find(index, command.errorAt, error, "repeat-passes",
                  Refusal(command.passes == 0 && line[command.errorAt] != L'0'
                              ? std::string("a repeat line without its number of passes")
                              : "a repeat block of " + std::to_string(command.passes) + " passes",
                          problem.error, "write \">repeat LINES:PASSES\" with 1 to 1000 passes"));
    case Tbl::errLabelTwice: {
      const size_t first = static_cast<size_t>(problem.first);
      const long number = command.number;
      return FindLater(index, command.numberAt, error, "label-twice", [this, first, number] {
        return Refusal("label " + std::to_string(number) + " is already on line " +
                           std::to_string(FileLine(first)),
                       Tbl::errLabelTwice, "give one of them another number");
      });
    }
    case Tbl::errRedefine: {
      if (problem.symbolTaken) {
        return Find(index, 1, error, "macro-refused",
                    Refusal("symbol " + Quoted(Utf8(std::wstring(1, command.symbol))) +
                                " already stands for a " +
                                (command.isRecord ? "header" : "record") + " field",
                            problem.error, "use another symbol"));
      }
      const std::string field = (command.isRecord ? "$" : "&") + std::to_string(command.number);
      return Find(
          index, command.numberAt, error, "macro-refused",
          Refusal("field " + field + " is named before this declaration" +
                      (command.isRecord ? std::string(" (by a placeholder or another macro)")
                                        : std::string(" (by a placeholder, another macro or the "
                                                      "data file's header)")),
                  problem.error,
                  "declare the macro before any other mention of the field, or use another "
                  "field"));
    }
    default:
      return Find(
          index, command.numberAt, error, "missing-label",
          Refusal("no label " + std::to_string(command.number) + " in this part", problem.error,
                  "add a line \">" + std::to_string(command.number) +
                      "\" or jump to a label that exists"));
  }
}

// Jumps back over command lines only, and whether any jump goes back for
// good; from the loaded line table.
void BlankPartCheck::CheckJumps() {
  const int count = m_Blank.LineCount();
  for (int i = 0; i < count; ++i) {
    const Line& jump = m_Blank.LineAt(i);
    if (jump.m_Type != Line::kJump || jump.m_Cond != 0) continue;
    const int target = static_cast<int>(jump.m_Next);
    if (target >= i) continue;
    m_LoopsBack = true;
    bool text = false;
    for (int k = target + 1; k < i && !text; ++k) text = m_Blank.LineAt(k).m_Type == Line::kText;
    if (text) continue;
    Find(static_cast<size_t>(i), 1, Severity::kWarning, "endless-jump",
         "this jump goes back to label " + std::to_string(m_Blank.LineAt(target).m_Next) +
             " with no text line on the way: the walk goes round without printing and vexo ends "
             "it with message " +
             MessageNumber(Tbl::errCycleJump) + "; put a text line inside the loop");
  }
}

// A line the loader's line length splits: it ends without a line feed after
// kLineMax characters, and the next line does not start after a line feed
// (which the loader consumes with a line of exactly kLineMax characters).
void BlankPartCheck::CheckLongLines() {
  const size_t count = static_cast<size_t>(m_Blank.LineCount());
  for (size_t i = 0; i + 1 < count; ++i) {
    const std::wstring text = ReadLine(i);
    if (text.size() < static_cast<size_t>(kLineMax) || text.back() == L'\n') continue;
    wchar_t before = 0;
    Blank::m_File.SetFilePointer(m_Blank.LineAt(static_cast<int>(i + 1)).m_FilePos - 1);
    if (Blank::m_File.Get(before) && before == L'\n') continue;
    Find(i, kLineMax, Severity::kWarning, "long-line",
         "a line longer than " + std::to_string(kLineMax) + " characters: vexo drops character " +
             std::to_string(kLineMax + 1) +
             " and reads the rest as a line of its own; split the line");
  }
}

void BlankPartCheck::Find(size_t line, int at, Severity severity, const char* check,
                          std::string message) {
  FindLater(line, at, severity, check, [text = std::move(message)] { return text; });
}

void BlankPartCheck::FindLater(size_t line, int at, Severity severity, const char* check,
                               std::function<std::string()> message) {
  Finding finding;
  finding.line = line;
  finding.at = at;
  finding.severity = severity;
  finding.check = check;
  finding.message = std::move(message);
  m_Findings.push_back(std::move(finding));
}

void BlankPartCheck::Want(size_t line, int at,
                          std::function<void(const std::shared_ptr<MarkedPlace>&)> deliver) {
  Finding finding;
  finding.line = line;
  finding.at = at;
  finding.report = false;
  finding.deliver = std::move(deliver);
  m_Findings.push_back(std::move(finding));
}

// One pass over the file: each line where the loader found it, each finding
// at its character, every byte on the way. The findings and the bytes that
// are not UTF-8 are then written in the order of the file.
void BlankPartCheck::Resolve() {
  std::stable_sort(m_Findings.begin(), m_Findings.end(), [](const Finding& a, const Finding& b) {
    return a.line != b.line ? a.line < b.line : a.at < b.at;
  });
  std::vector<Diagnostic> flaws;
  std::vector<std::shared_ptr<MarkedPlace>> flawPlaces;
  Flaws listener(*this, flaws, flawPlaces);
  SourceCursor cursor(&listener);
  listener.Follow(&cursor);
  if (!cursor.Open(m_Name)) return;
  size_t next = 0;
  for (size_t i = 0; i < m_FileLines.size(); ++i) {
    cursor.MoveTo(m_Blank.LineAt(static_cast<int>(i)).m_FilePos);
    m_FileLines[i] = cursor.Line();
    int at = 0;
    for (; next < m_Findings.size() && m_Findings[next].line == i; ++next) {
      Finding& finding = m_Findings[next];
      cursor.SkipCharacters(finding.at - at);
      at = std::max(at, finding.at);
      finding.place = cursor.Mark();
    }
  }
  cursor.Finish();

  struct Written {
    Diagnostic diagnostic;
    size_t order;
  };
  std::vector<Written> written;
  for (Finding& finding : m_Findings) {
    if (finding.deliver) finding.deliver(finding.place);
    if (!finding.report) continue;
    Diagnostic d;
    d.file = m_Name;
    d.place = finding.place->place;
    d.severity = finding.severity;
    d.check = finding.check;
    d.message = finding.message();
    written.push_back({d, written.size()});
  }
  for (size_t k = 0; k < flaws.size(); ++k) {
    flaws[k].place = flawPlaces[k]->place;
    written.push_back({flaws[k], written.size()});
  }
  std::stable_sort(written.begin(), written.end(), [](const Written& a, const Written& b) {
    const SourcePlace &x = a.diagnostic.place, &y = b.diagnostic.place;
    if (x.line != y.line) return x.line < y.line;
    return x.column != y.column ? x.column < y.column : a.order < b.order;
  });
  for (const Written& w : written) m_Sink.Report(w.diagnostic);
  m_Findings.clear();
}

void BlankPartCheck::Report(Severity severity, const char* check, const std::string& message,
                            const std::shared_ptr<MarkedPlace>& place) const {
  Diagnostic d;
  d.file = m_Name;
  if (place) d.place = place->place;
  d.severity = severity;
  d.check = check;
  d.message = message;
  m_Sink.Report(d);
}

void BlankPartCheck::PrintLayout() const {
  for (const LayoutLine& line : m_Layout) {
    std::printf("%s:%lld\n %s\n", ShowUtf8(m_Name).c_str(),
                static_cast<long long>(FileLine(line.index)), line.text.c_str());
    if (line.marks.empty()) continue;
    std::string ruler;
    for (const LayoutMark& mark : line.marks) {
      ruler.resize(static_cast<size_t>(mark.first), ' ');
      ruler.append(static_cast<size_t>(mark.last - mark.first + 1), '^');
    }
    std::printf(" %s\n", ruler.c_str());
    for (const LayoutMark& mark : line.marks) std::printf("   %s\n", mark.legend.c_str());
  }
}

}  // namespace vexo
