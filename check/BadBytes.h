// Words for bytes that are not UTF-8: what they are, what vexo makes of
// them, and how to convert a file written in another encoding.
#pragma once

#include <string>

#include "check/SourceCursor.h"

namespace vexo {

// "the bytes E9 20 63 are not UTF-8 (a character cut short)".
std::string BadBytes(const BadSequence& bad);
// For a sequence that gives vexo's reader a character: "vexo reads them as
// one character, "頣" (U+9823)", and what a line feed among them does.
std::string ReadAs(const BadSequence& bad);

// The advice for the first bad sequence of the file at path (shown as name):
// when the whole file reads cleanly in a common single-byte encoding, which
// one and the iconv command that converts it; otherwise to save it as UTF-8.
// A blank part keeps its name (inPlace), a data file is converted into a new
// one. Reads the file once more.
std::string ConvertAdvice(const std::string& path, const std::string& name, bool inPlace);

}  // namespace vexo
