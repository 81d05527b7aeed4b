// Incremental MD5 digest (RFC 1321) over byte strings.
#pragma once

#include <cstdint>

namespace md5 {

// The running state of one digest. The caller owns it (typically on its
// stack) and drives it with md5_starts, then md5_update any number of times,
// then md5_finish once; nothing is allocated.
struct md5_context {
  // Bytes fed so far as one 64-bit count: the low word first, then the high
  // word, which takes the carry out of the low word.
  uint32_t byte_count[2];
  // The chaining values A, B, C, D.
  uint32_t chain[4];
  // The bytes of the current block not yet compressed.
  unsigned char pending[64];
};

// The message completion: 0x80 followed by 63 zero bytes.
extern const unsigned char md5_padding[64];

// Clears the byte count and loads the initial chaining values.
void md5_starts(md5_context* ctx);

// Adds length bytes of input to the message; a length of 0 does nothing.
// Whole blocks are compressed as they fill up, the rest waits in pending.
void md5_update(md5_context* ctx, const unsigned char* input, unsigned int length);

// Compresses one 64-byte block into the chaining values; the block's message
// words are read little-endian. Leaves the byte count alone.
void md5_process(md5_context* ctx, const unsigned char* block);

// Completes the message with the padding and its length in bits, and writes
// the 16-byte digest to output (A first, each word little-endian). The
// context is used up: start it again before another message.
void md5_finish(md5_context* ctx, unsigned char* output);

}  // namespace md5
