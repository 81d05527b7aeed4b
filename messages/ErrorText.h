// The texts of the run's error numbers.
#pragma once

#include <string>

namespace vexo {

// The message number of error number `error` (0 to 12 give 11104 to 11116);
// 0 for any other value.
unsigned short ErrorMessageNumber(unsigned error);

// The text of message `number` in the chosen language; the number in decimal
// when the text comes back empty.
std::wstring MessageText(unsigned short number);

}  // namespace vexo
