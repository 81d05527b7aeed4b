// Entry point of vexo-check: vexo's command line, read the way vexo reads it,
// and every problem of the blank and the data that vexo would meet.
#include <sys/stat.h>

#include <csignal>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "check/BlankCheck.h"
#include "check/CheckOptions.h"
#include "check/CommandLineCheck.h"
#include "check/DataCheck.h"
#include "check/Diagnostics.h"
#include "check/RunCheck.h"
#include "check/Words.h"
#include "io/OutputFile.h"
#include "io/TextEncoding.h"
#include "messages/ErrorText.h"
#include "state/Tbl.h"
#include "template/Blank.h"

namespace {

constexpr int kClean = 0;
constexpr int kProblems = 1;
constexpr int kCannotCheck = 2;

const char kHelp[] =
    "Checks a blank and its data the way vexo reads them, before the report is printed.\n"
    "Put it in front of a vexo command line: it takes the same options, writes no report,\n"
    "and exits 0 only when vexo's run would reach its end.\n"
    "\n"
    "  -BNAME     base name of the blank (parts NAME.1, NAME.2, NAME.3)\n"
    "  -IFILE     data file (without it vexo reads NULL: an error)\n"
    "  -FFILE     begin-parameter file\n"
    "  -PDIR      blank directory\n"
    "  -OFILE     output: checked, never written\n"
    "  --strict   warnings make the exit status 1 too\n"
    "  --json     diagnostics as JSON Lines on standard output\n"
    "  --layout   show how every text line of the blank reads (not with --json)\n"
    "  --help     this text\n"
    "  --version  the version\n"
    "\n"
    "Errors, each a reason for vexo to stop or bytes it misreads:\n"
    "  detached-value      \"-I data.txt\": vexo reads an empty value; write -Idata.txt\n"
    "  output-is-input     -O names an input: vexo refuses it\n"
    "  output-unwritable   the report cannot be written there\n"
    "  no-data             the data file cannot be opened\n"
    "  begin-unreadable    a begin-parameter file is a directory or unreadable\n"
    "  no-part-1, part-unreadable   a part missing, a directory, unreadable\n"
    "  unknown-command, jump-format, repeat-lines, repeat-passes, label-twice,\n"
    "  macro-refused, missing-label   vexo refuses the part\n"
    "  run-stopped         at the record where vexo cannot load part 2\n"
    "  encoding            bytes that are not UTF-8, with what vexo makes of them\n"
    "                      and, for a file in another encoding, the iconv command\n"
    "Warnings, each what vexo accepts but hardly prints as meant:\n"
    "  begin-not-found     -F found in no directory vexo searches\n"
    "  byte-order-mark, long-line, narrow-field, macro-in-text, counter-in-text:\n"
    "                      blank lines that vexo reads otherwise than they look\n"
    "  substitution-in-word   @D, @T or @n after a letter (an e-mail address):\n"
    "                      print such text from a header field instead\n"
    "  field-not-in-part-1, no-part-2, part-2-without-records, endless-jump,\n"
    "  unreachable         parts that do not fit together or lines never printed\n"
    "  at-in-value, break-in-record, escape   \"@\", \">\", \"\\\" in a value: escape them\n"
    "  broken-tag          $2:300 or $2 300: text of the field before; write $2; or \\$\n"
    "  field-not-shown, last-record-open, empty-record   data the blank never prints\n"
    "  record-dropped, walk-ended   the run drops a record's rest\n"
    "  break-on-new-sheet  a sheet break on a record that begins a sheet anyway\n"
    "  header-cut          header text that no placeholder finishes\n"
    "`man vexo-check` says more of each.\n"
    "\n"
    "Exit status: 0 no error, 1 errors (or warnings with --strict), 2 nothing could be\n"
    "checked or the diagnostics could not be written.\n";

void ReportFile(vexo::DiagnosticSink& sink, const std::string& file, const char* check,
                const std::string& message, vexo::Severity severity = vexo::Severity::kError) {
  vexo::Diagnostic d;
  d.severity = severity;
  d.file = file;
  d.check = check;
  d.message = message;
  sink.Report(d);
}

// The parts of the blank, checked in the order of the run; null where a part
// has no file.
struct Parts {
  std::unique_ptr<vexo::BlankPartCheck> part[4];
};

// Record fields that the parts show differently: a field first shown on a
// later sheet loses its data on the first, and a record that fills part 1
// needs a part 2 that shows it (told here only without data, which the run
// tells better).
void CheckPartsTogether(vexo::DiagnosticSink& sink, const std::string& partTwoName,
                        const Parts& parts, bool withData) {
  const auto& first = parts.part[1]->RecordFields();
  for (int n = 2; n <= 3; ++n) {
    if (!parts.part[n]) continue;
    for (const auto& [number, place] : parts.part[n]->RecordFields()) {
      if (first.count(number)) continue;
      parts.part[n]->Report(
          vexo::Severity::kWarning, "field-not-in-part-1",
          "record field $" + std::to_string(number) + " is shown by part " + std::to_string(n) +
              " but not by part 1: vexo drops its data on the first sheet, where the field does "
              "not exist yet; show it in part 1 too",
          place);
    }
  }
  if (!withData && !first.empty() && !parts.part[2] && !parts.part[1]->LoopsBack()) {
    parts.part[1]->Report(vexo::Severity::kWarning, "no-part-2",
                          "part 1 shows record fields and there is no part 2: a record that "
                          "does not fit on the first sheet stops the run with message " +
                              vexo::MessageNumber(Tbl::errBlankLoad) + "; add " + partTwoName,
                          first.begin()->second);
  }
  if (parts.part[2] && parts.part[2]->RecordLines() == 0) {
    ReportFile(sink, parts.part[2]->Name(), "part-2-without-records",
               "part 2 shows no record field: every record that goes on past a sheet ends with "
               "message " +
                   vexo::MessageNumber(Tbl::errCycleSheets) +
                   " and loses its rest; show the record fields in part 2",
               vexo::Severity::kWarning);
  }
}

// Checks every part that exists, in the order of the run. False when part 1
// cannot be had.
bool CheckBlank(vexo::DiagnosticSink& sink, bool layout, bool withData, Parts& parts) {
  OutputFile nowhere(L"", false);  // the blank's own messages are not wanted
  Blank blank(Tbl::BlankFile.c_str(), nowhere);
  if (blank.PartPath(1).empty()) {
    ReportFile(sink, vexo::Utf8(Tbl::BlankFile), "no-part-1",
               "the blank's name has an extension: vexo finds no part and stops with message " +
                   vexo::MessageNumber(Tbl::errBlankLoad) + "; give the name without \".1\"");
    return false;
  }
  for (int n = 1; n <= 3; ++n) {
    auto check = std::make_unique<vexo::BlankPartCheck>(blank, n, sink);
    const vexo::BlankPartCheck::Result result = check->Check();
    if (result == vexo::BlankPartCheck::Result::kChecked) {
      if (layout) check->PrintLayout();
      parts.part[n] = std::move(check);
    } else if (n == 1) {
      if (result == vexo::BlankPartCheck::Result::kMissing) {
        ReportFile(sink, vexo::Utf8(blank.PartPath(1)), "no-part-1",
                   "part 1 of the blank cannot be read: vexo prints nothing and stops with "
                   "message " +
                       vexo::MessageNumber(Tbl::errBlankLoad) + "; check -B and -P");
      }
      return false;
    }
  }
  CheckPartsTogether(sink, vexo::Utf8(blank.PartPath(2)), parts, withData);
  return true;
}

// The first input that is a pipe or a socket, or "" when none is. Every input
// is read more than once here (the checks, then the run), and a pipe gives its
// bytes to the first reader only, or makes the next one wait for ever.
std::string PipedInput() {
  std::vector<std::wstring> inputs = Tbl::BeginFiles();
  inputs.push_back(Tbl::InpFile);
  for (int part = 1; part <= 3; ++part) inputs.push_back(Blank::PartPath(Tbl::BlankFile, part));
  for (const std::wstring& input : inputs) {
    struct stat status;
    const std::string name = vexo::Utf8(input);
    if (name.empty() || stat(name.c_str(), &status) != 0) continue;
    if (S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode)) return name;
  }
  return "";
}

// Runs the report with the data checks listening, then the checks that need
// the whole data: open placeholders against the longest values.
void CheckData(vexo::DiagnosticSink& sink, const Parts& parts) {
  std::vector<long> measured;
  std::map<long, vexo::LongestValue> headerValues;
  for (const auto& part : parts.part) {
    if (!part) continue;
    for (const vexo::OpenPlaceholder& open : part->OpenPlaceholders()) {
      if (open.record) {
        measured.push_back(open.number);
      } else if (Tbl::TabHdrField.SetCurrent(open.number)) {
        headerValues[open.number] = {Tbl::TabHdrField.Ostatok(), 0};
      }
    }
  }
  // The record fields as the blank leaves the record table.
  std::set<long> shown;
  for (long number = -1; Tbl::TabRcdField.NextNumber(number, number);) shown.insert(number);
  if (Tbl::TabRcdField.SetCurrent(0)) shown.insert(0);

  vexo::DataCheck data(sink, shown, measured);
  vexo::RunCheck run(sink, data);
  run.Run();
  data.Finish();
  for (const auto& part : parts.part) {
    if (part) part->CheckOpenPlaceholders(data.Longest(), headerValues);
  }
  run.Close();
}

}  // namespace

int main(int argc, char** argv) {
  // A reader that goes away is a write error, not a signal.
  std::signal(SIGPIPE, SIG_IGN);
  const vexo::CheckOptions options = vexo::ReadCheckOptions(argc, argv);
  if (!options.unknown.empty()) {
    std::fprintf(stderr, "vexo-check: unknown option %s\n%s", options.unknown.c_str(),
                 vexo::CheckUsage());
    return kCannotCheck;
  }
  if (options.help || options.version) {
    if (options.help) {
      std::printf("%s%s", vexo::CheckUsage(), kHelp);
    } else {
      std::printf("vexo-check %s\n", VEXO_VERSION);
    }
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? kClean : kCannotCheck;
  }
  if (options.json && options.layout) {
    std::fprintf(stderr,
                 "vexo-check: --layout writes text and --json JSON Lines, both on standard "
                 "output; give one of them\n%s",
                 vexo::CheckUsage());
    return kCannotCheck;
  }

  const std::string piped = PipedInput();
  if (!piped.empty()) {
    std::fprintf(stderr,
                 "vexo-check: %s is a pipe: vexo-check reads every input more than once; "
                 "save it to a file and check that\n",
                 vexo::ShowUtf8(piped).c_str());
    return kCannotCheck;
  }

  vexo::DiagnosticSink sink(options.json);
  vexo::CheckCommandLine(argc, argv, sink);
  // Header fields given by the data file take part in the blank's checks.
  Tbl data;
  const bool dataOpen = data.GetHider();
  if (!dataOpen) {
    vexo::ReportDataFile(sink);
  } else if (!Tbl::BegParam.empty()) {
    data.GetBegin();
  }
  Parts parts;
  const bool checked = CheckBlank(sink, options.layout, dataOpen, parts);
  if (checked && dataOpen) CheckData(sink, parts);
  std::fflush(stdout);  // a layout comes before the count
  sink.Summary();
  if (sink.WriteFailed()) return kCannotCheck;
  if (!checked) return kCannotCheck;
  if (sink.Errors() > 0 || (options.strict && sink.Warnings() > 0)) return kProblems;
  return kClean;
}
