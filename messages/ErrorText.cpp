#include "messages/ErrorText.h"

#include <cwchar>

#include "messages/LoadRes.h"

namespace vexo {

unsigned short ErrorMessageNumber(unsigned error) {
  // Message numbers by error number, errJump to errCycleSheets.
  static const unsigned short kMessages[] = {11104, 11105, 11106, 11107, 11108, 11109, 11110,
                                             11111, 11112, 11113, 11114, 11115, 11116};
  return error < sizeof(kMessages) / sizeof(kMessages[0]) ? kMessages[error] : 0;
}

std::wstring MessageText(unsigned short number) {
  std::wstring text = _S_(number);
  if (!text.empty()) return text;
  wchar_t digits[16];
  std::swprintf(digits, sizeof(digits) / sizeof(digits[0]), L"%u", static_cast<unsigned>(number));
  return digits;
}

}  // namespace vexo
