#include "util/md5.h"

#include <cstring>
#include <string>

#include "util/DBString.h"

namespace md5 {

const unsigned char md5_padding[64] = {0x80};

namespace {

// The additive constants of the 64 steps: the integer part of
// 2^32 * |sin(i + 1)|.
constexpr uint32_t kStepConstant[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

// Rotation amounts: four per round, repeated over the round's 16 steps.
constexpr unsigned kRotation[4][4] = {
    {7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

uint32_t RotateLeft(uint32_t x, unsigned n) { return (x << n) | (x >> (32 - n)); }

uint32_t LoadLittleEndian(const unsigned char* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

void StoreLittleEndian(unsigned char* p, uint32_t x) {
  p[0] = static_cast<unsigned char>(x);
  p[1] = static_cast<unsigned char>(x >> 8);
  p[2] = static_cast<unsigned char>(x >> 16);
  p[3] = static_cast<unsigned char>(x >> 24);
}

}  // namespace

void md5_starts(md5_context* ctx) {
  ctx->byte_count[0] = 0;
  ctx->byte_count[1] = 0;
  ctx->chain[0] = 0x67452301;
  ctx->chain[1] = 0xefcdab89;
  ctx->chain[2] = 0x98badcfe;
  ctx->chain[3] = 0x10325476;
}

void md5_process(md5_context* ctx, const unsigned char* block) {
  uint32_t word[16];
  for (int i = 0; i < 16; ++i) word[i] = LoadLittleEndian(block + 4 * i);

  uint32_t a = ctx->chain[0];
  uint32_t b = ctx->chain[1];
  uint32_t c = ctx->chain[2];
  uint32_t d = ctx->chain[3];
  for (int step = 0; step < 64; ++step) {
    const int round = step / 16;
    uint32_t mixed;
    int index;
    switch (round) {
      case 0:
        mixed = (b & c) | (~b & d);
        index = step;
        break;
      case 1:
        mixed = (b & d) | (c & ~d);
        index = (5 * step + 1) % 16;
        break;
      case 2:
        mixed = b ^ c ^ d;
        index = (3 * step + 5) % 16;
        break;
      default:
        mixed = c ^ (b | ~d);
        index = (7 * step) % 16;
        break;
    }
    const uint32_t rotated =
        RotateLeft(a + mixed + kStepConstant[step] + word[index], kRotation[round][step % 4]);
    a = d;
    d = c;
    c = b;
    b += rotated;
  }
  ctx->chain[0] += a;
  ctx->chain[1] += b;
  ctx->chain[2] += c;
  ctx->chain[3] += d;
}

// A null input is treated like an empty one, so a caller's missing buffer
// never turns into a read through a null pointer.
void md5_update(md5_context* ctx, const unsigned char* input, unsigned int length) {
  if (length == 0 || input == nullptr) return;

  uint32_t waiting = ctx->byte_count[0] % 64;
  const uint32_t freeSpace = 64 - waiting;
  ctx->byte_count[0] += length;
  if (ctx->byte_count[0] < length) ++ctx->byte_count[1];

  if (waiting != 0 && length >= freeSpace) {
    std::memcpy(ctx->pending + waiting, input, freeSpace);
    md5_process(ctx, ctx->pending);
    input += freeSpace;
    length -= freeSpace;
    waiting = 0;
  }
  for (; length >= 64; input += 64, length -= 64) md5_process(ctx, input);
  if (length > 0) std::memcpy(ctx->pending + waiting, input, length);
}

void md5_finish(md5_context* ctx, unsigned char* output) {
  // The length in bits is the 64-bit byte count times eight, taken apart
  // again into two words before the padding changes the count.
  unsigned char bitLength[8];
  StoreLittleEndian(bitLength, ctx->byte_count[0] << 3);
  StoreLittleEndian(bitLength + 4, (ctx->byte_count[1] << 3) | (ctx->byte_count[0] >> 29));

  const uint32_t waiting = ctx->byte_count[0] % 64;
  md5_update(ctx, md5_padding, waiting < 56 ? 56 - waiting : 120 - waiting);
  md5_update(ctx, bitLength, sizeof bitLength);

  for (int i = 0; i < 4; ++i) StoreLittleEndian(output + 4 * i, ctx->chain[i]);
}

}  // namespace md5

// The fingerprint goes over the CP1251 bytes so that it matches the digest
// other programs compute over the same text in that code page.
DBString DBString::Md5Hash() const {
  const std::string bytes = ToCP1251();
  md5::md5_context ctx;
  md5::md5_starts(&ctx);
  md5::md5_update(&ctx, reinterpret_cast<const unsigned char*>(bytes.data()),
                  static_cast<unsigned int>(bytes.size()));
  unsigned char digest[16];
  md5::md5_finish(&ctx, digest);

  static const wchar_t kHexDigits[] = L"0123456789ABCDEF";
  DBString hex;
  for (unsigned char byte : digest) {
    hex += kHexDigits[byte >> 4];
    hex += kHexDigits[byte & 0x0F];
  }
  return hex;
}
