#include "import/HeaderFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "data/Utf8.h"
#include "import/ImportOptions.h"

namespace vexo {

HeaderFileError ReadHeaderFile(const std::string& name, std::map<long, std::string>& fields) {
  std::ifstream in(name, std::ios::binary);
  if (!in) return {1, 1, std::string("cannot read the file: ") + std::strerror(errno)};
  std::string line;
  for (long number = 1; std::getline(in, line); ++number) {
    if (number == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    for (size_t i = 0; i < line.size();) {
      const int length = Utf8Sequence(line, i);
      if (length <= 0)
        return {number, static_cast<long>(i) + 1, "expected UTF-8 text, found a byte that is not"};
      i += static_cast<size_t>(length);
    }
    const size_t equals = line.find('=');
    const long n = equals == std::string::npos ? -1 : ParseFieldNumber(line.substr(0, equals));
    if (n < 0) return {number, 1, "expected N=TEXT with a field number N, found \"" + line + "\""};
    fields[n] = line.substr(equals + 1);
  }
  if (in.bad()) return {1, 1, std::string("cannot read the file: ") + std::strerror(errno)};
  return {};
}

}  // namespace vexo
