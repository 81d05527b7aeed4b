#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Tbl.h"

namespace {

// The settings B F I O P after reading args, joined with "|".
std::wstring Read(std::vector<std::string> args, int argc) {
  Tbl::BlankFile = Tbl::BegParam = Tbl::PathBlank = L"";
  Tbl::InpFile = L"NULL";
  Tbl::OutFile = L"CON";
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  Tbl::ReadCommandLine(argc, argv.data());
  return Tbl::BlankFile + L"|" + Tbl::BegParam + L"|" + Tbl::InpFile + L"|" + Tbl::OutFile + L"|" +
         Tbl::PathBlank;
}

TEST(ReadCommandLine, OptionsSetTheirSettingLastOneWins) {
  const std::wstring none = L"||NULL|CON|";
  const std::wstring cyrillic{static_cast<wchar_t>(0xFFFFFFD0), static_cast<wchar_t>(0xFFFFFF9F)};
  const struct {
    std::vector<std::string> args;
    std::wstring expected;
  } cases[] = {{{"vexo", "-Bb", "-Ff", "-Ii", "-Oo", "-Pp"}, L"b|f|i|o|p"},
               {{"vexo", "-bb", "-ff", "-ii", "-oo", "-pp"}, L"b|f|i|o|p"},
               {{"-Bzeroth"}, L"zeroth||NULL|CON|"},
               {{"vexo", "-I", "data.txt", "-O"}, L"||||"},
               {{"vexo", "-Ofirst", "-osecond", "-I-O x"}, L"||-O x|second|"},
               {{"vexo", "/Oout", "Oout", "-Xout", "-", "--Oout", "", " -Oout"}, none},
               {{"vexo", "-B\xD0\x9F"}, cyrillic + L"||NULL|CON|"}};
  for (const auto& c : cases) {
    EXPECT_EQ(Read(c.args, static_cast<int>(c.args.size())), c.expected) << c.args.back();
  }
  for (int argc : {0, -1}) EXPECT_EQ(Read({"-Bform"}, argc), none);
  Read({}, 0);
}

}  // namespace
