#include "io/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string>

#include "io/TextEncoding.h"
#include "io/TextLanes.h"

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

// Generations are handed out once each, across all objects and threads.
unsigned long NewGeneration() {
  static std::atomic<unsigned long> last{0};
  return ++last;
}

}  // namespace

InputFile::InputFile(const wchar_t* name) : m_Generation(NewGeneration()) {
  if (name) Open(name);
}

InputFile::~InputFile() { Close(); }

// The storage of the copy or chunk is kept for the next file.
void InputFile::Close() {
  m_Generation = NewGeneration();
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
  // A zero byte would end the text before the line does; the character
  // after the first max is consumed, a zero too.
  size_t k = vexo::kFastPaths ? vexo::WidenLineBytesLanes(bytes.next, stored, buf) : 0;
  k += vexo::WidenLineBytesPlain(bytes.next + k, stored - k, buf + k);
  if (k < stored) return false;
  if (taken > stored && (bytes.next[stored] >= 0x80 || bytes.next[stored] == '\r')) return false;
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
  const vexo::RunStops runStops(stops.List());
  const bool listed = stops.Listed();
  Bytes bytes = Unread();
  bool more = true;
  while (more && out < end) {
    size_t slow = 1;  // how many characters go one at a time
    if (listed && bytes.end - bytes.next >= 16 && end - out >= 16) {
      vexo::WidenBytes(bytes.next, 16, out);
      const size_t count = vexo::kFastPaths ? vexo::FirstNotPlainLanes(bytes.next, runStops)
                                            : vexo::FirstNotPlainPlain(bytes.next, runStops);
      bytes.next += count;
      out += count;
      slow = 16 - count;
      // Text in a two-byte alphabet, with the ASCII among it, goes sixteen
      // bytes at a time too where the processor can, for as long as it
      // lasts.
      if (count < 16 && *bytes.next >= 0x80) {
        static_assert(AsciiSet::kListed == vexo::kRunStops, "the decoder tests every stop");
        const size_t left = static_cast<size_t>(bytes.end - bytes.next);
        const size_t room = static_cast<size_t>(end - out);
        size_t chars = 0;
        const size_t taken =
            vexo::HasShuffle()
                ? vexo::DecodeBlocksShuffled(bytes.next, left, runStops, out, room, chars)
                : vexo::DecodeBlocksPlain(bytes.next, left, runStops, out, room, chars);
        bytes.next += taken;
        out += chars;
        if (taken > 0) continue;
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
