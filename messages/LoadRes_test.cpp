#include "messages/LoadRes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "messages/ErrorText.h"
#include "util/test_scratch.h"

namespace {

using Bytes = std::vector<unsigned char>;

// The texts of one language as the text sources give them, by number.
std::map<unsigned, std::string> Texts(bool english) {
  std::ifstream in(std::string(VEXO_MESSAGES_DIR) +
                   (english ? "/resource_enu.txt" : "/resource.txt"));
  std::map<unsigned, std::string> texts;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    const size_t space = line.find(' ');
    texts[std::stoul(line.substr(0, space))] = line.substr(space + 1);
  }
  return texts;
}

std::string Load(Bytes& t, unsigned short number) {
  char buffer[256];
  return std::string(buffer,
                     LoadString(buffer, sizeof(buffer), t.data(), t.data() + t.size(), number));
}

// A table block of number n and the given type; entries not listed are empty.
std::string Block(unsigned n, std::map<int, std::string> texts, unsigned type = 6) {
  std::string body;
  for (int k = 0; k < 16; ++k) body += static_cast<char>(texts[k].size()) + texts[k];
  std::string block = {'\xFF', char(type), char(type >> 8), '\xFF', char(n), char(n >> 8),
                       0x30,   0x10};
  for (int i = 0; i < 4; ++i) block += static_cast<char>(body.size() >> (8 * i));
  return block + body;
}

Bytes Table(const std::string& blocks) { return Bytes(blocks.begin(), blocks.end()); }

// Two blocks, of 32 and 36 bytes.
const Bytes kSmallTable =
    Table(Block(1, {{0, "a"}, {2, "xyz"}}) + Block(2, {{0, "hello"}, {15, "end"}}));

TEST(MessageLookup, EveryTextInBothLanguagesIsByteExactAndTheFlagChoosesTheLanguage) {
  auto rusTexts = Texts(false), enuTexts = Texts(true);
  ASSERT_EQ(rusTexts.size(), 14u);
  ASSERT_EQ(enuTexts.size(), 14u);
  for (bool english : {false, true}) {
    g_StringENU = english;
    // The two blocks of the texts and either side.
    for (unsigned short n = 11087; n <= 11121; ++n) {
      const std::string rus = rusTexts.count(n) ? rusTexts[n] : "RUS" + std::to_string(n);
      const std::string enu = enuTexts.count(n) ? enuTexts[n] : "ENU" + std::to_string(n);
      EXPECT_EQ(LoadStringFromResource(n).ToStr(), rus) << n;
      EXPECT_EQ(LoadStringFromResourceENU(n).ToStr(), enu) << n;
      EXPECT_EQ(_S_(n).ToStr(), english ? enu : rus) << n;
    }
    // errJump to errCycleSheets, then numbers without a message.
    for (unsigned e = 0; e <= 15; ++e) {
      const std::string text = e > 12    ? (english ? "ENU0" : "RUS0")
                               : english ? enuTexts[11104 + e]
                                         : rusTexts[11104 + e];
      EXPECT_EQ(vexo::MessageText(vexo::ErrorMessageNumber(e)), DBString(text)) << e;
    }
  }
  g_StringENU = false;
}

TEST(LoadStringBounds, CopiesAtMostTheBufferSizeWithoutTerminator) {
  const std::string text = Texts(false)[11104];
  for (unsigned long size = 0; size <= text.size() + 1; ++size) {
    std::string buffer(300, 'x');
    const size_t n = std::min<size_t>(size, text.size());  // the bytes to be copied
    EXPECT_EQ(
        LoadString(&buffer[0], size, _binary_resource_res_start, _binary_resource_res_end, 11104),
        n);
    EXPECT_EQ(buffer, text.substr(0, n) + std::string(300 - n, 'x')) << size;
  }
  Bytes table = kSmallTable;
  char buffer[8];
  EXPECT_EQ(LoadString(nullptr, 8, table.data(), table.data() + table.size(), 16), 0u);
  EXPECT_EQ(LoadString(buffer, 8, table.data() + table.size(), table.data(), 16), 0u);
  EXPECT_EQ(LoadString(buffer, 8, nullptr, table.data() + table.size(), 16), 0u);
}

TEST(LoadStringBounds, BlocksMatchByTypeAndRangeAndADamagedHeaderEndsTheSearch) {
  Bytes t =
      Table(Block(695, {{0, "other"}}, 5) + Block(695, {{1, "first"}}) + Block(4096, {{0, "low"}}) +
            Block(1, {{0, "zero"}}) + Block(695, {{0, "late"}, {1, "second"}}));
  EXPECT_EQ(Load(t, 11104) + Load(t, 11105) + Load(t, 65520) + Load(t, 0) + Load(t, 11106),
            "late"
            "first"
            "low"
            "zero");
  for (size_t marker : {0, 3, 32, 35}) {  // either marker of either block
    t = kSmallTable;
    t[marker] = 0xFE;
    EXPECT_EQ(Load(t, 2) + Load(t, 16), marker < 32 ? "" : "xyz") << marker;
  }
}

TEST(LoadStringBounds, TruncatedTableIsNeverReadPastItsEnd) {
  // Number, text, and the offset just past the entry's last byte.
  const std::tuple<unsigned short, std::string, size_t> entries[] = {
      {0, "a", 14}, {1, "", 0}, {2, "xyz", 19}, {16, "hello", 50}, {31, "end", 68}};
  for (size_t length = 0; length <= kSmallTable.size(); ++length) {
    Bytes table(kSmallTable.begin(),
                kSmallTable.begin() + length);  // exactly sized: over-reads are caught
    for (const auto& [number, text, end] : entries) {
      EXPECT_EQ(Load(table, number), end != 0 && length >= end ? text : "")
          << length << " " << number;
    }
  }
}

// Runs the table generator on text in a scratch directory of its own; its
// exit status and what it wrote.
std::pair<int, Bytes> RunGenerator(const std::string& text) {
  const ScratchDir dir;
  const std::string base = dir.Path("table");
  dir.Write("table.txt", text);
  const std::string run =
      "'" VEXO_STRING_TABLE_TOOL "' '" + base + ".txt' '" + base + ".res' 2>/dev/null";
  const int status = std::system(run.c_str());
  std::ifstream in(base + ".res", std::ios::binary);
  return {status, Bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()}};
}

TEST(StringTableGenerator, WritesBlocksAndRefusesWhatAnEntryCannotHold) {
  EXPECT_EQ(RunGenerator("# comment\n\n31 end\r\n0 a\n2 xyz\n16 hello\n"),
            std::make_pair(0, kSmallTable));
  EXPECT_EQ(RunGenerator("65535 top\n"), std::make_pair(0, Table(Block(4096, {{15, "top"}}))));
  for (int n : {254, 255, 256})
    EXPECT_EQ(RunGenerator("7 " + std::string(n, 'x')).first == 0, n <= 255) << n;
  for (const char* bad :
       {"5 a\n5 b\n", "65536 x\n", "x 5\n", "12\tx\n", "99999999999999999999 x"}) {
    const auto [status, output] = RunGenerator(bad);
    EXPECT_TRUE(status != 0 && output.empty()) << bad;
  }
}

}  // namespace
