// Turning wide text back into bytes for files, the console and file names.
#pragma once

#include <cstddef>
#include <string>

namespace vexo {

// Appends the bytes of text[0, length) to out. Values up to 0x1FFFFF take the
// one- to four-byte UTF-8 patterns, so whatever the input reader decoded goes
// out byte for byte; the values 0xFFFFFF80 to 0xFFFFFFFF (bytes of the
// command line widened by sign extension) become the original byte 0x80 to
// 0xFF; any other value is dropped. Returns false when something was dropped.
bool AppendUtf8(std::string& out, const wchar_t* text, size_t length);

// Writes the bytes of text[0, length) by the rules of AppendUtf8 to out,
// which has room for 4 * length bytes, and returns the end of what it wrote.
// complete is cleared when something was dropped.
char* EncodeUtf8(const wchar_t* text, size_t length, char* out, bool& complete);

// The file-system name for a wide name, by the rules of AppendUtf8: a name
// typed in any encoding on the command line opens the file it names. False
// when the name holds a value that has no byte form, or a zero (which would
// name another file); out is then unspecified.
bool FileSystemName(const std::wstring& name, std::string& out);

}  // namespace vexo
