#include "io/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string>

#include "io/ShortUtf8.h"
#include "io/TextEncoding.h"

namespace {

bool IsDirectory(int fd) {
  struct stat info;
  return fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
}

// Appends everything fd delivers to bytes. False on a read error or beyond
// limit bytes in all.
bool ReadAll(int fd, std::vector<char>& bytes, size_t limit) {
  struct stat info;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
    bytes.reserve(std::min(static_cast<size_t>(info.st_size), limit));
  }
  char chunk[1 << 16];
  for (;;) {
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got == 0) return true;
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (static_cast<size_t>(got) > limit - bytes.size()) return false;
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
}

// Sixteen bytes side by side.
using ByteLanes = unsigned char __attribute__((vector_size(16)));

ByteLanes LoadLanes(const unsigned char* bytes) {
  ByteLanes lanes;
  memcpy(&lanes, bytes, sizeof lanes);
  return lanes;
}

// What comparing lanes gives: all ones in the lanes where the comparison
// holds, all zeros elsewhere.
using ByteMask = signed char __attribute__((vector_size(16)));

// The two halves of a mask, lane 0 in the low byte of the first.
struct MaskHalves {
  uint64_t low;
  uint64_t high;
};

MaskHalves Halves(ByteMask mask) {
  static_assert(sizeof mask == sizeof(MaskHalves), "two halves of eight lanes");
  static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "lane 0 is the low byte");
  MaskHalves halves;
  memcpy(&halves, &mask, sizeof halves);
  return halves;
}

// The index of the first lane set in found, or 16 when none is.
size_t FirstSet(ByteMask found) {
  const MaskHalves halves = Halves(found);
  if (halves.low != 0) return static_cast<size_t>(__builtin_ctzll(halves.low) >> 3);
  if (halves.high != 0) return 8 + static_cast<size_t>(__builtin_ctzll(halves.high) >> 3);
  return 16;
}

// Tells which of sixteen bytes are not plain: of 0x80 or above, or a member
// of a set whose members are listed.
class PlainTest {
 public:
  explicit PlainTest(const AsciiSet& stops) {
    static_assert(AsciiSet::kListed == 4, "one comparison for each listed member");
    for (int i = 0; i < AsciiSet::kListed; ++i) m_Stop[i] = ByteLanes{} + stops.List()[i];
  }
  // The index of the first lane that is not plain, or 16.
  size_t FirstNotPlain(ByteLanes lanes) const {
    return FirstSet((lanes >= 0x80) | (lanes == m_Stop[0]) | (lanes == m_Stop[1]) |
                    (lanes == m_Stop[2]) | (lanes == m_Stop[3]));
  }

 private:
  ByteLanes m_Stop[AsciiSet::kListed];
};

// Widens n bytes, each below 0x80, into characters. The two never overlap,
// which lets the compiler widen many at a time.
void Widen(const unsigned char* __restrict bytes, size_t n, wchar_t* __restrict out) {
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<wchar_t>(bytes[i]);
}

}  // namespace

InputFile::InputFile(const wchar_t* name) {
  if (name) Open(name);
}

InputFile::~InputFile() { Close(); }

// The storage of the copy or chunk is kept for the next file.
void InputFile::Close() {
  if (m_Stream) fclose(m_Stream);
  m_Stream = nullptr;
  m_InMemory = false;
  m_StreamEnded = false;
  m_ChunkEnd = 0;
  m_Bytes.clear();
  m_Next = m_End = nullptr;
}

// All reading goes through the descriptor into the chunk, so stdio is told
// to hold no buffer of its own: the descriptor's position is then the end of
// the chunk, and seeking it moves the stream.
bool InputFile::Open(const wchar_t* name) {
  Close();
  std::string path;
  if (!name || !vexo::FileSystemName(name, path)) return false;
  m_Stream = fopen(path.c_str(), "rb");
  if (!m_Stream) return false;
  // fopen opens a directory too, whose every read then fails.
  if (IsDirectory(fileno(m_Stream))) {
    Close();
    return false;
  }
  setvbuf(m_Stream, nullptr, _IONBF, 0);
  m_Bytes.resize(kChunk);
  return true;
}

bool InputFile::ReadIntoMemory(const wchar_t* name) {
  Close();
  std::string path;
  if (!name || !vexo::FileSystemName(name, path)) return false;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool read = !IsDirectory(fd) && ReadAll(fd, m_Bytes, kMaxInMemory);
  close(fd);
  if (!read) {
    Close();
    return false;
  }
  m_InMemory = true;
  m_Next = reinterpret_cast<const unsigned char*>(m_Bytes.data());
  m_End = m_Next + m_Bytes.size();
  return true;
}

// One read, not a loop until the chunk is full: a pipe's bytes are served as
// soon as they arrive. As with a stdio stream, the end once seen stays until
// the position is moved.
InputFile::Window InputFile::NextChunk() {
  if (!m_Stream || m_StreamEnded) return Window{nullptr, nullptr};
  ssize_t got;
  do {
    got = read(fileno(m_Stream), m_Bytes.data(), m_Bytes.size());
  } while (got < 0 && errno == EINTR);
  if (got <= 0) {
    m_StreamEnded = true;
    return Window{nullptr, nullptr};
  }
  m_ChunkEnd += static_cast<long>(got);
  const unsigned char* const start = reinterpret_cast<const unsigned char*>(m_Bytes.data());
  return Window{start, start + got};
}

bool InputFile::GetSlowly(wchar_t& c) {
  Bytes bytes = Unread();
  const bool got = GetFrom(bytes, c);
  Keep(bytes);
  return got;
}

// The lead byte fixes the length; continuation bytes give their low six bits
// whatever their top bits are, so every byte sequence decodes to something or
// to nothing, and values up to 0x1FFFFF come out as computed.
bool InputFile::GetLongSequence(Bytes& bytes, int lead, wchar_t& c) {
  unsigned int code;
  int continuation;
  if ((lead & 0xF0) == 0xE0) {
    code = lead & 0x0F;
    continuation = 2;
  } else if ((lead & 0xF8) == 0xF0) {
    code = lead & 0x07;
    continuation = 3;
  } else {
    return false;
  }
  for (int i = 0; i < continuation; ++i) {
    const int next = bytes.Next();
    if (next == EOF) return false;
    code = (code << 6) | (static_cast<unsigned int>(next) & 0x3F);
  }
  c = static_cast<wchar_t>(code);
  return true;
}

bool InputFile::GetLine(wchar_t* buf, int max) {
  size_t length = 0;
  return GetLine(buf, max, length);
}

bool InputFile::GetLine(wchar_t* buf, int max, size_t& length) {
  Bytes bytes = Unread();
  const bool plain = !m_IsBack && GetPlainLine(bytes, buf, max, length);
  const bool got = plain || GetLineFrom(bytes, buf, max);
  Keep(bytes);
  if (!plain) length = std::wcslen(buf);
  return got;
}

// The line ends at its line feed, or at the end of the copy in memory; in a
// stream's chunk without a line feed it may go on in the next chunk. Of a
// line longer than max, the character after the first max is consumed too.
bool InputFile::GetPlainLine(Bytes& bytes, wchar_t* buf, int max, size_t& length) {
  const size_t left = static_cast<size_t>(bytes.end - bytes.next);
  if (left == 0 || max < 0) return false;
  const void* feed = memchr(bytes.next, '\n', left);
  if (!feed && bytes.file.m_Stream) return false;
  const size_t ends =
      feed ? static_cast<size_t>(static_cast<const unsigned char*>(feed) - bytes.next) + 1 : left;
  const size_t stored = std::min(ends, static_cast<size_t>(max));
  const size_t taken = std::min(ends, stored + 1);
  // A zero byte would end the text before the line does.
  const ByteLanes carriageReturn = ByteLanes{} + '\r';
  const ByteLanes zero = ByteLanes{};
  size_t k = 0;
  for (; k + 16 <= stored; k += 16) {
    const ByteLanes lanes = LoadLanes(bytes.next + k);
    if (FirstSet((lanes >= 0x80) | (lanes == carriageReturn) | (lanes == zero)) < 16) return false;
    Widen(bytes.next + k, 16, buf + k);
  }
  for (; k < taken; ++k) {
    const unsigned char byte = bytes.next[k];
    if (byte >= 0x80 || byte == '\r' || (byte == 0 && k < stored)) return false;
    if (k < stored) buf[k] = byte;
  }
  buf[stored] = 0;
  bytes.next += taken;
  length = stored;
  return true;
}

// Only the first character can come from the put-back slot, so the loop
// after it reads the bytes directly. Printable ASCII, by far the most of a
// blank, is stored at once; everything else goes through store.
bool InputFile::GetLineFrom(Bytes& bytes, wchar_t* buf, int max) {
  wchar_t* out = buf;
  wchar_t* const end = buf + max;
  bool full = false;
  // Stores c; false once the line is complete.
  auto store = [&](wchar_t c) {
    if (c == L'\r') return true;
    if (out >= end) {
      full = true;
      return false;
    }
    *out++ = c;
    return c != L'\n';
  };
  bool more = true;
  if (m_IsBack) {
    m_IsBack = false;
    more = store(m_BackChar);
  }
  while (more) {
    const int lead = bytes.Next();
    if (lead > L'\r' && lead < 0x80 && out < end) {
      *out++ = static_cast<wchar_t>(lead);
      continue;
    }
    wchar_t c = static_cast<wchar_t>(lead);
    if (lead == EOF || (lead >= 0x80 && !GetSequence(bytes, lead, c))) break;
    more = store(c);
  }
  *out = 0;
  return full || out > buf;
}

// Plain bytes are taken sixteen at a time while the chunk and buf have room
// for sixteen: all sixteen are widened, and as many count as come before the
// first that is not plain. The rest of such a block, and the last few bytes
// of the chunk or of buf, go one character at a time: text in another
// alphabet then costs no block test for each of its characters.
size_t InputFile::GetRun(wchar_t* buf, size_t max, const AsciiSet& stops, bool& ended) {
  wchar_t* out = buf;
  wchar_t* const end = buf + max;
  ended = false;
  if (m_IsBack && out < end) {
    if (stops.Has(m_BackChar)) return 0;
    m_IsBack = false;
    *out++ = m_BackChar;
  }
  const PlainTest plain(stops);
  const bool listed = stops.Listed();
  Bytes bytes = Unread();
  bool more = true;
  while (more && out < end) {
    size_t slow = 1;  // how many characters go one at a time
    if (listed && bytes.end - bytes.next >= 16 && end - out >= 16) {
      const ByteLanes lanes = LoadLanes(bytes.next);
      Widen(bytes.next, 16, out);
      const size_t count = plain.FirstNotPlain(lanes);
      bytes.next += count;
      out += count;
      slow = 16 - count;
      // Text in a two-byte alphabet, with the ASCII among it, goes sixteen
      // bytes at a time too where the processor can, for as long as it
      // lasts.
      if (count < 16 && *bytes.next >= 0x80) {
        bool decoded = false;
        static_assert(AsciiSet::kListed == vexo::kShortStops, "the decoder tests every stop");
        size_t taken = 1;
        while (taken > 0 && bytes.end - bytes.next >= 16 && end - out >= 16) {
          size_t chars = 0;
          taken = vexo::DecodeShortSixteen(bytes.next, stops.List(), out, chars);
          bytes.next += taken;
          out += chars;
          decoded = decoded || taken > 0;
        }
        if (decoded) continue;
      }
    }
    for (; slow > 0 && out < end; --slow) {
      const int lead = bytes.Next();
      if (lead >= 0 && lead < 0x80 && !stops.HasAscii(lead)) {
        *out++ = static_cast<wchar_t>(lead);
        continue;
      }
      // A sequence may decode to an ASCII character too, so a decoded
      // character is tested against stops as a plain byte is.
      wchar_t c = static_cast<wchar_t>(lead);
      ended = lead == EOF || (lead >= 0x80 && !GetSequence(bytes, lead, c));
      more = !ended && !stops.Has(c);
      if (!more) {
        if (!ended) PutBack(c);
        break;
      }
      *out++ = c;
    }
  }
  Keep(bytes);
  return static_cast<size_t>(out - buf);
}

// A stream's chunk is dropped when its descriptor moves; a stream that
// cannot seek keeps its place and its chunk.
void InputFile::SetFilePointer(long pos) {
  if (m_Stream) {
    if (lseek(fileno(m_Stream), pos, SEEK_SET) < 0) return;
    m_ChunkEnd = pos;
    m_Next = m_End = nullptr;
    m_StreamEnded = false;
    return;
  }
  if (!m_InMemory || pos < 0) return;
  const unsigned char* const start = reinterpret_cast<const unsigned char*>(m_Bytes.data());
  m_Next = start + std::min(static_cast<size_t>(pos), m_Bytes.size());
}

// The descriptor stands at the end of the chunk.
long InputFile::GetFilePointer() {
  if (m_Stream) {
    const off_t end = lseek(fileno(m_Stream), 0, SEEK_CUR);
    return end < 0 ? -1 : static_cast<long>(end - (m_End - m_Next));
  }
  if (!m_InMemory) return -1;
  return static_cast<long>(m_Next - reinterpret_cast<const unsigned char*>(m_Bytes.data()));
}

long InputFile::Offset() const {
  if (m_Stream) return m_ChunkEnd - static_cast<long>(m_End - m_Next);
  if (!m_InMemory) return -1;
  return static_cast<long>(m_Next - reinterpret_cast<const unsigned char*>(m_Bytes.data()));
}

// The bytes are read through a window on them that has no stream behind it.
size_t InputFile::Decode(const unsigned char* bytes, size_t size, wchar_t& c, bool& got) {
  InputFile none;
  Bytes window{none, bytes, bytes + size};
  got = GetFrom(window, c);
  return static_cast<size_t>(window.next - bytes);
}
