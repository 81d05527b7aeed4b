#include "io/OutputFile.h"

#include <gtest/gtest.h>

#include <string>

#include "util/test_scratch.h"

namespace {

// Standard output ("CON"), failing names and whole reports are left to the
// end-to-end cases, which reach neither appending nor values without bytes.
TEST(OutputFile, AppendsOnRequestAndDropsOnlyWhatHasNoBytes) {
  const ScratchDir dir;
  const std::wstring name = dir.WidePath("r");
  for (bool append : {false, true}) {
    OutputFile(name.c_str(), false) << L"old ";
    OutputFile(name.c_str(), append)
        << std::wstring{L'\x41F', wchar_t(0x200000), wchar_t(0xFFFFFFD0)} << L"" << L"." << -12L
        << 0L;
    EXPECT_EQ(dir.Read("r"), append ? "old \xD0\x9F\xD0.-120" : "\xD0\x9F\xD0.-120");
  }
  EXPECT_FALSE(OutputFile((name + wchar_t(0x200000)).c_str(), false).IsUsable());
}

}  // namespace
