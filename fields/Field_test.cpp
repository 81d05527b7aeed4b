#include "fields/Field.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <string>

namespace {

static_assert(vexo::kSegmentSeparator == L'\1', "the texts below write the separator as \\1");

// Plays ops on a field holding value and returns "got,value,pos,ostatok": g is
// GetSym (0 noted as "0"), the letters below call, anything else is appended.
std::wstring Play(const std::wstring& value, const std::wstring& ops) {
  const std::map<wchar_t, void (Field::*)()> calls = {
      {L'r', &Field::ReturnSym}, {L'd', &Field::DelSeparator}, {L'f', &Field::First},
      {L's', &Field::SavPosPut}, {L'p', &Field::GoPosPut},     {L't', &Field::TrimRight},
      {L'x', &Field::Clear}};
  Field field(1);
  field.PutStr(value.c_str());
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
  return got + L"," + field.Value() + L"," + std::to_wstring(field.Pos()) + L"," +
         std::to_wstring(field.Ostatok());
}

// The remainder counts up to the next separator or the end, looking no
// further than a limit; a 0 counts as text there, and ends what can be copied:
// on either side of a separator, a 0 and a block of four, at every read
// position and every limit.
TEST(Field, RemainderCountsToTheSeparatorUpToTheLimit) {
  for (const std::wstring& text :
       {std::wstring(L""), std::wstring(L"ABC"), std::wstring(L"ABC\1DE"), std::wstring(L"\1X"),
        std::wstring(L"ABCDEFG\1H"), std::wstring(L"ABCDEFGHI"), std::wstring(L"AB\0CD\1E", 7),
        std::wstring(L"ABCDE\1F\0G", 9), std::wstring(L"\0ABCDEFGH", 9)}) {
    for (size_t read = 0; read <= 9; ++read) {
      Field field(1);
      field.PutStr(text.data(), text.size());
      for (size_t k = 0; k < read; ++k) field.GetSym();
      int plain = 0;
      int copyable = 0;
      for (size_t k = std::min(read, text.size()); k < text.size() && text[k] != L'\1'; ++k) {
        if (copyable == plain && text[k] != 0) ++copyable;
        ++plain;
      }
      EXPECT_EQ(field.Ostatok(), plain) << text << " read " << read;
      for (int limit = -1; limit <= 10; ++limit) {
        const int within = std::max(0, std::min(plain, limit));
        EXPECT_EQ(field.Ostatok(limit), within) << text << " read " << read << " limit " << limit;
        int copyableWithin = -1;
        EXPECT_EQ(field.Ostatok(limit, copyableWithin), within) << text << " " << read;
        EXPECT_EQ(copyableWithin, std::max(0, std::min(copyable, limit)))
            << text << " read " << read << " limit " << limit;
      }
    }
  }
}

// GetSyms takes what GetSym would hand out one by one up to the first 0 or
// separator, passing over that stop but not over the end of the text, also
// when it is told where the stop is; every stop position on either side of a
// block of four and every count is walked.
TEST(Field, GetSymsIsTheGetSymLoop) {
  for (size_t length = 0; length <= 9; ++length) {
    for (size_t stop = 0; stop <= length; ++stop) {
      for (const wchar_t mark : {vexo::kSegmentSeparator, L'\0'}) {
        std::wstring value(length, L'a');
        if (stop < length) value[stop] = mark;
        for (int n = 0; n <= static_cast<int>(length) + 1; ++n) {
          Field bulk(1);
          Field single(1);
          bulk.PutStr(value.data(), value.size());
          single.PutStr(value.data(), value.size());
          wchar_t got[16];
          const int count = bulk.GetSyms(got, n);
          std::wstring expected;
          for (int k = 0; k < n; ++k) {
            const wchar_t c = single.GetSym();
            if (c == 0 || c == vexo::kSegmentSeparator) break;
            expected += c;
          }
          EXPECT_EQ(std::wstring(got, count), expected) << length << " " << stop << " " << n;
          EXPECT_EQ(bulk.Pos(), single.Pos()) << length << " " << stop << " " << n;
          // The same in one pass with the remainder up to n + 1.
          Field fused(1);
          fused.PutStr(value.data(), value.size());
          const int before = fused.Ostatok(n + 1);
          int ostatok = -1;
          wchar_t copied[16];
          EXPECT_EQ(std::wstring(copied, fused.GetSyms(copied, n, &ostatok)), expected);
          EXPECT_EQ(ostatok, before) << length << " " << stop << " " << n;
          EXPECT_EQ(fused.Pos(), single.Pos());
          // The same after the remainder was asked with any limit from n on.
          for (int limit = n; limit <= n + 2; ++limit) {
            Field known(1);
            known.PutStr(value.data(), value.size());
            int copyable = 0;
            known.Ostatok(limit, copyable);
            wchar_t taken[16];
            EXPECT_EQ(std::wstring(taken, known.GetSyms(taken, n, copyable)), expected);
            EXPECT_EQ(known.Pos(), single.Pos()) << length << " " << stop << " " << limit;
          }
        }
      }
    }
  }
}

// The remainder stops at a separator; at either end the cursor stays put.
TEST(Field, CursorWalksSegmentsStopsAtTheEndsAndCutsBack) {
  // clang-format off
  const std::wstring cases[][3] = {
      {L"ABC\1DE", L"", L",ABC\1DE,0,3"},          {L"ABC\1DE", L"ggg", L"ABC,ABC\1DE,3,0"},
      {L"ABC\1DE", L"gggg", L"ABC\1,ABC\1DE,4,2"}, {L"ABC\1DE", L"gggd", L"ABC,ABC\1DE,4,2"},
      {L"ABC\1DE", L"ggd", L"AB,ABC\1DE,2,1"},     {L"\1X", L"", L",\1X,0,0"},
      {L"AB", L"gggg", L"AB00,AB,2,0"},            {L"AB", L"r", L",AB,0,2"},
      {L"AB", L"ggggr", L"AB00,AB,1,1"},           {L"AB", L"ggf", L"AB,AB,0,2"},
      {L"AB", L"p", L",,0,0"},                     {L"AB", L"s$1ggggpgd", L"AB$10,AB,4,0"},
      {L"AB", L"gxCDp", L"A,,0,0"},                {L"A\1 \t\r\n", L"t", L",A\1,0,1"},
      {L" \t", L"ggt", L" \t,,2,0"},               {L" A\v", L"t", L", A\v,0,3"}};
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(Play(c[0], c[1]), c[2]) << c[0] << " " << c[1];
}

// A symbol selects the lowest-numbered field carrying it, 0 the lowest plain
// one; an unknown symbol keeps the current field, an unknown number leaves none.
TEST(FieldTab, InsertingAndSelectingByNumberAndBySymbol) {
  FieldTab tab;
  std::string added;
  for (bool ok : {tab.InsertFieldMac(30, L'*'), tab.InsertFieldMac(10, L'*'),
                  tab.InsertFieldMac(20, L'%'), tab.InsertField(5), tab.InsertFieldMac(10, L'*'),
                  tab.InsertFieldMac(10, L'%'), tab.InsertField(5), tab.InsertFieldMac(5, L'*'),
                  tab.InsertFieldMac(5, 0), tab.InsertField(10)})
    added += ok ? "+" : "-";
  EXPECT_EQ(added, "+++++---+-");
  for (const wchar_t step : {L'*', L'!', L'%', L'\0'}) {
    tab.SetCurrentMac(step);
    tab.PutSym(step ? step : L'0');
  }
  for (long n : {30L, 7L}) tab.PutSym(tab.SetCurrent(n) ? L'3' : L'7');
  EXPECT_EQ(tab.FirstValue(5) + tab.FirstValue(10) + tab.FirstValue(20) + tab.FirstValue(30),
            L"0*!%3");
  // Without any symbol in the table, 0 still selects the lowest plain field.
  FieldTab plain;
  plain.InsertField(8);
  plain.InsertField(4);
  EXPECT_TRUE(plain.SetCurrentMac(0));
  plain.PutSym(L'p');
  EXPECT_EQ(plain.FirstValue(4), L"p");
}

// Selecting by number works alike for the numbers the table looks up
// directly and for those it searches, and forgets every field with them.
TEST(FieldTab, SelectingByNumberOnEitherSideOfTheDirectRange) {
  FieldTab tab;
  const long present[] = {-1, 0, 62, 63, 64, 65, 1000};
  for (long n : present) tab.InsertField(n);
  for (long n = -3; n <= 67; ++n) {
    const bool exists = std::find(std::begin(present), std::end(present), n) != std::end(present);
    EXPECT_EQ(tab.SetCurrent(n), exists) << n;
    if (!exists) continue;
    tab.PutStr(std::to_wstring(n).c_str());
    EXPECT_EQ(tab.FirstValue(n), std::to_wstring(n)) << n;
  }
  tab.freeAll();
  for (long n : present) EXPECT_FALSE(tab.SetCurrent(n)) << n;
}

// InsSeparator tests for emptiness before it trims: blanks alone still end a
// segment. The table's remainder counts unread text and separators.
TEST(FieldTab, SeparatorsAndTheRemainderOfTheTable) {
  FieldTab tab;
  for (long n : {1L, 2L}) tab.InsertField(n);
  tab.SetCurrent(2);
  tab.PutStr(L"xyz");
  tab.GetSym();
  tab.SetCurrent(1);
  for (const wchar_t* text : {L"", L"  ", L"abc \t", L"de"}) {
    tab.InsSeparator();
    tab.PutStr(text);
  }
  EXPECT_EQ(tab.AllOst(), 9u);
  std::wstring read = std::to_wstring(tab.Ostatok());
  for (wchar_t c = tab.GetSym(); c; c = tab.GetSym()) read += c;
  EXPECT_EQ(read, L"0\1abc\1de");
}

// The running counts behind Exist and AllOst agree with a walk over every
// field after each step of random sequences of the operations that move text
// or a read position, on numbers in the direct range and beyond it.
TEST(FieldTab, RunningCountsMatchTheWalkOverAllFields) {
  std::mt19937 random(21);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  auto number = [&] { return std::vector<long>{0, 1, 2, 70, 71}[pick(5)]; };
  FieldTab tab;
  wchar_t out[8];
  // clang-format off
  const std::vector<std::function<void()>> steps = {
      [&] { tab.InsertField(number()); },       [&] { tab.InsertFieldMac(number(), L'*'); },
      [&] { tab.SetCurrent(number()); },        [&] { tab.SetCurrentMac(L'*'); },
      [&] { tab.PutSym(L"ab \1"[pick(4)]); },   [&] { tab.PutStr(L"cd\1 e "); },
      [&] { tab.PutStr(L"f\0g", pick(4)); },    [&] { tab.GetSym(); },
      [&] { tab.GetSyms(out, pick(8)); },       [&] { tab.ReturnSym(); },
      [&] { tab.DelSeparator(); },              [&] { tab.SavPosPut(); },
      [&] { tab.GoPosPut(); },                  [&] { tab.ClearField(); },
      [&] { tab.DelEndBlankField(); },          [&] { tab.InsSeparator(); },
      [&] { tab.Clear(); },                     [&] { tab.First(); },
      [&] { tab.First(number()); },             [&] { tab.DelEndBlank(); },
      [&] { tab.ReturnSyms(pick(4)); }};
  // clang-format on
  for (int step = 0; step < 20000; ++step) {
    // Forgetting every field is rare, so that lists of written fields grow.
    if (pick(500) == 0) tab.freeAll();
    steps[pick(static_cast<int>(steps.size()))]();
    ASSERT_EQ(tab.Exist(), tab.ExistByWalk()) << "step " << step;
    ASSERT_EQ(tab.AllOst(), tab.AllOstByWalk()) << "step " << step;
  }
}

}  // namespace
