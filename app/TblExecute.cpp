// The report run: the records of the data file poured into the blank.
#include <cstring>
#include <vector>

#include "io/Console.h"
#include "io/OutputFile.h"
#include "io/SameFile.h"
#include "state/Tbl.h"
#include "template/Blank.h"

namespace {

using vexo::MessageRoute;
using vexo::WriteMessage;

// Renders line and writes it with its line end.
void PrintLine(Line& line, OutputFile& out) {
  wchar_t text[vexo::kLineBuffer + 1];
  const int length = line.ConvStr(text);
  text[length] = L'\n';
  out.Write(text, static_cast<size_t>(length) + 1);
  if (Tbl::Observer) Tbl::Observer->LinePrinted();
}

void EndSheet(int nextPart) {
  if (Tbl::Observer) Tbl::Observer->SheetEnds(nextPart);
}

// Prints the lines that the walk still hands out after the last record.
void PrintRest(Blank& blank, OutputFile& out) {
  while (Line* line = blank.Next(1)) PrintLine(*line, out);
}

}  // namespace

// Opening an output that is one of the inputs would empty it before it is
// read.
bool Tbl::OutputIsAnInput() {
  if (Tbl::OutFile == L"CON") return false;
  std::vector<std::wstring> inputs = Tbl::BeginFiles();
  inputs.push_back(Tbl::InpFile);
  for (int part = 1; part <= 3; ++part) {
    const std::wstring path = Blank::PartPath(Tbl::BlankFile, part);
    if (!path.empty()) inputs.push_back(path);
  }
  for (const std::wstring& input : inputs) {
    if (vexo::SameFile(Tbl::OutFile, input)) return true;
  }
  return false;
}

// Nothing that the run reads is opened for writing, and a report that did
// not get out whole is an error, whatever the run made of it.
int Tbl::Execute() {
  totBreak = 0;
  if (OutputIsAnInput()) {
    vexo::ConsoleLine(Err(errOutput) + OutFile);
    return 1;
  }
  OutputFile out(OutFile.c_str(), Add != 0);
  if (!out.IsUsable()) {
    WriteMessage(MessageRoute::kConsoleOnly, Err(errOutput) + OutFile, out);
    return 1;
  }
  int status;
  {
    Blank blank(BlankFile.c_str(), out);
    status = Pour(blank, out);
  }
  if (!out.Close()) {
    const char* reason = std::strerror(out.Error());
    WriteMessage(
        MessageRoute::kConsoleOnly,
        Err(errOutput) + OutFile + L": " + std::wstring(reason, reason + std::strlen(reason)), out);
    return 1;
  }
  return status;
}

// The run from the header to the closing pass, once the output is open. It
// ends early, with status 0, once a write has failed: Execute reports that.
int Tbl::Pour(Blank& blank, OutputFile& out) {
  if (!GetHider()) {
    WriteMessage(MessageRoute::kConsoleAndReport, Err(errNoInput) + InpFile, out);
    return 1;
  }
  if (!BegParam.empty()) GetBegin();
  if (!blank.Load(1)) {
    WriteMessage(MessageRoute::kConsoleAndReport, Err(errBlankLoad) + BlankFile + L".1", out);
    return 1;
  }

  while (out.Error() == 0) {
    if (Observer) Observer->RecordStarts(*this);
    if (!GetRecord()) break;
    blank.ClrCount();
    bool firstOverflow = true;
    size_t least = 0;  // the least unread record text at an overflow so far
    for (;;) {
      if (Line* line = blank.Next(0)) {
        PrintLine(*line, out);
        if (TabRcdField.Exist()) continue;
      }
      if (!TabRcdField.Exist()) break;
      // The record goes on over a sheet of part 2.
      EndSheet(2);
      if (!blank.Load(2)) {
        WriteMessage(MessageRoute::kConsoleAndReport, Err(errBlankLoad) + BlankFile + L".2", out);
        return 1;
      }
      // A sheet of part 2 makes progress only when it leaves less of the
      // record unread than the least remainder seen for the record at an
      // overflow before. The remainder can come back up (a character 0 in a
      // value ends a copy that the wrap then takes back further), and sheets
      // measured against the last one alone could then follow for ever.
      const size_t left = TabRcdField.AllOst();
      if (!firstOverflow && left >= least) {
        // A whole sheet printed nothing more of the record: drop its rest.
        WriteMessage(MessageRoute::kReportOnly, Err(errCycleSheets), out);
        break;
      }
      firstOverflow = false;
      least = left;
    }
  }

  if (out.Error() != 0) return 0;

  PrintRest(blank, out);
  EndSheet(3);
  if (blank.Load(3)) PrintRest(blank, out);
  return 0;
}
