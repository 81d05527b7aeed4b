// The data file and begin-parameter scanners of the run driver.
#include "app/TblDataFile.h"

#include <cstdint>
#include <string>
#include <vector>

#include "state/Tbl.h"

namespace {

using vexo::ScanEvent;
using vexo::ScanPart;
using vexo::ScanStep;

vexo::ScanListener* listener_ = nullptr;

// Tells the listener, which is set, of a step just taken from in.
void Tell(InputFile& in, ScanEvent event) {
  event.offset = in.Offset();
  listener_->Step(event);
}

ScanEvent Event(ScanStep step, ScanPart part, bool held = false) {
  ScanEvent event;
  event.step = step;
  event.part = part;
  event.held = held;
  return event;
}

// Reads the digits and the ";" that follow a tag character just taken from
// in. With store set, a broken tag stays in the text: its characters go into
// the current field of tab, in order, once the tag has turned out broken.
// Until then they wait in a small buffer, which goes into the field early only
// for a tag of many digits and is then taken out again if the tag completes.
// True, with the field number (modulo 2^64), for a complete tag. Otherwise
// the character that ended the digits is back in the put-back slot of in, to
// be read as an ordinary character; when no character came, the slot stays
// empty and reading goes on after the failed byte.
bool ReadTag(InputFile& in, FieldTab& tab, wchar_t mark, bool store, long& number, ScanPart part) {
  if (store) tab.SavPosPut();
  wchar_t waiting[32];
  size_t count = 0;
  size_t kept = 0;  // the mark and the digits, once all have gone into the text
  waiting[count++] = mark;
  auto keep = [&] {
    if (store) tab.PutStr(waiting, count);
    kept += count;
    count = 0;
  };
  uint64_t value = 0;
  wchar_t c;
  while (in.Get(c)) {
    if (c >= L'0' && c <= L'9') {
      if (count == sizeof waiting / sizeof waiting[0]) keep();
      waiting[count++] = c;
      value = value * 10 + static_cast<uint64_t>(c - L'0');
      continue;
    }
    if (c != L';') {
      keep();
      in.PutBack(c);
      if (listener_) {
        ScanEvent event = Event(ScanStep::kBrokenTag, part, true);
        event.digits = kept - 1;
        event.character = c;
        Tell(in, event);
      }
      return false;
    }
    if (store) tab.GoPosPut();
    number = static_cast<long>(value);
    return true;
  }
  keep();
  if (listener_) {
    ScanEvent event = Event(ScanStep::kBrokenTag, part);
    event.digits = kept - 1;
    Tell(in, event);
  }
  return false;
}

// Tells the listener, when there is one, of a complete tag.
void TellTag(InputFile& in, ScanPart part, long number, bool field) {
  if (!listener_) return;
  ScanEvent event = Event(ScanStep::kTag, part);
  event.number = number;
  event.field = field;
  Tell(in, event);
}

// What ends a piece of plain text in the header and in a record.
const AsciiSet kHeaderStops = {L'\n', L'\\', L'&'};
const AsciiSet kRecordStops = {L'\n', L'\\', L'$', L'@'};

// A line break inside a value becomes one space.
void EndLine(FieldTab& tab) {
  tab.DelEndBlankField();
  tab.PutSym(L' ');
}

// Takes c, just read from in, as text of the current field of tab: a line
// feed ends the line, a backslash makes the next character plain text.
// lineStart tells whether the next character stands first on a line.
// Plain characters after c, up to one of stops (which hold the line feed and
// the backslash), are taken with it in one piece; the character that ends
// the piece is left in the put-back slot. False when the input ended within
// the piece, as Get reports it: the scanner then stops as if its own Get had
// failed. A backslash with nothing readable after it is dropped, and
// scanning goes on.
bool PutText(InputFile& in, FieldTab& tab, wchar_t c, bool& lineStart, const AsciiSet& stops,
             ScanPart part) {
  if (c == L'\n') {
    lineStart = true;
    EndLine(tab);
    if (listener_) Tell(in, Event(ScanStep::kLineEnd, part));
    return true;
  }
  if (c == L'\\') {
    const bool escaped = in.Get(c);
    if (listener_) {
      ScanEvent event = Event(ScanStep::kEscape, part);
      event.character = escaped ? c : 0;
      Tell(in, event);
    }
    if (!escaped) return true;
  }
  lineStart = false;
  wchar_t run[vexo::kTextPiece];
  run[0] = c;
  size_t length = 1;
  for (;;) {
    bool ended = false;
    length += in.GetRun(run + length, vexo::kTextPiece - length, stops, ended);
    tab.PutStr(run, length);
    if (listener_) {
      ScanEvent event = Event(ScanStep::kText, part, !ended && length < vexo::kTextPiece);
      event.text = run;
      event.length = length;
      Tell(in, event);
    }
    if (ended || length < vexo::kTextPiece) return !ended;
    length = 0;
  }
}

// Reads one begin-parameter file into the header table. Only a tag that
// creates a field switches the reading on, so fields given before keep their
// value; text before the first tag is skipped.
void ReadBeginFile(const std::wstring& name) {
  InputFile file(name.c_str());
  if (!file.IsOpen()) return;
  if (listener_) {
    ScanEvent event = Event(ScanStep::kOpened, ScanPart::kBeginFile);
    event.name = &name;
    Tell(file, event);
  }
  FieldTab& tab = Tbl::TabHdrField;
  tab.SetCurrent(0);
  bool reading = false;
  wchar_t c;
  while (file.Get(c)) {
    if (c == L'&') {
      long number = 0;
      if (!ReadTag(file, tab, c, reading, number, ScanPart::kBeginFile)) continue;
      reading = tab.InsertField(number);
      TellTag(file, ScanPart::kBeginFile, number, reading);
      if (!reading) continue;
      tab.SetCurrent(number);
      tab.InsSeparator();
      continue;
    }
    if (!reading) continue;
    if (c == L'\n') {
      EndLine(tab);
      continue;
    }
    tab.PutSym(c);
  }
  tab.DelEndBlank();
  if (listener_) Tell(file, Event(ScanStep::kEnd, ScanPart::kBeginFile));
}

}  // namespace

void vexo::SetScanListener(ScanListener* listener) { listener_ = listener; }

// The header ends at ">", "@" or "$" standing first on a line; that character
// is left in the put-back slot for GetRecord.
int Tbl::GetHider() {
  if (!Open(InpFile.c_str())) return 0;
  if (listener_) {
    ScanEvent event = Event(ScanStep::kOpened, ScanPart::kHeader);
    event.name = &InpFile;
    Tell(*this, event);
  }
  FieldTab& tab = TabHdrField;
  tab.Clear();
  tab.SetCurrent(0);
  bool lineStart = true;
  wchar_t c;
  while (Get(c)) {
    if (c == L'&') {
      lineStart = false;
      long number = 0;
      if (!ReadTag(*this, tab, c, true, number, ScanPart::kHeader)) continue;
      tab.InsertField(number);
      TellTag(*this, ScanPart::kHeader, number, true);
      tab.SetCurrent(number);
      tab.InsSeparator();
      continue;
    }
    if (lineStart && (c == L'>' || c == L'@' || c == L'$')) {
      PutBack(c);
      tab.DelEndBlank();
      if (listener_) Tell(*this, Event(ScanStep::kHeaderEnd, ScanPart::kHeader, true));
      return 1;
    }
    if (!PutText(*this, tab, c, lineStart, kHeaderStops, ScanPart::kHeader)) break;
  }
  tab.DelEndBlank();
  if (listener_) Tell(*this, Event(ScanStep::kEnd, ScanPart::kHeader));
  return 1;
}

// Record tags only select fields the blank declared; the text of any other
// number is dropped. At the end of the file the text read so far stays in the
// table untrimmed, for the closing pass.
int Tbl::GetRecord() {
  FirstOst = 0;
  FieldTab& tab = TabRcdField;
  tab.Clear();
  tab.SetCurrent(0);
  bool lineStart = true;
  wchar_t c;
  while (Get(c)) {
    if (c == L'$') {
      lineStart = false;
      long number = 0;
      if (!ReadTag(*this, tab, c, true, number, ScanPart::kRecords)) continue;
      const bool field = tab.SetCurrent(number);
      TellTag(*this, ScanPart::kRecords, number, field);
      tab.InsSeparator();
      continue;
    }
    if (c == L'@') {
      tab.DelEndBlank();
      FirstOst = tab.AllOst();
      if (listener_) Tell(*this, Event(ScanStep::kRecordEnd, ScanPart::kRecords));
      return 1;
    }
    if (lineStart && c == L'>') {
      ++totBreak;
      lineStart = false;
      if (listener_) Tell(*this, Event(ScanStep::kSheetBreak, ScanPart::kRecords));
      continue;
    }
    if (!PutText(*this, tab, c, lineStart, kRecordStops, ScanPart::kRecords)) break;
  }
  if (listener_) Tell(*this, Event(ScanStep::kEnd, ScanPart::kRecords));
  return 0;
}

std::vector<std::wstring> Tbl::BeginFiles() {
  std::vector<std::wstring> names;
  if (BegParam.empty()) return names;
  const std::wstring list = PathBlank;
  size_t start = 0;
  for (;;) {
    const size_t semicolon = list.find(L';', start);
    std::wstring name = list.substr(
        start, semicolon == std::wstring::npos ? std::wstring::npos : semicolon - start);
    if (!name.empty() && name.back() != L'/') name.push_back(L'/');
    names.push_back(name + BegParam);
    if (semicolon == std::wstring::npos || semicolon + 1 >= list.size()) return names;
    start = semicolon + 1;
  }
}

void Tbl::GetBegin() {
  for (const std::wstring& name : BeginFiles()) ReadBeginFile(name);
}
