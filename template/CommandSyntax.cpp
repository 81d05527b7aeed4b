// Reading command lines: keywords, jump, repeat, label and macro arguments.
#include "template/CommandSyntax.h"

#include <cwchar>
#include <cwctype>

#include "state/Tbl.h"

namespace vexo {
namespace {

// Each command keyword in its three spellings: Russian, English, and the
// Russian word as it reads when a blank written in code page 866 was
// converted as if it were Windows-1251.
const wchar_t* const kJumpWords[] = {L"\u041F\u0415\u0420\u0415\u0425\u041E\u0414", L"jump to",
                                     L"\u040F\u2026\u0452\u2026\u2022\u040B\u201E"};
const wchar_t* const kRepeatWords[] = {L"\u041F\u041E\u0412\u0422\u041E\u0420", L"repeat",
                                       L"\u040F\u040B\u201A\u2019\u040B\u0452"};
constexpr int kJumpLength = 7;
constexpr int kRepeatLength = 6;

bool StartsWithKeyword(const wchar_t* text, const wchar_t* const (&words)[3], size_t length) {
  for (const wchar_t* word : words) {
    if (std::wcsncmp(text, word, length) == 0) return true;
  }
  return false;
}

// The index of the first character that is not white space, from pos on.
int SkipSpace(const wchar_t* text, int pos) {
  while (text[pos] != 0 && std::iswspace(text[pos])) ++pos;
  return pos;
}

void Fail(Command& command, Tbl::numErr error, int at) {
  command.error = error;
  command.errorAt = at;
}

// ">jump to" label [mark field [c2]]: the keyword took indexes 1 to 7. The
// %n conversions note where the scan stood and change nothing it reads.
void ReadJump(Command& command, const wchar_t* text) {
  command.kind = Line::kJump;
  const int start = 1 + kJumpLength;
  wchar_t mark = 0;
  wchar_t after = 0;
  int markAt = -1;
  int afterAt = -1;
  std::swscanf(text + start, L"%ld %n%lc%ld%n%lc", &command.number, &markAt, &mark, &command.field,
               &afterAt, &after);
  command.numberAt = SkipSpace(text, start);
  if (mark == 0) return;  // unconditional, cond 0
  if (mark == L'$') {
    command.isRecord = 1;
  } else if (mark != L'&') {
    return Fail(command, Tbl::errJump, start + markAt);
  }
  if (after == L'^') {
    command.cond = 1;
  } else if (after == 0 || after == L' ' || after == L'\n') {
    command.cond = 2;
  } else {
    Fail(command, Tbl::errJump, start + afterAt);
  }
}

// ">repeat" lines:passes, with 1 to 100 text lines and 1 to 1000 passes.
void ReadRepeat(Command& command, const wchar_t* text) {
  command.kind = Line::kRepeat;
  const int start = 1 + kRepeatLength;
  int passesAt = -1;
  std::swscanf(text + start, L"%d:%n%d", &command.lines, &passesAt, &command.passes);
  if (command.lines < 1 || command.lines > 100) {
    return Fail(command, Tbl::errBlockLines, SkipSpace(text, start));
  }
  if (command.passes < 1 || command.passes > 1000) {
    int at = passesAt >= 0 ? SkipSpace(text, start + passesAt) : SkipSpace(text, start);
    // Without a colon the count is missing where the block length ends.
    if (passesAt < 0) {
      while (text[at] == L'+' || text[at] == L'-' || (text[at] >= L'0' && text[at] <= L'9')) ++at;
    }
    Fail(command, Tbl::errRepeatCount, at);
  }
}

}  // namespace

Command ReadCommand(const wchar_t* text) {
  Command command;
  if (StartsWithKeyword(text + 1, kJumpWords, kJumpLength)) {
    ReadJump(command, text);
  } else if (StartsWithKeyword(text + 1, kRepeatWords, kRepeatLength)) {
    ReadRepeat(command, text);
  } else if (text[1] >= L'0' && text[1] <= L'9') {
    command.kind = Line::kLabel;
    command.number = std::wcstol(text + 1, nullptr, 10);
    command.numberAt = 1;
  } else if (text[1] != 0 && text[2] == L'=' && (text[3] == L'&' || text[3] == L'$')) {
    command.kind = Line::kMacro;
    command.symbol = text[1];
    command.isRecord = text[3] == L'$';
    command.number = std::wcstol(text + 4, nullptr, 10);
    command.numberAt = 4;
  } else {
    Fail(command, Tbl::errCommand, text[1] == 0 || text[1] == L'\n' ? 0 : 1);
  }
  return command;
}

}  // namespace vexo
