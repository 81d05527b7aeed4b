// In-process timings of the report run's hot paths: scanning records into
// the field table, rendering a line with four placeholders (from its kept
// reading and read again), walking a repeat block, and writing UTF-8. Each
// works in a scratch directory of its own.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "io/OutputFile.h"
#include "state/Tbl.h"
#include "template/Blank.h"
#include "template/LineCache.h"

namespace {

// A scratch directory that is the working directory while it lives.
class Scratch {
 public:
  Scratch() {
    char pattern[] = "/tmp/vexo-micro-XXXXXX";
    m_Dir = mkdtemp(pattern);
    m_Previous = std::filesystem::current_path();
    std::filesystem::current_path(m_Dir);
    vexo::ResetRunState();
  }
  ~Scratch() {
    std::filesystem::current_path(m_Previous);
    std::filesystem::remove_all(m_Dir);
    vexo::ResetRunState();
  }
  static void Write(const char* name, const std::string& text) {
    std::ofstream(name, std::ios::binary) << text;
  }

 private:
  std::filesystem::path m_Dir;
  std::filesystem::path m_Previous;
};

const char kRecord[] =
    "$1;104217$2;Garden spade, carbon steel$3;Forged blade with a treaded step, ash handle and "
    "a D-grip, for digging, edging and lifting turf, ten years of warranty$4;24.90@\n";

const char kBodyLine[] =
    "$1>  ? $2                 ? $3                                     ? $4>      ?\n";

void ScanRecord(benchmark::State& state) {
  Scratch scratch;
  std::string data = "&1;Price list\n";
  for (int i = 0; i < 1000; ++i) data += kRecord;
  Scratch::Write("data.txt", data);
  for (long n = 1; n <= 4; ++n) Tbl::TabRcdField.InsertField(n);
  Tbl::InpFile = L"data.txt";
  Tbl reader;
  reader.GetHider();
  for (auto _ : state) {
    if (!reader.GetRecord()) reader.GetHider();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * (sizeof kRecord - 1));
}
BENCHMARK(ScanRecord);

// Arg 0: the line rendered from its kept reading; 1: read again each time.
void RenderLine(benchmark::State& state) {
  Scratch scratch;
  vexo::LineCache::Suspend(state.range(0) != 0);
  Scratch::Write("form.1", kBodyLine);
  OutputFile out(L"/dev/null", false);
  Blank blank(L"form", out);
  blank.Load(1);
  Line* line = blank.Next(0);
  wchar_t text[vexo::kLineBuffer];
  for (auto _ : state) {
    Tbl::TabRcdField.Clear();
    Tbl::TabRcdField.SetCurrent(1);
    Tbl::TabRcdField.PutStr(L"104217");
    Tbl::TabRcdField.SetCurrent(2);
    Tbl::TabRcdField.PutStr(L"Garden spade");
    Tbl::TabRcdField.SetCurrent(3);
    Tbl::TabRcdField.PutStr(L"Forged blade, ash handle and a D-grip");
    Tbl::TabRcdField.SetCurrent(4);
    Tbl::TabRcdField.PutStr(L"24.90");
    line->ConvStr(text);
    benchmark::DoNotOptimize(text);
  }
  vexo::LineCache::Suspend(false);
}
BENCHMARK(RenderLine)->Arg(0)->Arg(1);

void WalkRepeatBlock(benchmark::State& state) {
  Scratch scratch;
  Scratch::Write("form.1", std::string("Heading\n>repeat 1:50\n") + kBodyLine + "Footer\n");
  OutputFile out(L"/dev/null", false);
  Blank blank(L"form", out);
  blank.Load(1);
  for (auto _ : state) {
    if (!blank.Next(0)) blank.Load(1);
  }
}
BENCHMARK(WalkRepeatBlock);

void WriteUtf8(benchmark::State& state) {
  const std::wstring ascii(80, L'x');
  const std::wstring cyrillic(80, L'\x0436');
  const std::wstring& text = state.range(0) ? cyrillic : ascii;
  OutputFile out(L"/dev/null", false);
  for (auto _ : state) out << text;
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 80);
}
BENCHMARK(WriteUtf8)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
