#include "import/ReplacingFile.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace vexo {

ReplacingFile::~ReplacingFile() {
  if (m_Stream.is_open()) m_Stream.close();
  if (!m_Temporary.empty()) std::remove(m_Temporary.c_str());
}

bool ReplacingFile::Open(const std::string& target) {
  m_Target = target;
  const size_t slash = target.rfind('/');
  const std::string directory = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string pattern = directory + "." + base + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) {
    m_Error = std::strerror(errno);
    return false;
  }
  // mkstemp makes the file private; the result gets the usual permissions.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  close(fd);
  m_Temporary = name.data();
  m_Stream.open(m_Temporary, std::ios::binary | std::ios::trunc);
  if (m_Stream) return true;
  m_Error = std::strerror(errno);
  return false;
}

bool ReplacingFile::Commit() {
  m_Stream.close();
  if (m_Stream.fail()) {
    m_Error = std::string("cannot write: ") + std::strerror(errno);
    return false;
  }
  if (std::rename(m_Temporary.c_str(), m_Target.c_str()) != 0) {
    m_Error = std::string("cannot replace the file: ") + std::strerror(errno);
    return false;
  }
  m_Temporary.clear();
  return true;
}

}  // namespace vexo
