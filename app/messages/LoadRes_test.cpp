#include "LoadRes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "Tbl.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Russian and English text of messages 11103 to 11116.
const char* const kTexts[][2] = {
    {"Vexo", "Vexo"},
    {"Ошибка в формате команды ПЕРЕХОД:", "Bad format operation JUMP:"},
    {"Неверное число строк в блоке:", "Incorrect line number in block:"},
    {"Неверное число повторений в блоке:", "Incorrect repeat number in block:"},
    {"Повторное появление метки:", "Repeated label declaration:"},
    {"Переопределение макросимвола или поля:", "Repeated macro symbol or field declaration:"},
    {"Неизвестная команда:", "Unknown operation:"},
    {"Метка не найдена:", "Label not fount:"},
    {"Неверное число строк в блоке повторения", "Incorrect line number in repeat block"},
    {"Циклический переход в бланке", "Cycling jump in template"},
    {"Не найден входной файл:", "No find input file:"},
    {"Невозможно открыть выходной файл:", "Error open output file:"},
    {"Ошибка при загрузке бланка:", "Error template load:"},
    {"!!! Обработка прекращена из-за зацикливания бланка последующих листов !!!",
     "!!! Processing aborted as a result of cycling template nextes pages !!!"},
};

std::string Load(unsigned char* start, unsigned char* end, unsigned short number) {
  char buffer[256];
  return std::string(buffer, LoadString(buffer, sizeof(buffer), start, end, number));
}

std::string Load(Bytes& table, unsigned short number) {
  return Load(table.data(), table.data() + table.size(), number);
}

// A block of the given number and type; entries not listed are empty.
std::string Block(unsigned number, const std::map<int, std::string>& texts, unsigned type = 6) {
  std::string body;
  for (int k = 0; k < 16; ++k) {
    const std::string text = texts.count(k) ? texts.at(k) : "";
    body += static_cast<char>(text.size()) + text;
  }
  std::string block = {'\xFF', char(type), char(type >> 8), '\xFF', char(number), char(number >> 8), 0x30,
                       0x10};
  for (int i = 0; i < 4; ++i) block += static_cast<char>(body.size() >> (8 * i));
  return block + body;
}

Bytes Table(const std::string& blocks) { return Bytes(blocks.begin(), blocks.end()); }

const std::string kFirstBlock = Block(1, {{0, "a"}, {2, "xyz"}});
const Bytes kSmallTable = Table(kFirstBlock + Block(2, {{0, "hello"}, {15, "end"}}));

TEST(StringTables, EveryTextInBothLanguagesIsByteExact) {
  for (unsigned short n = 11103; n <= 11116; ++n) {
    const char* const* texts = kTexts[n - 11103];
    EXPECT_EQ(Load(_binary_resource_res_start, _binary_resource_res_end, n), texts[0]);
    EXPECT_EQ(Load(_binary_resource_enu_res_start, _binary_resource_enu_res_end, n), texts[1]);
    EXPECT_EQ(LoadStringFromResource(n), DBString(texts[0])) << n;
    EXPECT_EQ(LoadStringFromResourceENU(n), DBString(texts[1])) << n;
  }
}

TEST(MessageLookup, FlagChoosesTheTableAndMissingTextsFallBack) {
  EXPECT_EQ(_S_(11113), L"Не найден входной файл:");
  for (unsigned short n : {0, 1, 11088, 11102, 11117, 11119, 11120, 65535}) {
    EXPECT_EQ(_S_(n), L"RUS" + std::to_wstring(n));
    EXPECT_EQ(LoadStringFromResourceENU(n), L"ENU" + std::to_wstring(n));
  }
  g_StringENU = true;
  EXPECT_EQ(_S_(11113), L"No find input file:");
  EXPECT_EQ(_S_(11117), L"ENU11117");
  EXPECT_EQ(LoadStringFromResource(11117), L"RUS11117");
  g_StringENU = false;
}

TEST(MessageLookup, ErrorNumbersMapToTheirMessages) {
  for (unsigned e = 0; e <= 12; ++e) EXPECT_EQ(Tbl::Err(Tbl::numErr(e)), DBString(kTexts[e + 1][0])) << e;
  EXPECT_EQ(Tbl::Err(Tbl::numErr(13)), L"RUS0");
  EXPECT_EQ(Tbl::Err(Tbl::numErr(15)), L"RUS0");
  g_StringENU = true;
  EXPECT_EQ(Tbl::Err(Tbl::errCycleSheets), DBString(kTexts[13][1]));
  g_StringENU = false;
}

TEST(LoadStringBounds, CopiesAtMostTheBufferSizeWithoutTerminator) {
  const std::string text = kTexts[1][0];
  for (unsigned long size : {0ul, 1ul, 9ul, 10ul, 11ul, text.size() - 1, text.size(), text.size() + 1}) {
    std::string buffer(300, 'x');
    const size_t expected = std::min<size_t>(size, text.size());
    EXPECT_EQ(LoadString(&buffer[0], size, _binary_resource_res_start, _binary_resource_res_end, 11104),
              expected);
    EXPECT_EQ(buffer, text.substr(0, expected) + std::string(300 - expected, 'x')) << size;
  }
  Bytes table = kSmallTable;
  char buffer[8];
  EXPECT_EQ(LoadString(nullptr, 8, table.data(), table.data() + table.size(), 16), 0u);
  EXPECT_EQ(LoadString(buffer, 8, table.data() + table.size(), table.data(), 16), 0u);
  EXPECT_EQ(LoadString(buffer, 8, nullptr, table.data() + table.size(), 16), 0u);
}

TEST(LoadStringBounds, DamagedHeadersEndTheSearch) {
  for (size_t marker : {0, 3}) {
    Bytes table = kSmallTable;
    table[marker] = 0xFE;
    for (unsigned n = 0; n <= 65535; ++n) ASSERT_EQ(Load(table, static_cast<unsigned short>(n)), "") << n;
    table = kSmallTable;
    table[kFirstBlock.size() + marker] = 0;
    EXPECT_EQ(Load(table, 2) + Load(table, 16), "xyz");
  }
}

TEST(LoadStringBounds, BlocksAreMatchedByTypeAndRange) {
  Bytes table = Table(Block(695, {{0, "other"}}, 5) + Block(695, {{1, "first"}}) + Block(4096, {{0, "low"}}) +
                      Block(1, {{0, "zero"}}) + Block(695, {{0, "late"}, {1, "second"}}));
  EXPECT_EQ(Load(table, 11104), "late");
  EXPECT_EQ(Load(table, 11105), "first");
  EXPECT_EQ(Load(table, 65520), "low");
  EXPECT_EQ(Load(table, 0), "zero");
  EXPECT_EQ(Load(table, 11106), "");
}

TEST(LoadStringBounds, TruncatedTableIsNeverReadPastItsEnd) {
  const size_t second = kFirstBlock.size();
  // Number, text, and the offset just past the entry's last byte.
  const std::tuple<unsigned short, std::string, size_t> entries[] = {
      {0, "a", 14}, {1, "", 0},  {2, "xyz", 19},
      {3, "", 0},   {16, "hello", second + 18}, {31, "end", kSmallTable.size()}};
  for (size_t length = 0; length <= kSmallTable.size(); ++length) {
    Bytes table(kSmallTable.begin(), kSmallTable.begin() + length);  // exactly sized: over-reads are caught
    for (const auto& [number, text, end] : entries) {
      EXPECT_EQ(Load(table, number), end != 0 && length >= end ? text : "") << length << " " << number;
    }
  }
}

// Runs the table generator on text; its exit status and what it wrote.
std::pair<int, Bytes> RunGenerator(const std::string& text) {
  const std::string input = ::testing::TempDir() + "vexo_messages.txt";
  const std::string output = ::testing::TempDir() + "vexo_messages.res";
  std::ofstream(input, std::ios::binary) << text;
  std::remove(output.c_str());
  const std::string command = "'" VEXO_STRING_TABLE_TOOL "' '" + input + "' '" + output + "' 2>/dev/null";
  const int status = std::system(command.c_str());
  std::ifstream in(output, std::ios::binary);
  return {status, Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())};
}

TEST(StringTableGenerator, WritesBlocksAndRefusesWhatAnEntryCannotHold) {
  EXPECT_EQ(RunGenerator("# comment\n\n31 end\r\n0 a\n2 xyz\n16 hello\n"), std::make_pair(0, kSmallTable));
  EXPECT_EQ(RunGenerator("65535 top\n"), std::make_pair(0, Table(Block(4096, {{15, "top"}}))));
  for (size_t n : {254, 255, 256, 300}) {
    EXPECT_EQ(RunGenerator("7 " + std::string(n, 'x')).second.empty(), n > 255) << n;
  }
  for (const char* bad : {"5 a\n5 b\n", "65536 x\n", "x 5\n", "12\tx\n", "-1 x\n", "99999999999999999999 x"}) {
    const auto [status, output] = RunGenerator(bad);
    EXPECT_TRUE(status != 0 && output.empty()) << bad;
  }
}

}  // namespace
