#include "io/TextEncoding.h"

#include <cstdint>

#include "io/TextLanes.h"

namespace vexo {

namespace {

// The bytes of the command line are widened by sign extension; these values
// stand for the single bytes 0x80 to 0xFF they came from.
constexpr uint32_t kFirstWidenedByte = 0xFFFFFF80u;
// The largest value the four-byte pattern can carry: what the input reader
// can decode from a lead byte up to 0xF7.
constexpr uint32_t kLargestFourByte = 0x1FFFFFu;

// Writes the bytes of one character and returns the end of what it wrote.
// Below 0x800 both bytes are written whether one or two are kept, so that a
// text mixing ASCII and a two-byte alphabet goes out without a branch for
// each character; out has room for four bytes.
char* EncodeOne(uint32_t code, char* out, bool& complete) {
  if (code < 0x800) {
    const bool two = code >= 0x80;
    out[0] = static_cast<char>(two ? 0xC0 | (code >> 6) : code);
    out[1] = static_cast<char>(0x80 | (code & 0x3F));
    return out + 1 + two;
  }
  if (code < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (code >> 12));
    out[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (code & 0x3F));
    return out + 3;
  }
  if (code <= kLargestFourByte) {
    out[0] = static_cast<char>(0xF0 | (code >> 18));
    out[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (code & 0x3F));
    return out + 4;
  }
  if (code >= kFirstWidenedByte) {
    *out = static_cast<char>(code & 0xFF);
    return out + 1;
  }
  complete = false;
  return out;
}

// Eight characters one by one.
char* EncodeEachOfEight(const wchar_t* text, char* out, bool& complete) {
  for (size_t k = 0; k < 8; ++k) out = EncodeOne(static_cast<uint32_t>(text[k]), out, complete);
  return out;
}

// Eight characters at a time when all are in the first two byte ranges, as
// most text is, one by one otherwise.
inline char* EncodeEight(const wchar_t* text, char* out, bool& complete, bool shuffle) {
  char* const end = shuffle ? EncodeEightShuffled(text, out) : EncodeEightPlain(text, out);
  return end ? end : EncodeEachOfEight(text, out, complete);
}

bool CopyAsciiSixteen(const wchar_t* text, char* out) {
  return kFastPaths ? NarrowAsciiLanes(text, out) : NarrowAsciiPlain(text, out);
}

}  // namespace

// Blocks of sixteen ASCII characters, the bulk of a report, are copied whole;
// other blocks go eight characters at a time.
char* EncodeUtf8(const wchar_t* text, size_t length, char* out, bool& complete) {
  const bool shuffle = HasShuffle();
  size_t i = 0;
  while (i + 16 <= length) {
    if (CopyAsciiSixteen(text + i, out)) {
      out += 16;
      i += 16;
      continue;
    }
    out = EncodeEight(text + i, out, complete, shuffle);
    out = EncodeEight(text + i + 8, out, complete, shuffle);
    i += 16;
  }
  if (i + 8 <= length) {
    out = EncodeEight(text + i, out, complete, shuffle);
    i += 8;
  }
  for (; i < length; ++i) out = EncodeOne(static_cast<uint32_t>(text[i]), out, complete);
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
