#include <cwchar>

#include "LoadRes.h"
#include "Tbl.h"

std::wstring Tbl::Err(numErr e) {
  // Message numbers by error number, errJump to errCycleSheets.
  static const unsigned short kMessages[] = {11104, 11105, 11106, 11107, 11108, 11109, 11110,
                                             11111, 11112, 11113, 11114, 11115, 11116};
  const unsigned value = static_cast<unsigned>(e);
  const unsigned short number = value < sizeof(kMessages) / sizeof(kMessages[0]) ? kMessages[value] : 0;
  std::wstring text = _S_(number);
  if (!text.empty()) return text;
  wchar_t digits[16];
  swprintf(digits, sizeof(digits) / sizeof(digits[0]), L"%u", static_cast<unsigned>(number));
  return digits;
}
