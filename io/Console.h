// The one console writer of the program.
#pragma once

#include <string>

namespace vexo {

// Writes text as UTF-8 (by the rules of AppendUtf8) to standard output, then a
// line feed, then flushes. Standard output is never given a wide orientation,
// so a report written there by OutputFile and these lines keep their order.
void ConsoleLine(const std::wstring& text);

}  // namespace vexo
