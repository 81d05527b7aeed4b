#include "FuzzInput.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>

namespace vexo::fuzz {

std::vector<std::string> SplitInput(const uint8_t* data, size_t size, size_t count) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  static const std::string kMarker = "\n---\n";
  std::vector<std::string> pieces;
  size_t start = 0;
  while (pieces.size() + 1 < count) {
    const size_t at = text.find(kMarker, start);
    if (at == std::string::npos) break;
    pieces.push_back(text.substr(start, at + 1 - start));
    start = at + kMarker.size();
  }
  pieces.push_back(text.substr(start));
  pieces.resize(count);
  return pieces;
}

const std::string& ScratchDir() {
  static const std::string dir = [] {
    char pattern[] = "/tmp/vexo-fuzz-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) abort();
    return std::string(made);
  }();
  return dir;
}

std::wstring ScratchName(const std::string& name) {
  const std::string path = ScratchDir() + "/" + name;
  return std::wstring(path.begin(), path.end());
}

void WriteScratch(const std::string& name, const std::string& bytes) {
  std::ofstream(ScratchDir() + "/" + name, std::ios::binary | std::ios::trunc) << bytes;
}

std::string ReadScratch(const std::string& name) {
  std::ifstream file(ScratchDir() + "/" + name, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

}  // namespace vexo::fuzz
