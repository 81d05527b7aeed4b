#include "import/LineCounter.h"

#include <algorithm>

namespace vexo {

namespace {

// The bytes of text for which test(i) holds. The counts go into one byte
// per block of 255 bytes, which the compiler turns into vector code a
// register of bytes at a time.
template <typename Test>
long CountIf(std::string_view text, Test test) {
  long total = 0;
  for (size_t start = 0; start < text.size(); start += 255) {
    const size_t end = std::min(text.size(), start + 255);
    unsigned char block = 0;
    for (size_t i = start; i < end; ++i) block += test(i);
    total += block;
  }
  return total;
}

// Characters, not bytes: every byte that does not continue a UTF-8 sequence.
long Characters(std::string_view text) {
  return CountIf(text,
                 [&](size_t i) { return (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80; });
}

long Count(std::string_view text, char wanted) {
  return CountIf(text, [&](size_t i) { return text[i] == wanted; });
}

// A LF right after a CR, within text.
long Pairs(std::string_view text) {
  const std::string_view after = text.substr(1);
  // Without a branch, so that the loop stays vector code.
  return CountIf(after, [&](size_t i) {
    return static_cast<int>(text[i] == '\r') & static_cast<int>(after[i] == '\n');
  });
}

}  // namespace

void LineCounter::Next(std::string_view piece) {
  const TextPosition end = At(PieceEnd());
  if (!m_Piece.empty()) m_StartAfterCr = m_Piece.back() == '\r';
  m_PieceStart = PieceEnd();
  m_Piece = piece;
  m_Start = m_Known = end;
  m_KnownOffset = m_PieceStart;
  m_KnownAfterCr = m_StartAfterCr;
}

// Counted from the last place asked for when offset is not before it, else
// from the piece's start, so that asking for places in order reads the piece
// once. The loops are plain counts, which the compiler turns into vector
// code.
TextPosition LineCounter::At(uint64_t offset) const {
  if (offset < m_KnownOffset) {
    m_Known = m_Start;
    m_KnownOffset = m_PieceStart;
    m_KnownAfterCr = m_StartAfterCr;
  }
  const std::string_view text =
      m_Piece.substr(m_KnownOffset - m_PieceStart, offset - m_KnownOffset);
  if (text.empty()) return m_Known;
  // A CR ends a line, and so does a LF unless it completes a CR LF; the LF
  // of a CR LF whose CR came before is no character either.
  const bool completes = m_CrEndsLines && m_KnownAfterCr && text[0] == '\n';
  long breaks = Count(text, '\n');
  if (m_CrEndsLines && text.find('\r') != std::string_view::npos)
    breaks += Count(text, '\r') - Pairs(text);
  breaks -= completes;
  TextPosition position = m_Known;
  if (breaks == 0) {
    position.column += Characters(text.substr(completes));
  } else {
    const auto isBreak = [this](char c) { return c == '\n' || (m_CrEndsLines && c == '\r'); };
    const auto last = std::find_if(text.rbegin(), text.rend(), isBreak);
    position.line += breaks;
    position.column = 1 + Characters(text.substr(static_cast<size_t>(text.rend() - last)));
  }
  m_Known = position;
  m_KnownOffset = offset;
  m_KnownAfterCr = text.back() == '\r';
  return position;
}

}  // namespace vexo
