#include "check/CheckOptions.h"

#include <cstring>

#include "state/Tbl.h"

namespace vexo {

CheckOptions ReadCheckOptions(int argc, char** argv) {
  Tbl::ReadCommandLine(argc, argv);
  CheckOptions options;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strncmp(arg, "--", 2) != 0) continue;
    if (std::strcmp(arg, "--help") == 0) {
      options.help = true;
    } else if (std::strcmp(arg, "--version") == 0) {
      options.version = true;
    } else if (std::strcmp(arg, "--strict") == 0) {
      options.strict = true;
    } else if (std::strcmp(arg, "--json") == 0) {
      options.json = true;
    } else if (std::strcmp(arg, "--layout") == 0) {
      options.layout = true;
    } else if (options.unknown.empty()) {
      options.unknown = arg;
    }
  }
  return options;
}

const char* CheckUsage() {
  return "usage: vexo-check -BBLANK [-IDATA] [-FPARAMS] [-PDIR] [-OOUTPUT] [--strict] "
         "[--json | --layout]\n";
}

}  // namespace vexo
