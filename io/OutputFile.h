// The report writer: wide text out as UTF-8, to a file or to standard output.
#pragma once

#include <cstdio>
#include <string>

// Writes text as UTF-8 without a byte-order mark. The name "CON" means
// standard output (the same stream the console messages use, so both appear
// in the order written). A file that cannot be created makes a dead writer
// that drops everything; IsUsable tells. The bytes are gathered and handed to
// the stream in large pieces, or with every write when standard output is a
// terminal. Every hand-over is checked: after the first
// that fails nothing more is written, and Error keeps the system's reason.
// Close says whether the whole report got out.
class OutputFile {
 public:
  // Creates (or, with append, extends) the file name, or writes to standard
  // output for "CON".
  OutputFile(const wchar_t* name, bool append);
  // Closes the file if Close has not.
  virtual ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  bool IsUsable() const { return m_Stream != nullptr || m_Console; }

  OutputFile& operator<<(const std::wstring& text);
  OutputFile& operator<<(const wchar_t* text);
  // Decimal, with a minus sign for negatives.
  OutputFile& operator<<(long value);
  // Writes length characters of text, zeros among them.
  void Write(const wchar_t* text, size_t length);

  // Writes out what is buffered and closes the file; standard output is
  // flushed and stays open. False when this or an earlier write failed.
  bool Close();
  // The errno value of the first write that failed; 0 while none has.
  int Error() const { return m_Error; }

  // Hands the bytes gathered by the writer to standard output, if there is
  // one, to the stream: a console line written next then follows them.
  static void FlushConsole();

 private:
  // Hands the gathered bytes to the stream's descriptor, after what stdio
  // holds for the stream.
  void Flush();
  // Keeps the reason of the first failure only.
  void Fail(int error);

  FILE* m_Stream = nullptr;
  bool m_Console = false;
  bool m_LineByLine = false;  // every write goes to the stream at once
  int m_Error = 0;
  std::string m_Bytes;           // the bytes gathered, then encoding room
  size_t m_Gathered = 0;         // how many of m_Bytes wait for the stream
  static OutputFile* s_Console;  // the writer to standard output, if any
};
