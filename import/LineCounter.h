// Lines and columns of a text that arrives in pieces, as an editor counts
// them, for messages that point into the input.
#pragma once

#include <cstdint>
#include <string_view>

namespace vexo {

// A place in a text: line and column, both from 1; the column counts
// characters (UTF-8 sequences), a tab as one.
struct TextPosition {
  long line = 1;
  long column = 1;
};

// Tells the position of any byte of the current piece from the offset of that
// byte in the whole text. A line ends at LF, at CR LF, and, when crEndsLines
// is set, at a CR alone. Only the current piece is looked at, so a caller
// that needs a place in an earlier piece keeps its position before it moves
// on.
class LineCounter {
 public:
  explicit LineCounter(bool crEndsLines) : m_CrEndsLines(crEndsLines) {}

  // Makes piece, which follows the current one in the text, the current
  // piece. It must stay valid until the next call.
  void Next(std::string_view piece);

  // The offset in the whole text of the current piece's first byte.
  uint64_t PieceStart() const { return m_PieceStart; }
  // The offset just past the current piece: the end of the text so far.
  uint64_t PieceEnd() const { return m_PieceStart + m_Piece.size(); }

  // The position of the byte at offset, which must lie within the current
  // piece or at its end (the end of the text so far). Asking for places in
  // order costs one reading of the piece in all.
  TextPosition At(uint64_t offset) const;

 private:
  bool m_CrEndsLines;
  std::string_view m_Piece;
  uint64_t m_PieceStart = 0;
  TextPosition m_Start;         // the position of the piece's first byte
  bool m_StartAfterCr = false;  // the byte before the piece is a CR
  // The last place asked for in the piece, where the next count starts.
  mutable uint64_t m_KnownOffset = 0;
  mutable TextPosition m_Known;
  mutable bool m_KnownAfterCr = false;
};

}  // namespace vexo
