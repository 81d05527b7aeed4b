#include "import/FileWriter.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vexo {

namespace {

constexpr size_t kBufferSize = 1 << 16;

}  // namespace

FileWriter::FileWriter(int descriptor) : m_Descriptor(descriptor), m_Buffer(kBufferSize) {
  setp(m_Buffer.data(), m_Buffer.data() + m_Buffer.size());
}

bool FileWriter::WriteAll(const char* bytes, size_t length) {
  while (length > 0 && m_Error == 0) {
    const ssize_t written = write(m_Descriptor, bytes, length);
    if (written < 0) {
      if (errno != EINTR) m_Error = errno;
      continue;
    }
    bytes += written;
    length -= static_cast<size_t>(written);
  }
  return m_Error == 0;
}

bool FileWriter::Flush() {
  const bool written = WriteAll(pbase(), static_cast<size_t>(pptr() - pbase()));
  setp(m_Buffer.data(), m_Buffer.data() + m_Buffer.size());
  return written;
}

FileWriter::int_type FileWriter::overflow(int_type c) {
  if (!Flush()) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

// A piece larger than the buffer goes out directly, after what is buffered.
std::streamsize FileWriter::xsputn(const char* text, std::streamsize length) {
  const auto size = static_cast<size_t>(length);
  if (size <= static_cast<size_t>(epptr() - pptr())) {
    std::memcpy(pptr(), text, size);
    pbump(static_cast<int>(size));
    return length;
  }
  if (!Flush() || (size >= m_Buffer.size() && !WriteAll(text, size))) return 0;
  if (size < m_Buffer.size()) {
    std::memcpy(pptr(), text, size);
    pbump(static_cast<int>(size));
  }
  return length;
}

}  // namespace vexo
