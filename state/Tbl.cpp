// The run state: the settings, counters and field tables that every part of
// the run reads directly, with their start values.
#include "state/Tbl.h"

#include "messages/ErrorText.h"

namespace {

// The start values of the data file and output settings, which reset
// restores.
constexpr wchar_t kNoInputFile[] = L"NULL";
constexpr wchar_t kStandardOutput[] = L"CON";

}  // namespace

std::wstring Tbl::BlankFile;
std::wstring Tbl::BegParam;
std::wstring Tbl::InpFile = kNoInputFile;
std::wstring Tbl::OutFile = kStandardOutput;
std::wstring Tbl::PathBlank;
int Tbl::Add = 0;
int Tbl::totBreak = 0;
size_t Tbl::FirstOst = 0;
int Tbl::CountList = 0;
vexo::RunObserver* Tbl::Observer = nullptr;
FieldTab Tbl::TabHdrField;
FieldTab Tbl::TabRcdField;

std::wstring Tbl::Err(numErr e) {
  return vexo::MessageText(vexo::ErrorMessageNumber(static_cast<unsigned>(e)));
}

namespace vexo {

void ResetRunState() {
  Tbl::BlankFile.clear();
  Tbl::BegParam.clear();
  Tbl::InpFile = kNoInputFile;
  Tbl::OutFile = kStandardOutput;
  Tbl::PathBlank.clear();
  Tbl::Add = 0;
  Tbl::totBreak = 0;
  Tbl::FirstOst = 0;
  Tbl::CountList = 0;
  Tbl::TabHdrField.freeAll();
  Tbl::TabRcdField.freeAll();
}

}  // namespace vexo
