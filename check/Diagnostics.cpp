#include "check/Diagnostics.h"

namespace vexo {
namespace {

const char* SeverityName(Severity severity) {
  switch (severity) {
    case Severity::kError:
      return "error";
    case Severity::kWarning:
      return "warning";
    default:
      return "note";
  }
}

// The caret line: every character of the source before the column becomes a
// space, except tabs, which stay, so that the caret lines up under any tab
// width. Continuation bytes take no column.
std::string CaretLine(const std::string& source, int column) {
  std::string caret;
  int seen = 1;
  for (const char byte : source) {
    if (seen >= column) break;
    if ((static_cast<unsigned char>(byte) & 0xC0) == 0x80) continue;
    caret.push_back(byte == '\t' ? '\t' : ' ');
    ++seen;
  }
  while (seen < column) {
    caret.push_back(' ');
    ++seen;
  }
  return caret + "^";
}

std::string Plural(int count, const char* word) {
  return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

}  // namespace

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char byte : text) {
    const unsigned char c = static_cast<unsigned char>(byte);
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(byte);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out.push_back(byte);
    }
  }
  return out + "\"";
}

void DiagnosticSink::Report(const Diagnostic& diagnostic) {
  if (diagnostic.severity == Severity::kError) ++m_Errors;
  if (diagnostic.severity == Severity::kWarning) ++m_Warnings;
  if (m_Json) {
    WriteJson(diagnostic);
  } else {
    WriteText(diagnostic);
  }
}

void DiagnosticSink::WriteText(const Diagnostic& d) const {
  std::string head = d.file;
  if (d.line > 0) head += ":" + std::to_string(d.line);
  if (d.line > 0 && d.column > 0) head += ":" + std::to_string(d.column);
  std::fprintf(stderr, "%s: %s: %s\n", head.c_str(), SeverityName(d.severity), d.message.c_str());
  if (d.line > 0 && d.column > 0) {
    std::fprintf(stderr, " %s\n %s\n", d.source.c_str(), CaretLine(d.source, d.column).c_str());
  }
}

void DiagnosticSink::WriteJson(const Diagnostic& d) const {
  std::printf(
      "{\"file\":%s,\"line\":%d,\"column\":%d,\"severity\":\"%s\",\"check\":%s,\"message\":%s}\n",
      JsonString(d.file).c_str(), d.line, d.column, SeverityName(d.severity),
      JsonString(d.check).c_str(), JsonString(d.message).c_str());
}

void DiagnosticSink::Summary() const {
  if (m_Json) return;
  std::fprintf(stderr, "%s, %s\n", Plural(m_Errors, "error").c_str(),
               Plural(m_Warnings, "warning").c_str());
}

}  // namespace vexo
