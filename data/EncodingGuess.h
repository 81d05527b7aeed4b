// Naming the single-byte encoding that a text which is not UTF-8 was most
// likely written in, so that a message about its first bad byte can say how
// to convert it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vexo {

// Reads a text piece by piece (a file of any size, in chunks of any size) and
// then tells whether, as a whole, it reads cleanly in one of the common
// single-byte encodings: Windows-1251 or CP866 for Cyrillic text, ISO-8859-1
// or Windows-1252 for Western European text.
//
// "Cleanly" means: no byte that the encoding leaves undefined, no control
// character other than tab, line feed, form feed and carriage return, and,
// for the Cyrillic encodings, mostly letters among the bytes above 0x7F.
// Cyrillic and Latin text are told apart by how those bytes stand: Cyrillic
// words are made of them, Latin words carry one now and then among ASCII
// letters. A text that is mostly well-formed UTF-8 with a few bad bytes is
// damaged UTF-8, not another encoding, and gets no name.
class EncodingGuess {
 public:
  // The next piece of the text.
  void Add(std::string_view bytes);

  // The encoding's name as iconv knows it ("CP1251", "CP866", "ISO-8859-1"
  // or "CP1252"), or null when the text is well-formed UTF-8 (ASCII
  // included), mostly UTF-8, or reads cleanly in none of them.
  const char* Name() const;

 private:
  void CountSingleBytes(std::string_view bytes);
  void CountUtf8(std::string_view bytes);

  // Single-byte reading.
  uint64_t m_High = 0;           // bytes above 0x7F
  uint64_t m_Controls = 0;       // control characters no text file holds
  uint64_t m_C1 = 0;             // bytes 0x80 to 0x9F
  uint64_t m_Undefined[3] = {};  // per encoding: bytes it leaves undefined
  uint64_t m_Letters[3] = {};    // per encoding: bytes that are letters
  uint64_t m_BesideAscii = 0;    // high bytes next to an ASCII letter
  uint64_t m_BesideHigh = 0;     // high bytes next to another high byte
  int m_Previous = 0;            // the class of the byte before: 0, ASCII letter 1, high 2

  // UTF-8 reading.
  uint64_t m_Sequences = 0;  // well-formed sequences of two bytes or more
  uint64_t m_Malformed = 0;  // bytes where no well-formed sequence starts
  std::string m_Cut;         // the start of a sequence the last piece cut short
};

}  // namespace vexo
