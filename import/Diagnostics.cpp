#include "import/Diagnostics.h"

#include <iostream>

namespace vexo {

std::string Place(const std::string& file, TextPosition position) {
  return file + ':' + std::to_string(position.line) + ':' + std::to_string(position.column);
}

void Report(const std::string& where, const char* kind, const std::string& message) {
  std::cerr << where << ": " << kind << ": " << message << '\n';
}

}  // namespace vexo
