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
#include "import/Conversion.h"
#include "import/Diagnostics.h"
#include "import/HeaderFile.h"
#include "import/ImportOptions.h"
#include "import/OutputTarget.h"
#include "import/Printable.h"
#include "io/SameFile.h"

namespace {

using vexo::Printable;

constexpr int kFailed = 1;
constexpr int kUsage = 2;

int Fail(const std::string& where, const std::string& message) {
  vexo::Report(where, "error", message);
  return kFailed;
}

bool Failed(const std::string& where, const std::string& message) {
  vexo::Report(where, "error", message);
  return false;
}

// A file that the run reads, for the test that the output is none of them.
struct Input {
  std::string what;  // "the input file in.csv", ...
  struct stat info;
};

std::string CannotRead(int error) { return std::string("cannot read: ") + std::strerror(error); }

// The header fields, --header's over --header-file's; false after the
// message.
bool ReadHeader(const vexo::ImportOptions& options, std::map<long, std::string>& header,
                std::vector<Input>& inputs) {
  if (!options.headerFile.empty()) {
    const std::string name = Printable(options.headerFile);
    Input input{"the header file " + name, {}};
    if (stat(options.headerFile.c_str(), &input.info) == 0 && S_ISDIR(input.info.st_mode))
      return Failed(name, CannotRead(EISDIR));
    const vexo::HeaderFileError error = vexo::ReadHeaderFile(options.headerFile, header);
    if (!error.message.empty())
      return Failed(error.line > 0 ? vexo::Place(name, {error.line, error.column}) : name,
                    error.message);
    inputs.push_back(input);
  }
  for (const auto& [n, text] : options.header) header[n] = text;
  return true;
}

// The table's descriptor: the file named, or standard input; -1 after the
// message.
int OpenTable(const vexo::ImportOptions& options, const std::string& name,
              std::vector<Input>& inputs) {
  int table = STDIN_FILENO;
  if (!options.input.empty() && (table = open(options.input.c_str(), O_RDONLY | O_CLOEXEC)) < 0) {
    Fail(name, CannotRead(errno));
    return -1;
  }
  Input input{options.input.empty() ? "the file on standard input" : "the input file " + name, {}};
  if (fstat(table, &input.info) == 0 && S_ISDIR(input.info.st_mode)) {
    close(table);
    Fail(name, CannotRead(EISDIR));
    return -1;
  }
  inputs.push_back(input);
  return table;
}

// Whether the output (standard output when the name is empty) is one of the
// inputs, which writing it would destroy; a terminal or another character
// device is written without harm. True after the message.
bool OutputIsAnInput(const std::string& output, const std::vector<Input>& inputs) {
  struct stat info;
  if (output.empty() ? fstat(STDOUT_FILENO, &info) != 0 : stat(output.c_str(), &info) != 0)
    return false;
  if (S_ISCHR(info.st_mode)) return false;
  for (const Input& input : inputs) {
    if (!vexo::SameFile(info, input.info)) continue;
    Fail("vexo-import", (output.empty() ? "standard output" : "the output " + Printable(output)) +
                            " is " + input.what + " (the same file); nothing was written");
    return true;
  }
  return false;
}

// Everything before the output is opened is read or checked, so that a
// failure leaves the output as it was.
int Run(const vexo::ImportOptions& options) {
  std::vector<Input> inputs;
  std::map<long, std::string> header;
  if (!ReadHeader(options, header, inputs)) return kFailed;
  const std::string name = options.input.empty() ? "<stdin>" : Printable(options.input);
  const int table = OpenTable(options, name, inputs);
  if (table < 0) return kFailed;
  const struct Closer {
    int descriptor;
    ~Closer() {
      if (descriptor != STDIN_FILENO) close(descriptor);
    }
  } closer{table};
  if (OutputIsAnInput(options.output, inputs)) return kFailed;

  const std::string outputName = options.output.empty() ? "<stdout>" : Printable(options.output);
  vexo::OutputTarget output;
  if (!output.Open(options.output)) return Fail(outputName, output.Error());
  vexo::DataWriter writer(output.Stream());
  for (const auto& [n, text] : header) writer.Header(n, text);
  if (!vexo::ConvertTable(options, table, name, writer, output.Stream())) {
    // A file being replaced stays as it was; what goes out in place (standard
    // output, a device) gets the records before the error.
    if (!output.KeepsOldFile()) output.Commit();
    return kFailed;
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
