#include "io/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "io/StreamBuffer.h"
#include "io/TextEncoding.h"

namespace {

// A data file is read from start to end: a large buffer makes that a few
// system calls per megabyte.
constexpr size_t kFileBuffer = 1 << 16;

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

}  // namespace

InputFile::InputFile(const wchar_t* name) {
  if (name) Open(name);
}

InputFile::~InputFile() { Close(); }

// The copy's storage is kept for the next file.
void InputFile::Close() {
  if (m_Stream) fclose(m_Stream);
  m_Stream = nullptr;
  m_InMemory = false;
  m_Bytes.clear();
  m_Index = 0;
}

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
  vexo::UseBuffer(m_Stream, m_Buffer, kFileBuffer);
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
  return true;
}

// The lead byte fixes the length; continuation bytes give their low six bits
// whatever their top bits are, so every byte sequence decodes to something or
// to nothing, and values up to 0x1FFFFF come out as computed.
template <class Bytes>
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

template bool InputFile::GetLongSequence(StreamBytes&, int, wchar_t&);
template bool InputFile::GetLongSequence(MemoryBytes&, int, wchar_t&);

bool InputFile::GetLine(wchar_t* buf, int max) {
  if (m_Stream) {
    StreamBytes bytes{m_Stream};
    return GetLineFrom(bytes, buf, max);
  }
  MemoryBytes bytes = Remaining();
  const bool got = GetLineFrom(bytes, buf, max);
  m_Index = static_cast<size_t>(bytes.next - Start());
  return got;
}

// Only the first character can come from the put-back slot, so the loop
// after it reads the bytes directly. Printable ASCII, by far the most of a
// blank, is stored at once; everything else goes through store.
template <class Bytes>
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

size_t InputFile::GetRun(wchar_t* buf, size_t max, const AsciiSet& stops, bool& ended) {
  if (m_Stream) {
    StreamBytes bytes{m_Stream};
    return GetRunFrom(bytes, buf, max, stops, ended);
  }
  MemoryBytes bytes = Remaining();
  const size_t count = GetRunFrom(bytes, buf, max, stops, ended);
  m_Index = static_cast<size_t>(bytes.next - Start());
  return count;
}

// A sequence may decode to an ASCII character too, so a decoded character
// is tested against stops as a plain byte is.
template <class Bytes>
size_t InputFile::GetRunFrom(Bytes& bytes, wchar_t* buf, size_t max, const AsciiSet& stops,
                             bool& ended) {
  wchar_t* out = buf;
  wchar_t* const end = buf + max;
  ended = false;
  if (m_IsBack && out < end) {
    if (stops.Has(m_BackChar)) return 0;
    m_IsBack = false;
    *out++ = m_BackChar;
  }
  while (out < end) {
    const int lead = bytes.Next();
    if (lead >= 0 && lead < 0x80 && !stops.HasAscii(lead)) {
      *out++ = static_cast<wchar_t>(lead);
      continue;
    }
    wchar_t c = static_cast<wchar_t>(lead);
    if (lead == EOF || (lead >= 0x80 && !GetSequence(bytes, lead, c))) {
      ended = true;
      break;
    }
    if (stops.Has(c)) {
      PutBack(c);
      break;
    }
    *out++ = c;
  }
  return static_cast<size_t>(out - buf);
}

void InputFile::SetFilePointer(long pos) {
  if (m_Stream) {
    fseek(m_Stream, pos, SEEK_SET);
    return;
  }
  if (m_InMemory && pos >= 0) m_Index = std::min(static_cast<size_t>(pos), m_Bytes.size());
}

long InputFile::GetFilePointer() {
  if (m_Stream) return ftell(m_Stream);
  return m_InMemory ? static_cast<long>(m_Index) : -1;
}
