#include "import/Decoder.h"

#include <strings.h>

#include <cerrno>

#include "data/Utf8.h"

namespace vexo {

Decoder::Decoder(const std::string& encoding)
    : m_Utf8(strcasecmp(encoding.c_str(), "UTF-8") == 0 ||
             strcasecmp(encoding.c_str(), "UTF8") == 0) {
  if (!m_Utf8) m_Iconv = iconv_open("UTF-8", encoding.c_str());
}

Decoder::~Decoder() {
  if (m_Iconv != reinterpret_cast<iconv_t>(-1)) iconv_close(m_Iconv);
}

bool Decoder::Convert(std::string_view chunk, std::string& out) {
  std::string_view bytes = chunk;
  if (!m_Pending.empty()) {
    m_Joined = m_Pending;
    m_Joined.append(chunk);
    bytes = m_Joined;
  }
  m_Pending.clear();
  const size_t start = out.size();
  const bool ok = m_Utf8 ? ConvertUtf8(bytes, out) : ConvertIconv(bytes, out);
  // The first chunk is read whole, so a mark at the start is in it.
  if (m_AtStart && out.size() > start) {
    if (out.compare(start, 3, "\xEF\xBB\xBF") == 0) out.erase(start, 3);
    m_AtStart = false;
  }
  return ok;
}

bool Decoder::ConvertUtf8(std::string_view bytes, std::string& out) {
  size_t i = 0;
  while (i < bytes.size()) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    const int length = Utf8Sequence(bytes, i);
    if (length == 0) {
      m_BadByte = static_cast<unsigned char>(bytes[i]);
      out.append(bytes.data(), i);
      m_Offset += i;
      return false;
    }
    if (length < 0) {
      m_Pending.assign(bytes.substr(i));
      break;
    }
    i += static_cast<size_t>(length);
  }
  out.append(bytes.data(), i);
  m_Offset += i;
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
    const size_t before = inLeft;
    const size_t result = iconv(m_Iconv, &in, &inLeft, &to, &toLeft);
    const int error = errno;
    out.resize(out.size() - toLeft);
    m_Offset += before - inLeft;
    if (result != static_cast<size_t>(-1)) continue;
    if (error == EINVAL) {
      m_Pending.assign(in, inLeft);
      return true;
    }
    if (error == E2BIG) continue;
    m_BadByte = static_cast<unsigned char>(*in);
    return false;
  }
  return true;
}

}  // namespace vexo
