// The run driver's class and the run state. The static members are the state
// every part of the run reads directly; they are defined in this folder's
// library, below the template engine. The driver's operations (Execute, the
// data-file scanners, the command line) are defined in app/, on top of it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "fields/Field.h"
#include "io/InputFile.h"

class Blank;
class OutputFile;
namespace vexo {
class RunObserver;
}

// A Tbl object is the reader of the data file; everything else of the run is
// static and lives for the whole process.
class Tbl : public InputFile {
 public:
  // Error numbers; Err maps each to message 11104 + value.
  enum numErr {
    errJump,
    errBlockLines,
    errRepeatCount,
    errLabelTwice,
    errRedefine,
    errCommand,
    errNoLabel,
    errRepeatLines,
    errCycleJump,
    errNoInput,
    errOutput,
    errBlankLoad,
    errCycleSheets,
  };

  Tbl() = default;

  // Reads the arguments, the zeroth included, into the settings: -B -F -I -O
  // -P in either case with the value attached; the last one wins; anything
  // else is ignored. Bytes are widened by sign extension.
  static void ReadCommandLine(int argc, char** argv);
  // The setting that an option letter sets: -B -F -I -O -P, in either case;
  // null for any other letter.
  static std::wstring* OptionSetting(char letter);

  // The whole report run; 0 when it reached its end, 1 when it stopped on an
  // error (output not opened or naming one of the inputs, data file missing,
  // part 1 or 2 not loaded) or the report could not be written whole.
  int Execute();
  // Whether OutFile names a file the run reads: the data file, a part of the
  // blank or a begin-parameter file, by any name. Execute then stops at once.
  static bool OutputIsAnInput();

  // Opens InpFile on this object and reads the header into TabHdrField.
  // 0 when the data file cannot be opened.
  int GetHider();
  // Empties TabRcdField and reads the next record into it. 1 when the record
  // ended with its end marker, 0 at the end of the data file (the text read
  // so far stays in the table).
  int GetRecord();
  // Reads BegParam from every directory of the ";" list PathBlank, adding
  // header fields that are not given yet. Files found nowhere are no error.
  void GetBegin();
  // The names GetBegin reads, in order; none when BegParam is empty.
  static std::vector<std::wstring> BeginFiles();

  // The message text for an error number in the chosen language: message
  // 11104 + e for errJump to errCycleSheets, message 0 ("RUS0") for any other
  // value, and the message number in decimal should the text be empty.
  static std::wstring Err(numErr e);

  static std::wstring BlankFile;  // -B: base name of the blank
  static std::wstring BegParam;   // -F: begin-parameter file name
  static std::wstring InpFile;    // -I: data file, "NULL" by default
  static std::wstring OutFile;    // -O: output, "CON" is standard output
  static std::wstring PathBlank;  // -P: blank directory; ";" list for -F
  static int Add;                 // append to the output; nothing sets it
  static int totBreak;            // sheet breaks requested, not yet made
  static size_t FirstOst;         // unread record text right after reading
  static int CountList;           // the running counter of "#" runs
  static FieldTab TabHdrField;
  static FieldTab TabRcdField;
  // Told what the run does, for a program that runs the report in-process;
  // null (the start value) in a plain run.
  static vexo::RunObserver* Observer;

 private:
  // Execute's run once the output is open, from the header to the closing
  // pass; its result as Execute's, write errors aside.
  int Pour(Blank& blank, OutputFile& out);
};

namespace vexo {

// Watches Tbl::Execute from inside. Each call comes at the point of the run
// its name says; the run goes on as it would without an observer.
class RunObserver {
 public:
  virtual ~RunObserver() = default;
  // The next record is about to be read from data.
  virtual void RecordStarts(Tbl& data) = 0;
  // A report line has been written.
  virtual void LinePrinted() = 0;
  // The current sheet is done and the next part is about to be loaded
  // (part 2 for a further sheet, part 3 to close); the header fields still
  // stand where the sheet left them.
  virtual void SheetEnds(int nextPart) = 0;
};

// Puts every setting, counter and field table of the run back to its start
// value, as at program start: for tests, fuzz targets and benchmarks that run
// more than one report in one process.
void ResetRunState();

}  // namespace vexo
