// Entry point of vexo-check: vexo's command line, read the way vexo reads it,
// and every problem of the blank and the data that vexo would meet.
#include <cstdio>

#include "check/BlankCheck.h"
#include "check/CheckOptions.h"
#include "check/Diagnostics.h"
#include "io/OutputFile.h"
#include "io/TextEncoding.h"
#include "state/Tbl.h"
#include "template/Blank.h"

namespace {

constexpr int kClean = 0;
constexpr int kProblems = 1;
constexpr int kCannotCheck = 2;

const char kHelp[] =
    "Checks a blank and its data the way vexo reads them, before the report is printed.\n"
    "Put it in front of a vexo command line; -O is accepted and ignored.\n"
    "\n"
    "  -BNAME     base name of the blank (parts NAME.1, NAME.2, NAME.3)\n"
    "  -IFILE     data file\n"
    "  -FFILE     begin-parameter file\n"
    "  -PDIR      blank directory\n"
    "  --strict   warnings make the exit status 1 too\n"
    "  --json     diagnostics as JSON Lines on standard output\n"
    "  --layout   show how every text line of the blank reads\n"
    "  --help     this text\n"
    "  --version  the version\n"
    "\n"
    "Exit status: 0 no error, 1 errors (or warnings with --strict), 2 nothing could be checked.\n";

std::string Utf8(const std::wstring& text) {
  std::string out;
  vexo::AppendUtf8(out, text.data(), text.size());
  return out;
}

void ReportFile(vexo::DiagnosticSink& sink, const std::string& file, const char* check,
                const std::string& message) {
  vexo::Diagnostic d;
  d.file = file;
  d.check = check;
  d.message = message;
  sink.Report(d);
}

// Checks every part that exists, in the order of the run. False when part 1
// cannot be had.
bool CheckBlank(vexo::DiagnosticSink& sink) {
  OutputFile nowhere(L"", false);  // the blank's own messages are not wanted
  Blank blank(Tbl::BlankFile.c_str(), nowhere);
  if (blank.PartPath(1).empty()) {
    ReportFile(sink, Utf8(Tbl::BlankFile), "no-part-1",
               "the blank's name has an extension: vexo finds no part and stops with message "
               "11115; give the name without \".1\"");
    return false;
  }
  for (int part = 1; part <= 3; ++part) {
    const std::wstring path = blank.PartPath(part);
    Tbl::TabHdrField.First();
    vexo::BlankPartCheck check(path, sink);
    if (check.Check() || part != 1) continue;
    ReportFile(sink, Utf8(path), "no-part-1",
               "part 1 of the blank cannot be read: vexo prints nothing and stops with message "
               "11115; check -B and -P");
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const vexo::CheckOptions options = vexo::ReadCheckOptions(argc, argv);
  if (!options.unknown.empty()) {
    std::fprintf(stderr, "vexo-check: unknown option %s\n%s", options.unknown.c_str(),
                 vexo::CheckUsage());
    return kCannotCheck;
  }
  if (options.help) {
    std::printf("%s%s", vexo::CheckUsage(), kHelp);
    return kClean;
  }
  if (options.version) {
    std::printf("vexo-check %s\n", VEXO_VERSION);
    return kClean;
  }

  vexo::DiagnosticSink sink(options.json);
  // Header fields given by the data file take part in the blank's checks.
  Tbl data;
  if (data.GetHider()) {
    if (!Tbl::BegParam.empty()) data.GetBegin();
  } else if (Tbl::InpFile != L"NULL") {
    ReportFile(sink, Utf8(Tbl::InpFile), "no-data",
               "the data file cannot be opened: vexo stops with message 11113; check -I");
  }
  const bool checked = CheckBlank(sink);
  sink.Summary();
  if (!checked) return kCannotCheck;
  if (sink.Errors() > 0 || (options.strict && sink.Warnings() > 0)) return kProblems;
  return kClean;
}
