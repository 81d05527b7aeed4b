// A file that replaces its target only when it is complete: written under a
// temporary name in the target's directory and renamed at the end.
#pragma once

#include <fstream>
#include <string>

namespace vexo {

// Open creates the temporary file; Commit closes it and renames it to the
// target; the destructor removes it when Commit has not succeeded, so a
// failed run leaves nothing behind. Each returns false on failure, with the
// system's reason in Error().
class ReplacingFile {
 public:
  ReplacingFile() = default;
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  bool Open(const std::string& target);
  bool Commit();

  std::ostream& Stream() { return m_Stream; }
  const std::string& Error() const { return m_Error; }

 private:
  std::string m_Target;
  std::string m_Temporary;  // empty once renamed or when none was made
  std::ofstream m_Stream;
  std::string m_Error;
};

}  // namespace vexo
