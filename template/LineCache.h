// The readings of the loaded part's text lines, kept so that a line rendered
// again is not read, decoded, tab-expanded and scanned again.
#pragma once

#include <cstddef>
#include <vector>

#include "template/LineSteps.h"

class InputFile;

namespace vexo {

// A text line as rendering reads it: its tab-expanded text (length
// characters, zero-terminated), the same with the blanks of its steps made,
// its steps, and the byte position at which the reader stands after reading
// the line. Valid until the cache keeps another reading.
struct LineReading {
  const wchar_t* text = nullptr;
  const wchar_t* blanked = nullptr;
  int length = 0;
  const Step* steps = nullptr;
  size_t stepCount = 0;
  long end = 0;
};

// Readings by the byte position of their line. A reading is kept from the
// second time its line is read, so that lines rendered once cost nothing to
// keep, and holds while the file holds the same copy in memory and the macro
// symbols in force are those it was read by. What the readings take is
// bounded by kBudget; lines beyond it are read again each time.
class LineCache {
 public:
  // The cache for the lines of file. It starts empty whenever file holds
  // something else than at the last call, and keeps nothing while file is
  // not a copy in memory, holds a put-back character (the next read would
  // take it into the line) or the cache is suspended.
  static LineCache& Of(const InputFile& file);
  // While suspended, nothing is found or kept and every line is read again.
  static void Suspend(bool suspended);

  // The kept reading of the line at pos; false when there is none that holds.
  bool Find(long pos, LineReading& reading) const;
  // Notes that the line at pos has been read into text[0, length) (tab
  // expanded, zero-terminated, nothing filled in yet), the reader standing at
  // end afterwards. True, with reading set, when the reading is kept from now
  // on; false the first time, when nothing is kept and when the budget is
  // spent.
  bool Keep(long pos, const wchar_t* text, int length, long end, LineReading& reading);

  // About the most memory that the readings of one file take.
  static constexpr size_t kBudget = size_t{16} << 20;

 private:
  struct Entry {
    long end = 0;
    size_t text = 0;  // index of the line's text in m_Text, its blanked text next
    int length = 0;
    size_t steps = 0;  // index of its first step in m_Steps
    size_t stepCount = 0;
    unsigned long epoch = 0;  // FieldTab::MacroEpoch when its steps were read
  };
  // A place of the table: empty, a line read once, or a line and its entry.
  static constexpr int kEmpty = -1;
  static constexpr int kReadOnce = -2;
  struct Slot {
    long pos = 0;
    int entry = kEmpty;
  };

  void Clear();
  // The slot of pos, or the empty slot where it would go; the table is
  // never full.
  Slot& SlotOf(long pos);
  const Slot& SlotOf(long pos) const;
  // Notes pos as read once; false when the budget is spent.
  bool AddReadOnce(long pos);
  size_t Bytes() const;
  LineReading ReadingOf(const Entry& entry) const;

  unsigned long m_Generation = 0;
  bool m_Usable = false;
  std::vector<Entry> m_Entries;
  // Open addressing by position, a power of two long and at most half full:
  // most lookups touch one slot only.
  std::vector<Slot> m_Slots;
  size_t m_Used = 0;
  int m_Shift = 64;
  std::vector<wchar_t> m_Text;
  std::vector<Step> m_Steps;
  std::vector<Step> m_Read;  // scratch for one line's steps
};

}  // namespace vexo
