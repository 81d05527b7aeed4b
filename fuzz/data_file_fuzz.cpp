// The data-file and begin-parameter scanners on any bytes: the first piece is
// the data file, the second a begin-parameter file found in two directories.
// Checks that the scanners end, keep every field table consistent, and read
// each record's text only once.
#include <cstdlib>

#include "FuzzInput.h"
#include "state/Tbl.h"

using vexo::fuzz::ScratchDir;
using vexo::fuzz::ScratchName;
using vexo::fuzz::SplitInput;
using vexo::fuzz::WriteScratch;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> files = SplitInput(data, size, 2);
  ScratchDir();
  WriteScratch("data.txt", files[0]);
  WriteScratch("begin.txt", files[1]);
  vexo::ResetRunState();
  for (long n = 0; n <= 5; ++n) Tbl::TabRcdField.InsertField(n);
  Tbl::TabRcdField.InsertFieldMac(7, L'%');
  Tbl::InpFile = ScratchName("data.txt");
  Tbl::BegParam = L"begin.txt";
  Tbl::PathBlank = ScratchName("") + L";" + ScratchName("");

  Tbl reader;
  if (!reader.GetHider()) abort();
  reader.GetBegin();
  // Every record takes at least one byte of the file, so there are never
  // more records than bytes.
  size_t records = 0;
  while (reader.GetRecord()) {
    if (++records > files[0].size()) abort();
    if (Tbl::FirstOst != Tbl::TabRcdField.AllOst()) abort();
  }
  vexo::ResetRunState();
  return 0;
}
