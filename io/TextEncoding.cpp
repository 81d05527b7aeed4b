#include "io/TextEncoding.h"

#include <cstdint>

namespace vexo {

namespace {

// The bytes of the command line are widened by sign extension; these values
// stand for the single bytes 0x80 to 0xFF they came from.
constexpr uint32_t kFirstWidenedByte = 0xFFFFFF80u;
// The largest value the four-byte pattern can carry: what the input reader
// can decode from a lead byte up to 0xF7.
constexpr uint32_t kLargestFourByte = 0x1FFFFFu;

}  // namespace

bool AppendUtf8(std::string& out, const wchar_t* text, size_t length) {
  // Room for the longest form of every character, written through a pointer
  // and cut back to what was written.
  const size_t start = out.size();
  out.resize(start + 4 * length);
  char* bytes = &out[start];
  char* const first = bytes;
  bool complete = true;
  for (size_t i = 0; i < length; ++i) {
    const uint32_t code = static_cast<uint32_t>(text[i]);
    if (code < 0x80) {
      *bytes++ = static_cast<char>(code);
    } else if (code < 0x800) {
      *bytes++ = static_cast<char>(0xC0 | (code >> 6));
      *bytes++ = static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      *bytes++ = static_cast<char>(0xE0 | (code >> 12));
      *bytes++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      *bytes++ = static_cast<char>(0x80 | (code & 0x3F));
    } else if (code <= kLargestFourByte) {
      *bytes++ = static_cast<char>(0xF0 | (code >> 18));
      *bytes++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      *bytes++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      *bytes++ = static_cast<char>(0x80 | (code & 0x3F));
    } else if (code >= kFirstWidenedByte) {
      *bytes++ = static_cast<char>(code & 0xFF);
    } else {
      complete = false;
    }
  }
  out.resize(start + static_cast<size_t>(bytes - first));
  return complete;
}

// A zero byte would cut the name short and name another file, so a name
// holding one has no byte form either.
bool FileSystemName(const std::wstring& name, std::string& out) {
  out.clear();
  if (!AppendUtf8(out, name.data(), name.size())) return false;
  return out.find('\0') == std::string::npos;
}

}  // namespace vexo
