#include "check/SourceText.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace vexo {
namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

}  // namespace

bool SourceText::Read(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  m_Bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  if (file.bad()) return false;
  m_LineStarts.clear();
  if (!m_Bytes.empty()) m_LineStarts.push_back(0);
  for (size_t i = 0; i < m_Bytes.size(); ++i) {
    if (m_Bytes[i] == '\n' && i + 1 < m_Bytes.size()) m_LineStarts.push_back(i + 1);
  }
  return true;
}

void SourceText::Locate(size_t offset, int& line, int& column) const {
  const auto after = std::upper_bound(m_LineStarts.begin(), m_LineStarts.end(), offset);
  line = static_cast<int>(after - m_LineStarts.begin());
  column = 1;
  if (line == 0) return;
  const size_t end = std::min(offset, m_Bytes.size());
  for (size_t i = m_LineStarts[line - 1]; i < end; ++i) {
    if (!IsContinuation(static_cast<unsigned char>(m_Bytes[i]))) ++column;
  }
}

std::string SourceText::LineText(int line) const {
  if (line < 1 || line > LineCount()) return std::string();
  const size_t start = m_LineStarts[line - 1];
  size_t end = m_Bytes.find('\n', start);
  if (end == std::string::npos) end = m_Bytes.size();
  std::string text;
  for (size_t i = start; i < end;) {
    const size_t length = SequenceLength(i);
    if (length == 0) {
      text.push_back('?');
      ++i;
      continue;
    }
    if (m_Bytes[i] != '\r') text.append(m_Bytes, i, length);
    i += length;
  }
  return text;
}

size_t SourceText::SequenceLength(size_t offset) const {
  const unsigned char lead = static_cast<unsigned char>(m_Bytes[offset]);
  size_t length;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
  } else {
    return 0;
  }
  if (offset + length > m_Bytes.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if (!IsContinuation(static_cast<unsigned char>(m_Bytes[offset + i]))) return 0;
  }
  return length;
}

size_t SourceText::NextInvalidUtf8(size_t from) const {
  for (size_t i = from; i < m_Bytes.size();) {
    const size_t length = SequenceLength(i);
    if (length == 0) return i;
    i += length;
  }
  return std::string::npos;
}

}  // namespace vexo
