#include "template/LineCache.h"

#include <cstdint>

#include "fields/Field.h"
#include "io/InputFile.h"
#include "util/Lanes.h"

namespace vexo {

namespace {

bool s_Suspended = false;

// Fibonacci hashing: positions of neighbouring lines spread over the table.
size_t Hash(long pos, int shift) {
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
  m_Used = 0;
  m_Shift = 64;
  m_Text.clear();
  m_Steps.clear();
}

const LineCache::Slot& LineCache::SlotOf(long pos) const {
  const size_t mask = m_Slots.size() - 1;
  size_t slot = Hash(pos, m_Shift);
  while (m_Slots[slot].entry != kEmpty && m_Slots[slot].pos != pos) slot = (slot + 1) & mask;
  return m_Slots[slot];
}

LineCache::Slot& LineCache::SlotOf(long pos) {
  return const_cast<Slot&>(static_cast<const LineCache&>(*this).SlotOf(pos));
}

// The table doubles before it is half full, and is laid out again.
bool LineCache::AddReadOnce(long pos) {
  const bool grows = 2 * (m_Used + 1) > m_Slots.size();
  const size_t size = m_Slots.empty() ? 64 : (grows ? 2 : 1) * m_Slots.size();
  if (Bytes() + (size - m_Slots.size()) * sizeof(Slot) > kBudget) return false;
  if (grows) {
    std::vector<Slot> old(size);
    old.swap(m_Slots);
    m_Shift = 64 - __builtin_ctzll(size);
    for (const Slot& slot : old) {
      if (slot.entry != kEmpty) SlotOf(slot.pos) = slot;
    }
  }
  Slot& slot = SlotOf(pos);
  slot.pos = pos;
  slot.entry = kReadOnce;
  ++m_Used;
  return true;
}

size_t LineCache::Bytes() const {
  return m_Entries.size() * sizeof(Entry) + m_Slots.size() * sizeof(Slot) +
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
  if (!m_Usable || m_Slots.empty()) return false;
  const int index = SlotOf(pos).entry;
  if (index < 0) return false;
  const Entry& entry = m_Entries[static_cast<size_t>(index)];
  if (entry.epoch != FieldTab::MacroEpoch()) return false;
  reading = ReadingOf(entry);
  return true;
}

// When the macro symbols have changed since a line was kept, its reading is
// kept again beside the old one, which no entry uses any more.
bool LineCache::Keep(long pos, const wchar_t* text, int length, long end, LineReading& reading) {
  if (!m_Usable) return false;
  if (m_Slots.empty() || SlotOf(pos).entry == kEmpty) {
    AddReadOnce(pos);
    return false;
  }
  ReadSteps(text, length, m_Read);
  const size_t characters = 2 * (static_cast<size_t>(length) + 1);
  if (Bytes() + sizeof(Entry) + m_Read.size() * sizeof(Step) + characters * sizeof(wchar_t) >
      kBudget) {
    return false;
  }
  Entry entry;
  entry.text = m_Text.size();
  entry.length = length;
  entry.end = end;
  m_Text.insert(m_Text.end(), text, text + length + 1);
  m_Text.insert(m_Text.end(), text, text + length + 1);
  BlankSteps(m_Text.data() + entry.text + length + 1, m_Read.data(), m_Read.size());
  entry.steps = m_Steps.size();
  entry.stepCount = m_Read.size();
  entry.epoch = FieldTab::MacroEpoch();
  m_Steps.insert(m_Steps.end(), m_Read.begin(), m_Read.end());
  SlotOf(pos).entry = static_cast<int>(m_Entries.size());
  m_Entries.push_back(entry);
  reading = ReadingOf(m_Entries.back());
  return true;
}

}  // namespace vexo
