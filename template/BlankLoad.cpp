// Loading a blank part: counting, classifying and checking its lines.
#include <cwchar>

#include "state/Tbl.h"
#include "template/Blank.h"
#include "template/CommandSyntax.h"
#include "template/FieldRegistration.h"

int Blank::Load(int n) {
  if (m_NumList < 0) return 0;
  Tbl::TabHdrField.First();
  if (m_NumList == n) {
    m_Cur = -1;
    return 1;
  }
  m_NumList = n;
  wchar_t suffix[16];
  std::swprintf(suffix, 16, L".%d", n);
  if (!OpenPart(suffix)) return 0;

  wchar_t text[vexo::kLineBuffer];
  int count = 0;
  while (m_File.GetLine(text, vexo::kLineMax)) ++count;
  delete[] m_Lines;
  m_Lines = new Line[count]();
  m_Count = count;
  m_Visits.assign(count, Visit());
  m_File.SetFilePointer(0);

  Labels labels;
  bool refused = false;
  for (int i = 0; i < m_Count && !(refused && !m_Watcher); ++i) {
    m_Lines[i].m_FilePos = m_File.GetFilePointer();
    m_File.GetLine(text, vexo::kLineMax);
    refused = !ClassifyLine(i, text, labels) || refused;
  }
  if (refused && !m_Watcher) return 0;
  if (!ResolveJumps(labels) || refused) return 0;
  IndexTextLines();
  m_Cur = -1;
  return 1;
}

bool Blank::Refuse(const vexo::LoadProblem& problem, const std::wstring& message) {
  if (m_Watcher) {
    m_Watcher->Refused(problem);
  } else {
    Report(message);
  }
  return false;
}

void Blank::IndexTextLines() {
  m_TextLines.clear();
  m_TextBefore.assign(m_Count, 0);
  for (int i = 0; i < m_Count; ++i) {
    m_TextBefore[i] = static_cast<int>(m_TextLines.size());
    if (m_Lines[i].m_Type == Line::kText) m_TextLines.push_back(i);
  }
}

bool Blank::ClassifyLine(int i, const wchar_t* text, Labels& labels) {
  Line& line = m_Lines[i];
  if (text[0] != L'>') {
    line.m_Type = Line::kText;
    line.m_Next = i + 1;
    vexo::RegisterFields(text);
    return true;
  }
  // A refused line stays a text line, which no jump is looked up for.
  const vexo::Command command = vexo::ReadCommand(text);
  if (command.error >= 0) {
    return Refuse({i, command.error}, Tbl::Err(static_cast<Tbl::numErr>(command.error)) + text);
  }
  line.m_Type = command.kind;
  switch (command.kind) {
    case Line::kJump:
      line.m_Next = command.number;
      line.m_Field = command.field;
      line.m_IsRcd = command.isRecord;
      line.m_Cond = command.cond;
      return true;
    case Line::kRepeat:
      line.m_BlockLines = static_cast<short>(command.lines);
      line.m_Repeat = static_cast<short>(command.passes);
      return true;
    case Line::kLabel:
      line.m_Next = command.number;
      if (const auto first = labels.emplace(command.number, i); !first.second) {
        return Refuse({i, Tbl::errLabelTwice, first.first->second},
                      Tbl::Err(Tbl::errLabelTwice) + std::to_wstring(command.number));
      }
      return true;
    default:
      return ReadMacro(line, i, command, text);
  }
}

// ">M=$n" binds symbol M to record field n, ">M=&n" to header field n. The
// field must be new or bound to M already, and the other table must not use M.
bool Blank::ReadMacro(Line& line, int i, const vexo::Command& command, const wchar_t* text) {
  FieldTab& own = command.isRecord ? Tbl::TabRcdField : Tbl::TabHdrField;
  FieldTab& other = command.isRecord ? Tbl::TabHdrField : Tbl::TabRcdField;
  line.m_Next = i + 1;
  if (!own.InsertFieldMac(command.number, command.symbol)) {
    return Refuse({i, Tbl::errRedefine}, Tbl::Err(Tbl::errRedefine) + text);
  }
  if (other.SetCurrentMac(command.symbol)) {
    vexo::LoadProblem problem{i, Tbl::errRedefine};
    problem.symbolTaken = true;
    return Refuse(problem, Tbl::Err(Tbl::errRedefine) + text);
  }
  return true;
}

// Turns the label number of every jump into the index of its label line.
// A jump whose label is missing is refused and, like every refused line, is
// a text line from then on: every jump of the table has its target.
bool Blank::ResolveJumps(const Labels& labels) {
  bool resolved = true;
  for (int i = 0; i < m_Count && (resolved || m_Watcher); ++i) {
    Line& line = m_Lines[i];
    if (line.m_Type != Line::kJump) continue;
    const auto target = labels.find(line.m_Next);
    if (target == labels.end()) {
      Refuse({i, Tbl::errNoLabel}, Tbl::Err(Tbl::errNoLabel) + std::to_wstring(line.m_Next));
      line.m_Type = Line::kText;
      resolved = false;
      continue;
    }
    line.m_Next = target->second;
  }
  return resolved;
}
