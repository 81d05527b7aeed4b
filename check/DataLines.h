// Line numbers of byte positions in a data file, found going forward only.
#pragma once

#include <cstdio>
#include <string>

namespace vexo {

// Counts the line feeds of a file up to the positions it is asked about, which
// must not go back; the file is read once, whatever the number of questions.
class DataLines {
 public:
  explicit DataLines(const std::wstring& path);
  ~DataLines();
  DataLines(const DataLines&) = delete;
  DataLines& operator=(const DataLines&) = delete;

  // The line, from 1, of the first character at or after offset that is not
  // white space: where a record that starts at offset shows its first text.
  // 0 when the file cannot be read or has nothing there.
  int LineOf(long offset);

 private:
  FILE* m_File = nullptr;
  long m_Offset = 0;
  int m_Line = 1;
};

}  // namespace vexo
