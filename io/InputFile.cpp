#include "io/InputFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "io/TextEncoding.h"

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
  return m_Stream != nullptr;
}

namespace {

// The stdio buffer of a mapped stream. A seek outside it fills it again from
// the mapping; a line of a blank is short, so a small buffer copies little
// more than the line itself.
constexpr size_t kMappedBuffer = 256;

}  // namespace

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
        setvbuf(m_Stream, nullptr, _IOFBF, kMappedBuffer);
        return true;
      }
      munmap(map, static_cast<size_t>(info.st_size));
    }
  }
  m_Stream = fdopen(fd, "rb");
  if (!m_Stream) close(fd);
  return m_Stream != nullptr;
}

// The lead byte fixes the length; continuation bytes give their low six bits
// whatever their top bits are, so every byte sequence decodes to something or
// to nothing, and values up to 0x1FFFFF come out as computed.
bool InputFile::GetSequence(FILE* stream, int lead, wchar_t& c) {
  unsigned int code;
  int continuation;
  if ((lead & 0xE0) == 0xC0) {
    code = lead & 0x1F;
    continuation = 1;
  } else if ((lead & 0xF0) == 0xE0) {
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
// after it reads the stream directly.
bool InputFile::GetLine(wchar_t* buf, int max) {
  int count = 0;
  bool full = false;
  // Stores c; false once the line is complete.
  auto store = [&](wchar_t c) {
    if (c == L'\r') return true;
    if (count >= max) {
      full = true;
      return false;
    }
    buf[count++] = c;
    return c != L'\n';
  };
  bool more = true;
  if (m_IsBack) {
    m_IsBack = false;
    more = store(m_BackChar);
  }
  FILE* const stream = m_Stream;
  wchar_t c;
  if (more && stream) {
    while (GetFromStream(stream, c) && store(c)) {
    }
  }
  buf[count] = 0;
  return full || count > 0;
}

void InputFile::SetFilePointer(long pos) {
  if (m_Stream) fseek(m_Stream, pos, SEEK_SET);
}

long InputFile::GetFilePointer() { return m_Stream ? ftell(m_Stream) : -1; }
