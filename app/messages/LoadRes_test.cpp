#include "LoadRes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Tbl.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct Message {
  unsigned short number;
  const char* russian;
  const char* english;
};

const Message kMessages[] = {
    {11103, "Vexo", "Vexo"},
    {11104, "Ошибка в формате команды ПЕРЕХОД:", "Bad format operation JUMP:"},
    {11105, "Неверное число строк в блоке:", "Incorrect line number in block:"},
    {11106, "Неверное число повторений в блоке:", "Incorrect repeat number in block:"},
    {11107, "Повторное появление метки:", "Repeated label declaration:"},
    {11108, "Переопределение макросимвола или поля:", "Repeated macro symbol or field declaration:"},
    {11109, "Неизвестная команда:", "Unknown operation:"},
    {11110, "Метка не найдена:", "Label not fount:"},
    {11111, "Неверное число строк в блоке повторения", "Incorrect line number in repeat block"},
    {11112, "Циклический переход в бланке", "Cycling jump in template"},
    {11113, "Не найден входной файл:", "No find input file:"},
    {11114, "Невозможно открыть выходной файл:", "Error open output file:"},
    {11115, "Ошибка при загрузке бланка:", "Error template load:"},
    {11116, "!!! Обработка прекращена из-за зацикливания бланка последующих листов !!!",
     "!!! Processing aborted as a result of cycling template nextes pages !!!"},
};

// Restores the language flag when a test that sets it ends.
struct EnglishFlag {
  explicit EnglishFlag(bool on) { g_StringENU = on; }
  ~EnglishFlag() { g_StringENU = false; }
};

std::string Load(unsigned char* start, unsigned char* end, unsigned short number) {
  char buffer[256];
  unsigned long n = LoadString(buffer, sizeof(buffer), start, end, number);
  return std::string(buffer, n);
}

std::string LoadRussian(unsigned short number) {
  return Load(_binary_resource_res_start, _binary_resource_res_end, number);
}

// A string-table block: header with the given type and number, 16 entries.
Bytes Block(unsigned number, const std::vector<std::string>& texts, unsigned type = 6) {
  Bytes body;
  for (size_t k = 0; k < 16; ++k) {
    const std::string text = k < texts.size() ? texts[k] : std::string();
    body.push_back(static_cast<unsigned char>(text.size()));
    body.insert(body.end(), text.begin(), text.end());
  }
  const size_t n = body.size();
  Bytes block = {0xFF, static_cast<unsigned char>(type), static_cast<unsigned char>(type >> 8), 0xFF,
                 static_cast<unsigned char>(number), static_cast<unsigned char>(number >> 8), 0x30, 0x10,
                 static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8),
                 static_cast<unsigned char>(n >> 16), static_cast<unsigned char>(n >> 24)};
  block.insert(block.end(), body.begin(), body.end());
  return block;
}

Bytes FirstBlock() { return Block(1, {"a", "", "xyz"}); }

// Two blocks: 0 "a", 1 empty, 2 "xyz"; then 16 "hello", 31 "end".
Bytes SmallTable() {
  Bytes table = FirstBlock();
  std::vector<std::string> second(16);
  second[0] = "hello";
  second[15] = "end";
  Bytes more = Block(2, second);
  table.insert(table.end(), more.begin(), more.end());
  return table;
}

std::string Load(Bytes& table, unsigned short number) {
  return Load(table.data(), table.data() + table.size(), number);
}

TEST(StringTables, EveryTextInBothLanguagesIsByteExact) {
  for (const Message& m : kMessages) {
    EXPECT_EQ(LoadRussian(m.number), m.russian) << m.number;
    EXPECT_EQ(Load(_binary_resource_enu_res_start, _binary_resource_enu_res_end, m.number), m.english)
        << m.number;
    EXPECT_EQ(LoadStringFromResource(m.number), DBString(m.russian)) << m.number;
    EXPECT_EQ(LoadStringFromResourceENU(m.number), DBString(m.english)) << m.number;
  }
}

TEST(StringTables, LinkedTableStartsWithBlock694) {
  const Bytes header(_binary_resource_res_start, _binary_resource_res_start + 12);
  EXPECT_EQ(header, Bytes({0xFF, 6, 0, 0xFF, 0xB6, 0x02, 0x30, 0x10, 20, 0, 0, 0}));
}

TEST(MessageLookup, FlagChoosesTheLanguage) {
  EXPECT_EQ(_S_(11113), L"Не найден входной файл:");
  EnglishFlag english(true);
  EXPECT_EQ(_S_(11113), L"No find input file:");
}

TEST(MessageLookup, NumbersWithoutTextGiveTheFallback) {
  for (unsigned short n : {0, 1, 11088, 11102, 11117, 11119, 11120, 65535}) {
    const std::wstring suffix = std::to_wstring(n);
    EXPECT_EQ(_S_(n), L"RUS" + suffix);
    EXPECT_EQ(LoadStringFromResource(n), L"RUS" + suffix);
    EXPECT_EQ(LoadStringFromResourceENU(n), L"ENU" + suffix);
  }
  EnglishFlag english(true);
  EXPECT_EQ(_S_(11117), L"ENU11117");
  EXPECT_EQ(LoadStringFromResource(11117), L"RUS11117");
}

TEST(MessageLookup, ErrorNumbersMapToTheirMessages) {
  for (unsigned e = 0; e <= 12; ++e) {
    EXPECT_EQ(Tbl::Err(static_cast<Tbl::numErr>(e)), DBString(kMessages[e + 1].russian)) << e;
  }
  EXPECT_EQ(Tbl::Err(Tbl::errRepeatLines), L"Неверное число строк в блоке повторения");
  EXPECT_EQ(Tbl::Err(static_cast<Tbl::numErr>(13)), L"RUS0");
  EXPECT_EQ(Tbl::Err(static_cast<Tbl::numErr>(15)), L"RUS0");
  EnglishFlag english(true);
  EXPECT_EQ(Tbl::Err(Tbl::errCycleSheets), DBString(kMessages[13].english));
}

TEST(LoadStringBounds, CopiesAtMostTheBufferSizeWithoutTerminator) {
  const std::string text = kMessages[1].russian;
  for (unsigned long size : {0ul, 1ul, 9ul, 10ul, 11ul, text.size() - 1, text.size(), text.size() + 1, 256ul}) {
    std::string buffer(300, 'x');
    const unsigned long copied = LoadString(&buffer[0], size, _binary_resource_res_start,
                                            _binary_resource_res_end, 11104);
    const size_t expected = std::min<size_t>(size, text.size());
    EXPECT_EQ(copied, expected) << size;
    EXPECT_EQ(buffer.substr(0, expected), text.substr(0, expected)) << size;
    EXPECT_EQ(buffer.substr(expected), std::string(300 - expected, 'x')) << size;
  }
  std::string buffer(16, 'x');
  LoadString(&buffer[0], 10, _binary_resource_res_start, _binary_resource_res_end, 11104);
  EXPECT_EQ(buffer, "Ошибк" + std::string(6, 'x'));
}

TEST(LoadStringBounds, RefusesEmptyOrReversedTablesAndNullBuffers) {
  Bytes table = SmallTable();
  unsigned char* start = table.data();
  unsigned char* end = start + table.size();
  char buffer[8];
  EXPECT_EQ(LoadString(buffer, 8, start, end, 16), 5u);
  EXPECT_EQ(LoadString(nullptr, 8, start, end, 16), 0u);
  EXPECT_EQ(LoadString(buffer, 8, start, start, 16), 0u);
  EXPECT_EQ(LoadString(buffer, 8, end, start, 16), 0u);
  EXPECT_EQ(LoadString(buffer, 8, nullptr, end, 16), 0u);
}

TEST(LoadStringBounds, DamagedHeadersEndTheSearch) {
  for (size_t marker : {0, 3}) {
    Bytes table = SmallTable();
    table[marker] = 0xFE;
    for (unsigned n = 0; n <= 65535; ++n) ASSERT_EQ(Load(table, static_cast<unsigned short>(n)), "") << n;
    table = SmallTable();
    table[FirstBlock().size() + marker] = 0;
    EXPECT_EQ(Load(table, 2), "xyz");
    EXPECT_EQ(Load(table, 16), "");
  }
}

TEST(LoadStringBounds, BlocksAreMatchedByTypeAndRange) {
  Bytes table = Block(695, {"other"}, 5);
  for (const Bytes& more : {Block(695, {"", "first"}), Block(4096, {"low"}), Block(1, {"zero"}),
                            Block(695, {"late", "second"})}) {
    table.insert(table.end(), more.begin(), more.end());
  }
  EXPECT_EQ(Load(table, 11104), "late");
  EXPECT_EQ(Load(table, 11105), "first");
  EXPECT_EQ(Load(table, 65520), "low");
  EXPECT_EQ(Load(table, 0), "zero");
  EXPECT_EQ(Load(table, 11106), "");
}

TEST(LoadStringBounds, TruncatedTableIsNeverReadPastItsEnd) {
  const Bytes full = SmallTable();
  struct Entry {
    unsigned short number;
    std::string text;
    size_t end;  // offset just past the entry's last byte
  } entries[] = {{0, "a", 12 + 2}, {1, "", 0}, {2, "xyz", 12 + 2 + 1 + 4}, {3, "", 0},
                 {16, "hello", FirstBlock().size() + 12 + 6}, {31, "end", full.size()}};
  for (size_t length = 0; length <= full.size(); ++length) {
    Bytes table(full.begin(), full.begin() + length);  // exactly sized, so over-reads are caught
    for (const Entry& e : entries) {
      const bool whole = e.end != 0 && length >= e.end;
      EXPECT_EQ(Load(table, e.number), whole ? e.text : "") << length << " " << e.number;
    }
  }
}

class StringTableTool : public ::testing::Test {
 protected:
  std::string dir_ = ::testing::TempDir();
  std::string input_ = dir_ + "vexo_messages_in.txt";
  std::string output_ = dir_ + "vexo_messages_out.res";

  // Runs the generator on the given text; its exit status.
  int Run(const std::string& text) {
    std::ofstream(input_, std::ios::binary) << text;
    std::remove(output_.c_str());
    const std::string command = std::string("'") + VEXO_STRING_TABLE_TOOL + "' '" + input_ + "' '" +
                                output_ + "' 2>/dev/null";
    return std::system(command.c_str());
  }

  Bytes Output() {
    std::ifstream in(output_, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
};

TEST_F(StringTableTool, WritesBlocksInTheResourceLayout) {
  ASSERT_EQ(Run("# comment\n\n31 end\r\n0 a\n2 xyz\n16 hello\n"), 0);
  EXPECT_EQ(Output(), SmallTable());
}

TEST_F(StringTableTool, RefusesWhatAnEntryCannotHold) {
  for (size_t n : {254, 255, 256, 300}) {
    EXPECT_EQ(Run("7 " + std::string(n, 'x') + "\n") == 0, n <= 255) << n;
    EXPECT_EQ(Output().empty(), n > 255) << n;
  }
  for (const char* bad : {"5 a\n5 b\n", "65536 x\n", "x 5\n", "12\tx\n", "-1 x\n"}) {
    EXPECT_NE(Run(bad), 0) << bad;
    EXPECT_TRUE(Output().empty()) << bad;
  }
  std::vector<std::string> top(16);
  top[15] = "top";
  EXPECT_EQ(Run("65535 top\n"), 0);
  EXPECT_EQ(Output(), Block(4096, top));
}

}  // namespace
