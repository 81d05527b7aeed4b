// How a command line of a blank reads: its kind, its arguments, and, for a
// line that reads wrong, which error and at which character. Both the loader
// and the checker read command lines through here.
#pragma once

#include "template/Line.h"

namespace vexo {

// A command line taken apart. Positions are indexes into the line as read.
struct Command {
  int kind = Line::kText;  // Line::kJump, kRepeat, kLabel or kMacro once read
  int error = -1;          // a Tbl::numErr when the line reads wrong, else -1
  int errorAt = 0;         // the character that makes it wrong
  long number = 0;         // jump and label: the label number; macro: the field
  int numberAt = 0;        // where that number starts
  long field = 0;          // jump: the tested field
  int isRecord = 0;        // jump: 1 record field, 0 header field; macro: "=$"
  int cond = 0;            // jump: 0 always, 1 with "^", 2 without
  int lines = 0;           // repeat: text lines in the block
  int passes = 0;          // repeat: passes
  wchar_t symbol = 0;      // macro: the symbol
};

// Reads text, a line that starts with ">". Labels twice, unknown labels and
// refused macro declarations depend on the rest of the part and on the field
// store, so they are the caller's to find; every other error is set here.
Command ReadCommand(const wchar_t* text);

}  // namespace vexo
