// Building a blank from its base name and finding the files of its parts.
#include <unistd.h>

#include "io/Console.h"
#include "io/OutputFile.h"
#include "io/TextEncoding.h"
#include "state/Tbl.h"
#include "template/Blank.h"
#include "util/Utils.h"

InputFile Blank::m_File;

Blank::Blank(const wchar_t* name, OutputFile& out) : m_Name(name), m_Out(out) {
  std::wstring dir, file, ext;
  _wsplitpath(m_Name, dir, file, ext);
  // The parts are named by appending ".1", ".2", ".3"; a name that has an
  // extension of its own would name other files, so it is refused at Load.
  if (ext.empty()) m_NumList = 0;
}

Blank::~Blank() { delete[] m_Lines; }

bool Blank::FileExist(const std::wstring& dir, const std::wstring& name) {
  std::string path;
  if (!vexo::FileSystemName(dir + L"/" + name, path)) return false;
  return access(path.c_str(), F_OK) != -1;
}

std::wstring Blank::PartPath(int n) const {
  if (m_NumList < 0) return std::wstring();
  return PathOf(L"." + std::to_wstring(n));
}

std::wstring Blank::PathOf(const std::wstring& suffix) const {
  if (Tbl::PathBlank.empty()) return m_Name + suffix;
  return Tbl::PathBlank + L"/" + m_Name + suffix;
}

// Opens the file of the part with the given suffix in m_File. With a blank
// directory the file must exist there; the working directory is not tried.
bool Blank::OpenPart(const std::wstring& suffix) {
  if (!Tbl::PathBlank.empty() && !FileExist(Tbl::PathBlank, m_Name + suffix)) return false;
  return m_File.OpenForSeeking(PathOf(suffix).c_str());
}

void Blank::Report(const std::wstring& text) {
  vexo::WriteMessage(vexo::MessageRoute::kConsoleAndReport, text, m_Out);
}
