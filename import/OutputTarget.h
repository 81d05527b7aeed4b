// Where vexo-import writes its data file: standard output, a device or FIFO
// written in place, or a regular file that is replaced only when the data
// file is complete.
#pragma once

#include <sys/stat.h>

#include <memory>
#include <ostream>
#include <string>

#include "import/FileWriter.h"

namespace vexo {

// Open picks the way to write by what the name leads to:
// - the empty name: standard output;
// - a regular file, or a name that does not exist yet: a temporary file in
//   the same directory, created with the file's mode (new files get the
//   usual 0666 less the umask), renamed over the file by Commit; symbolic
//   links on the way are followed and stay as they are; the temporary name
//   is never longer than the file system allows when the name itself fits;
// - anything else (a character device, a FIFO, a terminal): opened and
//   written in place, never replaced.
// Until Commit has renamed it, the temporary file is removed by the
// destructor and by SIGINT, SIGTERM and SIGHUP (which then end the process
// as they would have), unless the process ignores them. One OutputTarget
// at a time has a temporary file.
//
// Each call returns false on failure, with the reason in Error(); after a
// failure the file the name led to is as it was, except one written in
// place.
class OutputTarget {
 public:
  OutputTarget();
  ~OutputTarget();
  OutputTarget(const OutputTarget&) = delete;
  OutputTarget& operator=(const OutputTarget&) = delete;

  bool Open(const std::string& name);
  std::ostream& Stream() { return m_Stream; }
  // Writes out what is buffered and puts the file in place.
  bool Commit();

  // The reason of the last failure, as a phrase ("cannot write: ...").
  const std::string& Error() const { return m_Error; }
  // Whether a failure leaves the file that was there unchanged: true unless
  // the output is written in place.
  bool KeepsOldFile() const { return m_Directory >= 0; }

 private:
  bool OpenTemporary(const std::string& target, const struct stat* existing);
  bool Fail(const std::string& what, int error);
  void RemoveTemporary();

  int m_Descriptor = -1;
  bool m_OwnDescriptor = false;
  int m_Directory = -1;     // replacing: the target's directory
  std::string m_Base;       // replacing: the target's name in it
  std::string m_Temporary;  // replacing: the temporary name, until renamed
  std::unique_ptr<FileWriter> m_Writer;
  std::ostream m_Stream;
  std::string m_Error;
};

}  // namespace vexo
