#include "io/InputFile.h"

#include <string>

#include "io/TextEncoding.h"

InputFile::InputFile(const wchar_t* name) {
  if (name) Open(name);
}

InputFile::~InputFile() {
  if (m_Stream) fclose(m_Stream);
}

bool InputFile::Open(const wchar_t* name) {
  if (m_Stream) {
    fclose(m_Stream);
    m_Stream = nullptr;
  }
  std::string path;
  if (!name || !vexo::FileSystemName(name, path)) return false;
  m_Stream = fopen(path.c_str(), "rb");
  return m_Stream != nullptr;
}

// The lead byte fixes the length; continuation bytes give their low six bits
// whatever their top bits are, so every byte sequence decodes to something or
// to nothing, and values up to 0x1FFFFF come out as computed.
bool InputFile::Get(wchar_t& c) {
  if (m_IsBack) {
    m_IsBack = false;
    c = m_BackChar;
    return true;
  }
  if (!m_Stream) return false;
  const int lead = getc_unlocked(m_Stream);
  if (lead == EOF) return false;
  if (lead < 0x80) {
    c = static_cast<wchar_t>(lead);
    return true;
  }
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
    const int next = getc_unlocked(m_Stream);
    if (next == EOF) return false;
    code = (code << 6) | (static_cast<unsigned int>(next) & 0x3F);
  }
  c = static_cast<wchar_t>(code);
  return true;
}

bool InputFile::GetLine(wchar_t* buf, int max) {
  buf[0] = 0;
  int count = 0;
  wchar_t c;
  while (Get(c)) {
    if (c == L'\r') continue;
    if (count >= max) return true;
    buf[count++] = c;
    buf[count] = 0;
    if (c == L'\n') return true;
  }
  return count > 0;
}

void InputFile::SetFilePointer(long pos) {
  if (m_Stream) fseek(m_Stream, pos, SEEK_SET);
}

long InputFile::GetFilePointer() { return m_Stream ? ftell(m_Stream) : -1; }
