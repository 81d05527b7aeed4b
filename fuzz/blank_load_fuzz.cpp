// Blank loading on any bytes as parts 1, 2 and 3, followed by a walk that
// renders what it is handed: every message path of the loader, and the
// renderer on whatever a part may hold.
#include "FuzzInput.h"
#include "io/OutputFile.h"
#include "state/Tbl.h"
#include "template/Blank.h"

using vexo::fuzz::ScratchDir;
using vexo::fuzz::ScratchName;
using vexo::fuzz::SplitInput;
using vexo::fuzz::WriteScratch;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> parts = SplitInput(data, size, 3);
  ScratchDir();
  for (int n = 1; n <= 3; ++n) WriteScratch("form." + std::to_string(n), parts[n - 1]);
  vexo::ResetRunState();
  Tbl::TabHdrField.InsertField(1);
  Tbl::TabHdrField.SetCurrent(1);
  Tbl::TabHdrField.PutStr(L"header one\x01two");
  {
    OutputFile out(ScratchName("report.txt").c_str(), false);
    const std::wstring name = ScratchName("form");
    Blank blank(name.c_str(), out);
    wchar_t text[vexo::kLineBuffer];
    for (int n = 1; n <= 3; ++n) {
      if (!blank.Load(n)) continue;
      Tbl::TabRcdField.SetCurrent(1);
      Tbl::TabRcdField.PutStr(L"a record value, long enough to wrap over a few lines");
      for (int k = 0; k < 200; ++k) {
        Line* line = blank.Next(k % 2);
        if (line == nullptr) break;
        out.Write(text, static_cast<size_t>(line->ConvStr(text)));
      }
    }
  }
  vexo::ResetRunState();
  return 0;
}
