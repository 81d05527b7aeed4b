// vexo's command line and the files it names, checked before anything is
// read: what would make the run stop at once or pass a file over in silence.
#pragma once

#include "check/Diagnostics.h"

namespace vexo {

// Reports, against the run settings as vexo's own reader left them:
// - an option whose value is a separate argument ("-I data.txt"), which vexo
//   takes as an empty value, ignoring the next argument: an error;
// - an output that names one of the run's inputs (vexo's own test), or that
//   cannot be opened for writing: an error, as vexo stops at once;
// - a begin-parameter file that is a directory or cannot be read (an error)
//   or that is found in none of the directories vexo looks in (a warning).
void CheckCommandLine(int argc, char** argv, DiagnosticSink& sink);

// Reports the data file that vexo cannot open, saying why; vexo stops with
// message 11113.
void ReportDataFile(DiagnosticSink& sink);

}  // namespace vexo
