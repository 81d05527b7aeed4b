// The report run: the records of the data file poured into the blank.
#include "io/Console.h"
#include "io/OutputFile.h"
#include "state/Tbl.h"
#include "template/Blank.h"

namespace {

using vexo::MessageRoute;
using vexo::WriteMessage;

// Renders line and writes it with its line end; text is the caller's buffer,
// kept from line to line.
void PrintLine(Line& line, OutputFile& out, std::wstring& text) {
  line.ConvStr(text);
  text.push_back(L'\n');
  out << text;
}

// Prints the lines that the walk still hands out after the last record.
void PrintRest(Blank& blank, OutputFile& out, std::wstring& text) {
  while (Line* line = blank.Next(1)) PrintLine(*line, out, text);
}

}  // namespace

int Tbl::Execute() {
  OutputFile out(OutFile.c_str(), Add != 0);
  Blank blank(BlankFile.c_str(), out);
  totBreak = 0;
  if (!out.IsUsable()) {
    WriteMessage(MessageRoute::kConsoleOnly, Err(errOutput) + OutFile, out);
    return 1;
  }
  if (!GetHider()) {
    WriteMessage(MessageRoute::kConsoleAndReport, Err(errNoInput) + InpFile, out);
    return 1;
  }
  if (!BegParam.empty()) GetBegin();
  if (!blank.Load(1)) {
    WriteMessage(MessageRoute::kConsoleAndReport, Err(errBlankLoad) + BlankFile + L".1", out);
    return 1;
  }

  std::wstring text;
  while (GetRecord()) {
    blank.ClrCount();
    bool firstOverflow = true;
    size_t progress = 0;  // unread record text at the last overflow
    for (;;) {
      if (Line* line = blank.Next(0)) {
        PrintLine(*line, out, text);
        if (TabRcdField.Exist()) continue;
      }
      if (!TabRcdField.Exist()) break;
      // The record goes on over a sheet of part 2.
      if (!blank.Load(2)) {
        WriteMessage(MessageRoute::kConsoleAndReport, Err(errBlankLoad) + BlankFile + L".2", out);
        return 1;
      }
      const size_t left = TabRcdField.AllOst();
      if (!firstOverflow && left == progress) {
        // A whole sheet printed nothing of the record: drop its rest.
        WriteMessage(MessageRoute::kReportOnly, Err(errCycleSheets), out);
        break;
      }
      firstOverflow = false;
      progress = left;
    }
  }

  PrintRest(blank, out, text);
  if (blank.Load(3)) PrintRest(blank, out, text);
  return 0;
}
