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

// Reads a text file as UTF-8, decoded by hand into one wchar_t per character,
// either streaming from the file (Open) or from a copy of the whole file taken
// into memory at once (ReadIntoMemory). End of file, a read error, a byte that
// cannot start a sequence and a sequence cut short all look the same: Get
// returns false (the bad byte is consumed). The put-back slot is served
// before the file.
class InputFile {
 public:
  // Opens name when it is not null; callers test IsOpen afterwards.
  explicit InputFile(const wchar_t* name = nullptr);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Closes what is held, then opens name for reading as a stream. False when
  // the name is null or cannot be turned into a file-system name, or when the
  // file cannot be opened or is a directory. The put-back slot is kept.
  bool Open(const wchar_t* name);
  // Closes what is held, then reads the whole of name into memory, and reads
  // that copy from then on: what happens to the file afterwards changes
  // nothing that is read, and SetFilePointer costs no system call. Works for
  // pipes and devices too. False as for Open, and when reading fails or the
  // file holds more than kMaxInMemory bytes; nothing is open then.
  bool ReadIntoMemory(const wchar_t* name);
  bool IsOpen() const { return m_Stream != nullptr || m_InMemory; }

  // The largest file ReadIntoMemory takes: far above any blank, and a bound
  // on what an endless source (a device, a pipe never closed) can cost.
  static constexpr size_t kMaxInMemory = size_t{1} << 26;

  // Delivers the next character; false when none can be had.
  bool Get(wchar_t& c) {
    if (m_IsBack) {
      m_IsBack = false;
      c = m_BackChar;
      return true;
    }
    if (m_Stream) {
      StreamBytes bytes{m_Stream};
      return GetFrom(bytes, c);
    }
    MemoryBytes bytes = Remaining();
    const bool got = GetFrom(bytes, c);
    m_Index = static_cast<size_t>(bytes.next - Start());
    return got;
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
  // nothing and the position is -1. In memory, a position past the end reads
  // as the end and a negative one is ignored.
  void SetFilePointer(long pos);
  long GetFilePointer();

 protected:
  FILE* m_Stream = nullptr;
  wchar_t m_BackChar = 0;
  bool m_IsBack = false;

 private:
  // The two places bytes come from. Next gives the next byte, or EOF when
  // there is none.
  struct StreamBytes {
    FILE* stream;
    int Next() { return getc_unlocked(stream); }
  };
  struct MemoryBytes {
    const unsigned char* next;
    const unsigned char* end;
    int Next() { return next < end ? *next++ : EOF; }
  };

  const unsigned char* Start() const {
    return reinterpret_cast<const unsigned char*>(m_Bytes.data());
  }
  // The bytes of the copy in memory not read yet; none when nothing is there.
  MemoryBytes Remaining() const { return MemoryBytes{Start() + m_Index, Start() + m_Bytes.size()}; }

  // Get without the put-back slot.
  template <class Bytes>
  static bool GetFrom(Bytes& bytes, wchar_t& c) {
    const int lead = bytes.Next();
    if (lead == EOF) return false;
    if (lead < 0x80) {
      c = static_cast<wchar_t>(lead);
      return true;
    }
    return GetSequence(bytes, lead, c);
  }
  // Decodes the rest of a sequence whose lead byte (0x80 or above) was read.
  // Two-byte sequences, which carry the Cyrillic, Greek and most other
  // alphabets, are decoded here.
  template <class Bytes>
  static bool GetSequence(Bytes& bytes, int lead, wchar_t& c) {
    if ((lead & 0xE0) != 0xC0) return GetLongSequence(bytes, lead, c);
    const int next = bytes.Next();
    if (next == EOF) return false;
    c = static_cast<wchar_t>((lead & 0x1F) << 6 | (next & 0x3F));
    return true;
  }
  // GetSequence for the other lead bytes.
  template <class Bytes>
  static bool GetLongSequence(Bytes& bytes, int lead, wchar_t& c);
  template <class Bytes>
  bool GetLineFrom(Bytes& bytes, wchar_t* buf, int max);
  template <class Bytes>
  size_t GetRunFrom(Bytes& bytes, wchar_t* buf, size_t max, const AsciiSet& stops, bool& ended);
  void Close();

  std::vector<char> m_Buffer;  // the buffer m_Stream reads into
  // The copy of the file when it was read into memory, and the byte that is
  // read next.
  bool m_InMemory = false;
  std::vector<char> m_Bytes;
  size_t m_Index = 0;
};
