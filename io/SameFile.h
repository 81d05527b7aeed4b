// Telling whether two names lead to one file.
#pragma once

#include <string>

namespace vexo {

// True when a and b both name existing file-system entries and these are one
// file (the same device and inode), so symbolic and hard links and other
// spellings of one path count. False when either cannot be looked up.
bool SameFile(const std::wstring& a, const std::wstring& b);

}  // namespace vexo
