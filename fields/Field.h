// Numbered field values with read and put positions, segments and remainder.
#pragma once

#include <algorithm>
#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

// Separates the segments of a field's value. Each placeholder prints at most
// one segment; the separator itself is never printed.
namespace vexo {
constexpr wchar_t kSegmentSeparator = 1;
}  // namespace vexo

// One field: a wide text with a read position (the next character to hand
// out) and a saved put position (a length to cut back to). The text behind
// the read position is the field's remainder. The read position may stand
// beyond the end after the value was shortened; every reader treats that as
// the end of the text.
class Field {
 public:
  explicit Field(long num, wchar_t mac = 0) : m_Num(num), m_Mac(mac) {}

  bool Exist() const { return m_Pos < m_Value.size(); }
  size_t LenToEnd() const { return Exist() ? m_Value.size() - m_Pos : 0; }
  // Length of the unread part of the current segment: from the read position
  // up to the next separator or the end; 0 at the end or on a separator.
  int Ostatok() const;
  // Ostatok, but looking no further than limit characters ahead: the
  // smaller of Ostatok() and limit. A line only needs to know whether the
  // segment fits, and a long value is not searched to its end for every line.
  int Ostatok(int limit) const;
  void Clear();
  void First() { m_Pos = 0; }
  // The next character (a separator comes back as 1 and is passed over);
  // 0 at the end, every time.
  wchar_t GetSym() { return m_Pos < m_Value.size() ? m_Value[m_Pos++] : 0; }
  // Ostatok(limit), giving also in copyable how many characters come before
  // the first separator or 0 within limit: what GetSyms hands out.
  int Ostatok(int limit, int& copyable) const;
  // GetSym up to n times into out, stopping at the first 0 or separator,
  // which is passed over as GetSym passes over it but not stored. Returns the
  // number of characters stored.
  int GetSyms(wchar_t* out, int n);
  // GetSyms right after Ostatok(limit, copyable), with n at most limit: the
  // same without looking for the stop again.
  int GetSyms(wchar_t* out, int n, int copyable);
  // GetSyms(out, n), giving also in ostatok what Ostatok(n + 1) gave before
  // it: what a placeholder n columns wide takes when it writes from its
  // first column, in one pass over the text.
  int GetSyms(wchar_t* out, int n, int* ostatok);
  // Passes over a separator that stands at the read position.
  void DelSeparator();
  // Makes the last character handed out unread again; nothing at position 0.
  void ReturnSym() {
    if (m_Pos > 0) --m_Pos;
  }
  // ReturnSym n times.
  void ReturnSyms(size_t n) { m_Pos -= std::min(n, m_Pos); }
  void SavPosPut() { m_PosPut = m_Value.size(); }
  // Drops what was appended since SavPosPut; the read position stays.
  void GoPosPut();
  void PutSym(wchar_t c) { m_Value.push_back(c); }
  void PutStr(const wchar_t* s) { m_Value.append(s); }
  // Appends length characters, zeros among them.
  void PutStr(const wchar_t* s, size_t length) { m_Value.append(s, length); }
  // Removes trailing spaces, tabs, carriage returns and line feeds.
  void TrimRight();

  long Num() const { return m_Num; }
  wchar_t Mac() const { return m_Mac; }
  size_t Pos() const { return m_Pos; }
  const std::wstring& Value() const { return m_Value; }

 private:
  size_t m_Pos = 0;
  size_t m_PosPut = 0;
  long m_Num;
  wchar_t m_Mac;
  std::wstring m_Value;
};

// A table of fields keyed by number, ascending, with one current field that
// the cursor operations act on. The table owns its fields. Every operation is
// declared here with what it does and what it gives when the field it needs
// is missing; the cursor operations are defined here, the rest in Field.cpp.
class FieldTab : private std::map<long, Field*> {
 public:
  FieldTab() = default;
  FieldTab(const FieldTab&) = delete;
  FieldTab& operator=(const FieldTab&) = delete;
  virtual ~FieldTab();

  // Makes field n current; false, and no field current, when there is none.
  bool SetCurrent(long n);
  // Makes the lowest-numbered field bound to macro symbol c current; false,
  // with the current field unchanged, when no field carries c.
  bool SetCurrentMac(wchar_t c) {
    // Rendering asks this for every character of every line; most blanks
    // declare no macro symbol at all.
    if (c != 0 && m_MacFields.empty()) return false;
    return FindMac(c);
  }
  // Whether a field carries macro symbol c, which is not 0; the current
  // field stays as it is.
  bool HasMac(wchar_t c) const {
    for (const Field* field : m_MacFields) {
      if (field->Mac() == c) return true;
    }
    return false;
  }
  // Changes whenever a symbol is bound to a field or dropped with it, in any
  // table: a reading of a text line that took the symbols in force holds for
  // as long as this stays the same.
  static unsigned long MacroEpoch() { return s_MacroEpoch; }

  // Cursor operations: each is the Field operation of the same name on the
  // current field, and does nothing (or gives 0) when no field is current.
  wchar_t GetSym() {
    if (!m_Current || !m_Current->Exist()) return 0;
    const size_t from = m_Current->Pos();
    const wchar_t c = m_Current->GetSym();
    Consumed(from);
    return c;
  }
  int GetSyms(wchar_t* out, int n) {
    if (!m_Current || !m_Current->Exist()) return 0;
    const size_t from = m_Current->Pos();
    const int count = m_Current->GetSyms(out, n);
    Consumed(from);
    return count;
  }
  int GetSyms(wchar_t* out, int n, int copyable) {
    if (!m_Current || !m_Current->Exist()) return 0;
    const size_t from = m_Current->Pos();
    const int count = m_Current->GetSyms(out, n, copyable);
    Consumed(from);
    return count;
  }
  int GetSyms(wchar_t* out, int n, int* ostatok) {
    *ostatok = 0;
    if (!m_Current || !m_Current->Exist()) return 0;
    const size_t from = m_Current->Pos();
    const int count = m_Current->GetSyms(out, n, ostatok);
    Consumed(from);
    return count;
  }
  // Whether the current field has unread text; false with none current.
  bool ExistCurrent() const { return m_Current && m_Current->Exist(); }
  void ReturnSym() {
    OnCurrent([](Field& field) { field.ReturnSym(); });
  }
  void ReturnSyms(size_t n) {
    OnCurrent([n](Field& field) { field.ReturnSyms(n); });
  }
  int Ostatok() { return m_Current ? m_Current->Ostatok() : 0; }
  int Ostatok(int limit) { return m_Current ? m_Current->Ostatok(limit) : 0; }
  int Ostatok(int limit, int& copyable) {
    copyable = 0;
    return m_Current ? m_Current->Ostatok(limit, copyable) : 0;
  }
  void DelSeparator() {
    if (!m_Current || !m_Current->Exist()) return;
    const size_t from = m_Current->Pos();
    m_Current->DelSeparator();
    Consumed(from);
  }
  void PutSym(wchar_t c) {
    Append([c](Field& field) { field.PutSym(c); });
  }
  void PutStr(const wchar_t* s) {
    Append([s](Field& field) { field.PutStr(s); });
  }
  void PutStr(const wchar_t* s, size_t length) {
    Append([s, length](Field& field) { field.PutStr(s, length); });
  }
  void SavPosPut() {
    if (m_Current) m_Current->SavPosPut();
  }
  void GoPosPut() {
    OnCurrent([](Field& field) { field.GoPosPut(); });
  }
  // Field::Clear on the current field.
  void ClearField() {
    OnCurrent([](Field& field) { field.Clear(); });
  }
  // Field::TrimRight on the current field.
  void DelEndBlankField() {
    OnCurrent([](Field& field) { field.TrimRight(); });
  }
  // Trims the current value and appends a separator, unless the value is
  // empty or no field is current.
  void InsSeparator();

  // Whether any field has unread text; false for an empty table.
  bool Exist() const { return m_Filled != 0; }
  // Whether field n has unread text; false when there is no field n.
  bool ExistOst(long n) const;
  // Unread characters of all fields, separators counted; 0 for an empty table.
  size_t AllOst() const { return m_Unread; }
  // Exist and AllOst counted afresh by a walk over every field, for checking
  // the running counts that those two answer from.
  bool ExistByWalk() const;
  size_t AllOstByWalk() const;
  // Empties every value; fields, numbers and symbols stay.
  void Clear();
  // Moves the read position of every field to its start.
  void First();
  // Moves the read position of field n to its start; nothing when there is
  // no field n.
  void First(long n);
  // Field n up to its first separator, whatever its read position; "" when
  // there is no field n.
  std::wstring FirstValue(long n) const;
  // FirstValue cut to at most limit characters, found without looking
  // further into the value.
  std::wstring FirstValue(long n, size_t limit) const;
  // Removes trailing blanks from every value.
  void DelEndBlank();
  // Adds an empty field n; false, with nothing changed, when n exists.
  bool InsertField(long n);
  // Adds field n bound to symbol c (0 for none); when n exists, changes
  // nothing and gives true only if it carries c.
  bool InsertFieldMac(long n, wchar_t c);
  // Deletes every field; the table is empty and no field is current.
  void freeAll();
  // The lowest field number above n, for a walk over the table; false, with
  // next unchanged, when there is none.
  bool NextNumber(long n, long& next) const;

 private:
  bool FindMac(wchar_t c);
  // Adds field, new in the table, under its number, and returns it.
  Field* Add(std::unique_ptr<Field> field);
  // Field n, or null when there is none.
  Field* Find(long n) const;

  // Runs change on the current field, if any, keeping the counts.
  template <typename Change>
  void OnCurrent(Change change) {
    if (!m_Current) return;
    const size_t before = m_Current->LenToEnd();
    change(*m_Current);
    Recount(*m_Current, before);
  }
  // OnCurrent for a change that appends. A value only grows from empty by an
  // append, so this is where a field is listed as written.
  template <typename Change>
  void Append(Change change) {
    if (m_Current && m_Current->Value().empty()) NoteWritten(m_Current);
    OnCurrent(change);
  }
  // Runs change on every field that may hold text, keeping the counts. Every
  // other field is empty with both positions at 0, which none of the
  // table-wide operations changes.
  template <typename Change>
  void OnWritten(Change change) {
    for (Field* field : m_Written) {
      const size_t before = field->LenToEnd();
      change(*field);
      Recount(*field, before);
    }
  }
  // Corrects the counts after the current field, which had unread text, was
  // read on from position from: reading moves forward and never past the
  // end.
  void Consumed(size_t from) {
    m_Unread -= m_Current->Pos() - from;
    if (!m_Current->Exist()) --m_Filled;
  }
  // Corrects the counts for field, whose unread length was before.
  void Recount(const Field& field, size_t before) {
    const size_t after = field.LenToEnd();
    m_Unread += after - before;
    m_Filled += static_cast<long>(after != 0) - static_cast<long>(before != 0);
  }
  void NoteWritten(Field* field);

  Field* m_Current = nullptr;
  // Running counts: the unread characters of all fields, and the fields with
  // unread text. The run asks for them after every line, and a blank may
  // declare thousands of fields of which a record fills a few.
  size_t m_Unread = 0;
  long m_Filled = 0;
  // The fields appended to since the table was last emptied, some perhaps
  // more than once; every field outside it is empty. Emptying and trimming
  // a record's fields walk this list, not the whole table.
  std::vector<Field*> m_Written;
  // The fields numbered 0 to kDirect - 1 by number, null where there is
  // none: SetCurrent runs for every placeholder of every line, and blanks
  // number their fields from 1.
  static constexpr long kDirect = 64;
  Field* m_Direct[kDirect] = {};
  // The fields that carry a macro symbol, in ascending number order, so that
  // the per-character symbol test of rendering does not walk every field.
  std::vector<Field*> m_MacFields;
  static unsigned long s_MacroEpoch;
};
