#include "import/OutputTarget.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vexo {

namespace {

// The temporary file that a signal handler removes. The name is written
// before g_Armed is set and read only while it is, with the signals blocked
// around both changes.
int g_Directory = -1;
char g_Name[NAME_MAX + 1];
volatile sig_atomic_t g_Armed = 0;

const int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

void OnSignal(int signal) {
  if (g_Armed) unlinkat(g_Directory, g_Name, 0);
  struct sigaction standard = {};
  standard.sa_handler = SIG_DFL;
  sigaction(signal, &standard, nullptr);
  raise(signal);  // delivered when the handler returns
}

// Installs the handler for each cleanup signal that the process does not
// ignore (a background job ignores SIGINT, nohup SIGHUP: they stay so).
void InstallHandlers() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  for (const int signal : kCleanupSignals) {
    struct sigaction old = {};
    sigaction(signal, nullptr, &old);
    if (old.sa_handler == SIG_IGN) continue;
    struct sigaction handler = {};
    handler.sa_handler = OnSignal;
    sigemptyset(&handler.sa_mask);
    sigaction(signal, &handler, nullptr);
  }
}

// Blocks the cleanup signals while it lives.
class SignalsBlocked {
 public:
  SignalsBlocked() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : kCleanupSignals) sigaddset(&set, signal);
    sigprocmask(SIG_BLOCK, &set, &m_Old);
  }
  ~SignalsBlocked() { sigprocmask(SIG_SETMASK, &m_Old, nullptr); }

 private:
  sigset_t m_Old;
};

// The name that symbolic links lead to, link by link; the name itself when
// it is no link or leads nowhere yet. False, with errno, on a loop or an
// error other than a missing file.
bool FollowLinks(std::string name, std::string& target) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info;
    if (lstat(name.c_str(), &info) != 0) {
      target = name;
      return errno == ENOENT;
    }
    if (!S_ISLNK(info.st_mode)) {
      target = name;
      return true;
    }
    std::string link(static_cast<size_t>(info.st_size) + 1, '\0');
    const ssize_t length = readlink(name.c_str(), &link[0], link.size());
    if (length < 0) return false;
    link.resize(static_cast<size_t>(length));
    const size_t slash = name.rfind('/');
    name = link[0] == '/' || slash == std::string::npos ? link : name.substr(0, slash + 1) + link;
  }
  errno = ELOOP;
  return false;
}

// Six letters or digits, different from call to call.
std::string RandomSuffix() {
  static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  static unsigned long long state = 0;
  timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  state = state * 6364136223846793005ULL + static_cast<unsigned long long>(now.tv_nsec) +
          (static_cast<unsigned long long>(getpid()) << 32) + 1442695040888963407ULL;
  std::string suffix;
  unsigned long long bits = state ^ (state >> 29);
  for (int k = 0; k < 6; ++k, bits /= 62) suffix += kLetters[bits % 62];
  return suffix;
}

}  // namespace

OutputTarget::OutputTarget() : m_Stream(nullptr) {}

OutputTarget::~OutputTarget() {
  RemoveTemporary();
  if (m_OwnDescriptor) close(m_Descriptor);
  if (m_Directory >= 0) close(m_Directory);
}

bool OutputTarget::Fail(const std::string& what, int error) {
  m_Error = what + ": " + std::strerror(error);
  return false;
}

bool OutputTarget::Open(const std::string& name) {
  if (name.empty()) {
    m_Descriptor = STDOUT_FILENO;
  } else {
    // What the name leads to decides; only a regular file's links are
    // followed by hand, to find the directory to replace it in (a link such
    // as /dev/stdout may lead to a pipe, which has no name to follow).
    struct stat info;
    const bool exists = stat(name.c_str(), &info) == 0;
    if (!exists && errno != ENOENT) return Fail("cannot open", errno);
    if (!exists || S_ISREG(info.st_mode)) {
      std::string target;
      if (!FollowLinks(name, target)) return Fail("cannot follow the link", errno);
      if (!OpenTemporary(target, exists ? &info : nullptr)) return false;
    } else {
      m_Descriptor = open(name.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
      if (m_Descriptor < 0) return Fail("cannot open", errno);
      m_OwnDescriptor = true;
    }
  }
  m_Writer = std::make_unique<FileWriter>(m_Descriptor);
  m_Stream.rdbuf(m_Writer.get());
  return true;
}

bool OutputTarget::OpenTemporary(const std::string& target, const struct stat* existing) {
  // Replacing a file that may not be written would get round its mode.
  if (existing && faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
    return Fail("cannot write", errno);
  const size_t slash = target.rfind('/');
  const std::string directory = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  m_Base = slash == std::string::npos ? target : target.substr(slash + 1);
  m_Directory = open(directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (m_Directory < 0) return Fail("cannot open the directory", errno);
  // ".NAME.XXXXXX" fits where NAME does: NAME is cut to leave room for the
  // eight bytes added, at the start of a character.
  size_t keep = std::min(m_Base.size(), static_cast<size_t>(NAME_MAX) - 8);
  while (keep > 0 && (static_cast<unsigned char>(m_Base[keep]) & 0xC0) == 0x80) --keep;
  const std::string prefix = "." + m_Base.substr(0, keep) + ".";
  InstallHandlers();
  for (int attempt = 0; attempt < 100 && m_Descriptor < 0; ++attempt) {
    const std::string name = prefix + RandomSuffix();
    SignalsBlocked blocked;
    m_Descriptor = openat(m_Directory, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (m_Descriptor < 0) {
      if (errno == EEXIST) continue;
      return Fail("cannot create a temporary file in " + directory, errno);
    }
    m_OwnDescriptor = true;
    m_Temporary = name;
    std::memcpy(g_Name, name.c_str(), name.size() + 1);
    g_Directory = m_Directory;
    g_Armed = 1;
  }
  if (m_Descriptor < 0) return Fail("cannot create a temporary file in " + directory, EEXIST);
  if (existing) {
    // The owner is kept where the process may set it (root); the mode always.
    if (fchown(m_Descriptor, existing->st_uid, existing->st_gid) != 0 && errno != EPERM)
      return Fail("cannot set the owner of the temporary file", errno);
    if (fchmod(m_Descriptor, existing->st_mode & 07777) != 0)
      return Fail("cannot set the mode of the temporary file", errno);
  }
  return true;
}

void OutputTarget::RemoveTemporary() {
  if (m_Temporary.empty()) return;
  SignalsBlocked blocked;
  unlinkat(m_Directory, m_Temporary.c_str(), 0);
  g_Armed = 0;
  m_Temporary.clear();
}

bool OutputTarget::Commit() {
  if (!m_Writer->Flush()) return Fail("cannot write", m_Writer->Error());
  if (m_Temporary.empty()) return true;
  const int descriptor = m_Descriptor;
  m_OwnDescriptor = false;
  if (close(descriptor) != 0) return Fail("cannot write", errno);
  SignalsBlocked blocked;
  if (renameat(m_Directory, m_Temporary.c_str(), m_Directory, m_Base.c_str()) != 0)
    return Fail("cannot replace the file", errno);
  g_Armed = 0;
  m_Temporary.clear();
  return true;
}

}  // namespace vexo
