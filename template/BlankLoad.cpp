// Loading a blank part: counting, classifying and checking its lines.
#include <cwchar>

#include "state/Tbl.h"
#include "template/Blank.h"
#include "template/FieldRegistration.h"

namespace {

// Each command keyword in its three spellings: Russian, English, and the
// Russian word as it reads when a blank written in code page 866 was
// converted as if it were Windows-1251.
const wchar_t* const kJumpWords[] = {L"\u041F\u0415\u0420\u0415\u0425\u041E\u0414", L"jump to",
                                     L"\u040F\u2026\u0452\u2026\u2022\u040B\u201E"};
const wchar_t* const kRepeatWords[] = {L"\u041F\u041E\u0412\u0422\u041E\u0420", L"repeat",
                                       L"\u040F\u040B\u201A\u2019\u040B\u0452"};
constexpr size_t kJumpLength = 7;
constexpr size_t kRepeatLength = 6;

bool StartsWithKeyword(const wchar_t* text, const wchar_t* const (&words)[3], size_t length) {
  for (const wchar_t* word : words) {
    if (std::wcsncmp(text, word, length) == 0) return true;
  }
  return false;
}

}  // namespace

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
  for (int i = 0; i < m_Count; ++i) {
    m_Lines[i].m_FilePos = m_File.GetFilePointer();
    m_File.GetLine(text, vexo::kLineMax);
    if (!ClassifyLine(i, text, labels)) return 0;
  }
  if (!ResolveJumps(labels)) return 0;
  IndexTextLines();
  m_Cur = -1;
  return 1;
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
  if (StartsWithKeyword(text + 1, kJumpWords, kJumpLength)) return ReadJump(line, text);
  if (StartsWithKeyword(text + 1, kRepeatWords, kRepeatLength)) return ReadRepeat(line, text);
  if (text[1] >= L'0' && text[1] <= L'9') return ReadLabel(i, text, labels);
  if (text[1] != 0 && text[2] == L'=' && (text[3] == L'&' || text[3] == L'$')) {
    return ReadMacro(line, i, text);
  }
  Report(Tbl::Err(Tbl::errCommand) + text);
  return false;
}

// ">jump to" label [mark field [c2]]: the keyword took indexes 1 to 7.
bool Blank::ReadJump(Line& line, const wchar_t* text) {
  line.m_Type = Line::kJump;
  long label = 0;
  long field = 0;
  wchar_t mark = 0;
  wchar_t after = 0;
  std::swscanf(text + 1 + kJumpLength, L"%ld %lc%ld%lc", &label, &mark, &field, &after);
  line.m_Next = label;
  line.m_Field = field;
  if (mark == 0) return true;  // unconditional, m_Cond 0
  if (mark == L'$') {
    line.m_IsRcd = 1;
  } else if (mark != L'&') {
    Report(Tbl::Err(Tbl::errJump) + text);
    return false;
  }
  if (after == L'^') {
    line.m_Cond = 1;
  } else if (after == 0 || after == L' ' || after == L'\n') {
    line.m_Cond = 2;
  } else {
    Report(Tbl::Err(Tbl::errJump) + text);
    return false;
  }
  return true;
}

// ">repeat" lines:passes, with 1 to 100 text lines and 1 to 1000 passes.
bool Blank::ReadRepeat(Line& line, const wchar_t* text) {
  line.m_Type = Line::kRepeat;
  int lines = 0;
  int passes = 0;
  std::swscanf(text + 1 + kRepeatLength, L"%d:%d", &lines, &passes);
  if (lines < 1 || lines > 100) {
    Report(Tbl::Err(Tbl::errBlockLines) + text);
    return false;
  }
  if (passes < 1 || passes > 1000) {
    Report(Tbl::Err(Tbl::errRepeatCount) + text);
    return false;
  }
  line.m_BlockLines = static_cast<short>(lines);
  line.m_Repeat = static_cast<short>(passes);
  return true;
}

bool Blank::ReadLabel(int i, const wchar_t* text, Labels& labels) {
  Line& line = m_Lines[i];
  line.m_Type = Line::kLabel;
  line.m_Next = std::wcstol(text + 1, nullptr, 10);
  if (!labels.emplace(line.m_Next, i).second) {
    Report(Tbl::Err(Tbl::errLabelTwice) + std::to_wstring(line.m_Next));
    return false;
  }
  return true;
}

// ">M=$n" binds symbol M to record field n, ">M=&n" to header field n. The
// field must be new or bound to M already, and the other table must not use M.
bool Blank::ReadMacro(Line& line, int i, const wchar_t* text) {
  line.m_Type = Line::kMacro;
  const wchar_t symbol = text[1];
  const long number = std::wcstol(text + 4, nullptr, 10);
  const bool record = text[3] == L'$';
  FieldTab& own = record ? Tbl::TabRcdField : Tbl::TabHdrField;
  FieldTab& other = record ? Tbl::TabHdrField : Tbl::TabRcdField;
  if (!own.InsertFieldMac(number, symbol) || other.SetCurrentMac(symbol)) {
    Report(Tbl::Err(Tbl::errRedefine) + text);
    return false;
  }
  line.m_Next = i + 1;
  return true;
}

// Turns the label number of every jump into the index of its label line.
bool Blank::ResolveJumps(const Labels& labels) {
  for (int i = 0; i < m_Count; ++i) {
    Line& line = m_Lines[i];
    if (line.m_Type != Line::kJump) continue;
    const auto target = labels.find(line.m_Next);
    if (target == labels.end()) {
      Report(Tbl::Err(Tbl::errNoLabel) + std::to_wstring(line.m_Next));
      return false;
    }
    line.m_Next = target->second;
  }
  return true;
}
