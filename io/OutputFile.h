// The report writer: wide text out as UTF-8, to a file or to standard output.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// Writes text as UTF-8 without a byte-order mark. The name "CON" means
// standard output (the same stream the console messages use, so both appear
// in the order written). A file that cannot be created makes a dead writer
// that drops everything; IsUsable tells. Write errors are not reported.
class OutputFile {
 public:
  // Creates (or, with append, extends) the file name, or writes to standard
  // output for "CON".
  OutputFile(const wchar_t* name, bool append);
  virtual ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool IsUsable() const { return m_Stream != nullptr || m_Console; }

  OutputFile& operator<<(const std::wstring& text);
  OutputFile& operator<<(const wchar_t* text);
  // Decimal, with a minus sign for negatives.
  OutputFile& operator<<(long value);

 private:
  void Write(const wchar_t* text, size_t length);

  FILE* m_Stream = nullptr;
  bool m_Console = false;
  std::string m_Bytes;         // encoding room, reused between writes
  std::vector<char> m_Buffer;  // the stream's buffer
};
