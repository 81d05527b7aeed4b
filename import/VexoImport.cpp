// vexo-import: a CSV or tab-separated table becomes a vexo data file.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "data/DataWriter.h"
#include "data/EncodingGuess.h"
#include "import/Decoder.h"
#include "import/HeaderFile.h"
#include "import/ImportOptions.h"
#include "import/OutputTarget.h"
#include "import/Printable.h"
#include "import/RecordMapper.h"
#include "import/TableReader.h"
#include "io/SameFile.h"

namespace {

using vexo::Printable;
using vexo::TextPosition;

constexpr int kFailed = 1;
constexpr int kUsage = 2;

void Say(const std::string& where, const char* kind, const std::string& message) {
  std::cerr << where << ": " << kind << ": " << message << '\n';
}

std::string At(const std::string& file, TextPosition position) {
  return file + ':' + std::to_string(position.line) + ':' + std::to_string(position.column);
}

int Fail(const std::string& where, const std::string& message) {
  Say(where, "error", message);
  return kFailed;
}

// A file that the run reads, for the test that the output is none of them.
struct Input {
  std::string what;  // "the input file in.csv", ...
  struct stat info;
};

// The conversion of one input: reads it through the decoder and the table
// reader into the writer, and says what went wrong.
class Conversion {
 public:
  Conversion(const vexo::ImportOptions& options, int input, const std::string& name,
             vexo::DataWriter& writer, std::ostream& out)
      : m_Options(options),
        m_Input(input),
        m_Name(name),
        m_Out(out),
        m_Decoder(options.encoding),
        m_Mapper(options, writer),
        m_Table(options.tsv, options.delimiter, m_Mapper) {}

  // 0, or 1 after the error message; warnings go out either way.
  int Run() {
    static char chunk[1 << 16];
    for (;;) {
      const ssize_t length = Read(chunk, sizeof chunk);
      if (length < 0) return Fail(m_Name, std::string("cannot read: ") + std::strerror(errno));
      if (length == 0) break;
      const std::string_view bytes(chunk, static_cast<size_t>(length));
      std::string_view text;
      const bool decoded = m_Decoder.Convert(bytes, text);
      if (!m_Table.Feed(text)) return TableFailed();
      if (!decoded)
        return BadBytes("found " + Bytes(m_Decoder.BadBytes()) + ", which is not valid in " +
                            Printable(m_Options.encoding),
                        bytes);
      if (!m_Out) return 0;  // the caller reports the write error
    }
    if (!m_Decoder.Finish())
      return BadBytes("found the end of the input in the middle of the character that starts " +
                          std::string("with ") + vexo::HexBytes(m_Decoder.BadBytes()),
                      {});
    if (!m_Table.Finish()) return TableFailed();
    Warn();
    return 0;
  }

 private:
  ssize_t Read(char* buffer, size_t size) {
    for (;;) {
      const ssize_t length = read(m_Input, buffer, size);
      if (length >= 0 || errno != EINTR) return length;
    }
  }

  static std::string Bytes(const std::string& bytes) {
    return (bytes.size() == 1 ? "the byte " : "the bytes ") + vexo::HexBytes(bytes);
  }

  int TableFailed() {
    if (!m_Table.Error().empty()) return Fail(At(m_Name, m_Table.ErrorPosition()), m_Table.Error());
    return Fail(At(m_Name, m_Mapper.ErrorPosition()), m_Mapper.Error());
  }

  // A sequence that the encoding does not have, at the end of what was
  // read. For UTF-8 input the message names the encoding that the text
  // reads cleanly in, judged from the chunk that holds the sequence and all
  // after it; text that had UTF-8 beyond ASCII before is damaged UTF-8.
  int BadBytes(const std::string& found, std::string_view chunk) {
    const std::string& encoding = m_Options.encoding;
    std::string message = "expected text in " + Printable(encoding) + ", " + found;
    if (m_Decoder.Utf8()) {
      const char* guess = m_Decoder.SawNonAscii() ? nullptr : GuessEncoding(chunk);
      if (guess) {
        message +=
            "; the file reads cleanly as " + std::string(guess) + ": try --encoding=" + guess;
      } else {
        message += "; if the file is in another encoding, name it with --encoding=NAME";
      }
    }
    return Fail(At(m_Name, m_Table.End()), message);
  }

  const char* GuessEncoding(std::string_view chunk) {
    vexo::EncodingGuess guess;
    guess.Add(chunk);
    char rest[1 << 16];
    for (ssize_t length; (length = Read(rest, sizeof rest)) > 0;)
      guess.Add(std::string_view(rest, static_cast<size_t>(length)));
    return guess.Name();
  }

  void Warn() {
    if (const long rows = m_Mapper.EmptyRows(); rows > 0) {
      Say(At(m_Name, m_Mapper.FirstEmptyRow()), "warning",
          rows == 1 ? std::string("this row has no text in any written column and writes no record")
                    : "this row and " + std::to_string(rows - 1) +
                          " more have no text in any written column and write no record");
    }
    if (m_Decoder.LooksLikeUtf8()) {
      const std::string encoding = Printable(m_Options.encoding);
      Say(m_Name, "warning",
          "the input is valid UTF-8 with text beyond ASCII, which reading it as " + encoding +
              " garbles; leave out --encoding=" + encoding + " if the file is UTF-8");
    }
  }

  const vexo::ImportOptions& m_Options;
  int m_Input;
  std::string m_Name;
  std::ostream& m_Out;
  vexo::Decoder m_Decoder;
  vexo::RecordMapper m_Mapper;
  vexo::TableReader m_Table;
};

// Whether writing to output, a file with the identity given, would destroy
// one of the inputs; a terminal or another character device would not.
int RefuseInputAsOutput(const std::string& output, const struct stat& info,
                        const std::vector<Input>& inputs) {
  if (S_ISCHR(info.st_mode)) return 0;
  for (const Input& input : inputs)
    if (vexo::SameFile(info, input.info))
      return Fail("vexo-import",
                  output + " is " + input.what + " (the same file); nothing was written");
  return 0;
}

int Run(const vexo::ImportOptions& options) {
  std::vector<Input> inputs;
  std::map<long, std::string> header;
  if (!options.headerFile.empty()) {
    const std::string name = Printable(options.headerFile);
    Input input{"the header file " + name, {}};
    if (stat(options.headerFile.c_str(), &input.info) == 0 && S_ISDIR(input.info.st_mode))
      return Fail(name, std::string("cannot read: ") + std::strerror(EISDIR));
    const vexo::HeaderFileError error = vexo::ReadHeaderFile(options.headerFile, header);
    if (!error.message.empty())
      return Fail(error.line > 0 ? At(name, {error.line, error.column}) : name, error.message);
    inputs.push_back(input);
  }
  for (const auto& [n, text] : options.header) header[n] = text;

  const std::string name = options.input.empty() ? "<stdin>" : Printable(options.input);
  int input = STDIN_FILENO;
  if (!options.input.empty() && (input = open(options.input.c_str(), O_RDONLY | O_CLOEXEC)) < 0)
    return Fail(name, std::string("cannot read: ") + std::strerror(errno));
  struct FdCloser {
    int fd;
    ~FdCloser() {
      if (fd != STDIN_FILENO) close(fd);
    }
  } closer{input};
  inputs.push_back(
      {options.input.empty() ? "the file on standard input" : "the input file " + name, {}});
  if (fstat(input, &inputs.back().info) == 0 && S_ISDIR(inputs.back().info.st_mode))
    return Fail(name, std::string("cannot read: ") + std::strerror(EISDIR));

  // The output is checked before anything is opened for writing.
  const std::string outputName = options.output.empty() ? "<stdout>" : Printable(options.output);
  struct stat outputInfo;
  const bool outputExists = options.output.empty() ? fstat(STDOUT_FILENO, &outputInfo) == 0
                                                   : stat(options.output.c_str(), &outputInfo) == 0;
  if (outputExists)
    if (const int status = RefuseInputAsOutput(
            options.output.empty() ? "standard output" : "the output " + outputName, outputInfo,
            inputs))
      return status;
  vexo::OutputTarget output;
  if (!output.Open(options.output)) return Fail(outputName, output.Error());

  vexo::DataWriter writer(output.Stream());
  for (const auto& [n, text] : header) writer.Header(n, text);
  const int status = Conversion(options, input, name, writer, output.Stream()).Run();
  if (status != 0) {
    // A file being replaced stays as it was; what goes out in place (standard
    // output, a device) gets the records before the error.
    if (!output.KeepsOldFile()) output.Commit();
    return status;
  }
  if (!output.Commit())
    return Fail(outputName,
                output.Error() + (output.KeepsOldFile() ? "; the file is left as it was" : ""));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // A closed pipe and a file-size limit are write errors with a message,
  // not deaths by a signal.
  signal(SIGPIPE, SIG_IGN);
  signal(SIGXFSZ, SIG_IGN);
  std::ios::sync_with_stdio(false);
  vexo::ImportOptions options;
  if (const std::string error = vexo::ReadImportOptions(argc, argv, options); !error.empty()) {
    std::cerr << "vexo-import: error: " << error << "\nTry vexo-import --help.\n";
    return kUsage;
  }
  if (options.help) {
    std::cout << vexo::kImportUsage;
    return 0;
  }
  if (options.version) {
    std::cout << "vexo-import " VEXO_VERSION "\n";
    return 0;
  }
  return Run(options);
}
