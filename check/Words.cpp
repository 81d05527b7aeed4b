#include "check/Words.h"

#include "io/TextEncoding.h"
#include "messages/ErrorText.h"

namespace vexo {

std::string Utf8(const std::wstring& text) {
  std::string out;
  AppendUtf8(out, text.data(), text.size());
  return out;
}

std::string Counted(int64_t count, const char* word) {
  return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

std::string MessageNumber(Tbl::numErr error) {
  return std::to_string(ErrorMessageNumber(static_cast<unsigned>(error)));
}

}  // namespace vexo
