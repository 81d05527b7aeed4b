#include "util/md5.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "util/DBString.h"

namespace {

std::string Hex(const unsigned char* bytes) {
  std::string text;
  for (int i = 0; i < 16; ++i)
    text += {"0123456789abcdef"[bytes[i] >> 4], "0123456789abcdef"[bytes[i] & 15]};
  return text;
}

// The digest of text fed in pieces whose sizes cycle through sizes, the count
// set as if before bytes had gone first (the waiting ones zeros).
std::string Digest(const std::string& text, std::vector<size_t> sizes = {SIZE_MAX},
                   uint64_t before = 0) {
  md5::md5_context ctx;
  md5::md5_starts(&ctx);
  ctx.byte_count[0] = static_cast<uint32_t>(before);
  ctx.byte_count[1] = static_cast<uint32_t>(before >> 32);
  std::fill(ctx.pending, ctx.pending + 64, 0);
  for (size_t at = 0, i = 0; at < text.size(); ++i) {
    const size_t n = std::min(sizes[i % sizes.size()], text.size() - at);
    md5::md5_update(&ctx, reinterpret_cast<const unsigned char*>(text.data()) + at,
                    static_cast<unsigned>(n));
    at += n;
  }
  unsigned char digest[16];
  md5::md5_finish(&ctx, digest);
  return Hex(digest);
}

TEST(Md5, MatchesReferenceDigestsInOneCallOrInPiecesOfAnySize) {
  const std::pair<std::string, const char*> cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
      // Completing the message takes one more block from 56 waiting bytes on.
      {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
      {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
      {std::string(63, 'a'), "b06521f39153d618550606be297466d5"},
      {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"},
      {std::string(65, 'a'), "c743a45e0d2e6a95cb859adae0248435"}};
  for (const auto& [text, digest] : cases) {
    EXPECT_EQ(Digest(text), digest) << text.size();
    for (size_t size = 1; size <= text.size(); ++size)
      EXPECT_EQ(Digest(text, {size}), digest) << size;
    EXPECT_EQ(Digest(text, {0, 1, 63, 0, 64, 65, 2}), digest) << text.size();
  }
}

TEST(Md5, ByteCountCarriesIntoTheHighWord) {
  for (uint64_t before : {0xFFFFFFC0ull, 0xFFFFFFF0ull, 0xFFFFFFFFull, 0x1FFFFFFC0ull,
                          0x1FFFFFF0ull, 0x1FFFFFFFull, 0x20000000ull}) {
    for (unsigned length : {1, 8, 15, 16, 17, 63, 64, 65, 70}) {
      // The same blocks completed by hand, with a plain 64-bit count of bits.
      std::vector<unsigned char> tail(before % 64, 0);
      tail.resize(tail.size() + length, 'a');
      tail.push_back(0x80);
      while (tail.size() % 64 != 56) tail.push_back(0);
      for (int i = 0; i < 8; ++i)
        tail.push_back(static_cast<uint8_t>((before + length) * 8 >> (8 * i)));
      md5::md5_context ctx;
      md5::md5_starts(&ctx);
      for (size_t at = 0; at < tail.size(); at += 64) md5::md5_process(&ctx, tail.data() + at);
      unsigned char digest[16];
      for (int i = 0; i < 16; ++i)
        digest[i] = static_cast<unsigned char>(ctx.chain[i / 4] >> (i % 4 * 8));
      EXPECT_EQ(Digest(std::string(length, 'a'), {SIZE_MAX}, before), Hex(digest))
          << before << "+" << length;
    }
  }
}

TEST(Md5Hash, DigestsTheCp1251BytesAsUpperCaseHex) {
  EXPECT_EQ(DBString(L"").Md5Hash(), L"D41D8CD98F00B204E9800998ECF8427E");
  // The UTF-8 bytes of this text would give 464899B4...
  EXPECT_EQ(DBString(L"\u041f\u0440\u0438\u0432\u0435\u0442, \u043c\u0438\u0440").Md5Hash(),
            L"E6B06E8194EFDC7950D8CF54D550E6A5");
}

}  // namespace
