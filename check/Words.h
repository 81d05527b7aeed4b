// The small pieces every message of the checker is made of.
#pragma once

#include <cstdint>
#include <string>

#include "state/Tbl.h"

namespace vexo {

// text as UTF-8, by the rules of AppendUtf8: a name from the command line
// gets its bytes back.
std::string Utf8(const std::wstring& text);
// "3 records", "1 record".
std::string Counted(int64_t count, const char* word);
// The number of vexo's message for an error, from the message table.
std::string MessageNumber(Tbl::numErr error);

}  // namespace vexo
