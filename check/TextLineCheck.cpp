// The warnings of text lines: what rendering makes of a line that the writer
// may not have meant. The line is read as rendering reads it: tabs expanded,
// macro symbols first, then numbered placeholders, "#" runs and "@".
#include <cwctype>

#include "check/BlankCheck.h"
#include "state/Tbl.h"
#include "template/Placeholder.h"

namespace vexo {
namespace {

// Placeholders narrower than this at the end of a line are reported even
// without data: hardly any value fits them.
constexpr int kNarrowWidth = 4;

bool IsMacroSymbol(wchar_t c) {
  return Tbl::TabHdrField.SetCurrentMac(c) || Tbl::TabRcdField.SetCurrentMac(c);
}

bool IsWordCharacter(wchar_t c) { return c != 0 && std::iswalnum(static_cast<wint_t>(c)); }

std::string Narrow(const std::wstring& text) { return Utf8Line(text); }

const char* AlignmentName(Line::typAlign align) {
  if (align == Line::alCenter) return "centred";
  return align == Line::alRight ? "right" : "left";
}

std::string Columns(int first, int last) {
  if (first == last) return "column " + std::to_string(first + 1);
  return "columns " + std::to_string(first + 1) + "-" + std::to_string(last + 1);
}

// What a numbered placeholder prints, for the layout.
std::string FieldLegend(const wchar_t* copy, int first, const FieldColumns& columns) {
  const wchar_t mark = copy[first];
  const bool doubled = copy[first + 1] == mark;
  std::string legend = std::string(doubled ? 2 : 1, static_cast<char>(mark)) +
                       std::to_string(columns.number) + " " + AlignmentName(columns.align) + ", " +
                       Columns(first, columns.last);
  if (mark == L'&') {
    std::wstring preset(copy + columns.stretch, copy + columns.stretchEnd);
    while (!preset.empty() && preset.back() == L' ') preset.pop_back();
    while (!preset.empty() && preset.front() == L' ') preset.erase(0, 1);
    if (!preset.empty()) legend += ", preset text '" + Narrow(preset) + "'";
  } else {
    legend += doubled ? ", cut at its last column" : ", wraps at break characters";
  }
  if (copy[columns.stretchEnd] == 0) legend += ", ends with the line";
  return legend;
}

// What an "@" substitution prints, for the layout.
std::string SubstitutionLegend(const Substitution& found, int at) {
  const int spelt = found.end - at;
  switch (found.kind) {
    case SubstitutionKind::kDate:
      return "@D date, shifts the rest of the line by " + std::to_string(10 - spelt);
    case SubstitutionKind::kDateTime:
      return "@T date and time, shifts the rest of the line by " + std::to_string(16 - spelt);
    case SubstitutionKind::kHeaderFirst:
      return "@" + std::to_string(found.number) + " first value of &" +
             std::to_string(found.number) + ", shifts the rest of the line by its length less " +
             std::to_string(spelt);
    default:
      return "@@" + std::to_string(found.number) + " next value of $" +
             std::to_string(found.number) + ", shifts the rest of the line by its length less " +
             std::to_string(spelt);
  }
}

}  // namespace

void BlankPartCheck::CheckTextLine(size_t index, const std::wstring& read) {
  wchar_t copy[kLineBuffer];
  const int length = static_cast<int>(Line::ExpandTabs(read.c_str(), copy));
  // source[k]: the character of the line as read that column k of the copy
  // comes from.
  std::vector<int> source;
  for (int i = 0; read[i] != 0 && static_cast<int>(source.size()) < length; ++i) {
    const int width = read[i] == L'\t' ? 8 - i % 8 : 1;
    for (int k = 0; k < width; ++k) source.push_back(i);
  }
  source.resize(static_cast<size_t>(length) + 1, static_cast<int>(read.size()));

  bool showsRecord = false;
  LayoutLine layout;
  layout.index = index;
  layout.text = Narrow(std::wstring(copy, static_cast<size_t>(length)));
  for (int i = 0; i < length;) {
    const wchar_t c = copy[i];
    if (IsMacroSymbol(c)) {
      CheckMacroSymbol(index, copy, i, source);
      const bool record = Tbl::TabRcdField.SetCurrentMac(c);
      showsRecord = showsRecord || record;
      const MacroColumns columns = ScanMacroColumns(copy, i);
      layout.marks.push_back({i, columns.last,
                              Narrow(std::wstring(1, c)) + " macro " +
                                  (record ? "record" : "header") + " field " +
                                  AlignmentName(columns.align) + ", " + Columns(i, columns.last)});
      i = columns.last + 1;
    } else if (StartsNumberedField(copy, i)) {
      const bool doubled = copy[i + 1] == c;
      const FieldColumns columns = ScanFieldColumns(copy, i + (doubled ? 2 : 1), length);
      showsRecord = showsRecord || c == L'$';
      if (c == L'$') ShowsRecordField(index, columns.number, source[i]);
      const int width = columns.last - i + 1;
      if (copy[columns.stretchEnd] == 0 && width >= kNarrowWidth) {
        const size_t open = m_Open.size();
        m_Open.push_back({c == L'$', columns.number, width,
                          Narrow(std::wstring(copy + i, copy + columns.stretchEnd)), nullptr});
        Want(index, source[i], [this, open](const std::shared_ptr<MarkedPlace>& place) {
          m_Open[open].place = place;
        });
      } else if (copy[columns.stretchEnd] == 0) {
        const std::wstring spelt(copy + i, copy + columns.stretchEnd);
        Find(index, source[i], Severity::kWarning, "narrow-field",
             "the placeholder \"" + Narrow(spelt) + "\" ends the line without \"?\", so it is " +
                 std::to_string(width) + (width == 1 ? " column" : " columns") +
                 " wide and longer values wrap onto further lines; mark the field's last "
                 "column with \"?\"");
      }
      layout.marks.push_back({i, columns.last, FieldLegend(copy, i, columns)});
      i = columns.last + 1;
    } else if (c == L'#') {
      CheckCounter(index, copy, i, source);
      const int first = i;
      while (copy[i] == L'#') ++i;
      layout.marks.push_back({first, i - 1,
                              std::string(static_cast<size_t>(i - first), '#') +
                                  " sheet counter, " + Columns(first, i - 1)});
    } else if (c == L'@') {
      const Substitution found = ScanSubstitution(copy, i, true);
      if (found.kind != SubstitutionKind::kNone) {
        layout.marks.push_back({i, found.end - 1, SubstitutionLegend(found, i)});
        CheckSubstitution(index, copy, i, found.end, source);
      }
      if (found.kind == SubstitutionKind::kRecordSegment) {
        showsRecord = true;
        ShowsRecordField(index, found.number, source[i]);
      }
      i = found.kind == SubstitutionKind::kNone ? i + 1 : found.end;
    } else {
      ++i;
    }
  }
  if (showsRecord) ++m_RecordLines;
  m_Layout.push_back(layout);
}

// A run of "#" is always the sheet counter; next to a letter or digit it was
// most likely meant as text.
void BlankPartCheck::CheckCounter(size_t index, const wchar_t* copy, int at,
                                  const std::vector<int>& source) {
  int end = at;
  while (copy[end] == L'#') ++end;
  if (!(at > 0 && IsWordCharacter(copy[at - 1])) && !IsWordCharacter(copy[end])) return;
  Find(index, source[at], Severity::kWarning, "counter-in-text",
       "\"" + std::string(static_cast<size_t>(end - at), '#') +
           "\" prints the sheet counter, here in the middle of text; a blank cannot print "
           "\"#\" itself, so write the text without it");
}

// A substitution is found wherever its "@" stands, also inside a word such
// as an e-mail address, and the rest of the word then follows what it
// inserts.
void BlankPartCheck::CheckSubstitution(size_t index, const wchar_t* copy, int at, int end,
                                       const std::vector<int>& source) {
  if (at == 0 || !IsWordCharacter(copy[at - 1])) return;
  constexpr int kWordShown = 40;
  int from = at;
  while (from > 0 && at - from < kWordShown && !std::iswspace(copy[from - 1])) --from;
  int to = end;
  while (copy[to] != 0 && to - end < kWordShown && !std::iswspace(copy[to])) ++to;
  const Substitution found = ScanSubstitution(copy, at, true);
  const std::string number = std::to_string(found.number);
  const char* inserted = found.kind == SubstitutionKind::kDate       ? "the date"
                         : found.kind == SubstitutionKind::kDateTime ? "the date and time"
                                                                     : nullptr;
  const std::string prints = inserted ? inserted
                             : found.kind == SubstitutionKind::kHeaderFirst
                                 ? "the first value of header field &" + number
                                 : "the next value of record field $" + number;
  const std::string word = Narrow(std::wstring(copy + from, copy + to));
  const std::string after = Narrow(std::wstring(copy + end, copy + to));
  Find(index, source[at], Severity::kWarning, "substitution-in-word",
       "\"" + Narrow(std::wstring(copy + at, copy + end)) +
           "\" is a substitution even inside a word: vexo prints \"" + word + "\" as \"" +
           Narrow(std::wstring(copy + from, copy + at)) + "\", " + prints +
           (after.empty() ? std::string() : ", then \"" + after + "\"") +
           "; to show text with an \"@\" such as an e-mail address, give it to a header field "
           "in the data file (\"&N;" +
           word + "\") and print that field with a placeholder");
}

void BlankPartCheck::ShowsRecordField(size_t index, long number, int at) {
  if (m_RecordFields.count(number)) return;
  m_RecordFields[number] = nullptr;
  Want(index, at, [this, number](const std::shared_ptr<MarkedPlace>& place) {
    m_RecordFields[number] = place;
  });
}

// Every occurrence of a macro symbol in a text line is a field, also inside
// a word of the text.
void BlankPartCheck::CheckMacroSymbol(size_t index, const wchar_t* copy, int at,
                                      const std::vector<int>& source) {
  const wchar_t symbol = copy[at];
  const auto isText = [symbol](wchar_t c) { return c != symbol && IsWordCharacter(c); };
  if (!(at > 0 && isText(copy[at - 1])) && !isText(copy[at + 1])) return;
  Find(index, source[at], Severity::kWarning, "macro-in-text",
       "\"" + Narrow(std::wstring(1, symbol)) +
           "\" is a macro symbol, so vexo prints a field here instead of the character; choose a "
           "symbol that the text does not use");
}

}  // namespace vexo

namespace vexo {

void BlankPartCheck::CheckOpenPlaceholders(const std::map<long, LongestValue>& records,
                                           const std::map<long, LongestValue>& headers) {
  for (const OpenPlaceholder& open : m_Open) {
    const auto& values = open.record ? records : headers;
    const auto longest = values.find(open.number);
    if (longest == values.end() || longest->second.length <= open.width) continue;
    const LongestValue& value = longest->second;
    Report(Severity::kWarning, "narrow-field",
           "the placeholder \"" + open.spelt + "\" ends the line without \"?\", so it is " +
               std::to_string(open.width) + " columns wide, and a value of " +
               std::to_string(value.length) + " characters" +
               (value.record > 0 ? " (record " + std::to_string(value.record) + ")" : "") +
               " wraps onto further lines; mark the field's last column with \"?\"",
           open.place);
  }
}

}  // namespace vexo
