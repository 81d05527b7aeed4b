// Shared set-up for the template tests: a blank in a scratch directory, a
// report file, and clean run state.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "io/OutputFile.h"
#include "state/Tbl.h"
#include "template/Blank.h"
#include "util/test_scratch.h"

class BlankTest : public ::testing::Test {
 protected:
  void SetUp() override { Fresh(); }
  // A fresh blank directory and run state, for tests that loop over cases.
  void Fresh() {
    blank_.reset();
    out_.reset();
    dir_.reset();
    dir_ = std::make_unique<ScratchDir>();
    vexo::ResetRunState();
    Tbl::BlankFile = dir_->WidePath("form");
    out_ = std::make_unique<OutputFile>(dir_->WidePath("report").c_str(), false);
    blank_ = std::make_unique<Blank>(Tbl::BlankFile.c_str(), *out_);
  }

  // Writes part n of the blank; the text is UTF-8.
  void WritePart(int n, const std::string& text) { dir_->Write("form." + std::to_string(n), text); }
  // Writes part 1 and loads it, expecting success.
  void LoadPart(const std::string& text) {
    WritePart(1, text);
    ASSERT_EQ(blank_->Load(1), 1);
  }
  // The bytes written to the report so far; closes the blank and the output.
  std::string Report() {
    blank_.reset();
    out_.reset();
    return dir_->Read("report");
  }
  // Gives field n of the table the value, creating it when needed.
  static void SetField(FieldTab& table, long n, const std::wstring& value) {
    table.InsertField(n);
    table.SetCurrent(n);
    table.ClearField();
    table.PutStr(value.c_str());
  }
  // What `calls` calls of Next hand out: the first character of each line
  // rendered, "-" for null.
  std::string Walk(int final, int calls) {
    std::string got;
    for (int k = 0; k < calls; ++k) {
      Line* line = blank_->Next(final);
      got += line ? static_cast<char>(line->ConvStr().append(1, L'?')[0]) : '-';
    }
    return got;
  }

  std::unique_ptr<ScratchDir> dir_;
  std::unique_ptr<OutputFile> out_;
  std::unique_ptr<Blank> blank_;
};
