// Shared pieces of the fuzz targets: splitting one input into files, and a
// scratch directory that every input reuses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vexo::fuzz {

// The pieces of data between occurrences of the line "---", at most `count`
// of them; missing pieces are empty. The marker lets the seeds say plainly
// where one file ends and the next begins.
std::vector<std::string> SplitInput(const uint8_t* data, size_t size, size_t count);

// A directory made once per process under /tmp. The working directory stays
// where it is, for libFuzzer's own relative names.
const std::string& ScratchDir();

// The wide name of name in the scratch directory, for the run's settings.
std::wstring ScratchName(const std::string& name);

// Writes bytes to name in the scratch directory, replacing the file.
void WriteScratch(const std::string& name, const std::string& bytes);

// The bytes of name in the scratch directory, empty when it is missing.
std::string ReadScratch(const std::string& name);

}  // namespace vexo::fuzz
