// vexo-import: a CSV or tab-separated table becomes a vexo data file.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "data/DataWriter.h"
#include "import/Decoder.h"
#include "import/HeaderFile.h"
#include "import/ImportOptions.h"
#include "import/RecordMapper.h"
#include "import/ReplacingFile.h"
#include "import/TableReader.h"

namespace {

int Fail(const std::string& file, long row, long column, const std::string& message) {
  std::cerr << file << ':' << row << ':' << column << ": error: " << message << '\n';
  return 1;
}

int FailUsage(const std::string& message) {
  std::cerr << "vexo-import: error: " << message << "\nTry vexo-import --help.\n";
  return 1;
}

std::string Hex(unsigned char byte) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", byte);
  return text;
}

// Reads the whole input through the decoder and the table reader into the
// writer; 0, or 1 after the error message.
int Convert(const vexo::ImportOptions& options, std::FILE* input, vexo::DataWriter& writer) {
  const std::string name = options.input.empty() ? "<stdin>" : options.input;
  vexo::Decoder decoder(options.encoding);
  vexo::RecordMapper mapper(options, writer);
  vexo::TableReader table(options.tsv, options.delimiter, mapper);
  const auto mappingFailed = [&] {
    return Fail(name, mapper.ErrorRow(), mapper.ErrorColumn(), mapper.Error());
  };
  static char chunk[1 << 16];
  std::string text;
  for (;;) {
    const size_t length = std::fread(chunk, 1, sizeof chunk, input);
    if (length == 0 && std::ferror(input))
      return Fail(name, table.Row(), table.Column(),
                  std::string("cannot read the input: ") + std::strerror(errno));
    if (length == 0) break;
    text.clear();
    const bool decoded = decoder.Convert(std::string_view(chunk, length), text);
    if (!table.Feed(text)) return Fail(name, table.Row(), table.Column(), table.Error());
    if (!mapper.Error().empty()) return mappingFailed();
    if (!decoded)
      return Fail(name, table.Row(), table.Column(),
                  "expected text in " + options.encoding + ", found the byte " +
                      Hex(decoder.BadByte()) + " at byte offset " +
                      std::to_string(decoder.BadOffset()) + " that is not");
  }
  if (!decoder.Finish())
    return Fail(name, table.Row(), table.Column(),
                "expected text in " + options.encoding + ", found the end of the input at byte " +
                    "offset " + std::to_string(decoder.BadOffset()) + " inside a character");
  if (!table.Finish()) return Fail(name, table.Row(), table.Column(), table.Error());
  if (!mapper.Error().empty()) return mappingFailed();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  vexo::ImportOptions options;
  if (const std::string error = vexo::ReadImportOptions(argc, argv, options); !error.empty())
    return FailUsage(error);
  if (options.help) {
    std::cout << vexo::kImportUsage;
    return 0;
  }
  if (options.version) {
    std::cout << "vexo-import " VEXO_VERSION "\n";
    return 0;
  }
  if (!vexo::Decoder(options.encoding).Ok())
    return FailUsage("--encoding: iconv knows no encoding \"" + options.encoding + "\"");

  std::map<long, std::string> header;
  if (!options.headerFile.empty()) {
    const vexo::HeaderFileError error = vexo::ReadHeaderFile(options.headerFile, header);
    if (!error.message.empty())
      return Fail(options.headerFile, error.line, error.column, error.message);
  }
  for (const auto& [n, text] : options.header) header[n] = text;

  std::FILE* input = stdin;
  if (!options.input.empty() && !(input = std::fopen(options.input.c_str(), "rb")))
    return Fail(options.input, 1, 1, std::string("cannot read the file: ") + std::strerror(errno));

  std::ios::sync_with_stdio(false);
  vexo::ReplacingFile file;
  if (!options.output.empty() && !file.Open(options.output))
    return Fail(options.output, 1, 1, "cannot create the file: " + file.Error());
  std::ostream& out = options.output.empty() ? std::cout : file.Stream();
  vexo::DataWriter writer(out);
  for (const auto& [n, text] : header)
    if (!writer.Header(n, text))
      return FailUsage("--header: expected UTF-8 text for header field " + std::to_string(n));

  const int status = Convert(options, input, writer);
  if (input != stdin) std::fclose(input);
  if (status != 0) return status;
  if (options.output.empty()) {
    out.flush();
    if (!out) return Fail("<stdout>", 1, 1, "cannot write the output");
    return 0;
  }
  if (!file.Commit()) return Fail(options.output, 1, 1, file.Error());
  return 0;
}
