// The text an "@" substitution stands for, for field registration and
// rendering alike.
#pragma once

#include <cstddef>
#include <string>

#include "template/Placeholder.h"

// The current local time formatted by strftime into at most 79 bytes, each
// byte widened to one character; empty when the time cannot be had.
std::wstring GetCurrentTimeString(const char* format);

namespace vexo {

// The text of "@D" (the date), "@T" (the date and time) or "@n" (the first
// segment of header field n, read positions untouched); empty for a field
// that does not exist. A record segment ("@@n") consumes record text, which
// only rendering does: it gives "" here. A header segment is cut to
// headerLimit characters, so that a line with room for a few does not copy
// a long value.
std::wstring SubstitutionText(const Substitution& substitution,
                              size_t headerLimit = static_cast<size_t>(-1));

}  // namespace vexo
