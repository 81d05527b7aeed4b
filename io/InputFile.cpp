#include "io/InputFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "io/StreamBuffer.h"
#include "io/TextEncoding.h"

namespace {

// A data file is read from start to end: a large buffer makes that a few
// system calls per megabyte.
constexpr size_t kFileBuffer = 1 << 16;
// The buffer of a mapped stream. Every seek fills it again from the mapping,
// so it holds a few lines of a blank, not the whole part.
constexpr size_t kMappedBuffer = 1024;

}  // namespace

InputFile::InputFile(const wchar_t* name) {
  if (name) Open(name);
}

InputFile::~InputFile() { Close(); }

void InputFile::Close() {
  if (m_Stream) fclose(m_Stream);
  m_Stream = nullptr;
  if (m_Map) munmap(m_Map, m_MapSize);
  m_Map = nullptr;
  m_MapSize = 0;
}

bool InputFile::Open(const wchar_t* name) {
  Close();
  std::string path;
  if (!name || !vexo::FileSystemName(name, path)) return false;
  m_Stream = fopen(path.c_str(), "rb");
  if (m_Stream) vexo::UseBuffer(m_Stream, m_Buffer, kFileBuffer);
  return m_Stream != nullptr;
}

bool InputFile::OpenForSeeking(const wchar_t* name) {
  Close();
  std::string path;
  if (!name || !vexo::FileSystemName(name, path)) return false;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
    void* map = mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (map != MAP_FAILED) {
      m_Stream = fmemopen(map, static_cast<size_t>(info.st_size), "rb");
      if (m_Stream) {
        close(fd);
        m_Map = map;
        m_MapSize = static_cast<size_t>(info.st_size);
        vexo::UseBuffer(m_Stream, m_Buffer, kMappedBuffer);
        return true;
      }
      munmap(map, static_cast<size_t>(info.st_size));
    }
  }
  m_Stream = fdopen(fd, "rb");
  if (!m_Stream) {
    close(fd);
    return false;
  }
  vexo::UseBuffer(m_Stream, m_Buffer, kFileBuffer);
  return true;
}

// The lead byte fixes the length; continuation bytes give their low six bits
// whatever their top bits are, so every byte sequence decodes to something or
// to nothing, and values up to 0x1FFFFF come out as computed.
bool InputFile::GetLongSequence(FILE* stream, int lead, wchar_t& c) {
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
    const int next = getc_unlocked(stream);
    if (next == EOF) return false;
    code = (code << 6) | (static_cast<unsigned int>(next) & 0x3F);
  }
  c = static_cast<wchar_t>(code);
  return true;
}

// Only the first character can come from the put-back slot, so the loop
// after it reads the stream directly. Printable ASCII, by far the most of a
// blank, is stored at once; everything else goes through store.
bool InputFile::GetLine(wchar_t* buf, int max) {
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
  FILE* const stream = m_Stream;
  while (more && stream) {
    const int lead = getc_unlocked(stream);
    if (lead > L'\r' && lead < 0x80 && out < end) {
      *out++ = static_cast<wchar_t>(lead);
      continue;
    }
    wchar_t c = static_cast<wchar_t>(lead);
    if (lead == EOF || (lead >= 0x80 && !GetSequence(stream, lead, c))) break;
    more = store(c);
  }
  *out = 0;
  return full || out > buf;
}

// A sequence may decode to an ASCII character too, so a decoded character
// is tested against stops as a plain byte is.
size_t InputFile::GetRun(wchar_t* buf, size_t max, const AsciiSet& stops, bool& ended) {
  wchar_t* out = buf;
  wchar_t* const end = buf + max;
  ended = false;
  if (m_IsBack && out < end) {
    if (stops.Has(m_BackChar)) return 0;
    m_IsBack = false;
    *out++ = m_BackChar;
  }
  FILE* const stream = m_Stream;
  ended = !stream && out < end;
  while (stream && out < end) {
    const int lead = getc_unlocked(stream);
    if (lead >= 0 && lead < 0x80 && !stops.HasAscii(lead)) {
      *out++ = static_cast<wchar_t>(lead);
      continue;
    }
    wchar_t c = static_cast<wchar_t>(lead);
    if (lead == EOF || (lead >= 0x80 && !GetSequence(stream, lead, c))) {
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
  if (m_Stream) fseek(m_Stream, pos, SEEK_SET);
}

long InputFile::GetFilePointer() { return m_Stream ? ftell(m_Stream) : -1; }
