// The one console writer of the program, and where messages go.
#pragma once

#include <string>

class OutputFile;

namespace vexo {

// Writes text as UTF-8 (by the rules of AppendUtf8) to standard output, then a
// line feed, then flushes. Standard output is never given a wide orientation,
// so a report written there by OutputFile and these lines keep their order.
void ConsoleLine(const std::wstring& text);

// The places a message is written to: the console and the report, the
// console alone (when the report could not be opened) or the report alone.
enum class MessageRoute { kConsoleAndReport, kConsoleOnly, kReportOnly };

// Writes text as one line to the places route names, the console first.
void WriteMessage(MessageRoute route, const std::wstring& text, OutputFile& report);

}  // namespace vexo
