// Uses the installed utility library as another program would, and exits
// with 1 after naming every result that differs from the expected one.
#include <vexo/util/DBString.h>
#include <vexo/util/Utils.h>
#include <vexo/util/md5.h>
#include <vexo/util/utilities.h>

// The thread library is only linked and one of its headers included, so this
// program stays valid while that library's interface is still growing.
#if __has_include(<vexo/threads/BaseThread.h>)
#include <vexo/threads/BaseThread.h>
#endif

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "vexo_consumer: %s is wrong\n", what);
  ++failures;
}

}  // namespace

int main() {
  Check(DBString(L"abc").Md5Hash() == L"900150983CD24FB0D6963F7D28E17F72", "Md5Hash");

  md5::md5_context ctx;
  md5::md5_starts(&ctx);
  unsigned char digest[16];
  md5::md5_finish(&ctx, digest);
  Check(digest[0] == 0xd4 && digest[15] == 0x7e, "md5 of nothing");

  char host[32], port[8], path[32];
  Check(splitURL("http://h:8080/a/b", nullptr, 0, host, sizeof host, port, sizeof port, path,
                 sizeof path) == 1 &&
            std::strcmp(host, "h") == 0 && std::strcmp(port, "8080") == 0 &&
            std::strcmp(path, "/a/b") == 0,
        "splitURL");

  Check(IPv6PortToStr(IP6FromStr("10.0.0.1"), 80) == " ::ffff:10.0.0.1|80 ", "IPv6PortToStr");

  std::vector<std::string> pieces;
  Check(ParseString(Trim("  a,b,,c "), ",", pieces) == 4 && pieces[3] == "c", "ParseString");

  std::string dir, name, ext;
  _splitpath("C:\\blanks\\list.frm", dir, name, ext);
  Check(dir == "C:/blanks/" && name == "list" && ext == "frm", "_splitpath");

  if (failures == 0) std::puts("vexo_consumer: the installed library works");
  return failures == 0 ? 0 : 1;
}
