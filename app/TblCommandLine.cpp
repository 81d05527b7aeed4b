#include <string>

#include "state/Tbl.h"

std::wstring* Tbl::OptionSetting(char letter) {
  switch (letter) {
    case 'B':
    case 'b':
      return &Tbl::BlankFile;
    case 'F':
    case 'f':
      return &Tbl::BegParam;
    case 'I':
    case 'i':
      return &Tbl::InpFile;
    case 'O':
    case 'o':
      return &Tbl::OutFile;
    case 'P':
    case 'p':
      return &Tbl::PathBlank;
    default:
      return nullptr;
  }
}

// The value is widened byte by byte with sign extension, without decoding:
// bytes of 0x80 and above become the values 0xFFFFFF80 to 0xFFFFFFFF, which
// the file-system names turn back into the same bytes.
void Tbl::ReadCommandLine(int argc, char** argv) {
  for (int i = 0; i < argc; ++i) {
    const char* arg = argv[i];
    if (!arg || arg[0] != '-' || arg[1] == '\0') continue;
    std::wstring* setting = OptionSetting(arg[1]);
    if (!setting) continue;
    setting->clear();
    for (const char* p = arg + 2; *p; ++p) setting->push_back(static_cast<signed char>(*p));
  }
}
