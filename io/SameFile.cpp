#include "io/SameFile.h"

#include <sys/stat.h>

#include "io/TextEncoding.h"

namespace vexo {

namespace {

bool Identify(const std::wstring& name, struct stat& info) {
  std::string path;
  return FileSystemName(name, path) && stat(path.c_str(), &info) == 0;
}

}  // namespace

bool SameFile(const std::wstring& a, const std::wstring& b) {
  struct stat first, second;
  if (!Identify(a, first) || !Identify(b, second)) return false;
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace vexo
