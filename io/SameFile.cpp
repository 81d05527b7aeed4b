#include "io/SameFile.h"

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
  return Identify(a, first) && Identify(b, second) && SameFile(first, second);
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace vexo
