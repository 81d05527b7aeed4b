// UTF-8 text file reader with one-character put-back and byte positions.
#pragma once

#include <cstddef>
#include <cstdio>
#include <initializer_list>
#include <vector>

// A set of ASCII characters, tested with one table lookup. A set of at most
// kListed members also lists them, so that many bytes can be tested at once.
class AsciiSet {
 public:
  static constexpr int kListed = 4;

  AsciiSet(std::initializer_list<wchar_t> members) {
    int count = 0;
    for (const wchar_t c : members) {
      if (c < 0 || c >= 128 || m_Member[c]) continue;
      m_Member[c] = true;
      if (count < kListed) m_List[count] = static_cast<unsigned char>(c);
      ++count;
    }
    m_Listed = count <= kListed;
    // Unused places repeat a member, or hold a byte every test rejects anyway.
    for (int i = count; i < kListed; ++i) m_List[i] = count > 0 ? m_List[0] : 0x80;
  }
  bool Has(wchar_t c) const { return c >= 0 && c < 128 && m_Member[c]; }
  // Has, for a c known to be below 128.
  bool HasAscii(int c) const { return m_Member[c]; }
  // Whether List holds every member.
  bool Listed() const { return m_Listed; }
  // kListed bytes: the members, each at least once, when Listed.
  const unsigned char* List() const { return m_List; }

 private:
  bool m_Member[128] = {};
  unsigned char m_List[kListed] = {};
  bool m_Listed = true;
};

// Reads a text file as UTF-8, decoded by hand into one wchar_t per character,
// either streaming from the file (Open) or from a copy of the whole file taken
// into memory at once (ReadIntoMemory). A stream is read in chunks of kChunk
// bytes into a buffer the object owns, and both ways are served from bytes in
// memory. End of file, a read error, a byte that cannot start a sequence and a
// sequence cut short all look the same: Get returns false (the bad byte is
// consumed). The put-back slot is served before the file.
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
  // Whether the file was read into memory: then what is read at a position
  // stays the same for as long as Generation does.
  bool InMemory() const { return m_InMemory; }
  // A number no other opening, reading into memory or closing of any object
  // has had: it changes whenever what the object reads may change.
  unsigned long Generation() const { return m_Generation; }
  // Whether the put-back slot holds a character, which the next read takes
  // before the file.
  bool HoldsBack() const { return m_IsBack; }

  // The largest file ReadIntoMemory takes: far above any blank, and a bound
  // on what an endless source (a device, a pipe never closed) can cost.
  static constexpr size_t kMaxInMemory = size_t{1} << 26;
  // The most a stream delivers with one read: a few system calls per
  // megabyte. A pipe delivers what it holds, which may be less.
  static constexpr size_t kChunk = size_t{1} << 16;

  // Delivers the next character; false when none can be had.
  bool Get(wchar_t& c) {
    if (m_IsBack) {
      m_IsBack = false;
      c = m_BackChar;
      return true;
    }
    if (m_Next < m_End && *m_Next < 0x80) {
      c = static_cast<wchar_t>(*m_Next++);
      return true;
    }
    return GetSlowly(c);
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
  // GetLine, giving also the length of the text in buf up to its first zero,
  // which a reader of the line needs first and the reading knows.
  bool GetLine(wchar_t* buf, int max, size_t& length);

  // Reads characters into buf, at most max, up to the first one in stops,
  // which is left in the put-back slot. Returns how many were stored; ended
  // tells whether Get failed first, the input ending there as for Get.
  size_t GetRun(wchar_t* buf, size_t max, const AsciiSet& stops, bool& ended);

  // Byte positions from the start of the file. With no file open, moving does
  // nothing and the position is -1. In memory, a position past the end reads
  // as the end and a negative one is ignored. A stream that cannot seek (a
  // pipe) stays where it is and its position is -1.
  void SetFilePointer(long pos);
  long GetFilePointer();
  // The offset of the next byte to read, put-back slot aside, without a
  // system call: a stream's bytes read since it was opened or last moved,
  // counted from where it stood then. For a program that follows the
  // reading closely; -1 with no file open.
  long Offset() const;

  // How Get takes the first of size bytes at bytes, with nothing after them:
  // the number of bytes it consumes, and whether that gives a character
  // (then c). A sequence cut short by the end, or a byte that cannot start
  // one, gives none.
  static size_t Decode(const unsigned char* bytes, size_t size, wchar_t& c, bool& got);

 protected:
  FILE* m_Stream = nullptr;
  wchar_t m_BackChar = 0;
  bool m_IsBack = false;

 private:
  // A stretch of bytes in memory: the copy, or the stream's chunk.
  struct Window {
    const unsigned char* next;
    const unsigned char* end;
  };
  // The bytes not read yet of the copy in memory or of the stream's chunk.
  // Next gives the next byte, reading the stream's next chunk when the
  // chunk is used up, or EOF when there is none. The next chunk comes back
  // by value, which keeps next and end in registers in the loops that read.
  struct Bytes {
    InputFile& file;
    const unsigned char* next;
    const unsigned char* end;
    int Next() {
      if (next == end) {
        const Window chunk = file.NextChunk();
        if (chunk.next == chunk.end) return EOF;
        next = chunk.next;
        end = chunk.end;
      }
      return *next++;
    }
  };

  Bytes Unread() { return Bytes{*this, m_Next, m_End}; }
  void Keep(const Bytes& bytes) {
    m_Next = bytes.next;
    m_End = bytes.end;
  }
  // Reads the stream's next chunk; an empty window at the end of the
  // stream, on a read error, and when no stream is open.
  Window NextChunk();

  // Get without the put-back slot, for a byte of 0x80 or above or the end
  // of the bytes at hand.
  bool GetSlowly(wchar_t& c);
  // Get without the put-back slot.
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
  static bool GetSequence(Bytes& bytes, int lead, wchar_t& c) {
    if ((lead & 0xE0) != 0xC0) {
      // Only a copy of bytes is handed to the call, so that bytes itself can
      // stay in registers in the callers' loops.
      Bytes copy = bytes;
      const bool got = GetLongSequence(copy, lead, c);
      bytes.next = copy.next;
      bytes.end = copy.end;
      return got;
    }
    const int next = bytes.Next();
    if (next == EOF) return false;
    c = static_cast<wchar_t>((lead & 0x1F) << 6 | (next & 0x3F));
    return true;
  }
  // GetSequence for the other lead bytes.
  static bool GetLongSequence(Bytes& bytes, int lead, wchar_t& c);
  // GetLine for a line that lies whole in bytes and holds only ASCII
  // characters other than the carriage return and, among those stored, the
  // zero; false, with nothing read, for any other line.
  static bool GetPlainLine(Bytes& bytes, wchar_t* buf, int max, size_t& length);
  bool GetLineFrom(Bytes& bytes, wchar_t* buf, int max);
  void Close();

  unsigned long m_Generation;
  // The copy of the file when it was read into memory, or the stream's
  // current chunk; the part of it not read yet.
  bool m_InMemory = false;
  bool m_StreamEnded = false;  // no more reads after the end or an error
  long m_ChunkEnd = 0;         // a stream's offset at the end of its chunk
  std::vector<char> m_Bytes;
  const unsigned char* m_Next = nullptr;
  const unsigned char* m_End = nullptr;
};
