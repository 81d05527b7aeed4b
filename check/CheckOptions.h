// The checker's command line: vexo's own options, read by vexo's own reader,
// and the checker's long options beside them.
#pragma once

#include <string>

namespace vexo {

struct CheckOptions {
  bool help = false;
  bool version = false;
  bool strict = false;  // warnings fail too
  bool json = false;    // JSON Lines on standard output
  bool layout = false;  // show how each text line reads
  std::string unknown;  // the first long option not known, if any
};

// Reads -B -F -I -O -P into the run settings exactly as vexo does, and the
// long options into the result. An unknown long option is noted in
// `unknown`, not reported.
CheckOptions ReadCheckOptions(int argc, char** argv);

// The usage text, ending in a line feed.
const char* CheckUsage();

}  // namespace vexo
