#include "template/SubstitutionText.h"

#include <ctime>

#include "state/Tbl.h"

std::wstring GetCurrentTimeString(const char* format) {
  const std::time_t now = std::time(nullptr);
  std::tm local;
  if (localtime_r(&now, &local) == nullptr) return std::wstring();
  char text[80];
  const size_t length = std::strftime(text, sizeof text, format, &local);
  return std::wstring(text, text + length);
}

namespace vexo {

namespace {

constexpr char kDateFormat[] = "%d.%m.%Y";
constexpr char kDateTimeFormat[] = "%d.%m.%Y %H:%M";

}  // namespace

std::wstring SubstitutionText(const Substitution& substitution, size_t headerLimit) {
  switch (substitution.kind) {
    case SubstitutionKind::kDate:
      return GetCurrentTimeString(kDateFormat);
    case SubstitutionKind::kDateTime:
      return GetCurrentTimeString(kDateTimeFormat);
    case SubstitutionKind::kHeaderFirst:
      return Tbl::TabHdrField.FirstValue(substitution.number, headerLimit);
    case SubstitutionKind::kRecordSegment:
    case SubstitutionKind::kNone:
      break;
  }
  return std::wstring();
}

}  // namespace vexo
