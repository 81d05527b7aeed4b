// Uses each installed library once as another program would, and exits with
// 1 after naming every result that differs from the expected one.
#include <vexo/data/DataWriter.h>
#include <vexo/threads/BaseListTimers.h>
#include <vexo/util/DBString.h>

#include <cstdio>
#include <sstream>

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "vexo_consumer: %s is wrong\n", what);
  ++failures;
}

bool Tick(void*) { return true; }

}  // namespace

int main() {
  Check(DBString(L"abc").Md5Hash() == L"900150983CD24FB0D6963F7D28E17F72", "Md5Hash");

  BaseListTimers timers;
  Check(timers.AddProcTimer("tick", Tick, nullptr) && !timers.AddProcTimer("tick", Tick, nullptr),
        "AddProcTimer");

  std::ostringstream data;
  vexo::DataWriter writer(data);
  writer.Header(1, "Smith & Sons");
  writer.Field(2, "$5; each\r\nor 2 @ $9");
  writer.EndRecord();
  Check(data.str() == "&1;Smith \\& Sons\n$2;\\$5; each or 2 \\@ \\$9\n@\n", "DataWriter");

  if (failures == 0) std::puts("vexo_consumer: the installed libraries work");
  return failures == 0 ? 0 : 1;
}
