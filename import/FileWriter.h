// A stream buffer that writes to a file descriptor and remembers why a write
// failed, so that the message can say it.
#pragma once

#include <streambuf>
#include <vector>

namespace vexo {

// Buffers what an std::ostream puts and writes it with write(2), whole, when
// the buffer is full and on Flush. After the first failed write nothing more
// is written; Error() keeps its errno. The descriptor stays the caller's.
class FileWriter : public std::streambuf {
 public:
  explicit FileWriter(int descriptor);
  FileWriter(const FileWriter&) = delete;
  FileWriter& operator=(const FileWriter&) = delete;

  // Writes what is buffered. False when this or an earlier write failed.
  bool Flush();
  // The errno of the first failed write; 0 while all went out.
  int Error() const { return m_Error; }

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* text, std::streamsize length) override;
  int sync() override { return Flush() ? 0 : -1; }

 private:
  bool WriteAll(const char* bytes, size_t length);

  int m_Descriptor;
  int m_Error = 0;
  std::vector<char> m_Buffer;
};

}  // namespace vexo
