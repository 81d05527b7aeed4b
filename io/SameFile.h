// Telling whether two names, or two opened files, are one file.
#pragma once

#include <sys/stat.h>

#include <string>

namespace vexo {

// True when a and b both name existing file-system entries and these are one
// file (the same device and inode), so symbolic and hard links and other
// spellings of one path count. False when either cannot be looked up.
bool SameFile(const std::wstring& a, const std::wstring& b);

// True when the two results of stat (or fstat, for a file already open, such
// as standard input's) describe one file: the same device and inode.
bool SameFile(const struct stat& a, const struct stat& b);

}  // namespace vexo
