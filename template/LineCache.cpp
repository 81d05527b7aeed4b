#include "template/LineCache.h"

#include <cstdint>

#include "fields/Field.h"
#include "io/InputFile.h"
#include "util/Lanes.h"

namespace vexo {

namespace {

bool s_Suspended = false;

// Fibonacci hashing: positions of neighbouring lines spread over the table.
size_t SlotOf(long pos, int shift) {
  return static_cast<size_t>((static_cast<uint64_t>(pos) * 0x9E3779B97F4A7C15u) >> shift);
}

}  // namespace

LineCache& LineCache::Of(const InputFile& file) {
  static LineCache cache;
  if (cache.m_Generation != file.Generation()) {
    cache.Clear();
    cache.m_Generation = file.Generation();
  }
  cache.m_Usable = kFastPaths && !s_Suspended && file.InMemory() && !file.HoldsBack();
  return cache;
}

void LineCache::Suspend(bool suspended) { s_Suspended = suspended; }

void LineCache::Clear() {
  m_Entries.clear();
  m_Slots.clear();
  m_Shift = 64;
  m_Text.clear();
  m_Steps.clear();
}

int LineCache::Lookup(long pos) const {
  if (m_Slots.empty()) return kNone;
  const size_t mask = m_Slots.size() - 1;
  for (size_t slot = SlotOf(pos, m_Shift);; slot = (slot + 1) & mask) {
    const int index = m_Slots[slot];
    if (index == kNone || m_Entries[static_cast<size_t>(index)].pos == pos) return index;
  }
}

// The table doubles before it is half full, and is laid out again.
int LineCache::Add(long pos) {
  if (Bytes() + sizeof(Entry) + 2 * sizeof(int) > kBudget) return kNone;
  if (2 * (m_Entries.size() + 1) > m_Slots.size()) {
    const size_t size = m_Slots.empty() ? 64 : 2 * m_Slots.size();
    m_Slots.assign(size, kNone);
    m_Shift = 64 - __builtin_ctzll(size);
    for (size_t i = 0; i < m_Entries.size(); ++i) {
      size_t slot = SlotOf(m_Entries[i].pos, m_Shift);
      while (m_Slots[slot] != kNone) slot = (slot + 1) & (size - 1);
      m_Slots[slot] = static_cast<int>(i);
    }
  }
  size_t slot = SlotOf(pos, m_Shift);
  while (m_Slots[slot] != kNone) slot = (slot + 1) & (m_Slots.size() - 1);
  m_Slots[slot] = static_cast<int>(m_Entries.size());
  Entry entry;
  entry.pos = pos;
  m_Entries.push_back(entry);
  return m_Slots[slot];
}

size_t LineCache::Bytes() const {
  return m_Entries.size() * sizeof(Entry) + m_Slots.size() * sizeof(int) +
         m_Text.size() * sizeof(wchar_t) + m_Steps.size() * sizeof(Step);
}

LineReading LineCache::ReadingOf(const Entry& entry) const {
  LineReading reading;
  reading.text = m_Text.data() + entry.text;
  reading.blanked = reading.text + entry.length + 1;
  reading.length = entry.length;
  reading.steps = m_Steps.data() + entry.steps;
  reading.stepCount = entry.stepCount;
  reading.end = entry.end;
  return reading;
}

bool LineCache::Find(long pos, LineReading& reading) const {
  if (!m_Usable) return false;
  const int index = Lookup(pos);
  if (index == kNone) return false;
  const Entry& entry = m_Entries[static_cast<size_t>(index)];
  if (!entry.kept || entry.epoch != FieldTab::MacroEpoch()) return false;
  reading = ReadingOf(entry);
  return true;
}

// When the macro symbols have changed since a line was kept, its reading is
// kept again beside the old one, which no entry uses any more.
bool LineCache::Keep(long pos, const wchar_t* text, int length, long end, LineReading& reading) {
  if (!m_Usable) return false;
  int index = Lookup(pos);
  if (index == kNone) {
    Add(pos);
    return false;
  }
  Entry& entry = m_Entries[static_cast<size_t>(index)];
  ReadSteps(text, length, m_Read);
  const size_t characters = 2 * (static_cast<size_t>(length) + 1);
  if (Bytes() + m_Read.size() * sizeof(Step) + characters * sizeof(wchar_t) > kBudget) return false;
  entry.text = m_Text.size();
  entry.length = length;
  entry.end = end;
  m_Text.insert(m_Text.end(), text, text + length + 1);
  m_Text.insert(m_Text.end(), text, text + length + 1);
  BlankSteps(m_Text.data() + entry.text + length + 1, m_Read.data(), m_Read.size());
  entry.kept = true;
  entry.steps = m_Steps.size();
  entry.stepCount = m_Read.size();
  entry.epoch = FieldTab::MacroEpoch();
  m_Steps.insert(m_Steps.end(), m_Read.begin(), m_Read.end());
  reading = ReadingOf(entry);
  return true;
}

}  // namespace vexo
