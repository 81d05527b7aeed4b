// Build tool: turns a message text file into a binary string table.
//
//   vexo_string_table <messages.txt> <table.res>
//
// Input: one message a line, "<number> <UTF-8 text>" (number 0 to 65535, one
// space, the text to the end of the line); blank lines and lines starting
// with "#" are skipped, a trailing carriage return is dropped. Output: blocks
// in ascending order, each a 12-byte header (0xFF, type 6 LE16, 0xFF, block
// number LE16, flags 0x1030 LE16, body size LE32) and a body of 16 entries
// (length byte, text bytes). Block b carries numbers (b-1)*16 to (b-1)*16+15.
// A malformed line, a repeated number or a text over 255 bytes is an error:
// the tool names the line, writes nothing and exits with status 1.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <string>

namespace {

constexpr unsigned kMaxNumber = 65535;
constexpr size_t kMaxTextBytes = 255;
constexpr unsigned kEntriesPerBlock = 16;

using Messages = std::map<unsigned, std::string>;

bool Fail(const std::string& where, const std::string& why) {
  std::cerr << where << ": " << why << "\n";
  return false;
}

// Reads "<number> <text>" lines into messages; false, after naming the line
// on standard error, at the first line that breaks the rules.
bool ReadMessages(const char* path, Messages& messages) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Fail(path, "cannot be read");
  std::string line;
  for (int lineNo = 1; std::getline(in, line); ++lineNo) {
    const std::string where = std::string(path) + ":" + std::to_string(lineNo);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    size_t digits = 0;
    unsigned long number = 0;
    while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9' &&
           number <= kMaxNumber) {
      number = number * 10 + static_cast<unsigned long>(line[digits] - '0');
      ++digits;
    }
    if (digits == 0 || number > kMaxNumber) return Fail(where, "needs a message number 0 to 65535");
    if (digits < line.size() && line[digits] != ' ')
      return Fail(where, "needs one space after the number");
    const std::string text = digits < line.size() ? line.substr(digits + 1) : std::string();
    if (text.size() > kMaxTextBytes) {
      return Fail(where,
                  "text of " + std::to_string(text.size()) + " bytes; at most 255 fit an entry");
    }
    if (!messages.emplace(static_cast<unsigned>(number), text).second) {
      return Fail(where, "message " + std::to_string(number) + " given twice");
    }
  }
  return true;
}

void PutLE16(std::string& out, unsigned value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void PutLE32(std::string& out, uint32_t value) {
  PutLE16(out, value & 0xFFFF);
  PutLE16(out, value >> 16);
}

// One block for every run of 16 numbers that holds at least one message.
std::string BuildTable(const Messages& messages) {
  std::string table;
  auto it = messages.begin();
  while (it != messages.end()) {
    const unsigned first = it->first - it->first % kEntriesPerBlock;
    std::string body;
    for (unsigned number = first; number < first + kEntriesPerBlock; ++number) {
      auto found = messages.find(number);
      const std::string text = found == messages.end() ? std::string() : found->second;
      body.push_back(static_cast<char>(text.size()));
      body += text;
    }
    table.push_back(static_cast<char>(0xFF));
    PutLE16(table, 6);
    table.push_back(static_cast<char>(0xFF));
    PutLE16(table, first / kEntriesPerBlock + 1);
    PutLE16(table, 0x1030);
    PutLE32(table, static_cast<uint32_t>(body.size()));
    table += body;
    it = messages.lower_bound(first + kEntriesPerBlock);
  }
  return table;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: vexo_string_table <messages.txt> <table.res>\n";
    return 1;
  }
  Messages messages;
  if (!ReadMessages(argv[1], messages)) return 1;
  const std::string table = BuildTable(messages);
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out.write(table.data(), static_cast<std::streamsize>(table.size()));
  out.close();
  if (!out) {
    std::remove(argv[2]);
    Fail(argv[2], "cannot be written");
    return 1;
  }
  return 0;
}
