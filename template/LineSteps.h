// What the scan of a text line meets, read once from the line's tab-expanded
// text: the placeholders in the order the scan handles them, with their
// columns, and what rendering blanks of each. Rendering from the steps writes
// the same line as scanning it.
#pragma once

#include <vector>

#include "template/Placeholder.h"

namespace vexo {

enum class StepKind : unsigned char {
  kNumbered,      // "$n", "$$n", "&n" or "&&n"
  kMacro,         // a macro symbol
  kCounter,       // a run of "#"
  kSubstitution,  // "@D", "@T", "@n" or "@@n"
  kScanOn,        // what follows is read by scanning the line as it then is
};

// One placeholder, at column `at` of the text the steps were read from.
// Columns further right move when a substitution before them inserts more or
// less text than its placeholder had.
struct Step {
  StepKind kind = StepKind::kScanOn;
  bool record = false;   // kNumbered: "$", not "&"
  bool doubled = false;  // kNumbered: "$$" or "&&"
  wchar_t symbol = 0;    // kMacro
  int at = 0;
  int width = 0;  // kCounter: the run's length
  FieldColumns field;
  MacroColumns macro;
  Substitution substitution;
};

// The steps of the tab-expanded line text[0, length), zero-terminated, by the macro
// symbols now in force. They hold while FieldTab::MacroEpoch stays as it is,
// and as far as three conditions hold that only rendering can check: a
// numbered field exists (the scan goes on right after the placeholder only
// then), a counter's number fits its run and a substitution's text fits the
// line (what follows them is then as the steps read it). From the first step
// whose condition fails, the rest of the line is scanned.
void ReadSteps(const wchar_t* text, int length, std::vector<Step>& steps);

// What rendering blanks of a placeholder, in the line's text: a numbered
// field's mark, digits and alignment mark, a closing "?", and a header
// placeholder's stretch (taken as the field's preset text when the part was
// loaded; a record placeholder's stretch is a fill pattern that stays where
// the value leaves it free); a macro field's symbol, alignment mark and
// closing symbol; a counter's run. All of it lies within the placeholder's
// own columns.
void BlankNumbered(wchar_t* text, int first, bool record, const FieldColumns& columns);
void BlankMacro(wchar_t* text, int first, const MacroColumns& columns);
void BlankRun(wchar_t* text, int at, int width);

// Makes in text every blank of steps[0, count), at the columns the steps
// were read at.
void BlankSteps(wchar_t* text, const Step* steps, size_t count);

}  // namespace vexo
