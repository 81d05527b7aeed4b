#include "Console.h"

#include <cstdio>

#include "TextEncoding.h"

void ConsoleLine(const std::wstring& text) {
  std::string bytes;
  AppendUtf8(bytes, text.data(), text.size());
  bytes.push_back('\n');
  fwrite(bytes.data(), 1, bytes.size(), stdout);
  fflush(stdout);
}
