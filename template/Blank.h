// The blank: loading a part, walking it, and where its files are found.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "io/InputFile.h"
#include "template/Line.h"

class OutputFile;
namespace vexo {

struct Command;

// A line of a part that the loader refuses, and why.
struct LoadProblem {
  int line = 0;    // its index in the part
  int error = 0;   // the Tbl::numErr of the loader's message
  int first = -1;  // errLabelTwice: the line that has the label first
  // errRedefine: the other table's field has the symbol already; else the
  // declared field was named before the declaration.
  bool symbolTaken = false;
};

// Hears each problem that loading a part finds, for a program that checks a
// blank with the loader's own rules.
class LoadWatcher {
 public:
  virtual ~LoadWatcher() = default;
  virtual void Refused(const LoadProblem& problem) = 0;
};

}  // namespace vexo

// A blank of up to three part files named base name + ".1", ".2", ".3", one
// part loaded at a time. Loading reads the part's file once into m_File's
// memory; text lines are read from that copy when rendered (a line rendered
// before, from what its reading kept: LineCache.h), so the file may change or
// go during the run. Errors in a part are written to the console
// and into the report. The members are defined by job: construction, file
// lookup and messages in BlankLocation.cpp, loading in BlankLoad.cpp, the
// walk in BlankWalk.cpp.
class Blank {
 public:
  // A base name with an extension makes every Load fail. Opens nothing.
  Blank(const wchar_t* name, OutputFile& out);
  virtual ~Blank();
  Blank(const Blank&) = delete;
  Blank& operator=(const Blank&) = delete;

  // Makes part n current, positioned before its first line, and rewinds the
  // header fields. The loaded part is only restarted. 0 when the part cannot
  // be found or opened (no message) or its text has an error (message).
  int Load(int n);
  // The next text line to print, carrying out the commands on the way; null
  // at the end of the part or when the walk would go round for ever. final
  // is non-zero after the last record.
  Line* Next(int final);
  // Clears the cycle checks of every line before a record.
  void ClrCount();
  // With a watcher (null, the start value, for none), Load writes no message
  // and goes on after a refused line: every line is read, classified and
  // registered and every jump looked up, and the watcher hears each refusal.
  // A part with a refusal still gives 0.
  void Watch(vexo::LoadWatcher* watcher) { m_Watcher = watcher; }

  // The current part's line table as the walk reads it, jump targets as line
  // indices: for tools that study the walk. No lines before a Load succeeds.
  int LineCount() const { return m_Count; }
  const Line& LineAt(int i) const { return m_Lines[i]; }

  // The file name of part n as Load looks for it; empty when the base name
  // makes every Load fail.
  std::wstring PartPath(int n) const;
  // The same for the blank with base name name, without building it.
  static std::wstring PartPath(const std::wstring& name, int n);

  // Whether dir + "/" + name exists in the file system.
  static bool FileExist(const std::wstring& dir, const std::wstring& name);

  // The one reader of part files, for loading and for rendering: it holds the
  // loaded part's bytes.
  static InputFile m_File;

 private:
  // Where each line of the part was visited during the current call of Next,
  // and with how many pending breaks.
  struct Visit {
    unsigned long long call = 0;
    int breaks = 0;
  };
  // Label number to the index of its label line, while a part is loaded.
  using Labels = std::unordered_map<long, int>;

  static std::wstring PathOf(const std::wstring& name, const std::wstring& suffix);
  bool OpenPart(const std::wstring& suffix);
  void IndexTextLines();
  bool ClassifyLine(int i, const wchar_t* text, Labels& labels);
  bool ReadMacro(Line& line, int i, const vexo::Command& command, const wchar_t* text);
  bool ResolveJumps(const Labels& labels);
  // A refused line: the message, or the watcher's call. False, for the
  // caller to return.
  bool Refuse(const vexo::LoadProblem& problem, const std::wstring& message);
  int Repeat(int i);
  int Jump(int i, int final, size_t remainder);
  void Note(int i, size_t remainder);
  bool EndlessWalk(int j, int final, size_t remainder);
  void Report(const std::wstring& text);

  // Owned: allocated with new[] by Load, released by the next Load and the
  // destructor.
  Line* m_Lines = nullptr;
  int m_NumList = -1;
  int m_Cur = -1;
  int m_Count = 0;
  std::wstring m_Name;
  OutputFile& m_Out;
  vexo::LoadWatcher* m_Watcher = nullptr;

  // m_TextLines lists the indices of the text lines; m_TextBefore[i] counts
  // the text lines above line i. A repeat line finds the end of its block
  // through them without scanning the part.
  std::vector<int> m_TextLines;
  std::vector<int> m_TextBefore;
  std::vector<Visit> m_Visits;
  unsigned long long m_Call = 0;

  // m_Least[i] is the least remainder total that the cycle check has noted
  // on line i since the record, the sheet or the closing pass began;
  // kNoneSeen before the first. m_Closing is set once Next runs with final.
  static constexpr size_t kNoneSeen = static_cast<size_t>(-1);
  std::vector<size_t> m_Least;
  bool m_Closing = false;
};
