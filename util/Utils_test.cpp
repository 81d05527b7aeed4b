#include "Utils.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct SplitCase {
  const char* path;
  const char* dir;
  const char* name;
  const char* ext;
};

// Narrow ASCII text widened character by character.
std::wstring Wide(const char* s) { return std::wstring(s, s + std::char_traits<char>::length(s)); }

TEST(SplitPath, BackslashesBecomeSlashesAndTheExtensionLosesItsDot) {
  const SplitCase cases[] = {
      {"C:\\blanks\\list.frm", "C:/blanks/", "list", "frm"},
      {"report", "", "report", ""},
      {"a/b.c/d", "a/b.c/", "d", ""},
      {".profile", "", "", "profile"},
      {"name.", "", "name", ""},
      {"dir/", "dir/", "", ""},
      {"", "", "", ""},
      {"C:x.tar.gz", "", "C:x.tar", "gz"},
      {"a\\b/c\\d.e", "a/b/c/", "d", "e"},
      {"/", "/", "", ""},
  };
  for (const SplitCase& c : cases) {
    std::string dir = "stale", name = "stale", ext = "stale";
    _splitpath(c.path, dir, name, ext);
    EXPECT_EQ(dir, c.dir) << c.path;
    EXPECT_EQ(name, c.name) << c.path;
    EXPECT_EQ(ext, c.ext) << c.path;
    std::wstring wdir = L"stale", wname = L"stale", wext = L"stale";
    _wsplitpath(Wide(c.path), wdir, wname, wext);
    EXPECT_EQ(wdir, Wide(c.dir)) << c.path;
    EXPECT_EQ(wname, Wide(c.name)) << c.path;
    EXPECT_EQ(wext, Wide(c.ext)) << c.path;
  }
  std::wstring dir, name, ext;
  _wsplitpath(L"\x0431\x043B/\x0444.\x0442", dir, name, ext);
  EXPECT_EQ(dir + L"|" + name + L"|" + ext, L"\x0431\x043B/|\x0444|\x0442");
}

TEST(SplitPath, PlainVariantKeepsBackslashesAndTheExtensionDot) {
  const SplitCase cases[] = {
      {"a\\b.txt", "", "a\\b", ".txt"},
      {".profile", "", "", ".profile"},
      {"name.", "", "name", "."},
      {"dir/", "dir/", "", ""},
      {"a/b.c/d", "a/b.c/", "d", ""},
      {"/x/y.tar.gz", "/x/", "y.tar", ".gz"},
      {"", "", "", ""},
  };
  for (const SplitCase& c : cases) {
    std::string dir = "stale", name = "stale", ext = "stale";
    splitpath(c.path, dir, name, ext);
    EXPECT_EQ(dir, c.dir) << c.path;
    EXPECT_EQ(name, c.name) << c.path;
    EXPECT_EQ(ext, c.ext) << c.path;
  }
}

TEST(SplitPath, PathThatIsAlsoAnOutputIsReadWhole) {
  std::string path = "d\\n.e", name, ext;
  _splitpath(path, path, name, ext);
  EXPECT_EQ(path + "|" + name + "|" + ext, "d/|n|e");
  path = "d/n.e";
  splitpath(path, name, path, ext);
  EXPECT_EQ(name + "|" + path + "|" + ext, "d/|n|.e");
}

}  // namespace
