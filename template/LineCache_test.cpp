// Rendering from kept readings against reading every line again, on random
// blanks whose symbols, values, break characters and counter change between
// renderings.
#include "template/LineCache.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "template/SubstitutionText.h"
#include "template/test_fixture.h"

namespace {

// What happens between two renderings, or a rendering itself.
struct Event {
  enum Kind { kRender, kValues, kSymbol, kBreaks, kCounter, kPutBack, kLoad } kind = kRender;
  // kValues: record fields 0 to 6 and 10 to 12, and header field 4 when
  // there is one
  std::vector<std::wstring> values;
  wchar_t symbol = 0;  // kSymbol: bound to `field`
  long field = 0;
  bool header = false;
  int number = 0;  // kBreaks: which set; kCounter: the value; kLoad: the part
};

struct Script {
  std::string parts[2];
  std::vector<Event> events;
};

const wchar_t* const kBreakSets[] = {L" ,?!,;)]", L" -", L"\x2014."};

class ScriptMaker {
 public:
  explicit ScriptMaker(unsigned seed) : m_Random(seed) {}

  Script Make() {
    Script script;
    for (std::string& part : script.parts) part = Part();
    script.events.push_back(Values());
    for (int k = Pick(40, 120); k > 0; --k) script.events.push_back(NextEvent());
    return script;
  }

 private:
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_Random); }
  bool Chance(int percent) { return Pick(0, 99) < percent; }
  template <typename T, size_t N>
  const T& OneOf(const T (&items)[N]) {
    return items[Pick(0, static_cast<int>(N) - 1)];
  }

  // Macro declarations (A and C for record fields, B for a header field,
  // only in some parts; no placeholder names their fields) and text lines.
  std::string Part() {
    std::string part;
    if (Chance(50)) part += ">A=$4\n";
    if (Chance(30)) part += ">B=&4\n";
    if (Chance(30)) part += ">C=$8\n";
    for (int k = Pick(1, 6); k > 0; --k) part += TextLine() + "\n";
    return part;
  }

  std::string TextLine() {
    std::string line;
    // Some lines end near the working line's bound, where substitutions and
    // counters are cut.
    if (Chance(10)) line.assign(static_cast<size_t>(Pick(4060, 4090)), '.');
    for (int k = Pick(0, 8); k > 0; --k) line += Token();
    return line;
  }

  std::string Token() {
    static const char* const kPlain[] = {"ab", " ", "  ", "...", ",", "?", ")", "-", "\t", "x y"};
    static const char* const kMarks[] = {"", "", "=", ">"};
    static const char* const kEnds[] = {"", "?", "   ?", "....?", " ", "__"};
    static const char* const kSubstitutions[] = {"@D", "@T", "@2", "@@1", "@@6", "@x", "@@x", "@"};
    static const char* const kSymbols[] = {"A", "B", "C", "Q", "Z", "A>", "A=  A", "Q Q", "B    "};
    static const char* const kNumbers[] = {"1", "2", "3", "5", "6", "0", "99999999999999999999"};
    switch (Pick(0, 5)) {
      case 0:
        return OneOf(kPlain);
      case 1:
        return std::string(Chance(30) ? 2 : 1, Chance(70) ? '$' : '&') + OneOf(kNumbers) +
               OneOf(kMarks) + OneOf(kEnds);
      case 2:
        return std::string(static_cast<size_t>(Pick(1, 3)), '#');
      case 3:
        return OneOf(kSubstitutions);
      case 4:
        return OneOf(kSymbols);
      default:
        return "\xD0\x96\xE2\x80\x94";  // a Cyrillic letter and a dash
    }
  }

  std::wstring Value() {
    static const wchar_t* const kPieces[] = {
        L"word",         L" ",   L",", L"\x01",   L"longerword",
        L"\x0416\x0436", L"a.b", L"?", L"\x2014", L"12"};
    std::wstring value;
    for (int k = Pick(0, 8); k > 0; --k) value += OneOf(kPieces);
    if (Chance(5)) value.push_back(0);
    return value;
  }

  Event Values() {
    Event event;
    event.kind = Event::kValues;
    for (int n = 0; n < 11; ++n) event.values.push_back(Value());
    return event;
  }

  Event NextEvent() {
    Event event;
    const int roll = Pick(0, 99);
    if (roll < 55) return event;
    if (roll < 80) {
      event = Values();
    } else if (roll < 86) {
      // Symbols that the lines hold: Q and Z as text until bound; a blank
      // or a digit bound changes what a counter's run is; A and B may be
      // bound in both tables.
      static const wchar_t kBound[] = {L'Q', L'Z', L' ', L'7', L'A', L'B'};
      event.kind = Event::kSymbol;
      event.symbol = OneOf(kBound);
      event.field = Pick(10, 12);
      event.header = Chance(50);
    } else if (roll < 90) {
      event.kind = Event::kBreaks;
      event.number = Pick(0, 2);
    } else if (roll < 94) {
      event.kind = Event::kCounter;
      event.number = Chance(50) ? Pick(0, 12) : Pick(95, 100);
    } else if (roll < 97) {
      // The next reading of the blank takes the character first.
      event.kind = Event::kPutBack;
    } else {
      event.kind = Event::kLoad;
      event.number = Pick(1, 2);
    }
    return event;
  }

  std::mt19937 m_Random;
};

class LineCacheTest : public BlankTest {
 protected:
  void TearDown() override {
    vexo::LineCache::Suspend(false);
    Line::Rasdel = kBreakSets[0];
  }

  static void Fill(FieldTab& table, long n, const std::wstring& value) {
    table.InsertField(n);
    table.SetCurrent(n);
    table.ClearField();
    table.PutStr(value.data(), value.size());
  }

  // Every rendering of the script, with the state it leaves: what is left in
  // both tables and of their current fields, the counter and where the blank
  // reader stands.
  std::wstring Play(const Script& script, bool keep) {
    vexo::LineCache::Suspend(!keep);
    Fresh();
    Line::Rasdel = kBreakSets[0];
    WritePart(1, script.parts[0]);
    WritePart(2, script.parts[1]);
    Fill(Tbl::TabHdrField, 2, L"head\x01tail");
    Fill(Tbl::TabHdrField, 3, L"header three");
    int part = 1;
    std::wstring played;
    if (blank_->Load(part) != 1) return L"load failed";
    for (const Event& event : script.events) {
      switch (event.kind) {
        case Event::kRender: {
          Line* line = blank_->Next(0);
          if (line == nullptr && blank_->Load(part) == 1) line = blank_->Next(0);
          if (line == nullptr) break;
          played += line->ConvStr() + L"|";
          for (FieldTab* table : {&Tbl::TabRcdField, &Tbl::TabHdrField}) {
            // What is left, in all and of the field left current.
            played +=
                std::to_wstring(table->AllOst()) + L"," + std::to_wstring(table->Ostatok()) + L",";
          }
          played += std::to_wstring(Tbl::CountList) + L"," +
                    std::to_wstring(Blank::m_File.GetFilePointer()) + L"\n";
          break;
        }
        case Event::kValues:
          for (long n = 0; n <= 6; ++n) Fill(Tbl::TabRcdField, n, event.values[n]);
          for (long n = 10; n <= 12; ++n) Fill(Tbl::TabRcdField, n, event.values[n - 3]);
          if (Tbl::TabHdrField.SetCurrent(4)) Fill(Tbl::TabHdrField, 4, event.values[10]);
          break;
        case Event::kSymbol:
          (event.header ? Tbl::TabHdrField : Tbl::TabRcdField)
              .InsertFieldMac(event.field, event.symbol);
          break;
        case Event::kBreaks:
          Line::Rasdel = kBreakSets[event.number];
          break;
        case Event::kCounter:
          Tbl::CountList = event.number;
          break;
        case Event::kPutBack:
          Blank::m_File.PutBack(L'x');
          break;
        case Event::kLoad:
          part = event.number;
          if (blank_->Load(part) != 1) return played + L"load failed";
          break;
      }
    }
    return played;
  }
};

// The same script played with the readings kept and with every line read
// again renders the same lines and leaves the same state after each. A
// script played across a change of the minute is played again.
TEST_F(LineCacheTest, KeptReadingsRenderAsReadingAgain) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    const Script script = ScriptMaker(seed).Make();
    for (int attempt = 0; attempt < 3; ++attempt) {
      const std::wstring before = GetCurrentTimeString("%d.%m.%Y %H:%M");
      const std::wstring kept = Play(script, true);
      const std::wstring readAgain = Play(script, false);
      if (GetCurrentTimeString("%d.%m.%Y %H:%M") != before) continue;
      ASSERT_EQ(kept, readAgain) << "seed " << seed;
      break;
    }
  }
}

}  // namespace
