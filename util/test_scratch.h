// Test support: a scratch directory for one test, removed with it, and
// optionally the working directory while it exists.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class ScratchDir {
 public:
  explicit ScratchDir(bool enter = false) : m_Entered(enter) {
    std::string pattern = testing::TempDir() + "vexo_XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "no scratch directory";
    m_Dir = pattern;
    if (enter) std::filesystem::current_path(m_Dir);
  }
  ~ScratchDir() {
    if (m_Entered) std::filesystem::current_path(m_Previous);
    std::filesystem::remove_all(m_Dir);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  std::string Path(const std::string& name) const { return m_Dir + "/" + name; }
  // The path widened byte by byte, as the command line's names are.
  std::wstring WidePath(const std::string& name) const { return Wide(Path(name)); }
  // Writes the file and gives its widened path.
  std::wstring Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
    return WidePath(name);
  }
  // The bytes of the file; "" when there is none.
  std::string Read(const std::string& name) const {
    std::stringstream bytes;
    bytes << std::ifstream(Path(name), std::ios::binary).rdbuf();
    return bytes.str();
  }
  static std::wstring Wide(const std::string& bytes) {
    return std::wstring(bytes.begin(), bytes.end());
  }

 private:
  std::string m_Dir;
  std::filesystem::path m_Previous = std::filesystem::current_path();
  bool m_Entered;
};
