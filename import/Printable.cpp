#include "import/Printable.h"

#include "data/Utf8.h"

namespace vexo {

namespace {

void AppendHex(unsigned char byte, std::string& text) {
  static const char kDigits[] = "0123456789ABCDEF";
  text += "\\x";
  text += kDigits[byte >> 4];
  text += kDigits[byte & 0xF];
}

}  // namespace

std::string Printable(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    const int length = Utf8Sequence(bytes, i);
    if (length > 0 && byte >= 0x20 && byte != 0x7F) {
      text.append(bytes.substr(i, static_cast<size_t>(length)));
      i += static_cast<size_t>(length);
      continue;
    }
    AppendHex(byte, text);
    ++i;
  }
  return text;
}

std::string HexBytes(std::string_view bytes) {
  std::string text;
  for (const char c : bytes) AppendHex(static_cast<unsigned char>(c), text);
  return text;
}

}  // namespace vexo
