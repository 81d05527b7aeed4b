// The utility library on any bytes: DBString's conversions and text
// operations, splitURL with buffers of every size, ParseString, and MD5 fed
// in pieces against the digest of the whole.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "util/DBString.h"
#include "util/md5.h"
#include "util/utilities.h"

namespace {

void Strings(const std::string& bytes) {
  const DBString utf8(bytes);
  DBString back(utf8.ToStr());
  const std::u16string units = utf8.ToU16();
  const DBString fromUnits(units.c_str(), static_cast<int>(units.size()));
  DBString cp1251;
  cp1251.FromCP1251(bytes.c_str());
  const std::string narrow = cp1251.ToCP1251();
  // Read as CP1251 and written back, the bytes come back as they were, as
  // far as they were read.
  if (narrow.size() > 128 || bytes.compare(0, narrow.size(), narrow) != 0) abort();

  std::vector<DBString> parts;
  utf8.Parse(L",", parts);
  utf8.Parse(L"", parts);
  DBString copy = utf8;
  copy.Replace(L"a", L"bc");
  copy.Replace(L"", L"x");
  copy.Trim().MakeLower();
  copy.Format(L"%ls|%d|%ls", utf8.c_str(), static_cast<int>(bytes.size()), back.c_str());
  copy.AppendFormat(L"%5.2f", 1.5);
  copy.SubStr(static_cast<int>(bytes.size() % 7) - 3, static_cast<int>(bytes.size()));
  copy.Find(L"b", static_cast<int>(bytes.size()) - 5);
}

void Url(const std::string& bytes) {
  const size_t limit = bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]) % 24;
  std::vector<char> scheme(limit + 1), host(limit + 1), port(limit + 1), path(limit + 1);
  const int kind = splitURL(bytes.c_str(), scheme.data(), limit, host.data(), limit, port.data(),
                            limit, path.data(), limit);
  if (kind < -1 || kind > 2) abort();
  std::vector<std::string> pieces;
  ParseString(bytes, "::", pieces);
  ParseString(bytes, "", pieces);
}

void Digest(const std::string& bytes) {
  unsigned char whole[16];
  unsigned char pieces[16];
  md5::md5_context ctx;
  md5::md5_starts(&ctx);
  md5::md5_update(&ctx, reinterpret_cast<const unsigned char*>(bytes.data()),
                  static_cast<unsigned int>(bytes.size()));
  md5::md5_finish(&ctx, whole);
  md5::md5_starts(&ctx);
  size_t at = 0;
  for (size_t k = 0; at < bytes.size(); ++k) {
    const size_t wanted = 1 + static_cast<unsigned char>(bytes[k % bytes.size()]) % 97;
    const size_t step = std::min(bytes.size() - at, wanted);
    md5::md5_update(&ctx, reinterpret_cast<const unsigned char*>(bytes.data() + at),
                    static_cast<unsigned int>(step));
    at += step;
  }
  md5::md5_finish(&ctx, pieces);
  if (std::memcmp(whole, pieces, sizeof whole) != 0) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  Strings(bytes);
  Url(bytes);
  Digest(bytes);
  return 0;
}
