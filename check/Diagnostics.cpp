#include "check/Diagnostics.h"

#include <cinttypes>
#include <cstdio>

#include "check/Words.h"
#include "data/Utf8.h"

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

// The caret line: every character of the excerpt before the caret becomes a
// space, except tabs, which stay, so that the caret lines up under any tab
// width.
std::string CaretLine(const std::string& excerpt, int64_t caret) {
  std::string line;
  int64_t seen = 0;
  for (const char byte : excerpt) {
    if (seen >= caret) break;
    if ((static_cast<unsigned char>(byte) & 0xC0) == 0x80) continue;
    line.push_back(byte == '\t' ? '\t' : ' ');
    ++seen;
  }
  for (; seen < caret; ++seen) line.push_back(' ');
  return line + "^";
}

}  // namespace

std::string ShowUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const int length = Utf8Sequence(text, i);
    if (length > 0) {
      out.append(text, i, static_cast<size_t>(length));
      i += static_cast<size_t>(length);
      continue;
    }
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(text[i]));
    out += escape;
    ++i;
  }
  return out;
}

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (const char byte : ShowUtf8(text)) {
    const unsigned char c = static_cast<unsigned char>(byte);
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(byte);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c == 0x7F) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out.push_back(byte);
    }
  }
  return out + "\"";
}

bool DiagnosticSink::Take(Severity severity, const std::string& file, const std::string& check) {
  if (severity == Severity::kError) ++m_Errors;
  if (severity == Severity::kWarning) ++m_Warnings;
  return ++m_Taken[{file, check}] <= kShown;
}

void DiagnosticSink::Write(const Diagnostic& diagnostic) {
  if (m_Json) {
    WriteJson(diagnostic);
  } else {
    WriteText(diagnostic);
  }
}

void DiagnosticSink::Report(const Diagnostic& diagnostic) {
  if (Take(diagnostic.severity, diagnostic.file, diagnostic.check)) Write(diagnostic);
}

void DiagnosticSink::ReportSum(const Diagnostic& diagnostic) {
  if (diagnostic.severity == Severity::kError) ++m_Errors;
  if (diagnostic.severity == Severity::kWarning) ++m_Warnings;
  Write(diagnostic);
}

void DiagnosticSink::WriteText(const Diagnostic& d) {
  const SourcePlace& at = d.place;
  std::string head = ShowUtf8(d.file);
  if (at.line > 0) head += ":" + std::to_string(at.line);
  if (at.line > 0 && at.column > 0) head += ":" + std::to_string(at.column);
  std::fprintf(stderr, "%s: %s: %s\n", head.c_str(), SeverityName(d.severity),
               ShowUtf8(d.message).c_str());
  if (at.line > 0 && at.column > 0) {
    std::fprintf(stderr, " %s\n %s\n", at.excerpt.c_str(), CaretLine(at.excerpt, at.caret).c_str());
  }
}

void DiagnosticSink::WriteJson(const Diagnostic& d) {
  std::printf("{\"file\":%s,\"line\":%" PRId64 ",\"column\":%" PRId64
              ",\"severity\":\"%s\",\"check\":%s,\"message\":%s}\n",
              JsonString(d.file).c_str(), d.place.line, d.place.column, SeverityName(d.severity),
              JsonString(d.check).c_str(), JsonString(d.message).c_str());
}

void DiagnosticSink::Summary() {
  for (const auto& [where, count] : m_Taken) {
    if (count <= kShown) continue;
    Diagnostic note;
    note.file = where.first;
    note.severity = Severity::kNote;
    note.check = "left-out";
    note.message = Counted(count - kShown, "more diagnostic") + " of \"" + where.second +
                   "\" in this file " + (count - kShown == 1 ? "is" : "are") + " not shown";
    Write(note);
  }
  if (m_Json) return;
  std::fprintf(stderr, "%s, %s\n", Counted(m_Errors, "error").c_str(),
               Counted(m_Warnings, "warning").c_str());
}

bool DiagnosticSink::WriteFailed() const {
  const bool flushed = std::fflush(stdout) == 0 && std::fflush(stderr) == 0;
  return !flushed || std::ferror(stdout) || std::ferror(stderr);
}

}  // namespace vexo
