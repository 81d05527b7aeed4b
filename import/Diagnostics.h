// The messages of vexo-import, one line each on standard error.
#pragma once

#include <string>

#include "import/LineCounter.h"

namespace vexo {

// "file:line:column": where a message about the input points.
std::string Place(const std::string& file, TextPosition position);

// Writes "where: kind: message" ("error" or "warning" as kind) and a line
// feed to standard error.
void Report(const std::string& where, const char* kind, const std::string& message);

}  // namespace vexo
