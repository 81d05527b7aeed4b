// Entry point of vexo-check: vexo's command line, read the way vexo reads it,
// and every problem of the blank and the data that vexo would meet.
#include <sys/stat.h>

#include <cstdio>
#include <map>
#include <memory>
#include <vector>

#include "check/BlankCheck.h"
#include "check/CheckOptions.h"
#include "check/DataCheck.h"
#include "check/Diagnostics.h"
#include "check/ReachCheck.h"
#include "check/RunCheck.h"
#include "io/Console.h"
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
                const std::string& message, vexo::Severity severity = vexo::Severity::kError) {
  vexo::Diagnostic d;
  d.severity = severity;
  d.file = file;
  d.check = check;
  d.message = message;
  sink.Report(d);
}

// Record fields that the parts show differently: a field first shown on a
// later sheet loses its data on the first, and a record that fills part 1
// needs a part 2 that shows it. records is the number of records in the
// data, -1 without data.
void CheckPartsTogether(vexo::DiagnosticSink& sink, const std::string& partTwoName,
                        vexo::BlankPartCheck* parts[4], long records) {
  const auto& first = parts[1]->RecordFields();
  for (int part = 2; part <= 3; ++part) {
    if (!parts[part]) continue;
    for (const auto& [number, place] : parts[part]->RecordFields()) {
      if (first.count(number)) continue;
      parts[part]->Report(
          vexo::Severity::kWarning, "field-not-in-part-1", place.first, place.second,
          "record field $" + std::to_string(number) + " is shown by part " + std::to_string(part) +
              " but not by part 1: vexo drops its data on the first sheet, where the field does "
              "not exist yet; show it in part 1 too");
    }
  }
  // A part 1 that loops back takes record after record; one that does not
  // runs out once the records need more lines than it has.
  const bool overflows =
      !parts[1]->LoopsBack() && (records < 0 || records > parts[1]->RecordLines());
  if (!first.empty() && !parts[2] && overflows) {
    const auto& place = first.begin()->second;
    parts[1]->Report(vexo::Severity::kWarning, "no-part-2", place.first, place.second,
                     "part 1 shows record fields and there is no part 2: a record that does not "
                     "fit on the first sheet stops the run with message 11115; add " +
                         partTwoName);
  }
  if (parts[2] && parts[2]->RecordLines() == 0) {
    ReportFile(sink, parts[2]->Name(), "part-2-without-records",
               "part 2 shows no record field: every record that goes on past a sheet ends with "
               "message 11116 and loses its rest; show the record fields in part 2",
               vexo::Severity::kWarning);
  }
}

// Loads part into blank as vexo does, its messages unwritten (the part's
// checks have reported their causes). False when vexo refuses it.
bool LoadQuietly(Blank& blank, int part) {
  vexo::SetMessageListener([](const std::wstring&, void*) {}, nullptr);
  const bool loaded = blank.Load(part) != 0;
  vexo::SetMessageListener(nullptr, nullptr);
  return loaded;
}

// Every text line of the part, a ruler under the columns of each placeholder,
// and a legend line per placeholder.
void PrintLayout(const vexo::BlankPartCheck& part) {
  for (const vexo::LayoutLine& line : part.Layout()) {
    std::printf("%s:%d\n %s\n", part.Name().c_str(), part.Lines()[line.index].line,
                line.text.c_str());
    if (line.marks.empty()) continue;
    std::string ruler;
    for (const vexo::LayoutMark& mark : line.marks) {
      ruler.resize(static_cast<size_t>(mark.first), ' ');
      ruler.append(static_cast<size_t>(mark.last - mark.first + 1), '^');
    }
    std::printf(" %s\n", ruler.c_str());
    for (const vexo::LayoutMark& mark : line.marks) std::printf("   %s\n", mark.legend.c_str());
  }
}

// Checks every part that exists, in the order of the run. False when part 1
// cannot be had.
bool CheckBlank(vexo::DiagnosticSink& sink, bool layout, bool dataOpen) {
  OutputFile nowhere(L"", false);  // the blank's own messages are not wanted
  Blank blank(Tbl::BlankFile.c_str(), nowhere);
  if (blank.PartPath(1).empty()) {
    ReportFile(sink, Utf8(Tbl::BlankFile), "no-part-1",
               "the blank's name has an extension: vexo finds no part and stops with message "
               "11115; give the name without \".1\"");
    return false;
  }
  std::unique_ptr<vexo::BlankPartCheck> checks[4];
  vexo::BlankPartCheck* parts[4] = {};
  for (int part = 1; part <= 3; ++part) {
    Tbl::TabHdrField.First();
    checks[part] = std::make_unique<vexo::BlankPartCheck>(blank.PartPath(part), sink);
    if (checks[part]->Check()) parts[part] = checks[part].get();
    if (parts[part] && !parts[part]->Refused() && LoadQuietly(blank, part)) {
      vexo::CheckReach(blank, *parts[part]);
    }
    if (parts[part] && layout) PrintLayout(*parts[part]);
  }
  if (!parts[1]) {
    ReportFile(sink, Utf8(blank.PartPath(1)), "no-part-1",
               "part 1 of the blank cannot be read: vexo prints nothing and stops with message "
               "11115; check -B and -P");
    return false;
  }
  // The data is read once the parts have declared their record fields.
  long records = -1;
  if (dataOpen) {
    std::vector<long> recordFields;
    std::map<long, vexo::LongestValue> headerValues;
    for (vexo::BlankPartCheck* part : parts) {
      if (!part) continue;
      for (const vexo::OpenPlaceholder& open : part->OpenPlaceholders()) {
        if (open.record) {
          recordFields.push_back(open.number);
        } else if (Tbl::TabHdrField.SetCurrent(open.number)) {
          headerValues[open.number] = {Tbl::TabHdrField.Ostatok(), 0};
        }
      }
    }
    vexo::DataCheck data(Tbl::InpFile, sink);
    data.Measure(recordFields);
    if (data.Check()) records = data.Records();
    for (vexo::BlankPartCheck* part : parts) {
      if (part) part->CheckOpenPlaceholders(data.Longest(), headerValues);
    }
  }
  CheckPartsTogether(sink, Utf8(blank.PartPath(2)), parts, records);
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
    const std::string name = Utf8(input);
    if (name.empty() || stat(name.c_str(), &status) != 0) continue;
    if (S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode)) return name;
  }
  return "";
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

  const std::string piped = PipedInput();
  if (!piped.empty()) {
    std::fprintf(stderr,
                 "vexo-check: %s is a pipe: vexo-check reads every input more than once; "
                 "save it to a file and check that\n",
                 piped.c_str());
    return kCannotCheck;
  }

  vexo::DiagnosticSink sink(options.json);
  // Header fields given by the data file take part in the blank's checks.
  Tbl data;
  const bool dataOpen = data.GetHider();
  if (dataOpen) {
    if (!Tbl::BegParam.empty()) data.GetBegin();
  } else if (Tbl::InpFile != L"NULL") {
    ReportFile(sink, Utf8(Tbl::InpFile), "no-data",
               "the data file cannot be opened: vexo stops with message 11113; check -I");
  }
  const bool checked = CheckBlank(sink, options.layout, dataOpen);
  if (checked && dataOpen) vexo::RunCheck(sink).Run();
  std::fflush(stdout);  // a layout comes before the count
  sink.Summary();
  if (!checked) return kCannotCheck;
  if (sink.Errors() > 0 || (options.strict && sink.Warnings() > 0)) return kProblems;
  return kClean;
}
