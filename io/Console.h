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

// Receives every message in place of the console and the report.
using MessageListener = void (*)(const std::wstring& text, void* context);

// While listener is set, WriteMessage and ConsoleLine hand it each message
// with context and write nothing themselves; null, the start value, writes again. For a program
// that runs a report in-process and shows its messages its own way.
void SetMessageListener(MessageListener listener, void* context);

}  // namespace vexo
