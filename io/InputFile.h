// UTF-8 text file reader with one-character put-back and byte positions.
#pragma once

#include <cstddef>
#include <cstdio>
#include <initializer_list>
#include <vector>

// A set of ASCII characters, tested with one table lookup.
class AsciiSet {
 public:
  AsciiSet(std::initializer_list<wchar_t> members) {
    for (const wchar_t c : members) {
      if (c >= 0 && c < 128) m_Member[c] = true;
    }
  }
  bool Has(wchar_t c) const { return c >= 0 && c < 128 && m_Member[c]; }
  // Has, for a c known to be below 128.
  bool HasAscii(int c) const { return m_Member[c]; }

 private:
  bool m_Member[128] = {};
};

// Reads a text file as UTF-8, decoded by hand into one wchar_t per character.
// End of file, a read error, a byte that cannot start a sequence and a
// sequence cut short all look the same: Get returns false (the bad byte is
// consumed). The put-back slot is served before the file.
class InputFile {
 public:
  // Opens name when it is not null; callers test IsOpen afterwards.
  explicit InputFile(const wchar_t* name = nullptr);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Closes a stream already held, then opens name for reading. False when
  // the file cannot be opened, the name is null or it cannot be turned into a
  // file-system name. The put-back slot is kept.
  bool Open(const wchar_t* name);
  // Opens name as Open does, for a reader that goes back to noted positions
  // again and again: a regular file is read through a read-only memory
  // mapping, so that SetFilePointer costs no system call. A file that cannot
  // be mapped (an empty file, a pipe, a device) is opened as Open opens it.
  bool OpenForSeeking(const wchar_t* name);
  bool IsOpen() const { return m_Stream != nullptr; }

  // Delivers the next character; false when none can be had.
  bool Get(wchar_t& c) {
    if (m_IsBack) {
      m_IsBack = false;
      c = m_BackChar;
      return true;
    }
    return m_Stream && GetFromStream(m_Stream, c);
  }
  // Puts c into the put-back slot, replacing a character held there.
  void PutBack(wchar_t c) {
    m_BackChar = c;
    m_IsBack = true;
  }
  // Reads one line into buf, which holds max + 1 characters: at most max
  // characters, carriage returns dropped, the line feed kept as the last one.
  // True when at least one character was stored. Characters beyond max are
  // consumed and lost, up to and including the one that ends the stretch.
  bool GetLine(wchar_t* buf, int max);

  // Reads characters into buf, at most max, up to the first one in stops,
  // which is left in the put-back slot. Returns how many were stored; ended
  // tells whether Get failed first, the input ending there as for Get.
  size_t GetRun(wchar_t* buf, size_t max, const AsciiSet& stops, bool& ended);

  // Byte positions from the start of the file. With no file open, moving does
  // nothing and the position is -1.
  void SetFilePointer(long pos);
  long GetFilePointer();

 protected:
  FILE* m_Stream = nullptr;
  wchar_t m_BackChar = 0;
  bool m_IsBack = false;

 private:
  // Get without the put-back slot, from stream, the open stream.
  static bool GetFromStream(FILE* stream, wchar_t& c) {
    const int lead = getc_unlocked(stream);
    if (lead == EOF) return false;
    if (lead < 0x80) {
      c = static_cast<wchar_t>(lead);
      return true;
    }
    return GetSequence(stream, lead, c);
  }
  // Decodes the rest of a sequence whose lead byte (0x80 or above) was read.
  // Two-byte sequences, which carry the Cyrillic, Greek and most other
  // alphabets, are decoded here.
  static bool GetSequence(FILE* stream, int lead, wchar_t& c) {
    if ((lead & 0xE0) != 0xC0) return GetLongSequence(stream, lead, c);
    const int next = getc_unlocked(stream);
    if (next == EOF) return false;
    c = static_cast<wchar_t>((lead & 0x1F) << 6 | (next & 0x3F));
    return true;
  }
  // GetSequence for the other lead bytes.
  static bool GetLongSequence(FILE* stream, int lead, wchar_t& c);
  void Close();

  // The mapping that m_Stream reads, when it reads one.
  void* m_Map = nullptr;
  size_t m_MapSize = 0;
  std::vector<char> m_Buffer;  // the buffer m_Stream reads into
};
