#include "import/ImportOptions.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "data/Utf8.h"

namespace vexo {

const char kImportUsage[] =
    "Usage: vexo-import [OPTIONS] [FILE]\n"
    "Writes a CSV or tab-separated table (FILE or standard input) as a vexo data file.\n"
    "  -o FILE, --output=FILE   write to FILE instead of standard output\n"
    "  --delimiter=C            cells are separated by C instead of \",\"\n"
    "  --tsv                    tab-separated, no quoting, \\t \\n \\r \\\\ decoded\n"
    "  --no-header              the first row is data, not column names\n"
    "  --encoding=NAME          the input's encoding (default UTF-8)\n"
    "  --fields=COLUMN=N,...    column (name or number) to record field N\n"
    "  --header=N=TEXT          header field N (repeatable)\n"
    "  --header-file=FILE       header fields from lines N=TEXT\n"
    "  --break-on=COLUMN        a new sheet whenever COLUMN changes\n"
    "  --segments=C             split cells into segments at C\n"
    "  --help, --version\n";

namespace {

// The value of "--name=value" when arg starts with "--name=".
bool Value(const std::string& arg, const char* name, std::string& value) {
  const size_t length = std::strlen(name);
  if (arg.compare(0, length, name) != 0 || arg.size() <= length || arg[length] != '=') return false;
  value = arg.substr(length + 1);
  return true;
}

// "COLUMN=N,COLUMN=N": the last "=" of each item splits it, so that a
// column name may hold "=" itself.
std::string ReadFields(const std::string& mapping, ImportOptions& options) {
  size_t start = 0;
  while (start <= mapping.size()) {
    size_t end = mapping.find(',', start);
    if (end == std::string::npos) end = mapping.size();
    const std::string item = mapping.substr(start, end - start);
    const size_t equals = item.rfind('=');
    const long n = equals == std::string::npos ? -1 : ParseFieldNumber(item.substr(equals + 1));
    if (equals == 0 || n < 1)
      return "--fields: expected COLUMN=N with N 1 or more, found \"" + item + "\"";
    options.fields.emplace_back(item.substr(0, equals), n);
    start = end + 1;
  }
  return "";
}

std::string ReadHeader(const std::string& text, ImportOptions& options) {
  const size_t equals = text.find('=');
  const long n = equals == std::string::npos ? -1 : ParseFieldNumber(text.substr(0, equals));
  if (n < 0) return "--header: expected N=TEXT, found \"" + text + "\"";
  options.header[n] = text.substr(equals + 1);
  return "";
}

}  // namespace

long ParseFieldNumber(const std::string& text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return -1;
  errno = 0;
  const long n = std::strtol(text.c_str(), nullptr, 10);
  return errno == ERANGE ? -1 : n;
}

std::string ReadImportOptions(int argc, char** argv, ImportOptions& options) {
  bool filesOnly = false;
  bool haveInput = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    std::string value;
    if (filesOnly || arg == "-" || arg.empty() || arg[0] != '-') {
      if (haveInput) return "more than one input file: " + arg;
      options.input = arg == "-" ? "" : arg;
      haveInput = true;
    } else if (arg == "--") {
      filesOnly = true;
    } else if (arg == "-o") {
      if (++i == argc) return "-o needs a file name";
      options.output = argv[i];
    } else if (Value(arg, "--output", value)) {
      options.output = value;
    } else if (Value(arg, "--delimiter", value)) {
      if (value.size() != 1 || value[0] == '"' || value[0] == '\n' || value[0] == '\r')
        return "--delimiter: expected one character other than a quote, found \"" + value + "\"";
      options.delimiter = value[0];
    } else if (arg == "--tsv") {
      options.tsv = true;
    } else if (arg == "--no-header") {
      options.headerRow = false;
    } else if (Value(arg, "--encoding", value)) {
      options.encoding = value;
    } else if (Value(arg, "--fields", value)) {
      if (const std::string error = ReadFields(value, options); !error.empty()) return error;
    } else if (Value(arg, "--header", value)) {
      if (const std::string error = ReadHeader(value, options); !error.empty()) return error;
    } else if (Value(arg, "--header-file", value)) {
      options.headerFile = value;
    } else if (Value(arg, "--break-on", value)) {
      options.breakOn = value;
    } else if (Value(arg, "--segments", value)) {
      if (value.empty() || Utf8Sequence(value, 0) != static_cast<int>(value.size()))
        return "--segments: expected one character, found \"" + value + "\"";
      options.segments = value;
    } else if (arg == "--help") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else {
      return "unknown option " + arg;
    }
  }
  return "";
}

}  // namespace vexo
