#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "data/DataWriter.h"
#include "state/Tbl.h"
#include "util/DBString.h"
#include "util/test_scratch.h"

namespace {

using Segments = std::vector<std::wstring>;

// What the reader should hold for a cell: line breaks and tabs become one
// space, other control characters go, trailing spaces go.
std::wstring Expected(const std::wstring& cell) {
  std::wstring text;
  for (size_t i = 0; i < cell.size(); ++i) {
    if (cell[i] == L'\r' && i + 1 < cell.size() && cell[i + 1] == L'\n') continue;
    if (cell[i] == L'\r' || cell[i] == L'\n' || cell[i] == L'\t') {
      text += L' ';
    } else if (cell[i] >= 0x20) {
      text += cell[i];
    }
  }
  return text.erase(text.find_last_not_of(L' ') + 1);
}

std::wstring Joined(const Segments& segments) {
  std::wstring text;
  for (size_t k = 0; k < segments.size(); ++k) text += (k ? L"\x01" : L"") + Expected(segments[k]);
  return text;
}

std::wstring Held(FieldTab& tab, long n) {
  if (!tab.SetCurrent(n)) return L"<none>";
  tab.First(n);
  std::wstring text;
  for (wchar_t c = tab.GetSym(); c; c = tab.GetSym()) text += c;
  return text;
}

std::string Utf8(const std::wstring& text) { return DBString(text).ToStr(); }

// Random header and records of cells made of every piece the format treats
// specially, some fields given two or three segments, some records a sheet
// break: the scanners read back every cell after the documented changes.
TEST(DataWriterTest, ScannersReadBackEveryCell) {
  const std::wstring pieces[] = {L"@",   L"$",      L"&",   L"\\",   L">",     L";",  L"7",
                                 L"$1;", L"&2;",    L"\\@", L"@\n",  L"\r\n",  L"\n", L"\r",
                                 L"\t",  L" ",      L"   ", L"\x01", L"\x1f",  L"я",  L"Жук",
                                 L"😀",   L"\uFEFF", L"a b", L"?",    L"\\\n>", L"\n>"};
  std::mt19937 random(20);
  const auto pick = [&](size_t n) { return random() % n; };
  const auto cells = [&] {
    Segments segments(1 + pick(6) / 4);
    for (auto& segment : segments)
      for (size_t k = pick(7); k > 0; --k) segment += pieces[pick(std::size(pieces))];
    return segments;
  };
  // A directory of its own: test runs at once on one machine must not meet.
  const ScratchDir dir;
  const std::string path = dir.Path("data.txt");
  for (int round = 0; round < 300; ++round) {
    std::ostringstream out;
    vexo::DataWriter writer(out);
    std::map<long, Segments> header;
    for (long n = 0; n < 4; ++n)
      if (pick(2)) header[n] = cells();
    for (const auto& [n, segments] : header)
      for (const auto& segment : segments) ASSERT_TRUE(writer.Header(n, Utf8(segment)));
    std::vector<std::pair<std::map<long, Segments>, bool>> records(pick(4));
    for (auto& [fields, sheetBreak] : records) {
      if ((sheetBreak = pick(4) == 0)) writer.SheetBreak();
      for (long n = 1; n <= 3; ++n)
        if (pick(3)) fields[n] = cells();
      for (const auto& [n, segments] : fields)
        for (const auto& segment : segments) ASSERT_TRUE(writer.Field(n, Utf8(segment)));
      writer.EndRecord();
    }
    std::ofstream(path, std::ios::binary) << out.str();

    vexo::ResetRunState();
    Tbl::InpFile.assign(path.begin(), path.end());
    for (long n = 0; n <= 3; ++n) Tbl::TabRcdField.InsertField(n);
    Tbl table;
    ASSERT_EQ(table.GetHider(), 1);
    for (long n = 0; n < 4; ++n)
      EXPECT_EQ(Held(Tbl::TabHdrField, n), header.count(n) ? Joined(header[n]) : L"<none>")
          << out.str();
    for (auto& [fields, sheetBreak] : records) {
      Tbl::totBreak = 0;
      ASSERT_EQ(table.GetRecord(), 1) << out.str();
      EXPECT_EQ(Tbl::totBreak, sheetBreak ? 1 : 0) << out.str();
      for (long n = 0; n <= 3; ++n)
        EXPECT_EQ(Held(Tbl::TabRcdField, n), n ? Joined(fields[n]) : L"") << out.str();
    }
    EXPECT_EQ(table.GetRecord(), 0);
  }
}

// Code points at the edges of the UTF-8 ranges, in their shortest form and
// one byte longer, and cut short: a text is taken exactly when it is a
// Unicode scalar value in its shortest form. Numbers the file cannot hold
// and headers after the first record are refused too; nothing refused is
// written.
TEST(DataWriterTest, TakesExactlyWhatCanBeReadBack) {
  const auto shortest = [](uint32_t c) {
    return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
  };
  const auto encode = [](uint32_t c, int length) {
    if (length == 1) return std::string(1, static_cast<char>(c));
    std::string bytes(1, static_cast<char>((0xF00 >> length) | (c >> (6 * (length - 1)))));
    for (int k = length - 2; k >= 0; --k)
      bytes += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
    return bytes;
  };
  std::ostringstream out;
  vexo::DataWriter writer(out);
  std::string written;
  for (uint32_t edge : {0x80u, 0x800u, 0xD800u, 0xE000u, 0x10000u, 0x110000u}) {
    for (uint32_t c = edge - 2; c < edge + 2; ++c) {
      for (int length = shortest(c); length <= std::min(4, shortest(c) + 1); ++length) {
        const std::string bytes = encode(c, length);
        const bool valid = length == shortest(c) && (c < 0xD800 || c > 0xDFFF) && c <= 0x10FFFF;
        EXPECT_EQ(writer.Header(1, bytes), valid) << std::hex << c << " in " << length;
        if (valid) written += "&1;" + bytes + "\n";
        if (length > 1) {
          EXPECT_FALSE(writer.Header(1, bytes.substr(0, bytes.size() - 1)));
        }
      }
    }
  }
  EXPECT_FALSE(writer.Header(-1, "x"));
  EXPECT_FALSE(writer.Field(0, "x"));
  EXPECT_TRUE(writer.Field(1, "x"));
  EXPECT_FALSE(writer.Header(1, "late"));
  EXPECT_EQ(out.str(), written + "$1;x\n");
}

}  // namespace
