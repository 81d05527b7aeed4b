#include "data/DataWriter.h"

#include <charconv>

#include "data/Utf8.h"

namespace vexo {

namespace {

// ASCII that the data file carries as it is: no control character, no
// character that the reader gives a meaning.
bool IsPlain(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 0x20 && byte < 0x80 && c != '\\' && c != '@' && c != '$' && c != '&';
}

}  // namespace

DataWriter::DataWriter(std::ostream& out) : m_Out(out) {}

bool DataWriter::Header(long n, std::string_view utf8) {
  if (n < 0 || m_InRecords) return false;
  return WriteTagged('&', n, utf8);
}

bool DataWriter::Field(long n, std::string_view utf8) {
  if (n < 1) return false;
  m_InRecords = true;
  return WriteTagged('$', n, utf8);
}

void DataWriter::SheetBreak() {
  m_InRecords = true;
  m_Break = true;
}

void DataWriter::EndRecord() {
  m_InRecords = true;
  // A ">" is a sheet break only as the first character of a line, and every
  // line of a record starts with its tag or with this end marker.
  if (m_Break) m_Out.put('>');
  m_Out.write("@\n", 2);
  m_Break = false;
}

// Every field is a line of its own. The reader turns the line feed into a
// space that it trims again, and a repeated tag keeps even an empty first
// segment, because the space makes the field non-empty when the tag comes.
bool DataWriter::WriteTagged(char tag, long n, std::string_view utf8) {
  m_Line.clear();
  if (tag == '$' && m_Break) m_Line += '>';
  m_Line += tag;
  char digits[24];
  m_Line.append(digits, std::to_chars(digits, digits + sizeof digits, n).ptr);
  m_Line += ';';
  const size_t textStart = m_Line.size();
  for (size_t i = 0; i < utf8.size();) {
    // Runs of characters that need nothing are copied whole.
    size_t plainEnd = i;
    while (plainEnd < utf8.size() && IsPlain(utf8[plainEnd])) ++plainEnd;
    m_Line.append(utf8.data() + i, plainEnd - i);
    i = plainEnd;
    if (i == utf8.size()) break;
    const char c = utf8[i];
    if (static_cast<unsigned char>(c) >= 0x80) {
      const int length = Utf8Sequence(utf8, i);
      if (length <= 0) return false;
      m_Line.append(utf8.data() + i, static_cast<size_t>(length));
      i += static_cast<size_t>(length);
      continue;
    }
    if (c == '\\' || c == '@' || c == '$' || c == '&') {
      m_Line += '\\';
      m_Line += c;
    } else if (c == '\r' || c == '\n' || c == '\t') {
      m_Line += ' ';
      if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
    }
    ++i;  // any other control character is dropped
  }
  // The reader trims trailing blanks, so they are not written at all.
  size_t end = m_Line.size();
  while (end > textStart && m_Line[end - 1] == ' ') --end;
  m_Line.resize(end);
  m_Line += '\n';
  m_Out.write(m_Line.data(), static_cast<std::streamsize>(m_Line.size()));
  m_Break = false;
  return true;
}

}  // namespace vexo
