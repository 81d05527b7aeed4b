#include "import/Decoder.h"

#include <strings.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "data/Utf8.h"

namespace vexo {

namespace {}  // namespace

Decoder::Decoder(const std::string& encoding)
    : m_Utf8(strcasecmp(encoding.c_str(), "UTF-8") == 0 ||
             strcasecmp(encoding.c_str(), "UTF8") == 0) {
  if (!m_Utf8) m_Iconv = iconv_open("UTF-8", encoding.c_str());
}

Decoder::~Decoder() {
  if (m_Iconv != reinterpret_cast<iconv_t>(-1)) iconv_close(m_Iconv);
}

bool Decoder::Convert(std::string_view chunk, std::string_view& text) {
  if (!m_Utf8 && m_RawUtf8) CheckRawUtf8(chunk);
  std::string_view bytes = chunk;
  if (!m_Pending.empty()) {
    m_Joined = m_Pending;
    m_Joined.append(chunk);
    bytes = m_Joined;
  }
  m_Pending.clear();
  bool ok;
  if (m_Utf8) {
    size_t valid = 0;
    ok = CheckUtf8(bytes, valid);
    text = bytes.substr(0, valid);
  } else {
    m_Out.clear();
    ok = ConvertIconv(bytes, m_Out);
    text = m_Out;
  }
  // A mark at the start is dropped; when the first chunk cuts it short, it
  // waits with its first bytes and comes whole with the next.
  if (m_AtStart && !text.empty()) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    m_AtStart = false;
  }
  return ok;
}

bool Decoder::Finish() {
  m_Bad = m_Pending;
  return m_Pending.empty();
}

// ASCII, which most text is, is passed over eight bytes at a time.
bool Decoder::CheckUtf8(std::string_view bytes, size_t& valid) {
  size_t i = 0;
  while (i < bytes.size()) {
    uint64_t block;
    if (i + sizeof block <= bytes.size()) {
      std::memcpy(&block, bytes.data() + i, sizeof block);
      if ((block & 0x8080808080808080ULL) == 0) {
        i += sizeof block;
        continue;
      }
    }
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    const int length = Utf8Sequence(bytes, i);
    if (length == 0) {
      m_Bad.assign(bytes.substr(i, 1));
      valid = i;
      return false;
    }
    if (length < 0) {
      m_Pending.assign(bytes.substr(i));
      break;
    }
    m_SawNonAscii = true;
    i += static_cast<size_t>(length);
  }
  valid = i;
  return true;
}

bool Decoder::ConvertIconv(std::string_view bytes, std::string& out) {
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  while (inLeft > 0) {
    const size_t start = out.size();
    out.resize(start + inLeft * 4 + 16);
    char* to = &out[start];
    size_t toLeft = out.size() - start;
    const size_t result = iconv(m_Iconv, &in, &inLeft, &to, &toLeft);
    const int error = errno;
    out.resize(out.size() - toLeft);
    if (result != static_cast<size_t>(-1)) continue;
    if (error == EINVAL) {
      m_Pending.assign(in, inLeft);
      return true;
    }
    if (error == E2BIG) continue;
    m_Bad.assign(in, 1);
    return false;
  }
  return true;
}

// The bytes as they came, read as UTF-8: a sequence cut by the chunk's end
// is read again with the next chunk.
void Decoder::CheckRawUtf8(std::string_view bytes) {
  std::string joined;
  if (!m_RawCut.empty()) {
    joined = m_RawCut + std::string(bytes);
    bytes = joined;
    m_RawCut.clear();
  }
  for (size_t i = 0; i < bytes.size();) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    const int length = Utf8Sequence(bytes, i);
    if (length == 0) {
      m_RawUtf8 = false;
      return;
    }
    if (length < 0) {
      m_RawCut.assign(bytes.substr(i));
      return;
    }
    m_RawNonAscii = true;
    i += static_cast<size_t>(length);
  }
}

}  // namespace vexo
