#include "check/DataLines.h"

#include "io/TextEncoding.h"

namespace vexo {

DataLines::DataLines(const std::wstring& path) {
  std::string name;
  AppendUtf8(name, path.data(), path.size());
  m_File = std::fopen(name.c_str(), "rb");
}

DataLines::~DataLines() {
  if (m_File) std::fclose(m_File);
}

int DataLines::LineOf(long offset) {
  if (!m_File) return 0;
  int byte;
  while (m_Offset < offset && (byte = std::getc(m_File)) != EOF) {
    ++m_Offset;
    if (byte == '\n') ++m_Line;
  }
  // The white space before the record's text is consumed: the next record
  // starts after that text.
  while ((byte = std::getc(m_File)) != EOF) {
    if (byte != ' ' && byte != '\t' && byte != '\r' && byte != '\n') {
      std::ungetc(byte, m_File);
      return m_Line;
    }
    ++m_Offset;
    if (byte == '\n') ++m_Line;
  }
  return 0;
}

}  // namespace vexo
