#include "messages/ErrorText.h"

#include <cwchar>

#include "messages/LoadRes.h"

namespace vexo {

namespace {

// The error numbers 0 to kErrorCount - 1 have consecutive messages.
constexpr unsigned kFirstErrorMessage = 11104;
constexpr unsigned kErrorCount = 13;

}  // namespace

unsigned short ErrorMessageNumber(unsigned error) {
  return static_cast<unsigned short>(error < kErrorCount ? kFirstErrorMessage + error : 0);
}

std::wstring MessageText(unsigned short number) {
  std::wstring text = _S_(number);
  if (!text.empty()) return text;
  wchar_t digits[16];
  std::swprintf(digits, sizeof(digits) / sizeof(digits[0]), L"%u", static_cast<unsigned>(number));
  return digits;
}

}  // namespace vexo
