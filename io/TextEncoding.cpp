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

// Copies the ASCII characters at the start of text[0, length) to out, eight
// at a time, and returns how many it copied: a multiple of eight, stopping
// before the first block that holds anything else. The loops over a block
// have a fixed count and no early exit, so the compiler does each block's
// test and copy side by side.
size_t CopyAsciiBlocks(const wchar_t* text, size_t length, char* out) {
  constexpr size_t kBlock = 8;
  size_t done = 0;
  for (; done + kBlock <= length; done += kBlock) {
    uint32_t any = 0;
    for (size_t k = 0; k < kBlock; ++k) any |= static_cast<uint32_t>(text[done + k]);
    if (any >= 0x80) break;
    for (size_t k = 0; k < kBlock; ++k) out[done + k] = static_cast<char>(text[done + k]);
  }
  return done;
}

}  // namespace

char* EncodeUtf8(const wchar_t* text, size_t length, char* out, bool& complete) {
  for (size_t i = 0; i < length; ++i) {
    // Runs of ASCII, the bulk of a report, are copied in blocks first.
    const size_t copied = CopyAsciiBlocks(text + i, length - i, out);
    out += copied;
    i += copied;
    if (i == length) break;
    const uint32_t code = static_cast<uint32_t>(text[i]);
    if (code < 0x80) {
      *out++ = static_cast<char>(code);
    } else if (code < 0x800) {
      *out++ = static_cast<char>(0xC0 | (code >> 6));
      *out++ = static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      *out++ = static_cast<char>(0xE0 | (code >> 12));
      *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      *out++ = static_cast<char>(0x80 | (code & 0x3F));
    } else if (code <= kLargestFourByte) {
      *out++ = static_cast<char>(0xF0 | (code >> 18));
      *out++ = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      *out++ = static_cast<char>(0x80 | (code & 0x3F));
    } else if (code >= kFirstWidenedByte) {
      *out++ = static_cast<char>(code & 0xFF);
    } else {
      complete = false;
    }
  }
  return out;
}

bool AppendUtf8(std::string& out, const wchar_t* text, size_t length) {
  const size_t start = out.size();
  out.resize(start + 4 * length);
  bool complete = true;
  char* const first = &out[0] + start;
  const char* end = EncodeUtf8(text, length, first, complete);
  out.resize(start + static_cast<size_t>(end - first));
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
