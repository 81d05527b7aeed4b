#include "check/CommandLineCheck.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "check/Words.h"
#include "io/TextEncoding.h"
#include "messages/ErrorText.h"
#include "state/Tbl.h"

namespace vexo {
namespace {

const char kCommandLine[] = "command line";

// A file named by an empty value is shown as the command line.
void Report(DiagnosticSink& sink, const std::string& file, Severity severity, const char* check,
            const std::string& message) {
  Diagnostic d;
  d.file = file.empty() ? kCommandLine : file;
  d.severity = severity;
  d.check = check;
  d.message = message;
  sink.Report(d);
}

// What an option sets, in words.
const char* SettingName(const std::wstring* setting) {
  if (setting == &Tbl::BlankFile) return "blank name";
  if (setting == &Tbl::BegParam) return "begin-parameter file name";
  if (setting == &Tbl::InpFile) return "data file name";
  if (setting == &Tbl::OutFile) return "output name";
  return "blank directory";
}

void CheckDetachedValues(int argc, char** argv, DiagnosticSink& sink) {
  for (int i = 1; i + 1 < argc; ++i) {
    const char* option = argv[i];
    const char* value = argv[i + 1];
    if (option[0] != '-' || option[1] == 0 || option[2] != 0 || value[0] == '-') continue;
    const std::wstring* setting = Tbl::OptionSetting(option[1]);
    if (!setting) continue;
    Report(sink, kCommandLine, Severity::kError, "detached-value",
           "\"" + std::string(option) + " " + value +
               "\": vexo takes an option's value only from "
               "the same argument, so it reads an empty " +
               SettingName(setting) + " and ignores \"" + value + "\"; write \"" + option + value +
               "\"");
  }
}

// A device that refuses what is written to it, such as a full one, refuses
// a write of nothing too; other devices take it without a trace.
std::string DeviceProblem(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::strerror(errno);
  const bool written = write(fd, "", 0) >= 0;
  const std::string problem = written ? "" : std::strerror(errno);
  close(fd);
  return problem;
}

// A file system with no room left takes the file but not the report.
std::string SpaceProblem(const std::string& path) {
  struct statvfs space;
  if (statvfs(path.c_str(), &space) != 0 || space.f_bavail > 0) return "";
  return "no space is left on its file system";
}

// Whether vexo's output can be opened and written, without writing to it:
// why not, or "".
std::string OutputProblem() {
  std::string path;
  if (Tbl::OutFile.empty()) return "-O gives no name";
  if (!FileSystemName(Tbl::OutFile, path)) return "the name cannot be turned into a file name";
  struct stat info;
  if (stat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return "it is a directory";
    if (access(path.c_str(), W_OK) != 0) return std::strerror(errno);
    if (S_ISCHR(info.st_mode)) return DeviceProblem(path);
    return SpaceProblem(path);
  }
  if (errno != ENOENT) return std::strerror(errno);
  const size_t slash = path.rfind('/');
  const std::string directory = slash == std::string::npos ? "."
                                : slash == 0               ? "/"
                                                           : path.substr(0, slash);
  if (stat(directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    return "its directory " + directory + " does not exist";
  }
  if (access(directory.c_str(), W_OK) != 0) {
    return "its directory " + directory + " cannot be written to";
  }
  return SpaceProblem(directory);
}

void CheckOutput(DiagnosticSink& sink) {
  if (Tbl::OutFile == L"CON") return;
  const std::string name = Utf8(Tbl::OutFile);
  if (Tbl::OutputIsAnInput()) {
    Report(sink, name, Severity::kError, "output-is-input",
           "the output names a file that the run reads: vexo refuses it with message " +
               MessageNumber(Tbl::errOutput) +
               " and writes nothing, to keep the file; write the report to another file");
    return;
  }
  const std::string problem = OutputProblem();
  if (problem.empty()) return;
  Report(sink, name, Severity::kError, "output-unwritable",
         "the report cannot be written there (" + problem + "): vexo stops with message " +
             MessageNumber(Tbl::errOutput) + " and status 1; check -O");
}

// Every name on the list is read; each one that exists must be readable.
void CheckBeginFiles(DiagnosticSink& sink) {
  if (Tbl::BegParam.empty()) return;
  bool found = false;
  std::string searched;
  for (const std::wstring& candidate : Tbl::BeginFiles()) {
    const std::string name = Utf8(candidate);
    std::string directory = name.substr(0, name.size() - Utf8(Tbl::BegParam).size());
    if (directory.size() > 1 && directory.back() == '/') directory.pop_back();
    searched +=
        (searched.empty() ? "" : ", ") +
        (directory.empty() ? std::string("the working directory") : "\"" + directory + "\"");
    std::string path;
    struct stat info;
    if (!FileSystemName(candidate, path) || stat(path.c_str(), &info) != 0) continue;
    found = true;
    const std::string problem = S_ISDIR(info.st_mode)             ? "it is a directory"
                                : access(path.c_str(), R_OK) != 0 ? std::strerror(errno)
                                                                  : "";
    if (problem.empty()) continue;
    Report(sink, name, Severity::kError, "begin-unreadable",
           "the begin-parameter file cannot be read (" + problem +
               "): vexo passes it over without a word, so the header fields it gives stay "
               "empty; check -F and -P");
  }
  if (found) return;
  Report(sink, Utf8(Tbl::BegParam), Severity::kWarning, "begin-not-found",
         "the begin-parameter file is found in none of the directories vexo looks in (" + searched +
             "): vexo goes on without a word and the header fields it would give stay empty; "
             "check -F and -P");
}

}  // namespace

void CheckCommandLine(int argc, char** argv, DiagnosticSink& sink) {
  CheckDetachedValues(argc, argv, sink);
  CheckOutput(sink);
  CheckBeginFiles(sink);
}

void ReportDataFile(DiagnosticSink& sink) {
  std::string path, why = "it cannot be opened";
  struct stat info;
  if (Tbl::InpFile.empty()) {
    why = "-I gives no name";
  } else if (!FileSystemName(Tbl::InpFile, path)) {
    why = "the name cannot be turned into a file name";
  } else if (stat(path.c_str(), &info) != 0) {
    why = std::strerror(errno);
  } else if (S_ISDIR(info.st_mode)) {
    why = "it is a directory";
  } else if (access(path.c_str(), R_OK) != 0) {
    why = std::strerror(errno);
  }
  const bool none = Tbl::InpFile == L"NULL";
  Report(sink, Utf8(Tbl::InpFile), Severity::kError, "no-data",
         (none ? "no data file is given, so vexo reads the file NULL, and that cannot be opened ("
               : "the data file cannot be opened (") +
             why + "): vexo stops with message " + MessageNumber(Tbl::errNoInput) + "; " +
             (none ? "name the data file with -I" : "check -I"));
}

}  // namespace vexo
