#include "check/BadBytes.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "data/EncodingGuess.h"
#include "io/TextEncoding.h"

namespace vexo {
namespace {

const char* FlawName(Utf8Flaw flaw) {
  switch (flaw) {
    case Utf8Flaw::kCut:
      return "a character cut short by the end of the file";
    case Utf8Flaw::kContinuation:
      return "a continuation byte with no character to continue";
    case Utf8Flaw::kNeverUtf8:
      return "a byte that UTF-8 never uses";
    case Utf8Flaw::kOverlong:
      return "an overlong form";
    case Utf8Flaw::kSurrogate:
      return "a surrogate";
    case Utf8Flaw::kAboveMax:
      return "a value above U+10FFFF";
    default:
      return "a character cut short";
  }
}

std::string CodePoint(wchar_t c) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
  return text;
}

// A name as a shell takes it: quoted when it holds anything but letters,
// digits and a few punctuation marks.
std::string ShellWord(const std::string& name) {
  bool plain = !name.empty();
  for (const char c : name) {
    plain = plain && (std::isalnum(static_cast<unsigned char>(c)) || std::strchr("-_./+", c));
  }
  if (plain) return name;
  std::string quoted = "'";
  for (const char c : name) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// data.txt gives data-utf8.txt; a name without an extension gets "-utf8".
std::string ConvertedName(const std::string& name) {
  const size_t slash = name.rfind('/');
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash) ||
      dot == (slash == std::string::npos ? 0 : slash + 1)) {
    return name + "-utf8";
  }
  return name.substr(0, dot) + "-utf8" + name.substr(dot);
}

const char* EncodingTitle(const std::string& iconvName) {
  if (iconvName == "CP1251") return "Windows-1251";
  if (iconvName == "CP866") return "CP866 (DOS Cyrillic)";
  if (iconvName == "ISO-8859-1") return "ISO-8859-1 (Latin-1)";
  return "Windows-1252";
}

}  // namespace

std::string BadBytes(const BadSequence& bad) {
  std::string hex;
  for (const char byte : bad.bytes) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned char>(byte));
    hex += (hex.empty() ? "" : " ") + std::string(text);
  }
  return (bad.bytes.size() == 1 ? "the byte " : "the bytes ") + hex +
         (bad.bytes.size() == 1 ? " is" : " are") + " not UTF-8 (" + FlawName(bad.flaw) + ")";
}

std::string ReadAs(const BadSequence& bad) {
  const wchar_t c = bad.character;
  std::string what = "vexo reads ";
  what += bad.bytes.size() == 1 ? "it" : "them";
  if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
    what += " as the value " + CodePoint(c) +
            ", which is no character, and writes it out as bytes that are not UTF-8 either";
  } else if (c < 0x20 || c == 0x7F) {
    what += " as the control character " + CodePoint(c);
  } else {
    std::string shown;
    AppendUtf8(shown, &c, 1);
    what += " as one character, \"" + shown + "\" (" + CodePoint(c) + ")";
  }
  if (bad.bytes.find('\n', 1) != std::string::npos) {
    what += "; the line feed among them goes with it, so this line and the next are read as one";
  }
  return what;
}

std::string ConvertAdvice(const std::string& path, const std::string& name, bool inPlace) {
  EncodingGuess guess;
  if (FILE* file = std::fopen(path.c_str(), "rb")) {
    char piece[1 << 16];
    for (size_t got; (got = std::fread(piece, 1, sizeof piece, file)) > 0;) {
      guess.Add(std::string_view(piece, got));
    }
    std::fclose(file);
  }
  const char* encoding = guess.Name();
  if (!encoding) return "save the file as UTF-8";
  const std::string from = std::string("iconv -f ") + encoding + " -t UTF-8 ";
  const std::string command =
      inPlace ? from + ShellWord(name) + " > " + ShellWord(name + ".utf8") + " && mv " +
                    ShellWord(name + ".utf8") + " " + ShellWord(name)
              : from + ShellWord(name) + " > " + ShellWord(ConvertedName(name));
  return std::string("the file reads cleanly as ") + EncodingTitle(encoding) +
         ": convert it with " + command;
}

}  // namespace vexo
