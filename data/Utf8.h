// Checking UTF-8 one sequence at a time, for the data-file writer and for
// programs that validate their input before they hand it on.
#pragma once

#include <string_view>

namespace vexo {

// The length of the well-formed UTF-8 sequence that starts at text[i]
// (1 to 4), 0 when the bytes there are not one (a stray continuation byte,
// an overlong form, a surrogate, a value above U+10FFFF), and -1 when they
// are the start of one that the end of text cuts short.
int Utf8Sequence(std::string_view text, size_t i);

}  // namespace vexo
