#include "template/LineSteps.h"

#include "state/Tbl.h"

namespace vexo {

namespace {

bool IsMacroSymbol(wchar_t c) { return Tbl::TabHdrField.HasMac(c) || Tbl::TabRcdField.HasMac(c); }

// Whether the blanks and digits that a counter leaves in its run are plain
// text to the scan, which goes on inside the run.
bool CounterRunIsPlain() {
  if (IsMacroSymbol(L' ')) return false;
  for (wchar_t digit = L'0'; digit <= L'9'; ++digit) {
    if (IsMacroSymbol(digit)) return false;
  }
  return true;
}

void Blank(wchar_t* text, int from, int to) {
  for (int k = from; k <= to; ++k) text[k] = L' ';
}

}  // namespace

// The tests in the order of the scan of rendering. Nothing a placeholder
// blanks lies right of its last column, so the text is read as it is.
void ReadSteps(const wchar_t* text, int length, std::vector<Step>& steps) {
  steps.clear();
  int i = 0;
  while (text[i] != 0) {
    const wchar_t c = text[i];
    Step step;
    step.at = i;
    if (IsMacroSymbol(c)) {
      step.kind = StepKind::kMacro;
      step.symbol = c;
      step.macro = ScanMacroColumns(text, i);
      i = step.macro.last + 1;
    } else if (StartsNumberedField(text, i)) {
      step.kind = StepKind::kNumbered;
      step.record = c == L'$';
      step.doubled = text[i + 1] == c;
      step.field = ScanFieldColumns(text, i + (step.doubled ? 2 : 1), length);
      i = step.field.last + 1;
    } else if (c == L'#') {
      // The scan goes on inside the run; where that could meet a
      // placeholder, the scan takes the counter and what follows.
      step.kind = CounterRunIsPlain() ? StepKind::kCounter : StepKind::kScanOn;
      while (text[i] == L'#') ++i;
      step.width = i - step.at;
      if (step.kind == StepKind::kScanOn) {
        steps.push_back(step);
        return;
      }
    } else if (c == L'@') {
      step.substitution = ScanSubstitution(text, i, true);
      if (step.substitution.kind == SubstitutionKind::kNone) {
        ++i;
        continue;
      }
      step.kind = StepKind::kSubstitution;
      i = step.substitution.end;
    } else {
      ++i;
      continue;
    }
    steps.push_back(step);
  }
}

void BlankNumbered(wchar_t* text, int first, bool record, const FieldColumns& columns) {
  Blank(text, first, columns.stretch - 1);
  if (text[columns.stretchEnd] == L'?') text[columns.stretchEnd] = L' ';
  if (!record) Blank(text, columns.stretch, columns.last);
}

void BlankMacro(wchar_t* text, int first, const MacroColumns& columns) {
  text[first] = L' ';
  if (columns.align != Line::alLeft) text[first + 1] = L' ';
  if (columns.closed) text[columns.last] = L' ';
}

void BlankRun(wchar_t* text, int at, int width) { Blank(text, at, at + width - 1); }

void BlankSteps(wchar_t* text, const Step* steps, size_t count) {
  for (size_t k = 0; k < count; ++k) {
    const Step& step = steps[k];
    switch (step.kind) {
      case StepKind::kNumbered:
        BlankNumbered(text, step.at, step.record, step.field);
        break;
      case StepKind::kMacro:
        BlankMacro(text, step.at, step.macro);
        break;
      case StepKind::kCounter:
        BlankRun(text, step.at, step.width);
        break;
      case StepKind::kSubstitution:
      case StepKind::kScanOn:
        break;
    }
  }
}

}  // namespace vexo
