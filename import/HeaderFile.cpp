#include "import/HeaderFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "data/Utf8.h"
#include "import/ImportOptions.h"
#include "import/Printable.h"

namespace vexo {

namespace {

HeaderFileError Unreadable() { return {0, 0, std::string("cannot read: ") + std::strerror(errno)}; }

}  // namespace

HeaderFileError ReadHeaderFile(const std::string& name, std::map<long, std::string>& fields) {
  std::ifstream in(name, std::ios::binary);
  if (!in) return Unreadable();
  std::string line;
  for (long number = 1; std::getline(in, line); ++number) {
    if (number == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    long column = 1;
    for (size_t i = 0; i < line.size(); ++column) {
      const int length = Utf8Sequence(line, i);
      if (length <= 0)
        return {number, column,
                "expected UTF-8 text, found the byte " + Printable(line.substr(i, 1)) +
                    ", which is not valid in UTF-8"};
      i += static_cast<size_t>(length);
    }
    const size_t equals = line.find('=');
    const long n = equals == std::string::npos ? -1 : ParseFieldNumber(line.substr(0, equals));
    if (n < 0)
      return {number, 1,
              "expected N=TEXT with a field number N, found \"" + Printable(line) + "\""};
    fields[n] = line.substr(equals + 1);
  }
  if (in.bad()) return Unreadable();
  return {};
}

}  // namespace vexo
