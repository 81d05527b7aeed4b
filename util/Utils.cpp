#include "util/Utils.h"

#include <algorithm>

namespace {

// The shared rules of _splitpath and _wsplitpath for either character type.
template <typename String>
void SplitWithBackslashes(const String& path, String& dir, String& name, String& ext) {
  using Char = typename String::value_type;
  // Copied before the outputs are emptied, so a path that is also one of the
  // outputs is still read whole.
  String copy = path;
  dir.clear();
  name.clear();
  ext.clear();
  std::replace(copy.begin(), copy.end(), Char('\\'), Char('/'));
  const size_t slash = copy.rfind(Char('/'));
  const size_t nameStart = slash == String::npos ? 0 : slash + 1;
  dir = copy.substr(0, nameStart);
  const String namePart = copy.substr(nameStart);
  const size_t dot = namePart.rfind(Char('.'));
  if (dot == String::npos) {
    name = namePart;
    return;
  }
  name = namePart.substr(0, dot);
  ext = namePart.substr(dot + 1);
}

}  // namespace

void _splitpath(const std::string& path, std::string& dir, std::string& name, std::string& ext) {
  SplitWithBackslashes(path, dir, name, ext);
}

void _wsplitpath(const std::wstring& path, std::wstring& dir, std::wstring& name,
                 std::wstring& ext) {
  SplitWithBackslashes(path, dir, name, ext);
}

void splitpath(const std::string& path, std::string& dir, std::string& name, std::string& ext) {
  const std::string whole = path;
  dir.clear();
  name.clear();
  ext.clear();
  const size_t slash = whole.rfind('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  dir = whole.substr(0, nameStart);
  const size_t dot = whole.rfind('.');
  if (dot == std::string::npos || dot < nameStart) {
    name = whole.substr(nameStart);
    return;
  }
  name = whole.substr(nameStart, dot - nameStart);
  ext = whole.substr(dot);
}
