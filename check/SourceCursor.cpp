#include "check/SourceCursor.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "io/InputFile.h"

namespace vexo {
namespace {

// The buffer reads this much at a time and keeps this much of what lies
// behind the cursor, for the excerpts of places.
constexpr size_t kChunk = size_t{1} << 16;
constexpr size_t kKept = 2048;
// An excerpt holds the line from this many bytes before its place to this
// many after it.
constexpr int64_t kBefore = 100;
constexpr int64_t kAfter = 200;
// U+FFFD, which stands for each byte of an excerpt that is not UTF-8.
constexpr char kReplacement[] = "\xEF\xBF\xBD";
constexpr char kEllipsis[] = "\xE2\x80\xA6";

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Whether eight bytes are all ASCII and none is a line feed: each a column.
bool IsPlainEight(const unsigned char* bytes) {
  constexpr uint64_t kOnes = 0x0101010101010101u;
  constexpr uint64_t kHigh = 0x8080808080808080u;
  uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  const uint64_t feeds = word ^ (kOnes * '\n');
  return ((word | ((feeds - kOnes) & ~feeds)) & kHigh) == 0;
}

}  // namespace

SourceCursor::~SourceCursor() {
  if (m_File) std::fclose(m_File);
}

bool SourceCursor::Open(const std::string& path) {
  m_File = std::fopen(path.c_str(), "rb");
  if (!m_File) return false;
  struct stat info;
  if (fstat(fileno(m_File), &info) == 0 && S_ISDIR(info.st_mode)) {
    std::fclose(m_File);
    m_File = nullptr;
    errno = EISDIR;
    return false;
  }
  m_Buffer.resize(kChunk + kKept);
  return true;
}

bool SourceCursor::Fill(size_t n) {
  if (m_Pos + static_cast<int64_t>(n) <= BufferEnd()) return true;
  if (!m_Ended && m_File) {
    // Keep what the excerpts may still need, and the bytes not read yet.
    const int64_t keepFrom = std::max(m_BufferStart, m_Pos - static_cast<int64_t>(kKept));
    const size_t kept = static_cast<size_t>(BufferEnd() - keepFrom);
    std::copy(At(keepFrom), At(keepFrom) + kept, m_Buffer.begin());
    m_BufferStart = keepFrom;
    m_Filled = kept;
    while (m_Filled < m_Buffer.size() && m_Pos + static_cast<int64_t>(n) > BufferEnd()) {
      const size_t got =
          std::fread(m_Buffer.data() + m_Filled, 1, m_Buffer.size() - m_Filled, m_File);
      m_Filled += got;
      if (got > 0) continue;
      m_Failed = std::ferror(m_File) != 0;
      m_Ended = true;
      break;
    }
  }
  return m_Pos < BufferEnd();
}

// Plain bytes and well-formed sequences that lie whole in the buffer are
// passed here; the rest, bad sequences and those the buffer cuts, one by one
// in PassSequence.
void SourceCursor::MoveTo(int64_t offset) {
  while (m_Pos < offset) {
    if (m_Pos >= m_Due) Complete(false);
    if (m_Pos + 4 > BufferEnd() && !Fill(4)) return;
    const int64_t limit = std::min({offset, BufferEnd(), m_Due});
    const unsigned char* const bufferEnd = At(BufferEnd());
    const unsigned char* const end = At(limit);
    const unsigned char* p = At(m_Pos);
    int64_t column = m_Column;
    while (p < end) {
      if (*p < 0x80) {
        if (*p == '\n') {
          m_Column = column;
          m_Pos = m_BufferStart + (p - m_Buffer.data());
          PassByte(*p);
          column = m_Column;
          ++p;
          continue;
        }
        ++column;
        ++p;
        // Two plain bytes in a row: plain text goes on for a while, most
        // likely, and is passed eight bytes at a time.
        if (p < end && *p < 0x80 && *p != '\n') {
          for (; end - p >= 8 && IsPlainEight(p); p += 8) column += 8;
        }
        continue;
      }
      if (bufferEnd - p < 4) break;  // the sequence may go on beyond the buffer
      const int length = Utf8Sequence(std::string_view(reinterpret_cast<const char*>(p), 4), 0);
      if (length <= 0) break;
      ++column;
      p += length;
    }
    m_Column = column;
    m_Pos = m_BufferStart + (p - m_Buffer.data());
    if (m_Pos < limit) PassSequence();
  }
}

void SourceCursor::PassByte(unsigned char byte) {
  if (byte != '\n') {
    ++m_Column;
    return;
  }
  Complete(true);
  ++m_Line;
  m_Column = 0;
  m_LineStart = m_Pos + 1;
}

void SourceCursor::PassSequence() {
  const std::string_view ahead = Ahead(4);
  const int length = Utf8Sequence(ahead, 0);
  if (length > 0) {
    ++m_Column;
    m_Pos += length;
    return;
  }
  BadSequence bad;
  bad.offset = m_Pos;
  bad.flaw = Utf8FlawAt(ahead, 0);
  const size_t taken = InputFile::Decode(reinterpret_cast<const unsigned char*>(ahead.data()),
                                         ahead.size(), bad.character, bad.got);
  bad.bytes.assign(ahead.data(), taken);
  if (m_Listener) m_Listener->Heard(bad);
  // The bytes vexo takes together are columns one by one; a line feed among
  // them still ends the line in the file.
  ++m_Column;
  ++m_Pos;
  for (size_t k = 1; k < taken; ++k, ++m_Pos) PassByte(static_cast<unsigned char>(bad.bytes[k]));
}

void SourceCursor::SkipCharacters(int64_t count) {
  while (count > 0) {
    if (m_Pos >= m_Due) Complete(false);
    if (!Fill(4)) return;
    const unsigned char byte = *At(m_Pos);
    if (byte != '\r') --count;
    if (byte >= 0x80) {
      PassSequence();
      continue;
    }
    PassByte(byte);
    ++m_Pos;
  }
}

void SourceCursor::Finish() {
  MoveTo(INT64_MAX);
  Complete(true);
}

int64_t SourceCursor::Line(bool last) const {
  return last && m_Pos == m_LineStart && m_Line > 1 ? m_Line - 1 : m_Line;
}

std::string_view SourceCursor::Ahead(size_t n) {
  Fill(n);
  const size_t have = static_cast<size_t>(std::max<int64_t>(0, BufferEnd() - m_Pos));
  return std::string_view(reinterpret_cast<const char*>(At(m_Pos)), std::min(n, have));
}

std::shared_ptr<MarkedPlace> SourceCursor::Mark(bool last) {
  auto mark = std::make_shared<MarkedPlace>();
  int64_t offset = m_Pos;
  mark->place.line = m_Line;
  mark->place.column = m_Column + 1;
  if (last && m_Pos > m_LineStart) {
    // The character before the cursor: back over its continuation bytes.
    offset = m_Pos - 1;
    while (offset > m_LineStart && m_Pos - offset < 4 && IsContinuation(*At(offset))) --offset;
    mark->place.column = m_Column;
  }
  m_Pending.push_back({mark, offset, m_LineStart});
  m_Due = std::min(m_Due, offset + kAfter);
  return mark;
}

// The excerpt runs from kBefore bytes before the place to kAfter bytes after
// it, within its line, each end on a character's first byte; "…" shows where
// the line goes on.
void SourceCursor::Complete(bool lineEnds) {
  while (!m_Pending.empty() && (lineEnds || m_Pending.front().offset + kAfter <= m_Pos)) {
    const Pending pending = m_Pending.front();
    m_Pending.pop_front();
    int64_t from = std::max(pending.lineStart, pending.offset - kBefore);
    while (from < pending.offset && IsContinuation(*At(from))) ++from;
    int64_t to = std::min(m_Pos, pending.offset + kAfter);
    while (to > pending.offset && to < m_Pos && IsContinuation(*At(to))) --to;
    SourcePlace& place = pending.mark->place;
    if (from > pending.lineStart) place.excerpt = kEllipsis;
    int64_t shown = from > pending.lineStart ? 1 : 0;
    const std::string_view text(reinterpret_cast<const char*>(At(from)),
                                static_cast<size_t>(to - from));
    for (size_t i = 0; i < text.size();) {
      if (from + static_cast<int64_t>(i) == pending.offset) place.caret = shown;
      const int length = Utf8Sequence(text, i);
      if (text[i] == '\r') {
        ++i;
        continue;
      }
      ++shown;
      if (length > 0) {
        place.excerpt.append(text, i, static_cast<size_t>(length));
        i += static_cast<size_t>(length);
      } else {
        place.excerpt += kReplacement;
        ++i;
      }
    }
    if (pending.offset >= to) place.caret = shown;
    if (!lineEnds) place.excerpt += kEllipsis;
    pending.mark->complete = true;
  }
  m_Due = m_Pending.empty() ? INT64_MAX : m_Pending.front().offset + kAfter;
}

}  // namespace vexo
