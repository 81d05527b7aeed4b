// Turns the input's bytes, in any encoding iconv knows, into UTF-8, chunk by
// chunk, and finds the first byte that is not valid in that encoding.
#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

namespace vexo {

// A byte-order mark at the start of the text is dropped. UTF-8 input is
// checked by hand (it is copied, not converted); every other encoding goes
// through iconv. The output never ends inside a character.
class Decoder {
 public:
  explicit Decoder(const std::string& encoding);
  ~Decoder();
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;

  // False when iconv does not know the encoding.
  bool Ok() const { return m_Utf8 || m_Iconv != reinterpret_cast<iconv_t>(-1); }
  // True when the encoding is UTF-8 itself.
  bool Utf8() const { return m_Utf8; }

  // Decodes the next chunk into text, its UTF-8, which stays valid until the
  // next call and may point into chunk itself. The start of a sequence that
  // the chunk cuts short waits for the next chunk. False at a byte sequence
  // that is not valid: text then holds everything before it, and BadBytes()
  // the sequence.
  bool Convert(std::string_view chunk, std::string_view& text);
  // At the end of the input: false when a cut-short sequence is left over,
  // which BadBytes() then holds.
  bool Finish();

  // What stopped the conversion: the first byte that starts no valid
  // sequence, or, after Finish, the bytes of the sequence cut short.
  const std::string& BadBytes() const { return m_Bad; }
  // UTF-8 input: whether the text before the bad bytes held characters
  // beyond ASCII, so that the input is damaged UTF-8 rather than text in
  // another encoding.
  bool SawNonAscii() const { return m_SawNonAscii; }
  // Other encodings: whether the input so far, as bytes, is also valid
  // UTF-8 with characters beyond ASCII, so that it was most likely UTF-8.
  bool LooksLikeUtf8() const { return m_RawUtf8 && m_RawNonAscii && m_RawCut.empty(); }

 private:
  // The length of the valid UTF-8 at the start of bytes; false when a
  // sequence that is not valid ends it.
  bool CheckUtf8(std::string_view bytes, size_t& valid);
  bool ConvertIconv(std::string_view bytes, std::string& out);
  void CheckRawUtf8(std::string_view bytes);

  bool m_Utf8;
  iconv_t m_Iconv = reinterpret_cast<iconv_t>(-1);
  std::string m_Pending;  // bytes of a sequence cut short by the last chunk
  std::string m_Joined;   // the pending bytes and the next chunk
  std::string m_Out;      // text converted by iconv
  bool m_AtStart = true;  // no text delivered yet
  std::string m_Bad;
  bool m_SawNonAscii = false;
  bool m_RawUtf8 = true;  // other encodings: no byte so far breaks UTF-8
  bool m_RawNonAscii = false;
  std::string m_RawCut;  // other encodings: a UTF-8 sequence the chunk cut short
};

}  // namespace vexo
