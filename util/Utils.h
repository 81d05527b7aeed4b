// Path splitting into directory, file name and extension. No drive is split
// off and the file system is never touched.
#pragma once

#include <string>

// Empties the three outputs, then fills them from path with every backslash
// read as a slash: the directory up to and including the last slash (with
// slashes in place of backslashes), the file name, and the extension behind
// the last full stop of the name (without the full stop).
void _splitpath(const std::string& path, std::string& dir, std::string& name, std::string& ext);
void _wsplitpath(const std::wstring& path, std::wstring& dir, std::wstring& name,
                 std::wstring& ext);

// Empties the three outputs, then fills them from path: the directory up to
// and including the last slash (a backslash is an ordinary character), the
// file name, and the extension from the last full stop of the name on,
// full stop included.
void splitpath(const std::string& path, std::string& dir, std::string& name, std::string& ext);
