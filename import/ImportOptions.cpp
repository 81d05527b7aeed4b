#include "import/ImportOptions.h"

#include <getopt.h>
#include <iconv.h>

#include <cerrno>
#include <cstdlib>
#include <set>

#include "data/Utf8.h"
#include "import/Decoder.h"
#include "import/Printable.h"

namespace vexo {

const char kImportUsage[] =
    "Usage: vexo-import [OPTIONS] [FILE]\n"
    "Writes a CSV or tab-separated table (FILE or standard input) as a vexo data file.\n"
    "  -o, --output=FILE        write to FILE instead of standard output (\"-\": standard output)\n"
    "  --delimiter=C            cells are separated by the character C instead of \",\"\n"
    "  --tsv                    tab-separated, no quoting, \\t \\n \\r \\\\ decoded\n"
    "  --no-header              the first row is data, not column names\n"
    "  --encoding=NAME          the input's encoding (default UTF-8)\n"
    "  --fields=COLUMN=N,...    column (name or number) to record field N\n"
    "  --header=N=TEXT          header field N (repeatable)\n"
    "  --header-file=FILE       header fields from lines N=TEXT\n"
    "  --break-on=COLUMN        a new sheet whenever COLUMN changes\n"
    "  --segments=C             split cells into segments at the character C\n"
    "  --extra-cells=WHAT       cells beyond the header row: error (default), drop, keep\n"
    "  --help, --version\n";

namespace {

// The codes of the long options that have no letter.
enum Code {
  kDelimiter = 256,
  kTsv,
  kNoHeader,
  kEncoding,
  kFields,
  kHeader,
  kHeaderFile,
  kBreakOn,
  kSegments,
  kExtraCells,
  kHelp,
  kVersion,
};

const option kOptions[] = {
    {"output", required_argument, nullptr, 'o'},
    {"delimiter", required_argument, nullptr, kDelimiter},
    {"tsv", no_argument, nullptr, kTsv},
    {"no-header", no_argument, nullptr, kNoHeader},
    {"encoding", required_argument, nullptr, kEncoding},
    {"fields", required_argument, nullptr, kFields},
    {"header", required_argument, nullptr, kHeader},
    {"header-file", required_argument, nullptr, kHeaderFile},
    {"break-on", required_argument, nullptr, kBreakOn},
    {"segments", required_argument, nullptr, kSegments},
    {"extra-cells", required_argument, nullptr, kExtraCells},
    {"help", no_argument, nullptr, kHelp},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};

std::string NameOf(int code) {
  if (code == 'o') return "-o/--output";
  for (const option& o : kOptions)
    if (o.name && o.val == code) return std::string("--") + o.name;
  return std::string(1, '-') + static_cast<char>(code);
}

bool IsOneCharacter(const std::string& text) {
  return !text.empty() && Utf8Sequence(text, 0) == static_cast<int>(text.size());
}

bool IsUtf8(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    const int length = Utf8Sequence(text, i);
    if (length <= 0) return false;
    i += static_cast<size_t>(length);
  }
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
      return "--fields: expected COLUMN=N with N 1 or more, found \"" + Printable(item) + "\"";
    options.fields.emplace_back(item.substr(0, equals), n);
    start = end + 1;
  }
  return "";
}

std::string ReadHeader(const std::string& text, ImportOptions& options) {
  const size_t equals = text.find('=');
  const long n = equals == std::string::npos ? -1 : ParseFieldNumber(text.substr(0, equals));
  if (n < 0) return "--header: expected N=TEXT, found \"" + Printable(text) + "\"";
  if (!IsUtf8(text)) return "--header: expected UTF-8 text, found \"" + Printable(text) + "\"";
  options.header[n] = text.substr(equals + 1);
  return "";
}

std::string ReadDelimiter(const std::string& value, ImportOptions& options) {
  if (!IsOneCharacter(value) || value == "\"" || value == "\n" || value == "\r")
    return "--delimiter: expected one character other than a quote or a line break, found \"" +
           Printable(value) + "\"";
  options.delimiter = value;
  return "";
}

std::string ReadExtraCells(const std::string& value, ImportOptions& options) {
  if (value == "error") {
    options.extraCells = ExtraCells::kError;
  } else if (value == "drop") {
    options.extraCells = ExtraCells::kDrop;
  } else if (value == "keep") {
    options.extraCells = ExtraCells::kKeep;
  } else {
    return "--extra-cells: expected error, drop or keep, found \"" + Printable(value) + "\"";
  }
  return "";
}

// Whether the UTF-8 character c can stand in text of the encoding.
bool InEncoding(const std::string& c, const std::string& encoding) {
  const iconv_t converter = iconv_open(encoding.c_str(), "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  char buffer[16];
  char* in = const_cast<char*>(c.data());
  size_t inLeft = c.size();
  char* out = buffer;
  size_t outLeft = sizeof buffer;
  const bool converted = iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1);
  iconv_close(converter);
  return converted && inLeft == 0;
}

// The checks that need the whole command line.
std::string CheckTogether(const ImportOptions& options, const std::set<int>& given) {
  if (options.encoding.empty()) return "--encoding: expected the name of an encoding, found none";
  if (!Decoder(options.encoding).Ok())
    return "--encoding: iconv knows no encoding \"" + Printable(options.encoding) + "\"";
  if (options.tsv && given.count(kDelimiter))
    return "--delimiter does not go with --tsv, whose cells end at a tab";
  if (!Decoder(options.encoding).Utf8() && !InEncoding(options.delimiter, options.encoding))
    return "--delimiter: \"" + Printable(options.delimiter) + "\" is no character of " +
           Printable(options.encoding);
  return "";
}

// What went wrong when getopt_long returned '?' or ':' for the argument
// before optind.
std::string Unusable(int result, const char* argument) {
  std::string text = argument;
  if (text.compare(0, 2, "--") == 0) text = text.substr(0, text.find('='));
  if (result == ':') return Printable(text) + " needs a value";
  for (const option& o : kOptions)
    if (o.name && optopt == o.val && o.has_arg == no_argument)
      return Printable(text) + " takes no value";
  if (optopt > 0 && optopt < 128)
    return "unknown option -" + Printable(std::string(1, static_cast<char>(optopt)));
  return "unknown or ambiguous option " + Printable(text);
}

}  // namespace

long ParseFieldNumber(const std::string& text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return -1;
  errno = 0;
  const long n = std::strtol(text.c_str(), nullptr, 10);
  return errno == ERANGE ? -1 : n;
}

std::string ReadImportOptions(int argc, char** argv, ImportOptions& options) {
  optind = 0;  // starts getopt afresh
  opterr = 0;  // the messages are ours
  std::set<int> given;
  for (;;) {
    const int code = getopt_long(argc, argv, ":o:", kOptions, nullptr);
    if (code == -1) break;
    if (code == '?' || code == ':') return Unusable(code, argv[optind - 1]);
    const bool repeatable = code == kHeader || code == kTsv || code == kNoHeader;
    if (!given.insert(code).second && !repeatable) return NameOf(code) + " given twice";
    const std::string value = optarg ? optarg : "";
    std::string error;
    switch (code) {
      case 'o':
        if (value.empty()) error = "-o/--output: expected a file name, found none";
        options.output = value == "-" ? "" : value;
        break;
      case kDelimiter:
        error = ReadDelimiter(value, options);
        break;
      case kTsv:
        options.tsv = true;
        break;
      case kNoHeader:
        options.headerRow = false;
        break;
      case kEncoding:
        options.encoding = value;
        break;
      case kFields:
        error = ReadFields(value, options);
        break;
      case kHeader:
        error = ReadHeader(value, options);
        break;
      case kHeaderFile:
        options.headerFile = value;
        break;
      case kBreakOn:
        options.breakOn = value;
        break;
      case kSegments:
        if (!IsOneCharacter(value))
          error = "--segments: expected one character, found \"" + Printable(value) + "\"";
        options.segments = value;
        break;
      case kExtraCells:
        error = ReadExtraCells(value, options);
        break;
      case kHelp:
        options.help = true;
        return "";
      case kVersion:
        options.version = true;
        return "";
    }
    if (!error.empty()) return error;
  }
  if (argc - optind > 1) return "more than one input file: " + Printable(argv[optind + 1]);
  if (argc - optind == 1) {
    const std::string file = argv[optind];
    if (file.empty()) return "expected an input file name, found an empty argument";
    if (file != "-") options.input = file;
  }
  return CheckTogether(options, given);
}

}  // namespace vexo
