#include "io/OutputFile.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cwchar>

#include "io/TextEncoding.h"

namespace {

// The bytes gathered before they go to the stream: a report line is short,
// and handing each to stdio on its own costs more than encoding it. stdio
// writes a piece this large mostly straight from here, whatever its own
// buffer, and a few system calls per megabyte are left.
constexpr size_t kGather = 1 << 16;

}  // namespace

OutputFile* OutputFile::s_Console = nullptr;

OutputFile::OutputFile(const wchar_t* name, bool append) {
  if (!name) return;
  if (wcscmp(name, L"CON") == 0) {
    m_Console = true;
    // Someone watching a terminal sees the report as it is written.
    m_LineByLine = isatty(STDOUT_FILENO) != 0;
    s_Console = this;
    return;
  }
  std::string path;
  if (!vexo::FileSystemName(name, path)) return;
  m_Stream = fopen(path.c_str(), append ? "ab" : "wb");
}

OutputFile::~OutputFile() {
  Flush();
  if (s_Console == this) s_Console = nullptr;
  if (m_Stream) fclose(m_Stream);
}

void OutputFile::FlushConsole() {
  if (s_Console) s_Console->Flush();
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
  if ((!m_Stream && !m_Console) || m_Error != 0) return;
  // m_Bytes only grows, so writing never touches the allocator after the
  // first lines, nor clears bytes it is about to overwrite.
  const size_t room = 4 * length;
  if (m_Bytes.size() - m_Gathered < room) {
    Flush();
    if (m_Bytes.size() < std::max(room, kGather)) m_Bytes.resize(std::max(room, kGather));
  }
  bool complete = true;
  char* const start = &m_Bytes[m_Gathered];
  m_Gathered += static_cast<size_t>(vexo::EncodeUtf8(text, length, start, complete) - start);
  if (m_LineByLine) Flush();
}

// The pieces are large already: through stdio, the start of each would be
// copied into its buffer and cost a write of its own. What stdio holds for
// the stream (console messages on standard output) goes out first, so the
// order written stays.
void OutputFile::Flush() {
  FILE* target = m_Console ? stdout : m_Stream;
  const size_t count = m_Gathered;
  m_Gathered = 0;
  if (!target || count == 0 || m_Error != 0) return;
  if (fflush(target) != 0) {
    Fail(errno);
    return;
  }
  const int descriptor = fileno(target);
  const char* next = m_Bytes.data();
  size_t left = count;
  while (left > 0) {
    const ssize_t written = write(descriptor, next, left);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      Fail(written < 0 ? errno : 0);
      return;
    }
    next += written;
    left -= static_cast<size_t>(written);
  }
}

void OutputFile::Fail(int error) {
  // A stream can fail without a system call having failed (an error left on
  // standard output by an earlier writer): that is reported as EIO.
  if (m_Error == 0) m_Error = error != 0 ? error : EIO;
}

// Standard output may have failed under the console messages too, which
// share it: its error flag counts.
bool OutputFile::Close() {
  Flush();
  errno = 0;
  if (m_Console && (fflush(stdout) != 0 || ferror(stdout))) Fail(errno);
  if (m_Stream && fclose(m_Stream) != 0) Fail(errno);
  m_Stream = nullptr;
  return m_Error == 0;
}
