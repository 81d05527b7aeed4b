// Turns the input's bytes, in any encoding iconv knows, into UTF-8, chunk by
// chunk, and finds the first byte that is not valid in that encoding.
#pragma once

#include <iconv.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace vexo {

// A byte-order mark at the start of the text is dropped. UTF-8 input is
// checked by hand (it is copied, not converted); every other encoding goes
// through iconv.
class Decoder {
 public:
  explicit Decoder(const std::string& encoding);
  ~Decoder();
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;

  // False when iconv does not know the encoding.
  bool Ok() const { return m_Utf8 || m_Iconv != reinterpret_cast<iconv_t>(-1); }

  // Appends the UTF-8 of the next chunk to out; the start of a sequence that
  // the chunk cuts short waits for the next chunk. False at a byte sequence
  // that is not valid: out then holds everything before it, and BadOffset()
  // is its offset from the start of the input.
  bool Convert(std::string_view chunk, std::string& out);
  // At the end of the input: false when a cut-short sequence is left over.
  bool Finish() const { return m_Pending.empty(); }

  uint64_t BadOffset() const { return m_Offset; }
  // The first byte of the sequence that is not valid.
  unsigned char BadByte() const { return m_BadByte; }

 private:
  bool ConvertUtf8(std::string_view bytes, std::string& out);
  bool ConvertIconv(std::string_view bytes, std::string& out);

  bool m_Utf8;
  iconv_t m_Iconv = reinterpret_cast<iconv_t>(-1);
  std::string m_Pending;  // bytes of a sequence cut short by the last chunk
  std::string m_Joined;   // the pending bytes and the next chunk
  uint64_t m_Offset = 0;  // input offset of the first byte not yet decoded
  bool m_AtStart = true;  // no text delivered yet
  unsigned char m_BadByte = 0;
};

}  // namespace vexo
