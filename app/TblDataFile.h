// The data-file scanners' piece of plain text, and what they tell a listener
// about what they read.
#pragma once

#include <cstddef>
#include <string>

namespace vexo {

// Plain text up to the next stop character is taken from the data file in
// pieces of at most this many characters, read into a buffer on the stack.
constexpr size_t kTextPiece = 1024;

// What a scanner is reading.
enum class ScanPart { kHeader, kRecords, kBeginFile };

// One step of a scanner: what it took from its file and how it read it.
enum class ScanStep {
  kOpened,      // a file is open for reading: the data file, or a begin-parameter file (name)
  kText,        // plain text: text[0, length), put into the current field or dropped with none
  kLineEnd,     // a line feed that ends a line
  kEscape,      // a backslash and the character after it, which also begins the text after it;
                // character 0: no character could be read there and the bytes are passed over
  kTag,         // a complete tag for number; field tells whether its text is kept (the record
                // table has the field; the begin-parameter file's tag created it)
  kBrokenTag,   // a tag character and digits (how many) not followed by ";": they stay in the
                // text. character is what followed them; 0: no character could be read there,
                // and the bytes are passed over
  kRecordEnd,   // "@": the record is complete
  kSheetBreak,  // ">" first on a line of a record
  kHeaderEnd,   // the character that ends the header, kept for the records
  kEnd,         // reading stops: at the end of the file or at bytes that cannot be read. In the
                // header only the header ends there, and the records are read after them
};

struct ScanEvent {
  ScanStep step = ScanStep::kOpened;
  ScanPart part = ScanPart::kHeader;
  // The file offset right after the last byte the step took. When held is
  // set, the last character the step took waits in the put-back slot for the
  // next step: the step ends where that character begins.
  long offset = 0;
  bool held = false;
  long number = 0;
  bool field = false;
  size_t digits = 0;
  wchar_t character = 0;
  const wchar_t* text = nullptr;
  size_t length = 0;
  const std::wstring* name = nullptr;
};

// Hears every step of the scanners, for a program that checks a data file
// the way vexo reads it. Steps come in the order of the reading, and each
// byte the scanners read belongs to exactly one step.
class ScanListener {
 public:
  virtual ~ScanListener() = default;
  virtual void Step(const ScanEvent& event) = 0;
};

// Makes listener hear the scanners from now on; null, the start value, for
// none. A plain run has none and pays one test per step for it.
void SetScanListener(ScanListener* listener);

}  // namespace vexo
