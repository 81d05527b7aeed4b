// The text an "@" substitution stands for, for field registration and
// rendering alike.
#pragma once

#include <string>

#include "template/Placeholder.h"

// The current local time formatted by strftime into at most 79 bytes, each
// byte widened to one character; empty when the time cannot be had.
std::wstring GetCurrentTimeString(const char* format);

namespace vexo {

// The text of "@D" (the date), "@T" (the date and time) or "@n" (the first
// segment of header field n, read positions untouched); empty for a field
// that does not exist. A record segment ("@@n") consumes record text, which
// only rendering does: it gives "" here.
std::wstring SubstitutionText(const Substitution& substitution);

}  // namespace vexo
