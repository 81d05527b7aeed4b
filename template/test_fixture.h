// Shared set-up for the template tests: a blank in a temporary directory, a
// report file, and clean run state.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "io/OutputFile.h"
#include "state/Tbl.h"
#include "template/Blank.h"

class BlankTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vexo-blank-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    vexo::ResetRunState();
    Tbl::BlankFile = Wide(dir_ + "/form");
    out_ = std::make_unique<OutputFile>(Wide(dir_ + "/report").c_str(), false);
    blank_ = std::make_unique<Blank>(Tbl::BlankFile.c_str(), *out_);
  }
  void TearDown() override {
    blank_.reset();
    out_.reset();
    std::filesystem::remove_all(dir_);
  }
  // A fresh blank directory and run state, for tests that loop over cases.
  void Fresh() {
    TearDown();
    SetUp();
  }
  static std::wstring Wide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
  }

  // Writes part n of the blank; the text is UTF-8.
  void WritePart(int n, const std::string& text) {
    std::ofstream(dir_ + "/form." + std::to_string(n), std::ios::binary) << text;
  }
  // Writes part 1 and loads it, expecting success.
  void LoadPart(const std::string& text) {
    WritePart(1, text);
    ASSERT_EQ(blank_->Load(1), 1);
  }
  // The bytes written to the report so far; closes the blank and the output.
  std::string Report() {
    blank_.reset();
    out_.reset();
    std::stringstream bytes;
    bytes << std::ifstream(dir_ + "/report", std::ios::binary).rdbuf();
    return bytes.str();
  }
  // Gives field n of the table the value, creating it when needed.
  static void SetField(FieldTab& table, long n, const std::wstring& value) {
    table.InsertField(n);
    table.SetCurrent(n);
    table.ClearField();
    table.PutStr(value.c_str());
  }
  // The index of each line that Next hands out, -1 for null, over `calls` calls.
  std::vector<int> Walk(int final, int calls) {
    std::vector<int> got;
    for (int k = 0; k < calls; ++k) got.push_back(blank_->Next(final) ? blank_->Cur() : -1);
    return got;
  }

  std::string dir_;
  std::unique_ptr<OutputFile> out_;
  std::unique_ptr<Blank> blank_;
};
