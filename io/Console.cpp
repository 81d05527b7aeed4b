#include "io/Console.h"

#include <cstdio>

#include "io/TextEncoding.h"

namespace vexo {

void ConsoleLine(const std::wstring& text) {
  std::string bytes;
  AppendUtf8(bytes, text.data(), text.size());
  bytes.push_back('\n');
  fwrite(bytes.data(), 1, bytes.size(), stdout);
  fflush(stdout);
}

}  // namespace vexo
