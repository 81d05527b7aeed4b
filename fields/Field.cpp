#include "fields/Field.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>
#include <memory>

#include "util/WideSearch.h"

namespace {

bool IsTrailingBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

// A separator; a separator or a 0, which end a copy.
using IsSeparator = vexo::IsAnyOf<vexo::kSegmentSeparator>;
using IsCopyStop = vexo::IsAnyOf<0, vexo::kSegmentSeparator>;

}  // namespace

int Field::Ostatok() const { return Ostatok(std::numeric_limits<int>::max()); }

int Field::Ostatok(int limit) const {
  if (m_Pos >= m_Value.size() || limit <= 0) return 0;
  const size_t window = std::min(m_Value.size() - m_Pos, static_cast<size_t>(limit));
  return static_cast<int>(vexo::FindFirst(m_Value.data() + m_Pos, window, IsSeparator{}));
}

// One search for the first stop; only a 0 before the separator makes a
// second one.
int Field::Ostatok(int limit, int& copyable) const {
  copyable = 0;
  if (m_Pos >= m_Value.size() || limit <= 0) return 0;
  const wchar_t* from = m_Value.data() + m_Pos;
  const size_t window = std::min(m_Value.size() - m_Pos, static_cast<size_t>(limit));
  const size_t stop = vexo::FindFirst(from, window, IsCopyStop{});
  copyable = static_cast<int>(stop);
  if (stop == window || from[stop] == vexo::kSegmentSeparator) return copyable;
  return static_cast<int>(stop + 1 +
                          vexo::FindFirst(from + stop + 1, window - stop - 1, IsSeparator{}));
}

// The remainder after a 0 needs a second search, as in Ostatok.
int Field::GetSyms(wchar_t* out, int n, int* ostatok) {
  *ostatok = 0;
  if (m_Pos >= m_Value.size()) return 0;
  if (n <= 0) {
    *ostatok = Ostatok(n + 1);
    return 0;
  }
  const wchar_t* from = m_Value.data() + m_Pos;
  const size_t rest = m_Value.size() - m_Pos;
  const size_t window = std::min(rest, static_cast<size_t>(n) + 1);
  const size_t stop = vexo::CopyUntil(from, window, out, static_cast<size_t>(n), IsCopyStop{});
  *ostatok = static_cast<int>(stop);
  if (stop < window && from[stop] != vexo::kSegmentSeparator) {
    *ostatok +=
        1 + static_cast<int>(vexo::FindFirst(from + stop + 1, window - stop - 1, IsSeparator{}));
  }
  const size_t take = std::min(rest, static_cast<size_t>(n));
  const size_t count = std::min(stop, take);
  m_Pos += count < take ? count + 1 : count;
  return static_cast<int>(count);
}

int Field::GetSyms(wchar_t* out, int n, int copyable) {
  if (m_Pos >= m_Value.size() || n <= 0) return 0;
  const size_t take = std::min(m_Value.size() - m_Pos, static_cast<size_t>(n));
  const size_t count = std::min(static_cast<size_t>(copyable), take);
  vexo::CopyWide(m_Value.data() + m_Pos, count, out);
  m_Pos += count < take ? count + 1 : count;
  return static_cast<int>(count);
}

int Field::GetSyms(wchar_t* out, int n) {
  if (m_Pos >= m_Value.size() || n <= 0) return 0;
  const wchar_t* from = m_Value.data() + m_Pos;
  const size_t take = std::min(m_Value.size() - m_Pos, static_cast<size_t>(n));
  const size_t count = vexo::FindFirst(from, take, IsCopyStop{});
  vexo::CopyWide(from, count, out);
  // A stop within reach is consumed; the end of the text is not.
  m_Pos += count < take ? count + 1 : count;
  return static_cast<int>(count);
}

void Field::Clear() {
  m_Value.clear();
  m_Pos = 0;
  m_PosPut = 0;
}

void Field::DelSeparator() {
  if (m_Pos < m_Value.size() && m_Value[m_Pos] == vexo::kSegmentSeparator) ++m_Pos;
}

void Field::GoPosPut() {
  if (m_PosPut < m_Value.size()) m_Value.resize(m_PosPut);
}

void Field::TrimRight() {
  size_t length = m_Value.size();
  while (length > 0 && IsTrailingBlank(m_Value[length - 1])) --length;
  m_Value.resize(length);
}

unsigned long FieldTab::s_MacroEpoch = 0;

FieldTab::~FieldTab() { freeAll(); }

bool FieldTab::SetCurrent(long n) {
  m_Current = Find(n);
  return m_Current != nullptr;
}

Field* FieldTab::Find(long n) const {
  if (n >= 0 && n < kDirect) return m_Direct[n];
  const auto it = find(n);
  return it == end() ? nullptr : it->second;
}

// A field is listed again when it was emptied (cut back or trimmed) and then
// written anew. Once the repeats outgrow the table the list is made unique,
// so it never holds more than about twice as many entries as there are
// fields.
void FieldTab::NoteWritten(Field* field) {
  if (m_Written.size() > 2 * size()) {
    std::sort(m_Written.begin(), m_Written.end());
    m_Written.erase(std::unique(m_Written.begin(), m_Written.end()), m_Written.end());
  }
  m_Written.push_back(field);
}

bool FieldTab::NextNumber(long n, long& next) const {
  const auto it = upper_bound(n);
  if (it == end()) return false;
  next = it->first;
  return true;
}

Field* FieldTab::Add(std::unique_ptr<Field> owned) {
  Field* field = owned.get();
  const long n = field->Num();
  emplace(n, field);
  owned.release();
  if (n >= 0 && n < kDirect) m_Direct[n] = field;
  return field;
}

// Only fields bound to a symbol are in m_MacFields; the symbol 0 means "none"
// and so matches the plain fields, which only a walk of the whole table finds.
bool FieldTab::FindMac(wchar_t c) {
  if (c == 0) {
    for (const auto& entry : *this) {
      if (entry.second->Mac() != 0) continue;
      m_Current = entry.second;
      return true;
    }
    return false;
  }
  for (Field* field : m_MacFields) {
    if (field->Mac() != c) continue;
    m_Current = field;
    return true;
  }
  return false;
}

// The emptiness test comes first: a value of blanks only still gets its
// separator, so the next segment starts a new one.
void FieldTab::InsSeparator() {
  if (!m_Current || m_Current->Value().empty()) return;
  OnCurrent([](Field& field) {
    field.TrimRight();
    field.PutSym(vexo::kSegmentSeparator);
  });
}

bool FieldTab::ExistOst(long n) const {
  const Field* field = Find(n);
  return field && field->Exist();
}

bool FieldTab::ExistByWalk() const {
  return std::any_of(begin(), end(), [](const auto& entry) { return entry.second->Exist(); });
}

size_t FieldTab::AllOstByWalk() const {
  size_t total = 0;
  for (const auto& entry : *this) total += entry.second->LenToEnd();
  return total;
}

void FieldTab::Clear() {
  for (Field* field : m_Written) field->Clear();
  m_Written.clear();
  m_Unread = 0;
  m_Filled = 0;
}

void FieldTab::First() {
  OnWritten([](Field& field) { field.First(); });
}

void FieldTab::First(long n) {
  Field* field = Find(n);
  if (!field) return;
  const size_t before = field->LenToEnd();
  field->First();
  Recount(*field, before);
}

std::wstring FieldTab::FirstValue(long n) const {
  return FirstValue(n, std::numeric_limits<size_t>::max());
}

std::wstring FieldTab::FirstValue(long n, size_t limit) const {
  const Field* field = Find(n);
  if (!field) return std::wstring();
  const std::wstring& value = field->Value();
  const size_t window = std::min(value.size(), limit);
  return value.substr(0, vexo::FindFirst(value.data(), window, IsSeparator{}));
}

void FieldTab::DelEndBlank() {
  OnWritten([](Field& field) { field.TrimRight(); });
}

bool FieldTab::InsertField(long n) {
  if (find(n) != end()) return false;
  Add(std::make_unique<Field>(n));
  return true;
}

bool FieldTab::InsertFieldMac(long n, wchar_t c) {
  const auto it = find(n);
  if (it != end()) return it->second->Mac() == c;
  Field* field = Add(std::make_unique<Field>(n, c));
  if (c == 0) return true;
  const auto place = std::upper_bound(m_MacFields.begin(), m_MacFields.end(), n,
                                      [](long num, const Field* f) { return num < f->Num(); });
  m_MacFields.insert(place, field);
  ++s_MacroEpoch;
  return true;
}

void FieldTab::freeAll() {
  for (auto& entry : *this) delete entry.second;
  clear();
  std::fill(std::begin(m_Direct), std::end(m_Direct), nullptr);
  if (!m_MacFields.empty()) ++s_MacroEpoch;
  m_MacFields.clear();
  m_Written.clear();
  m_Unread = 0;
  m_Filled = 0;
  m_Current = nullptr;
}
