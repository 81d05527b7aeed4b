// Giving a stdio stream a buffer of a chosen size.
#pragma once

#include <cstddef>
#include <cstdio>
#include <vector>

namespace vexo {

// Resizes buffer to size bytes and makes it the buffer of stream, fully
// buffered. stdio takes a size only together with a buffer, so the caller
// keeps one, and it must outlive the stream.
inline void UseBuffer(FILE* stream, std::vector<char>& buffer, size_t size) {
  buffer.resize(size);
  setvbuf(stream, buffer.data(), _IOFBF, size);
}

}  // namespace vexo
