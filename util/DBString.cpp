#include "util/DBString.h"

#include <iconv.h>

#include <codecvt>
#include <cstdarg>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <locale>
#include <memory>

namespace {

// The UTF-8 converter that every conversion of this file uses: code points up
// to U+10FFFF, no byte-order mark handling. The standard library marks it
// deprecated, but it is the one conversion the rest of the program agrees on.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
using Utf8Converter = std::wstring_convert<std::codecvt_utf8<wchar_t, 0x10FFFF>>;

// The whole of s decoded, or "?utf-32?" when anything goes wrong. The
// converter quietly drops a sequence cut off by the end of the input, so the
// count of bytes it took is checked as well.
std::wstring DecodeUtf8(const char* s) {
  if (s == nullptr) return std::wstring();
  try {
    Utf8Converter converter;
    const size_t length = strlen(s);
    std::wstring out = converter.from_bytes(s, s + length);
    if (converter.converted() != length) return L"?utf-32?";
    return out;
  } catch (...) {
    return L"?utf-32?";
  }
}

std::string EncodeUtf8(const std::wstring& s) {
  try {
    Utf8Converter converter;
    return converter.to_bytes(s);
  } catch (...) {
    return "?utf-8?";
  }
}
#pragma GCC diagnostic pop

// The form of UTF-32 a wchar_t holds in memory; the plain name "UTF-32"
// would add or expect a byte-order mark.
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr const char* kNativeUtf32 = "UTF-32LE";
#else
constexpr const char* kNativeUtf32 = "UTF-32BE";
#endif

constexpr size_t kFromCP1251Chars = 128;
constexpr size_t kToCP1251Bytes = 1024;
constexpr size_t kFormatChars = 32768;

// Converts as much of the input as iconv can into the output buffer; it stops
// at the first unconvertible input or when the buffer is full. False when the
// converter cannot be opened.
bool Convert(const char* to, const char* from, const char* in, size_t inBytes, char* out,
             size_t outBytes) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  char* inPtr = const_cast<char*>(in);
  iconv(cd, &inPtr, &inBytes, &out, &outBytes);
  iconv_close(cd);
  return true;
}

const wchar_t* OrEmpty(const wchar_t* s) { return s == nullptr ? L"" : s; }

// The formatted text, at most kFormatChars - 1 characters. The last element
// is zeroed first so the text stays terminated whatever vswprintf does on
// overflow.
std::wstring FormatText(const wchar_t* format, va_list args) {
  if (format == nullptr) return std::wstring();
  std::unique_ptr<wchar_t[]> buffer(new wchar_t[kFormatChars]);
  buffer[0] = 0;
  buffer[kFormatChars - 1] = 0;
  vswprintf(buffer.get(), kFormatChars, format, args);
  return std::wstring(buffer.get(), wcsnlen(buffer.get(), kFormatChars));
}

int CompareViews(const wchar_t* a, const wchar_t* b) { return wcscmp(OrEmpty(a), OrEmpty(b)); }

}  // namespace

DBString::DBString(const wchar_t* s) : std::wstring(OrEmpty(s)) {}

DBString::DBString(const std::wstring& s) : std::wstring(s) {}

DBString::DBString(const char* s) : std::wstring(DecodeUtf8(s)) {}

DBString::DBString(const std::string& s) : std::wstring(DecodeUtf8(s.c_str())) {}

DBString::DBString(const char16_t* s) {
  if (s == nullptr) return;
  for (; *s != 0; ++s) push_back(static_cast<wchar_t>(*s));
}

DBString::DBString(const char16_t* s, int n) {
  if (s == nullptr) return;
  for (int i = 0; i < n; ++i) push_back(static_cast<wchar_t>(s[i]));
}

DBString::DBString(const wchar_t* sep, const std::vector<DBString>& items) {
  for (const DBString& item : items) {
    append(item.c_str());
    append(OrEmpty(sep));
  }
}

DBString& DBString::operator=(wchar_t c) {
  assign(1, c);
  return *this;
}

DBString& DBString::operator+=(wchar_t c) {
  push_back(c);
  return *this;
}

DBString& DBString::operator+=(const std::wstring& s) {
  append(s);
  return *this;
}

DBString& DBString::operator+=(const wchar_t* s) {
  append(OrEmpty(s));
  return *this;
}

DBString& DBString::operator+=(const char* s) {
  append(DecodeUtf8(s));
  return *this;
}

DBString& DBString::operator+=(const std::string& s) {
  append(DecodeUtf8(s.c_str()));
  return *this;
}

DBString& DBString::FromCP1251(const char* s) {
  clear();
  if (s == nullptr) return *this;
  wchar_t out[kFromCP1251Chars] = {};
  if (!Convert(kNativeUtf32, "CP1251", s, strlen(s), reinterpret_cast<char*>(out), sizeof(out))) {
    return *this;
  }
  assign(out, wcsnlen(out, kFromCP1251Chars));
  return *this;
}

std::string DBString::ToStr() const { return EncodeUtf8(*this); }

std::u16string DBString::ToU16() const {
  std::u16string out;
  out.reserve(size());
  for (wchar_t c : *this) out.push_back(static_cast<char16_t>(static_cast<unsigned>(c) & 0xFFFF));
  return out;
}

std::string DBString::ToCP1251() const {
  char out[kToCP1251Bytes] = {};
  if (!Convert("CP1251", kNativeUtf32, reinterpret_cast<const char*>(data()),
               size() * sizeof(wchar_t), out, sizeof(out))) {
    return std::string();
  }
  return std::string(out, strnlen(out, sizeof(out)));
}

DBString DBString::ForFind() const {
  DBString out;
  out.reserve(size());
  for (wchar_t c : *this) {
    if (c == L' ' || c == L'\t') continue;
    if (c == 0x0401) c = 0x0415;
    if (c == 0x2116) c = L'N';
    out.push_back(c);
  }
  return out;
}

DBString DBString::SubStr(int start, int count) const {
  if (start < 0 || static_cast<size_t>(start) >= size()) return DBString();
  return DBString(substr(start, count < 0 ? npos : static_cast<size_t>(count)));
}

DBString DBString::Left(int n) const {
  if (n < 0 || static_cast<size_t>(n) > size()) return *this;
  return DBString(substr(0, n));
}

int DBString::Find(wchar_t c, int from) const {
  if (from < 0 || static_cast<size_t>(from) >= size()) return -1;
  size_t pos = find(c, from);
  return pos == npos ? -1 : static_cast<int>(pos);
}

int DBString::Find(const wchar_t* s, int from) const {
  if (s == nullptr || from < 0) return -1;
  size_t pos = find(s, from);
  return pos == npos ? -1 : static_cast<int>(pos);
}

int DBString::ReverseFind(wchar_t c) const {
  size_t pos = rfind(c);
  return pos == npos ? -1 : static_cast<int>(pos);
}

bool DBString::IsDigit(int i) const {
  if (i < 0 || static_cast<size_t>(i) >= size()) return false;
  wchar_t c = (*this)[i];
  return c >= L'0' && c <= L'9';
}

DBString& DBString::Format(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  std::wstring text = FormatText(format, args);
  va_end(args);
  assign(text);
  return *this;
}

DBString& DBString::AppendFormat(const wchar_t* format, ...) {
  va_list args;
  va_start(args, format);
  std::wstring text = FormatText(format, args);
  va_end(args);
  append(text);
  return *this;
}

DBString& DBString::MakeLower() {
  for (wchar_t& c : *this) c = static_cast<wchar_t>(towlower(c));
  return *this;
}

DBString& DBString::Trim() {
  size_t first = find_first_not_of(L' ');
  if (first == npos) {
    clear();
    return *this;
  }
  erase(find_last_not_of(L' ') + 1);
  erase(0, first);
  return *this;
}

DBString& DBString::TrimArg() {
  Trim();
  if (!empty() && front() == L'"') erase(0, 1);
  if (!empty() && back() == L'"') pop_back();
  return *this;
}

int DBString::Replace(const wchar_t* from, const wchar_t* to) {
  if (from == nullptr || *from == 0) return 0;
  const size_t fromLen = wcslen(from);
  const std::wstring replacement = OrEmpty(to);
  int count = 0;
  for (size_t pos = find(from); pos != npos; pos = find(from, pos)) {
    replace(pos, fromLen, replacement);
    pos += replacement.size();
    ++count;
  }
  return count;
}

long DBString::Parse(const wchar_t* delim, std::vector<DBString>& parts) const {
  parts.clear();
  if (delim == nullptr || *delim == 0 || empty()) return 0;
  const size_t delimLen = wcslen(delim);
  size_t start = 0;
  for (size_t pos = find(delim); pos != npos; pos = find(delim, start)) {
    parts.emplace_back(substr(start, pos - start));
    start = pos + delimLen;
  }
  parts.emplace_back(substr(start));
  if (parts.back().empty()) parts.pop_back();
  return static_cast<long>(parts.size());
}

DBString operator+(const DBString& a, const DBString& b) {
  DBString out(a.c_str());
  out += b.c_str();
  return out;
}

DBString operator+(const DBString& a, const wchar_t* b) {
  DBString out(a.c_str());
  out += b;
  return out;
}

DBString operator+(const wchar_t* a, const DBString& b) {
  DBString out(a);
  out += b.c_str();
  return out;
}

DBString operator+(const DBString& a, wchar_t b) {
  DBString out(a.c_str());
  out += b;
  return out;
}

DBString operator+(wchar_t a, const DBString& b) {
  DBString out;
  out = a;
  out += b.c_str();
  return out;
}

DBString operator+(const DBString& a, const char* b) {
  DBString out(a.c_str());
  out += b;
  return out;
}

DBString operator+(const char* a, const DBString& b) {
  DBString out(a);
  out += b.c_str();
  return out;
}

bool operator==(const DBString& a, const DBString& b) {
  return CompareViews(a.c_str(), b.c_str()) == 0;
}
bool operator!=(const DBString& a, const DBString& b) {
  return CompareViews(a.c_str(), b.c_str()) != 0;
}
bool operator<(const DBString& a, const DBString& b) {
  return CompareViews(a.c_str(), b.c_str()) < 0;
}
bool operator>(const DBString& a, const DBString& b) {
  return CompareViews(a.c_str(), b.c_str()) > 0;
}
bool operator<=(const DBString& a, const DBString& b) {
  return CompareViews(a.c_str(), b.c_str()) <= 0;
}
bool operator>=(const DBString& a, const DBString& b) {
  return CompareViews(a.c_str(), b.c_str()) >= 0;
}
bool operator==(const DBString& a, const wchar_t* b) { return CompareViews(a.c_str(), b) == 0; }
bool operator!=(const DBString& a, const wchar_t* b) { return CompareViews(a.c_str(), b) != 0; }
bool operator<(const DBString& a, const wchar_t* b) { return CompareViews(a.c_str(), b) < 0; }
bool operator>(const DBString& a, const wchar_t* b) { return CompareViews(a.c_str(), b) > 0; }
bool operator<=(const DBString& a, const wchar_t* b) { return CompareViews(a.c_str(), b) <= 0; }
bool operator>=(const DBString& a, const wchar_t* b) { return CompareViews(a.c_str(), b) >= 0; }
bool operator==(const wchar_t* a, const DBString& b) { return CompareViews(a, b.c_str()) == 0; }
bool operator!=(const wchar_t* a, const DBString& b) { return CompareViews(a, b.c_str()) != 0; }
bool operator<(const wchar_t* a, const DBString& b) { return CompareViews(a, b.c_str()) < 0; }
bool operator>(const wchar_t* a, const DBString& b) { return CompareViews(a, b.c_str()) > 0; }
bool operator<=(const wchar_t* a, const DBString& b) { return CompareViews(a, b.c_str()) <= 0; }
bool operator>=(const wchar_t* a, const DBString& b) { return CompareViews(a, b.c_str()) >= 0; }
