// A file's bytes as they stand, for pointing at places in it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vexo {

// The bytes of one file and where its lines start. Lines end at line feeds;
// columns count characters, a well-formed UTF-8 sequence being one.
class SourceText {
 public:
  // Reads the whole file; false when it cannot be opened or read.
  bool Read(const std::string& path);

  const std::string& Bytes() const { return m_Bytes; }
  // Lines in the file; a last line without its line feed counts.
  int LineCount() const { return static_cast<int>(m_LineStarts.size()); }
  // The line (from 1) that holds byte offset, and the column (from 1) of the
  // character that starts there.
  void Locate(size_t offset, int& line, int& column) const;
  // Line n (from 1) without its line feed and carriage return; bytes that are
  // not UTF-8 show as "?". Empty beyond the last line.
  std::string LineText(int line) const;

  // The first offset at or after from where a byte does not belong to a
  // well-formed UTF-8 sequence; npos when there is none.
  size_t NextInvalidUtf8(size_t from) const;
  // How many bytes the well-formed sequence at offset takes; 0 when the
  // bytes there are not one.
  size_t SequenceLength(size_t offset) const;
  // Whether the file starts with the UTF-8 byte-order mark.
  bool HasByteOrderMark() const { return m_Bytes.compare(0, 3, "\xEF\xBB\xBF") == 0; }

 private:
  std::string m_Bytes;
  std::vector<size_t> m_LineStarts;
};

}  // namespace vexo
