#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "state/Tbl.h"

namespace {

// Either case, the zeroth argument included; the last one wins; bytes are
// widened by sign extension. Anything but "-", a letter and a value is ignored.
TEST(ReadCommandLine, OptionsSetTheirSettingLastOneWins) {
  const std::pair<std::vector<std::string>, std::wstring> cases[] = {
      {{"-Bb", "-Ff", "-Ii", "-Oo", "-Pp", "-Bq"}, L"q|f|i|o|p"},
      {{"-bb", "-ff", "-ii", "-oo", "-pp", "-I-O x", "-O"}, L"b|f|-O x||p"},
      {{"vexo", "/Oout", "Oout", "-Xout", "-", "--Oout", "", " -Oout"}, L"||||"},
      {{"vexo", "-B\xD0\x9F"}, std::wstring{wchar_t(0xFFFFFFD0), wchar_t(0xFFFFFF9F)} + L"||||"}};
  for (auto [args, expected] : cases) {
    Tbl::BlankFile = Tbl::BegParam = Tbl::InpFile = Tbl::OutFile = Tbl::PathBlank = L"";
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    Tbl::ReadCommandLine(static_cast<int>(args.size()), argv.data());
    const std::wstring got = Tbl::BlankFile + L"|" + Tbl::BegParam + L"|" + Tbl::InpFile + L"|" +
                             Tbl::OutFile + L"|" + Tbl::PathBlank;
    EXPECT_EQ(got, expected) << args.back();
  }
}

}  // namespace
