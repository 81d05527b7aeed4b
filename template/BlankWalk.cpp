// Walking a loaded part: jumps, repeat blocks, sheet breaks, cycle checks.
#include <algorithm>

#include "state/Tbl.h"
#include "template/Blank.h"

namespace {

// All field text, record and header, not printed yet.
size_t RemainderTotal() { return Tbl::TabRcdField.AllOst() + Tbl::TabHdrField.AllOst(); }

}  // namespace

Line* Blank::Next(int final) {
  // A new sheet (the header fields read from their start again) and the
  // closing pass (the record table as the data file's end left it) start the
  // cycle check's least remainders afresh; ClrCount does so for a record.
  if (m_Cur < 0 || (final != 0) != m_Closing) {
    m_Closing = final != 0;
    m_Least.assign(m_Count, kNoneSeen);
  }
  if (m_Cur >= 0 && m_Cur < m_Count) {
    Line& last = m_Lines[m_Cur];
    if (last.m_Type == Line::kText && last.m_Repeat > 0) {
      if (Tbl::totBreak > 0) {
        --Tbl::totBreak;
        last.m_Repeat = 0;
      } else {
        --last.m_Repeat;
        m_Cur = static_cast<int>(last.m_Next) - 1;
      }
    }
  }
  // Past the end every call returns null; the position need not run on.
  const int start = std::min(m_Cur, m_Count) + 1;
  m_Cur = start;
  if (start >= m_Count) return nullptr;

  // Nothing the walk reads changes while it passes command lines, so the
  // remainder total, taken at the first command line, holds for the whole
  // call; a walk that meets a text line at once never needs it.
  size_t remainder = 0;
  bool remainderTaken = false;
  ++m_Call;
  int i = start;
  for (;;) {
    Line& line = m_Lines[i];
    m_Visits[i] = Visit{m_Call, Tbl::totBreak};
    if (line.m_Type == Line::kText) {
      m_Cur = i;
      return &line;
    }
    if (!remainderTaken) {
      remainder = RemainderTotal();
      remainderTaken = true;
    }
    int j;
    switch (line.m_Type) {
      case Line::kRepeat:
        j = Repeat(i);
        break;
      case Line::kJump:
        j = Jump(i, final, remainder);
        break;
      default:  // labels and macro lines
        j = i + 1;
        break;
    }
    m_Cur = j;
    if (j == start || (j < m_Count && EndlessWalk(j, final, remainder))) {
      m_Cur = start;
      Report(Tbl::Err(Tbl::errCycleJump));
      return nullptr;
    }
    if (j >= m_Count) return nullptr;
    i = j;
  }
}

// While records are printed and no field text is left, the backward-jump
// check is off and the walk depends on nothing but its line and the pending
// breaks, which only ever go down. Coming back to a line with the same number
// of breaks therefore means the walk would go round for ever.
bool Blank::EndlessWalk(int j, int final, size_t remainder) {
  if (final != 0 || remainder != 0) return false;
  const Visit& seen = m_Visits[j];
  return seen.call == m_Call && seen.breaks == Tbl::totBreak;
}

// Arms the block of the repeat line at i: its last text line will send the
// walk back to the line after i, passes - 1 more times.
int Blank::Repeat(int i) {
  const Line& repeat = m_Lines[i];
  const size_t end = static_cast<size_t>(m_TextBefore[i]) + repeat.m_BlockLines - 1;
  if (end >= m_TextLines.size()) {
    Report(Tbl::Err(Tbl::errRepeatLines));
    return i + 1;
  }
  Line& last = m_Lines[m_TextLines[end]];
  last.m_Next = i + 1;
  last.m_Repeat = static_cast<short>(repeat.m_Repeat - 1);
  return i + 1;
}

// Where the jump line at i sends the walk.
int Blank::Jump(int i, int final, size_t remainder) {
  const Line& jump = m_Lines[i];
  const int target = static_cast<int>(jump.m_Next);
  int j;
  if (jump.m_Cond == 0) {
    if (final != 0 && target <= i) {
      j = i + 1;
    } else if (Tbl::totBreak > 0) {
      --Tbl::totBreak;
      j = i + 1;
    } else {
      j = target;
    }
  } else {
    bool test;
    if (jump.m_IsRcd == 0) {
      test = Tbl::TabHdrField.ExistOst(jump.m_Field);
    } else if (jump.m_Field != 0) {
      test = Tbl::TabRcdField.ExistOst(jump.m_Field);
    } else {
      test = Tbl::TabRcdField.AllOst() == Tbl::FirstOst;
    }
    if (jump.m_Cond == 1) test = !test;
    j = test ? target : i + 1;
  }
  if (j > i) return j;

  // A backward jump. It is refused the second time it comes back to its
  // target without progress: the remainder total is the one noted at the
  // target last, or not below the least noted there since the record, the
  // sheet or the closing pass began. While the remainder only falls the two
  // tests are one; it can come back up (a character 0 in a value ends a copy
  // that the wrap then takes back further, a "&&" placeholder restarts a
  // header field), and a loop measured against its last pass alone could
  // then go round for ever. After the last record the check is made even
  // when no text is left, so that a condition that stays true cannot loop
  // for ever either.
  if (remainder == 0 && final == 0) return j;
  Line& back = m_Lines[j];
  if (back.m_Cycle <= 0) {
    back.m_Cycle = 1;
    Note(j, remainder);
    return j;
  }
  if (back.m_LastOst == remainder || remainder >= m_Least[j]) {
    if (i + 1 < m_Count) Note(i + 1, remainder);
    return i + 1;
  }
  back.m_Cycle = 0;
  Note(j, remainder);
  return j;
}

// Notes remainder as line i's last and, when lower, least remainder total.
void Blank::Note(int i, size_t remainder) {
  m_Lines[i].m_LastOst = remainder;
  m_Least[i] = std::min(m_Least[i], remainder);
}

void Blank::ClrCount() {
  for (int i = 0; i < m_Count; ++i) {
    m_Lines[i].m_Cycle = 0;
    m_Lines[i].m_LastOst = 0;
  }
  m_Least.assign(m_Count, kNoneSeen);
}
