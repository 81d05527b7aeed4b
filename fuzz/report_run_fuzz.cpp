// The whole report run in-process. The input is split into blank parts 1 to
// 3, a data file and a begin-parameter file; Tbl::Execute runs on them with
// the report in a scratch file.
//
// With the first byte odd, the run is also checked against two runs that
// must give the same report: the data file with CR LF line ends (a carriage
// return before a line feed is dropped with the other trailing blanks, as
// long as no backslash escapes the line end and no multi-byte sequence would
// swallow it), and a header that arrives as a
// begin-parameter file instead of the data file (tags of distinct numbers,
// first on the file, no escapes, no line that starts like a record).
#include <cstdlib>

#include "FuzzInput.h"
#include "state/Tbl.h"

using vexo::fuzz::ReadScratch;
using vexo::fuzz::ScratchDir;
using vexo::fuzz::ScratchName;
using vexo::fuzz::SplitInput;
using vexo::fuzz::WriteScratch;

namespace {

std::string Run(const std::string& data, const std::string& begin) {
  WriteScratch("data.txt", data);
  WriteScratch("begin.txt", begin);
  vexo::ResetRunState();
  Tbl::BlankFile = ScratchName("form");
  Tbl::InpFile = ScratchName("data.txt");
  Tbl::OutFile = ScratchName("report.txt");
  if (!begin.empty()) Tbl::BegParam = ScratchName("begin.txt");
  {
    Tbl run;
    run.Execute();
  }
  vexo::ResetRunState();
  return ReadScratch("report.txt");
}

std::string WithCrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  return out;
}

// Whether a lead byte of a multi-byte sequence stands within three bytes
// before a line feed: continuation bytes are taken whatever they are, so
// there a carriage return would become part of the character.
bool LeadBeforeLineEnd(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n') continue;
    for (size_t back = 1; back <= 3 && back <= i; ++back) {
      if (static_cast<unsigned char>(text[i - back]) >= 0xC0) return true;
    }
  }
  return false;
}

// A header of distinct tags built from the bytes: each byte pair gives a
// field number below 20 and a letter of the value.
std::string HeaderFrom(const std::string& bytes) {
  std::string header;
  bool seen[20] = {};
  for (size_t i = 0; i + 1 < bytes.size() && i < 40; i += 2) {
    const int n = static_cast<unsigned char>(bytes[i]) % 20;
    if (seen[n]) continue;
    seen[n] = true;
    const size_t length = 1 + static_cast<unsigned char>(bytes[i + 1]) % 7;
    header += "&" + std::to_string(n) + ";" + std::string(length, 'a' + n % 26) + "\n";
  }
  return header;
}

// Whether two runs give the same report. A run that crosses a minute can
// differ in "@T" only, so a difference is taken only when it shows twice.
template <class RunA, class RunB>
bool SameReport(RunA a, RunB b) {
  return a() == b() || a() == b();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool compare = data[0] & 1;
  const std::vector<std::string> files = SplitInput(data + 1, size - 1, 5);
  ScratchDir();
  for (int n = 1; n <= 3; ++n) WriteScratch("form." + std::to_string(n), files[n - 1]);
  const std::string& records = files[3];
  if (!compare) {
    Run(records, files[4]);
    return 0;
  }

  if (records.find("\\\n") == std::string::npos && !LeadBeforeLineEnd(records) &&
      !SameReport([&] { return Run(records, files[4]); },
                  [&] { return Run(WithCrLf(records), files[4]); })) {
    abort();
  }
  // The header moves to the begin-parameter file; the records stay. A
  // record part that starts with "$" ends the header in both runs.
  if (!records.empty() && records[0] == '$') {
    const std::string header = HeaderFrom(files[4]);
    if (!SameReport([&] { return Run(header + records, ""); },
                    [&] { return Run(records, header); })) {
      abort();
    }
  }
  return 0;
}
