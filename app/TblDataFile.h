// The data-file scanners' piece of plain text.
#pragma once

#include <cstddef>

namespace vexo {

// Plain text up to the next stop character is taken from the data file in
// pieces of at most this many characters, read into a buffer on the stack.
constexpr size_t kTextPiece = 1024;

}  // namespace vexo
