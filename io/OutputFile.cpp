#include "io/OutputFile.h"

#include <cerrno>
#include <cwchar>

#include "io/StreamBuffer.h"
#include "io/TextEncoding.h"

namespace {

constexpr size_t kStreamBuffer = 1 << 16;

}  // namespace

OutputFile::OutputFile(const wchar_t* name, bool append) {
  if (!name) return;
  if (wcscmp(name, L"CON") == 0) {
    m_Console = true;
    return;
  }
  std::string path;
  if (!vexo::FileSystemName(name, path)) return;
  m_Stream = fopen(path.c_str(), append ? "ab" : "wb");
  // A report is written a line at a time; a large buffer makes that a few
  // system calls per megabyte.
  if (m_Stream) vexo::UseBuffer(m_Stream, m_Buffer, kStreamBuffer);
}

OutputFile::~OutputFile() {
  if (m_Stream) fclose(m_Stream);
}

OutputFile& OutputFile::operator<<(const std::wstring& text) {
  Write(text.data(), text.size());
  return *this;
}

OutputFile& OutputFile::operator<<(const wchar_t* text) {
  Write(text, wcslen(text));
  return *this;
}

OutputFile& OutputFile::operator<<(long value) {
  wchar_t digits[32];
  const int length = swprintf(digits, sizeof digits / sizeof digits[0], L"%ld", value);
  if (length > 0) Write(digits, static_cast<size_t>(length));
  return *this;
}

// Values with no byte form are dropped from the text; the rest is written.
void OutputFile::Write(const wchar_t* text, size_t length) {
  FILE* target = m_Console ? stdout : m_Stream;
  if (!target || m_Error != 0) return;
  // m_Bytes only grows, so a run of lines of similar length never touches
  // the allocator or clears bytes it is about to overwrite.
  if (m_Bytes.size() < 4 * length) m_Bytes.resize(4 * length);
  bool complete = true;
  const char* end = vexo::EncodeUtf8(text, length, &m_Bytes[0], complete);
  const size_t count = static_cast<size_t>(end - m_Bytes.data());
  if (count > 0 && fwrite(m_Bytes.data(), 1, count, target) != count) Fail(errno);
}

void OutputFile::Fail(int error) {
  // A stream can fail without a system call having failed (an error left on
  // standard output by an earlier writer): that is reported as EIO.
  if (m_Error == 0) m_Error = error != 0 ? error : EIO;
}

// Standard output may have failed under the console messages too, which
// share it: its error flag counts.
bool OutputFile::Close() {
  errno = 0;
  if (m_Console && (fflush(stdout) != 0 || ferror(stdout))) Fail(errno);
  if (m_Stream && fclose(m_Stream) != 0) Fail(errno);
  m_Stream = nullptr;
  return m_Error == 0;
}
