#include "Field.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::wstring kSep(1, kSegmentSeparator);

Field MakeField(const std::wstring& value) {
  Field field(1);
  field.PutStr(value.c_str());
  return field;
}

TEST(FieldRead, OstatokCountsToTheNextSeparatorOrEnd) {
  struct Case {
    std::wstring value;
    int reads;
    int expected;
  } cases[] = {
      {L"", 0, 0},           {L"abc" + kSep + L"de", 0, 3}, {L"abc" + kSep + L"de", 2, 1},
      {L"abc" + kSep + L"de", 3, 0}, {L"abc" + kSep + L"de", 4, 2}, {L"abc" + kSep + L"de", 6, 0},
      {kSep + L"x", 0, 0},   {L"xyz", 0, 3},                {L"xyz", 9, 0},
  };
  for (const Case& c : cases) {
    Field field = MakeField(c.value);
    for (int i = 0; i < c.reads; ++i) field.GetSym();
    EXPECT_EQ(field.Ostatok(), c.expected) << c.reads;
  }
}

TEST(FieldRead, GetSymHandsOutEveryCharacterThenZeroForever) {
  Field field = MakeField(L"ab" + kSep + L"c");
  const wchar_t expected[] = {L'a', L'b', kSegmentSeparator, L'c', 0, 0, 0};
  for (wchar_t want : expected) EXPECT_EQ(field.GetSym(), want);
  EXPECT_EQ(field.LenToEnd(), 0u);
  EXPECT_FALSE(field.Exist());
}

TEST(FieldRead, ReturnSymStepsBackButNeverBelowZero) {
  Field field = MakeField(L"ab");
  field.ReturnSym();
  EXPECT_EQ(field.Pos(), 0u);
  field.GetSym();
  field.GetSym();
  field.ReturnSym();
  EXPECT_EQ(field.GetSym(), L'b');
  field.First();
  EXPECT_EQ(field.LenToEnd(), 2u);
}

TEST(FieldRead, DelSeparatorPassesOnlyASeparator) {
  Field field = MakeField(L"a" + kSep);
  field.DelSeparator();
  EXPECT_EQ(field.Pos(), 0u);
  field.GetSym();
  field.DelSeparator();
  EXPECT_EQ(field.Pos(), 2u);
  field.DelSeparator();
  EXPECT_EQ(field.Pos(), 2u);
}

TEST(FieldWrite, GoPosPutTakesBackWhatFollowedSavPosPut) {
  Field field(1);
  field.PutStr(L"abc");
  field.GoPosPut();  // saved position 0 after creation
  EXPECT_EQ(field.Value(), L"");

  field.PutStr(L"abc");
  field.SavPosPut();
  field.PutStr(L"$12");
  for (int i = 0; i < 5; ++i) field.GetSym();
  field.GoPosPut();
  EXPECT_EQ(field.Value(), L"abc");
  // The read position stays beyond the end and reads as the end.
  EXPECT_EQ(field.Pos(), 5u);
  EXPECT_EQ(field.GetSym(), 0);
  EXPECT_EQ(field.Ostatok(), 0);
  EXPECT_EQ(field.LenToEnd(), 0u);
  field.DelSeparator();
  EXPECT_EQ(field.Pos(), 5u);

  field.Clear();
  EXPECT_EQ(field.Pos(), 0u);
  field.PutStr(L"xy");
  field.GoPosPut();
  EXPECT_EQ(field.Value(), L"");
}

TEST(FieldWrite, TrimRightRemovesOnlySpaceTabCrLf) {
  struct Case {
    std::wstring value, expected;
  } cases[] = {
      {L"", L""},           {L" \t\r\n", L""},          {L"a \t\r\n", L"a"},
      {L" a", L" a"},       {L"a" + kSep, L"a" + kSep}, {L"a" + kSep + L"  ", L"a" + kSep},
      {L"a\v", L"a\v"},     {L"a b ", L"a b"},
  };
  for (const Case& c : cases) {
    Field field = MakeField(c.value);
    field.TrimRight();
    EXPECT_EQ(field.Value(), c.expected);
  }
}

TEST(FieldTabSelection, SetCurrentSelectsOrDeselects) {
  FieldTab tab;
  tab.InsertField(1);
  tab.InsertField(2);
  EXPECT_TRUE(tab.SetCurrent(2));
  tab.PutSym(L'x');
  EXPECT_FALSE(tab.SetCurrent(3));
  tab.PutSym(L'y');  // dropped: nothing is current
  EXPECT_EQ(tab.FirstValue(1), L"");
  EXPECT_EQ(tab.FirstValue(2), L"x");
}

TEST(FieldTabSelection, SetCurrentMacFindsTheLowestNumberOrKeepsTheCurrent) {
  FieldTab tab;
  EXPECT_TRUE(tab.InsertFieldMac(30, L'*'));
  EXPECT_TRUE(tab.InsertFieldMac(10, L'*'));
  EXPECT_TRUE(tab.InsertFieldMac(20, L'%'));
  tab.InsertField(5);

  EXPECT_TRUE(tab.SetCurrentMac(L'*'));
  tab.PutSym(L'a');
  EXPECT_EQ(tab.FirstValue(10), L"a");

  EXPECT_FALSE(tab.SetCurrentMac(L'!'));
  tab.PutSym(L'b');
  EXPECT_EQ(tab.FirstValue(10), L"ab");

  EXPECT_TRUE(tab.SetCurrentMac(L'%'));
  tab.PutSym(L'c');
  EXPECT_EQ(tab.FirstValue(20), L"c");

  // Symbol 0 is "no symbol": the lowest plain field.
  EXPECT_TRUE(tab.SetCurrentMac(0));
  tab.PutSym(L'd');
  EXPECT_EQ(tab.FirstValue(5), L"d");

  tab.freeAll();
  EXPECT_FALSE(tab.SetCurrentMac(L'*'));
  EXPECT_FALSE(tab.SetCurrentMac(0));
}

TEST(FieldTabSelection, CursorOperationsWithoutCurrentFieldDoNothing) {
  FieldTab tab;
  tab.InsertField(1);
  tab.SetCurrent(7);
  tab.PutSym(L'a');
  tab.PutStr(L"bc");
  tab.SavPosPut();
  tab.GoPosPut();
  tab.ClearField();
  tab.DelEndBlankField();
  tab.InsSeparator();
  tab.ReturnSym();
  tab.DelSeparator();
  EXPECT_EQ(tab.GetSym(), 0);
  EXPECT_EQ(tab.Ostatok(), 0);
  EXPECT_EQ(tab.AllOst(), 0u);
}

TEST(FieldTabWrite, InsSeparatorTrimsFirstAndSkipsEmptyValues) {
  struct Case {
    std::wstring value, expected;
  } cases[] = {
      {L"", L""},
      {L"ab  ", L"ab" + kSep},
      {L"  ", kSep},
      {L"a" + kSep + L"b\n", L"a" + kSep + L"b" + kSep},
  };
  for (const Case& c : cases) {
    FieldTab tab;
    tab.InsertField(0);
    tab.SetCurrent(0);
    tab.PutStr(c.value.c_str());
    tab.InsSeparator();
    tab.First();
    std::wstring got;
    while (wchar_t ch = tab.GetSym()) got.push_back(ch);
    EXPECT_EQ(got, c.expected);
  }
}

TEST(FieldTabWrite, InsertFieldMacAcceptsOnlyTheSameSymbolAgain) {
  FieldTab tab;
  EXPECT_TRUE(tab.InsertFieldMac(1, L'*'));
  EXPECT_TRUE(tab.InsertFieldMac(1, L'*'));
  EXPECT_FALSE(tab.InsertFieldMac(1, L'%'));
  EXPECT_TRUE(tab.InsertField(2));
  EXPECT_FALSE(tab.InsertField(2));
  EXPECT_FALSE(tab.InsertFieldMac(2, L'*'));
  EXPECT_TRUE(tab.InsertFieldMac(2, 0));
  EXPECT_FALSE(tab.InsertField(1));
  // The failed declarations left the binding of field 1 alone.
  EXPECT_TRUE(tab.SetCurrentMac(L'*'));
  tab.PutSym(L'x');
  EXPECT_EQ(tab.FirstValue(1), L"x");
  EXPECT_FALSE(tab.SetCurrentMac(L'%'));
}

TEST(FieldTabWhole, RemainderCountsEveryUnreadCharacter) {
  FieldTab tab;
  EXPECT_EQ(tab.AllOst(), 0u);
  EXPECT_FALSE(tab.Exist());
  for (long n : {1L, 2L, 3L}) tab.InsertField(n);
  tab.SetCurrent(1);
  tab.PutStr((L"abc" + kSep + L"de").c_str());
  tab.SetCurrent(3);
  tab.PutStr(L"xy");
  EXPECT_EQ(tab.AllOst(), 8u);
  EXPECT_TRUE(tab.Exist());
  EXPECT_TRUE(tab.ExistOst(3));
  EXPECT_FALSE(tab.ExistOst(2));
  EXPECT_FALSE(tab.ExistOst(4));

  tab.GetSym();
  tab.GetSym();
  EXPECT_EQ(tab.AllOst(), 6u);
  EXPECT_FALSE(tab.ExistOst(3));
  tab.First(3);
  tab.First(9);
  EXPECT_EQ(tab.AllOst(), 8u);

  tab.SetCurrent(1);
  for (int i = 0; i < 6; ++i) tab.GetSym();
  EXPECT_EQ(tab.AllOst(), 2u);
  tab.First();
  EXPECT_EQ(tab.AllOst(), 8u);

  tab.Clear();
  EXPECT_EQ(tab.AllOst(), 0u);
  EXPECT_FALSE(tab.Exist());
  EXPECT_FALSE(tab.InsertField(1));  // fields survive Clear
}

TEST(FieldTabWhole, FirstValueIsTheFirstSegmentWhateverWasRead) {
  struct Case {
    std::wstring value, expected;
  } cases[] = {
      {L"", L""},
      {L"abc", L"abc"},
      {kSep + L"abc", L""},
      {L"ab" + kSep + L"cd" + kSep, L"ab"},
  };
  for (const Case& c : cases) {
    FieldTab tab;
    tab.InsertField(4);
    tab.SetCurrent(4);
    tab.PutStr(c.value.c_str());
    tab.GetSym();
    EXPECT_EQ(tab.FirstValue(4), c.expected);
    EXPECT_EQ(tab.FirstValue(5), L"");
  }
}

TEST(FieldTabWhole, DelEndBlankTrimsEveryField) {
  FieldTab tab;
  for (long n : {-1L, 0L, 1L}) {
    tab.InsertField(n);
    tab.SetCurrent(n);
    tab.PutStr(L"v \n");
  }
  tab.DelEndBlank();
  for (long n : {-1L, 0L, 1L}) EXPECT_EQ(tab.FirstValue(n), L"v");
}

}  // namespace
