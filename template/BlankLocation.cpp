// Building a blank from its base name and finding the files of its parts.
#include <unistd.h>

#include "io/Console.h"
#include "io/OutputFile.h"
#include "io/TextEncoding.h"
#include "state/Tbl.h"
#include "template/Blank.h"
#include "util/Utils.h"

InputFile Blank::m_File;

namespace {

// The parts are named by appending ".1", ".2", ".3"; a name that has an
// extension of its own would name other files, so it is refused.
bool UsableName(const std::wstring& name) {
  std::wstring dir, file, ext;
  _wsplitpath(name, dir, file, ext);
  return ext.empty();
}

}  // namespace

// An unusable name is refused at Load, not here.
Blank::Blank(const wchar_t* name, OutputFile& out) : m_Name(name), m_Out(out) {
  if (UsableName(m_Name)) m_NumList = 0;
}

Blank::~Blank() { delete[] m_Lines; }

bool Blank::FileExist(const std::wstring& dir, const std::wstring& name) {
  std::string path;
  if (!vexo::FileSystemName(dir + L"/" + name, path)) return false;
  return access(path.c_str(), F_OK) != -1;
}

std::wstring Blank::PartPath(int n) const {
  if (m_NumList < 0) return std::wstring();
  return PathOf(m_Name, L"." + std::to_wstring(n));
}

std::wstring Blank::PartPath(const std::wstring& name, int n) {
  if (!UsableName(name)) return std::wstring();
  return PathOf(name, L"." + std::to_wstring(n));
}

std::wstring Blank::PathOf(const std::wstring& name, const std::wstring& suffix) {
  if (Tbl::PathBlank.empty()) return name + suffix;
  return Tbl::PathBlank + L"/" + name + suffix;
}

// Reads the file of the part with the given suffix into m_File's memory: its
// lines are read again for every sheet, and a part changed on disk during
// the run must not change the report. With a blank directory the file must
// exist there; the working directory is not tried.
bool Blank::OpenPart(const std::wstring& suffix) {
  if (!Tbl::PathBlank.empty() && !FileExist(Tbl::PathBlank, m_Name + suffix)) return false;
  return m_File.ReadIntoMemory(PathOf(m_Name, suffix).c_str());
}

void Blank::Report(const std::wstring& text) {
  vexo::WriteMessage(vexo::MessageRoute::kConsoleAndReport, text, m_Out);
}
