#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Tbl.h"

namespace {

struct Settings {
  std::wstring blank, beg, inp, out, path;
  bool operator==(const Settings& o) const {
    return blank == o.blank && beg == o.beg && inp == o.inp && out == o.out && path == o.path;
  }
};

Settings Current() {
  return {Tbl::BlankFile, Tbl::BegParam, Tbl::InpFile, Tbl::OutFile, Tbl::PathBlank};
}

void PrintTo(const Settings& s, std::ostream* os) {
  *os << testing::PrintToString(std::vector<std::wstring>{s.blank, s.beg, s.inp, s.out, s.path});
}

void Reset() {
  Tbl::BlankFile.clear();
  Tbl::BegParam.clear();
  Tbl::InpFile = L"NULL";
  Tbl::OutFile = L"CON";
  Tbl::PathBlank.clear();
}

Settings Read(std::vector<std::string> args, int argc) {
  Reset();
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  Tbl::ReadCommandLine(argc, argv.data());
  return Current();
}

TEST(ReadCommandLine, OptionsSetTheirSettingLastOneWins) {
  const Settings none{L"", L"", L"NULL", L"CON", L""};
  const std::wstring cyrillic{static_cast<wchar_t>(0xFFFFFFD0), static_cast<wchar_t>(0xFFFFFF9F)};
  struct Case {
    std::vector<std::string> args;
    Settings expected;
  } cases[] = {
      {{"vexo"}, none},
      {{"vexo", "-Bform", "-Fbeg.txt", "-Idata.txt", "-Oout.txt", "-P/usr/forms"},
       {L"form", L"beg.txt", L"data.txt", L"out.txt", L"/usr/forms"}},
      {{"vexo", "-bform", "-fbeg.txt", "-idata.txt", "-oout.txt", "-p/usr/forms"},
       {L"form", L"beg.txt", L"data.txt", L"out.txt", L"/usr/forms"}},
      {{"-Bzeroth"}, {L"zeroth", L"", L"NULL", L"CON", L""}},
      {{"vexo", "-I", "data.txt"}, {L"", L"", L"", L"CON", L""}},
      {{"vexo", "-O"}, {L"", L"", L"NULL", L"", L""}},
      {{"vexo", "-Ofirst.txt", "-osecond.txt"}, {L"", L"", L"NULL", L"second.txt", L""}},
      {{"vexo", "/Oout.txt", "Oout.txt", "-Xout.txt", "-", "--Oout", "", " -Oout"}, none},
      {{"vexo", "-I-O x"}, {L"", L"", L"-O x", L"CON", L""}},
      {{"vexo", "-B\xD0\x9F"}, {cyrillic, L"", L"NULL", L"CON", L""}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Read(c.args, static_cast<int>(c.args.size())), c.expected)
        << testing::PrintToString(c.args);
  }
  // With a count below 1 nothing is examined.
  for (int argc : {0, -1}) EXPECT_EQ(Read({"-Bform", "-Ix"}, argc), none);
  Reset();
}

}  // namespace
