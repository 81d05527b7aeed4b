#include "util/Utils.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Each path with what _splitpath (and _wsplitpath) and what splitpath give,
// as "directory|name|extension".
TEST(SplitPath, EachVariantFollowsItsBackslashAndFullStopRules) {
  const std::string cases[][3] = {
      {"C:\\blanks\\list.frm", "C:/blanks/|list|frm", "|C:\\blanks\\list|.frm"},
      {"a/b.c/d", "a/b.c/|d|", "a/b.c/|d|"},
      {"/x\\y/z.tar.gz", "/x/y/|z.tar|gz", "/x\\y/|z.tar|.gz"},
      {"report", "|report|", "|report|"},
      {".profile", "||profile", "||.profile"},
      {"name.", "|name|", "|name|."},
      {"dir/", "dir/||", "dir/||"},
      {"", "||", "||"}};
  for (const auto& [path, underscore, plain] : cases) {
    std::string dir = "stale", name = "stale", ext = "stale";
    _splitpath(path, dir, name, ext);
    EXPECT_EQ(dir + "|" + name + "|" + ext, underscore) << path;
    std::wstring wdir = L"stale", wname = L"stale", wext = L"stale";
    _wsplitpath(std::wstring(path.begin(), path.end()), wdir, wname, wext);
    EXPECT_EQ(wdir + L"|" + wname + L"|" + wext, std::wstring(underscore.begin(), underscore.end()))
        << path;
    splitpath(path, dir, name, ext);
    EXPECT_EQ(dir + "|" + name + "|" + ext, plain) << path;
  }
}

}  // namespace
