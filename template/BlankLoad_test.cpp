// Loading blank parts: line kinds, command checks and their messages.
#include <gtest/gtest.h>

#include "template/test_fixture.h"
#include "util/DBString.h"

namespace {

using BlankLoad = BlankTest;

TEST_F(BlankLoad, RefusesBadCommandsWithTheirMessage) {
  struct Case {
    const char* part;
    Tbl::numErr error;
    const char* argument;
  } cases[] = {
      {">jump to 5 #3\n>5\n", Tbl::errJump, ">jump to 5 #3\n"},
      {">jump to 5 $3x\n>5\n", Tbl::errJump, ">jump to 5 $3x\n"},
      {">repeat 0:5\n", Tbl::errBlockLines, ">repeat 0:5\n"},
      {">repeat 101:5\n", Tbl::errBlockLines, ">repeat 101:5\n"},
      {">repeat 3\n", Tbl::errRepeatCount, ">repeat 3\n"},
      {">repeat 1:0\n", Tbl::errRepeatCount, ">repeat 1:0\n"},
      {">repeat 1:1001\n", Tbl::errRepeatCount, ">repeat 1:1001\n"},
      {">10\ntext\n>010\n", Tbl::errLabelTwice, "10"},
      {"$12\n>A=$12\n", Tbl::errRedefine, ">A=$12\n"},
      {">A=$12\n>A=&3\n", Tbl::errRedefine, ">A=&3\n"},
      {">A=$12\n>A=$13\n>B=$12\n", Tbl::errRedefine, ">B=$12\n"},
      {">Repeat 3:2\n", Tbl::errCommand, ">Repeat 3:2\n"},
      {">\n", Tbl::errCommand, ">\n"},
      {">A=", Tbl::errCommand, ">A="},
      {">jump to 7\n>5\n", Tbl::errNoLabel, "7"},
  };
  for (const Case& c : cases) {
    Fresh();
    WritePart(1, c.part);
    testing::internal::CaptureStdout();
    EXPECT_EQ(blank_->Load(1), 0) << c.part;
    const std::string expected = DBString(Tbl::Err(c.error)).ToStr() + c.argument + "\n";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected) << c.part;
    EXPECT_EQ(Report(), expected) << c.part;
  }
}

// With a watcher the loader goes on after a refusal, hears every one in the
// order of the part (missing labels last), writes no message, and still
// refuses the part.
TEST_F(BlankLoad, WatcherHearsEveryRefusal) {
  struct Heard : vexo::LoadWatcher {
    void Refused(const vexo::LoadProblem& p) override {
      log += std::to_string(p.line) + ":" + std::to_string(p.error) +
             (p.first >= 0 ? "<" + std::to_string(p.first) : "") + (p.symbolTaken ? "!" : "") + " ";
    }
    std::string log;
  };
  const std::pair<const char*, const char*> cases[] = {
      {">x\n>jump to 9\n>1\n$3\n>A=$3\n>1\n>repeat 0:1\n>B=$4\n>B=&5\n",
       "0:5 4:4 5:3<2 6:1 8:4! 1:6 "},
      {">5\ntext\n>jump to 5\n", ""},
  };
  for (const auto& [part, heard] : cases) {
    Fresh();
    WritePart(1, part);
    Heard watcher;
    blank_->Watch(&watcher);
    testing::internal::CaptureStdout();
    EXPECT_EQ(blank_->Load(1), *heard ? 0 : 1) << part;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << part;
    EXPECT_EQ(watcher.log, heard) << part;
    EXPECT_EQ(Report(), "") << part;
  }
}

TEST_F(BlankLoad, EmptyPartAndLongLines) {
  LoadPart("");
  EXPECT_EQ(Walk(0, 1), "-");
  for (int length = vexo::kLineMax - 1; length <= vexo::kLineMax + 1; ++length) {
    Fresh();
    LoadPart(std::string(static_cast<size_t>(length), 'x') + "\ny\n");
    // The line feed after exactly kLineMax characters is consumed with them;
    // the character after a longer line is lost, leaving an empty line.
    EXPECT_EQ(Walk(0, 4), length <= vexo::kLineMax ? "xy--" : "x?y-") << length;
  }
}

// A name that has no form in the file system names no file, even where the
// name without what cannot be converted would name one.
TEST_F(BlankLoad, FileExistsOnlyUnderANameThatConverts) {
  WritePart(1, "x\n");
  const std::wstring dir = dir_->WidePath(".");
  const struct {
    std::wstring name;
    bool exists;
  } cases[] = {
      {L"form.1", true},
      {L"form.2", false},
      {std::wstring(L"form.1\0x", 8), false},  // a zero would end the name
      {L"form.1\x200000", false},              // a value with no byte form
  };
  for (const auto& c : cases) EXPECT_EQ(Blank::FileExist(dir, c.name), c.exists);
}

}  // namespace
