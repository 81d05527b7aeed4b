#include "io/Console.h"

#include <cstdio>

#include "io/OutputFile.h"
#include "io/TextEncoding.h"

namespace vexo {
namespace {

MessageListener listener_ = nullptr;
void* listenerContext_ = nullptr;

}  // namespace

void ConsoleLine(const std::wstring& text) {
  if (listener_) {
    listener_(text, listenerContext_);
    return;
  }
  OutputFile::FlushConsole();
  std::string bytes;
  AppendUtf8(bytes, text.data(), text.size());
  bytes.push_back('\n');
  fwrite(bytes.data(), 1, bytes.size(), stdout);
  fflush(stdout);
}

void WriteMessage(MessageRoute route, const std::wstring& text, OutputFile& report) {
  if (listener_) {
    listener_(text, listenerContext_);
    return;
  }
  if (route != MessageRoute::kReportOnly) ConsoleLine(text);
  if (route != MessageRoute::kConsoleOnly) report << text << L"\n";
}

void SetMessageListener(MessageListener listener, void* context) {
  listener_ = listener;
  listenerContext_ = context;
}

}  // namespace vexo
