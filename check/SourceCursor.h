// Walking a file forward once, taking its bytes as vexo's reader takes them,
// to say where things stand in it as an editor shows them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "check/Diagnostics.h"
#include "data/Utf8.h"

namespace vexo {

// A sequence that is not well-formed UTF-8, and what vexo's reader makes of
// it.
struct BadSequence {
  int64_t offset = 0;  // its first byte
  Utf8Flaw flaw = Utf8Flaw::kNone;
  std::string bytes;  // the bytes vexo's reader takes there, 1 to 4
  bool got = false;   // whether they give vexo a character, and which
  wchar_t character = 0;
};

// A place marked in a file; its excerpt is complete once the cursor has
// read far enough past it.
struct MarkedPlace {
  SourcePlace place;
  bool complete = false;
};

// Reads a file from its start, forward only, in chunks: memory stays the
// same whatever the size of the file or of its lines. Lines end at line
// feeds; a column is a well-formed character or a byte that is not part of
// one. Characters are taken as vexo's reader takes them: a sequence that is
// not UTF-8 is heard by the listener, which may mark it, and then passed over
// as a whole.
class SourceCursor {
 public:
  class Listener {
   public:
    virtual ~Listener() = default;
    // The cursor stands at the sequence's first byte.
    virtual void Heard(const BadSequence& sequence) = 0;
  };

  explicit SourceCursor(Listener* listener = nullptr) : m_Listener(listener) {}
  ~SourceCursor();
  SourceCursor(const SourceCursor&) = delete;
  SourceCursor& operator=(const SourceCursor&) = delete;

  // Opens path at its start. False, with errno set, when it cannot be read.
  bool Open(const std::string& path);
  // Moves forward to offset, or to the end of the file when it comes first.
  void MoveTo(int64_t offset);
  // Moves over count characters as vexo's line reader delivers them; it
  // drops carriage returns, which are passed over and not counted.
  void SkipCharacters(int64_t count);
  // Moves to the end of the file and completes every place marked.
  void Finish();

  int64_t Offset() const { return m_Pos; }
  // The line of the byte at the cursor, or (last) of the character before it.
  int64_t Line(bool last = false) const;
  // Up to n bytes from the cursor on; fewer at the end of the file.
  std::string_view Ahead(size_t n);
  // Whether reading the file failed.
  bool Failed() const { return m_Failed; }

  // The place of the byte at the cursor, or (last) of the character before
  // it. Line and column are set at once; the excerpt once the cursor passes
  // the end of the line or has gone far enough past the place.
  std::shared_ptr<MarkedPlace> Mark(bool last = false);

 private:
  // Makes n bytes from the cursor on stand in the buffer, or all that the
  // file has left; false when nothing is left.
  bool Fill(size_t n);
  const unsigned char* At(int64_t offset) const {
    return m_Buffer.data() + (offset - m_BufferStart);
  }
  int64_t BufferEnd() const { return m_BufferStart + static_cast<int64_t>(m_Filled); }
  // One sequence of 0x80 or above at the cursor, passed over.
  void PassSequence();
  void PassByte(unsigned char byte);
  // Completes the places that are due, or (lineEnds) all of them: the line
  // ends at the cursor.
  void Complete(bool lineEnds);

  struct Pending {
    std::shared_ptr<MarkedPlace> mark;
    int64_t offset;
    int64_t lineStart;
  };

  Listener* m_Listener;
  FILE* m_File = nullptr;
  bool m_Failed = false;
  bool m_Ended = false;  // the file has no more bytes to read
  std::vector<unsigned char> m_Buffer;
  int64_t m_BufferStart = 0;  // the file offset of m_Buffer[0]
  size_t m_Filled = 0;
  int64_t m_Pos = 0;
  int64_t m_Line = 1;
  int64_t m_Column = 0;  // columns passed on the line
  int64_t m_LineStart = 0;
  std::deque<Pending> m_Pending;
  int64_t m_Due = INT64_MAX;  // where the first pending place is complete
};

}  // namespace vexo
