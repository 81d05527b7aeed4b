#include "fields/Field.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <limits>
#include <memory>

#include "util/WideSearch.h"

namespace {

bool IsTrailingBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

constexpr int32_t kSeparatorLane = vexo::kSegmentSeparator;

// A separator.
struct IsSeparator {
  bool operator()(wchar_t c) const { return c == vexo::kSegmentSeparator; }
  vexo::WideLanes operator()(vexo::WideLanes c) const { return c == kSeparatorLane; }
};

// What ends a copy: a separator or a 0.
struct IsCopyStop {
  bool operator()(wchar_t c) const { return (c & ~vexo::kSegmentSeparator) == 0; }
  vexo::WideLanes operator()(vexo::WideLanes c) const { return (c & ~kSeparatorLane) == 0; }
};

}  // namespace

int Field::Ostatok() const { return Ostatok(std::numeric_limits<int>::max()); }

int Field::Ostatok(int limit) const {
  if (m_Pos >= m_Value.size() || limit <= 0) return 0;
  const size_t window = std::min(m_Value.size() - m_Pos, static_cast<size_t>(limit));
  return static_cast<int>(vexo::FindFirst(m_Value.data() + m_Pos, window, IsSeparator{}));
}

int Field::GetSyms(wchar_t* out, int n) {
  if (m_Pos >= m_Value.size() || n <= 0) return 0;
  const wchar_t* from = m_Value.data() + m_Pos;
  const size_t take = std::min(m_Value.size() - m_Pos, static_cast<size_t>(n));
  const size_t count = vexo::FindFirst(from, take, IsCopyStop{});
  std::copy_n(from, count, out);
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

FieldTab::~FieldTab() { freeAll(); }

bool FieldTab::SetCurrent(long n) {
  if (n >= 0 && n < kDirect) {
    m_Current = m_Direct[n];
    return m_Current != nullptr;
  }
  const auto it = find(n);
  m_Current = it == end() ? nullptr : it->second;
  return m_Current != nullptr;
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
  m_Current->TrimRight();
  m_Current->PutSym(vexo::kSegmentSeparator);
}

bool FieldTab::Exist() const {
  return std::any_of(begin(), end(), [](const auto& entry) { return entry.second->Exist(); });
}

bool FieldTab::ExistOst(long n) const {
  const auto it = find(n);
  return it != end() && it->second->Exist();
}

size_t FieldTab::AllOst() const {
  size_t total = 0;
  for (const auto& entry : *this) total += entry.second->LenToEnd();
  return total;
}

void FieldTab::Clear() {
  for (auto& entry : *this) entry.second->Clear();
}

void FieldTab::First() {
  for (auto& entry : *this) entry.second->First();
}

void FieldTab::First(long n) {
  const auto it = find(n);
  if (it != end()) it->second->First();
}

std::wstring FieldTab::FirstValue(long n) const {
  const auto it = find(n);
  if (it == end()) return std::wstring();
  const std::wstring& value = it->second->Value();
  return value.substr(0, value.find(vexo::kSegmentSeparator));
}

void FieldTab::DelEndBlank() {
  for (auto& entry : *this) entry.second->TrimRight();
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
  return true;
}

void FieldTab::freeAll() {
  for (auto& entry : *this) delete entry.second;
  clear();
  std::fill(std::begin(m_Direct), std::end(m_Direct), nullptr);
  m_MacFields.clear();
  m_Current = nullptr;
}
