// DBString: the library's wide string, a std::wstring with conversions from
// and to UTF-8, UTF-16 and CP1251, formatting, searching, splitting, joining
// and trimming.
#pragma once

#include <string>
#include <vector>

// A std::wstring (32-bit code points) with extra operations and no extra
// state: it can be used wherever a std::wstring is expected. Conversions never
// throw for bad input; they end in a marker text or an empty result instead.
// The joining constructor, operator+ and the comparisons stop at the first
// zero character of a DBString operand (its C-string view); everything else
// works on the whole text. A null pointer argument counts as an empty text.
class DBString : public std::wstring {
 public:
  DBString() = default;
  DBString(const wchar_t* s);
  // Explicit, so that comparing or joining a DBString with a std::wstring
  // takes the std::wstring operators instead of being ambiguous.
  explicit DBString(const std::wstring& s);

  // Decodes UTF-8 up to the first zero byte. Invalid or incomplete UTF-8, a
  // value above U+10FFFF, or any exception inside the conversion gives the
  // text "?utf-32?" and nothing of the partial result. A byte-order mark stays
  // as U+FEFF.
  DBString(const char* s);
  DBString(const std::string& s);

  // Each 16-bit unit up to the zero unit becomes one character of the same
  // value; surrogate pairs are not combined.
  DBString(const char16_t* s);
  // The same for exactly the first n units (none when n is not positive).
  DBString(const char16_t* s, int n);

  // Joins the items, each followed by sep (the last one too); no items give
  // an empty string.
  DBString(const wchar_t* sep, const std::vector<DBString>& items);

  using std::wstring::operator=;
  DBString& operator=(wchar_t c);

  DBString& operator+=(wchar_t c);
  DBString& operator+=(const std::wstring& s);
  DBString& operator+=(const wchar_t* s);
  // Appends the UTF-8 text decoded as by the constructor ("?utf-32?" when
  // the bytes are not valid UTF-8).
  DBString& operator+=(const char* s);
  DBString& operator+=(const std::string& s);

  // Replaces the contents with s read as CP1251 up to its zero byte, at most
  // 128 characters. A byte without a mapping ends the text there; when the
  // converter is not available the string is empty.
  DBString& FromCP1251(const char* s);

  // The text as UTF-8; "?utf-8?" when a character cannot be encoded.
  std::string ToStr() const;
  // Every character cut to its low 16 bits; no surrogate pairs are formed.
  std::u16string ToU16() const;
  // The text as CP1251, at most 1024 bytes, up to the first zero character.
  // A character CP1251 cannot hold ends the result there; empty when the
  // converter is not available.
  std::string ToCP1251() const;
  // The MD5 digest of ToCP1251() as 32 upper-case hexadecimal digits.
  DBString Md5Hash() const;

  // A search form of the text: spaces and tabs removed, U+0401 (capital io)
  // made U+0415 (capital ie), U+2116 (numero sign) made a Latin capital N.
  DBString ForFind() const;

  // Empty when start is negative or not below the length; otherwise up to
  // count characters from start, all the rest when count is negative.
  DBString SubStr(int start, int count) const;
  // The first n characters; the whole text when n is negative or too large.
  DBString Left(int n) const;
  // Index of the first c at or after from; -1 when there is none or from is
  // not a valid index.
  int Find(wchar_t c, int from = 0) const;
  // Index of the first occurrence of s at or after from, as std::wstring
  // finds it (an empty s is found at from when from is at most the length);
  // -1 when there is none, from is negative, or s is null.
  int Find(const wchar_t* s, int from = 0) const;
  // Index of the last c; -1 when there is none.
  int ReverseFind(wchar_t c) const;
  // True when i is a valid index of an ASCII digit "0" to "9".
  bool IsDigit(int i) const;

  // Replaces the contents with the text printf-style formatting gives, at
  // most 32767 characters; a null format gives an empty string.
  DBString& Format(const wchar_t* format, ...);
  // Appends the formatted text, with the same limits.
  DBString& AppendFormat(const wchar_t* format, ...);

  // Every character through towlower of the current C locale.
  DBString& MakeLower();
  // Removes leading and trailing spaces (code 32 only).
  DBString& Trim();
  // Trim, then one double quote at the start and one at the end, each if
  // present.
  DBString& TrimArg();

  // Replaces every occurrence of from by to, never searching the inserted
  // text again, and returns the count. A null or empty from is refused: the
  // text stays unchanged and the result is 0. A null to deletes.
  int Replace(const wchar_t* from, const wchar_t* to);
  // Splits the text at every occurrence of delim into parts (emptied first);
  // adjacent delimiters give empty parts, a trailing delimiter gives no empty
  // last part. Returns the number of parts; 0 for an empty text. A null or
  // empty delim is refused: parts stays empty and the result is 0.
  long Parse(const wchar_t* delim, std::vector<DBString>& parts) const;
};

DBString operator+(const DBString& a, const DBString& b);
DBString operator+(const DBString& a, const wchar_t* b);
DBString operator+(const wchar_t* a, const DBString& b);
DBString operator+(const DBString& a, wchar_t b);
DBString operator+(wchar_t a, const DBString& b);
DBString operator+(const DBString& a, const char* b);
DBString operator+(const char* a, const DBString& b);

// Code point order of the C-string views, as wcscmp gives it.
bool operator==(const DBString& a, const DBString& b);
bool operator!=(const DBString& a, const DBString& b);
bool operator<(const DBString& a, const DBString& b);
bool operator>(const DBString& a, const DBString& b);
bool operator<=(const DBString& a, const DBString& b);
bool operator>=(const DBString& a, const DBString& b);
bool operator==(const DBString& a, const wchar_t* b);
bool operator!=(const DBString& a, const wchar_t* b);
bool operator<(const DBString& a, const wchar_t* b);
bool operator>(const DBString& a, const wchar_t* b);
bool operator<=(const DBString& a, const wchar_t* b);
bool operator>=(const DBString& a, const wchar_t* b);
bool operator==(const wchar_t* a, const DBString& b);
bool operator!=(const wchar_t* a, const DBString& b);
bool operator<(const wchar_t* a, const DBString& b);
bool operator>(const wchar_t* a, const DBString& b);
bool operator<=(const wchar_t* a, const DBString& b);
bool operator>=(const wchar_t* a, const DBString& b);
