#include "io/OutputFile.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// Standard output ("CON"), failing names and whole reports are left to the
// end-to-end cases, which reach neither appending nor values without bytes.
TEST(OutputFile, AppendsOnRequestAndDropsOnlyWhatHasNoBytes) {
  std::string dir = testing::TempDir() + "vexo_output_XXXXXX";
  ASSERT_NE(mkdtemp(dir.data()), nullptr);
  const std::wstring name = std::wstring(dir.begin(), dir.end()) + L"/r";
  for (bool append : {false, true}) {
    OutputFile(name.c_str(), false) << L"old ";
    OutputFile(name.c_str(), append)
        << std::wstring{L'\x41F', wchar_t(0x200000), wchar_t(0xFFFFFFD0)} << L"" << L"." << -12L
        << 0L;
    std::ifstream in(dir + "/r", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
              append ? "old \xD0\x9F\xD0.-120" : "\xD0\x9F\xD0.-120");
  }
  EXPECT_FALSE(OutputFile((name + wchar_t(0x200000)).c_str(), false).IsUsable());
  std::filesystem::remove_all(dir);
}

}  // namespace
