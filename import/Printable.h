// Text from outside (file names, cells, option values) made fit for a
// message, which is always valid UTF-8 and one line.
#pragma once

#include <string>
#include <string_view>

namespace vexo {

// bytes with every byte that starts no valid UTF-8 sequence, and every
// control character, written as \xNN (two upper-case hex digits).
std::string Printable(std::string_view bytes);

// Every byte of bytes as \xNN.
std::string HexBytes(std::string_view bytes);

}  // namespace vexo
