#include "Field.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <map>
#include <string>

namespace {

// "|" in these texts stands for the segment separator.
std::wstring Sep(std::wstring text, wchar_t from = L'|', wchar_t to = kSegmentSeparator) {
  for (wchar_t& c : text) c = c == from ? to : c;
  return text;
}

// Plays ops on a field holding value: g GetSym (noted, 0 as "0"), r ReturnSym,
// d DelSeparator, f First, s SavPosPut, p GoPosPut, t TrimRight, x Clear; any
// other character is appended. Returns "got value pos ostatok".
std::wstring Play(const std::wstring& value, const std::wstring& ops) {
  const std::map<wchar_t, void (Field::*)()> calls = {
      {L'r', &Field::ReturnSym}, {L'd', &Field::DelSeparator}, {L'f', &Field::First},
      {L's', &Field::SavPosPut}, {L'p', &Field::GoPosPut},     {L't', &Field::TrimRight},
      {L'x', &Field::Clear}};
  Field field(1);
  field.PutStr(Sep(value).c_str());
  std::wstring got;
  for (wchar_t op : ops) {
    const auto call = calls.find(op);
    if (op == L'g') {
      const wchar_t c = field.GetSym();
      got += c ? c : L'0';
    } else if (call != calls.end()) {
      (field.*call->second)();
    } else {
      field.PutSym(op);
    }
  }
  EXPECT_EQ(field.LenToEnd(), field.Exist() ? field.Value().size() - field.Pos() : 0);
  return Sep(got + L" " + field.Value() + L" " + std::to_wstring(field.Pos()) + L" " +
                 std::to_wstring(field.Ostatok()),
             kSegmentSeparator, L'|');
}

TEST(Field, ReadingWalksSegmentsAndStopsAtTheEnd) {
  const std::wstring cases[][3] = {
      {L"ABC|DE", L"", L" ABC|DE 0 3"},         {L"ABC|DE", L"ggg", L"ABC ABC|DE 3 0"},
      {L"ABC|DE", L"gggg", L"ABC| ABC|DE 4 2"}, {L"ABC|DE", L"gggd", L"ABC ABC|DE 4 2"},
      {L"ABC|DE", L"ggd", L"AB ABC|DE 2 1"},    {L"|X", L"", L" |X 0 0"},
      {L"AB", L"gggg", L"AB00 AB 2 0"},         {L"AB", L"r", L" AB 0 2"},
      {L"AB", L"ggggr", L"AB00 AB 1 1"},        {L"AB", L"ggf", L"AB AB 0 2"}};
  for (const auto& c : cases) EXPECT_EQ(Play(c[0], c[1]), c[2]) << c[0] << " " << c[1];
}

TEST(Field, WritingAppendsTakesBackAndTrims) {
  const std::wstring cases[][3] = {
      {L"AB", L"p", L"  0 0"},       {L"AB", L"s$1ggggpgd", L"AB$10 AB 4 0"},
      {L"AB", L"gxCDp", L"A  0 0"},  {L"A| \t\r\n", L"t", L" A| 0 1"},
      {L" \t", L"ggt", L" \t  2 0"}, {L" A\v", L"t", L"  A\v 0 3"}};
  for (const auto& c : cases) EXPECT_EQ(Play(c[0], c[1]), c[2]) << c[0] << " " << c[1];
}

TEST(FieldTab, SelectionByNumberAndBySymbol) {
  FieldTab tab;
  tab.InsertFieldMac(30, L'*');
  tab.InsertFieldMac(10, L'*');
  tab.InsertFieldMac(20, L'%');
  tab.InsertField(5);
  // Each step selects, then appends to whatever is current ("-" for none).
  const std::wstring steps[] = {L"*", L"!", L"%", std::wstring(1, L'\0'), L"30", L"7"};
  for (const std::wstring& step : steps) {
    if (iswdigit(step[0])) {
      tab.SetCurrent(std::stol(step));
    } else {
      tab.SetCurrentMac(step[0]);
    }
    tab.PutSym(step[0] ? step[0] : L'0');
  }
  std::wstring values;
  for (long n : {5L, 10L, 20L, 30L}) values += tab.FirstValue(n) + L" ";
  EXPECT_EQ(values, L"0 *! % 3 ");
  // Without a current field every cursor operation does nothing.
  tab.PutStr(L"abc");
  tab.InsSeparator();
  tab.ReturnSym();
  EXPECT_EQ(tab.GetSym() + tab.Ostatok(), 0);
  EXPECT_EQ(tab.AllOst(), 5u);
  tab.freeAll();
  EXPECT_FALSE(tab.SetCurrentMac(L'*') || tab.SetCurrent(5) || tab.SetCurrentMac(0));
}

TEST(FieldTab, InsertFieldMacAcceptsOnlyTheSameSymbolAgain) {
  FieldTab tab;
  std::string results;
  for (bool ok : {tab.InsertFieldMac(1, L'*'), tab.InsertFieldMac(1, L'*'),
                  tab.InsertFieldMac(1, L'%'), tab.InsertField(2), tab.InsertField(2),
                  tab.InsertFieldMac(2, L'*'), tab.InsertFieldMac(2, 0), tab.InsertField(1)}) {
    results += ok ? "+" : "-";
  }
  EXPECT_EQ(results, "++-+--+-");
}

TEST(FieldTab, WholeTableRemainderFirstValueAndClear) {
  FieldTab tab;
  EXPECT_EQ(tab.AllOst(), 0u);
  for (long n : {1L, 2L, 3L}) tab.InsertField(n);
  tab.SetCurrent(1);
  tab.PutStr(Sep(L"abc|de ").c_str());
  tab.SetCurrent(3);
  tab.PutStr(L"xy");
  tab.GetSym();
  tab.GetSym();
  EXPECT_EQ(tab.AllOst(), 7u);
  EXPECT_TRUE(tab.Exist() && !tab.ExistOst(3) && !tab.ExistOst(4));
  EXPECT_EQ(tab.FirstValue(1) + tab.FirstValue(3) + tab.FirstValue(4), L"abcxy");
  tab.First(3);
  EXPECT_TRUE(tab.ExistOst(3));
  tab.DelEndBlank();
  EXPECT_EQ(tab.AllOst(), 8u);
  tab.Clear();
  EXPECT_FALSE(tab.Exist() || tab.InsertField(2));
}

}  // namespace
