#include "md5.h"

#include <gtest/gtest.h>

#include "DBString.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

std::string Hex(const unsigned char* digest) {
  std::string text;
  char two[3];
  for (int i = 0; i < 16; ++i) {
    std::snprintf(two, sizeof two, "%02x", digest[i]);
    text += two;
  }
  return text;
}

std::string Finish(md5::md5_context& ctx) {
  unsigned char digest[16];
  md5::md5_finish(&ctx, digest);
  return Hex(digest);
}

// Feeds message in pieces whose sizes cycle through piece_sizes.
std::string DigestInPieces(const Bytes& message, const std::vector<unsigned>& piece_sizes) {
  md5::md5_context ctx;
  md5::md5_starts(&ctx);
  size_t at = 0;
  for (size_t i = 0; at < message.size(); ++i) {
    const unsigned size = std::min<unsigned>(piece_sizes[i % piece_sizes.size()],
                                             static_cast<unsigned>(message.size() - at));
    md5::md5_update(&ctx, message.data() + at, size);
    at += size;
  }
  return Finish(ctx);
}

std::string Digest(const Bytes& message) {
  return DigestInPieces(message, {static_cast<unsigned>(message.size()) + 1});
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

TEST(Md5, MatchesReferenceDigests) {
  const struct {
    Bytes message;
    const char* digest;
  } cases[] = {
      {Text(""), "d41d8cd98f00b204e9800998ecf8427e"},
      {Text("a"), "0cc175b9c0f1b6a831c399e269772661"},
      {Text("abc"), "900150983cd24fb0d6963f7d28e17f72"},
      {Text("message digest"), "f96b697d7cb7938d525a2f31aaf161d0"},
      {Text("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b"},
      {Text("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {Text("1234567890123456789012345678901234567890"
            "1234567890123456789012345678901234567890"),
       "57edf4a22be3c955ac49da2e2107b67a"},
      // Around the block end: one extra block is needed from 56 bytes on.
      {Bytes(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
      {Bytes(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
      {Bytes(63, 'a'), "b06521f39153d618550606be297466d5"},
      {Bytes(64, 'a'), "014842d480b571495a4a0363793f7367"},
      {Bytes(65, 'a'), "c743a45e0d2e6a95cb859adae0248435"},
      {Bytes(200, 'a'), "887f30b43b2867f4a9accceee7d16e6c"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Digest(c.message), c.digest) << "length " << c.message.size();
  }
}

TEST(Md5, PiecesOfAnySizeGiveTheSameDigest) {
  Bytes message;
  for (int i = 0; i < 200; ++i) message.push_back(static_cast<unsigned char>((i * 7 + 3) % 256));
  const char* expected = "4c79b81ac94bad7a875519ce6b964c66";
  for (unsigned size = 1; size <= 201; ++size) {
    EXPECT_EQ(DigestInPieces(message, {size}), expected) << "pieces of " << size;
  }
  EXPECT_EQ(DigestInPieces(message, {0, 1, 63, 0, 64, 65, 2}), expected);
  EXPECT_EQ(DigestInPieces(message, {55, 9, 56, 8}), expected);
}

TEST(Md5, NullOrEmptyInputAddsNothing) {
  md5::md5_context ctx;
  md5::md5_starts(&ctx);
  md5::md5_update(&ctx, nullptr, 5);
  const unsigned char some = 'x';
  md5::md5_update(&ctx, &some, 0);
  EXPECT_EQ(ctx.byte_count[0], 0u);
  EXPECT_EQ(Finish(ctx), "d41d8cd98f00b204e9800998ecf8427e");
}

// The digest of a message of total counted bytes whose unprocessed end is
// tail, built block by block with md5_process and a hand-made completion, so
// that the length bookkeeping of md5_update and md5_finish is checked against
// plain 64-bit arithmetic.
std::string ReferenceForTail(Bytes tail, uint64_t total) {
  const uint64_t bits = total * 8;
  tail.push_back(0x80);
  while (tail.size() % 64 != 56) tail.push_back(0);
  for (int i = 0; i < 8; ++i) tail.push_back(static_cast<unsigned char>(bits >> (8 * i)));
  md5::md5_context ctx;
  md5::md5_starts(&ctx);
  for (size_t at = 0; at < tail.size(); at += 64) md5::md5_process(&ctx, tail.data() + at);
  unsigned char digest[16];
  for (int i = 0; i < 4; ++i) {
    for (int b = 0; b < 4; ++b) digest[4 * i + b] = static_cast<unsigned char>(ctx.chain[i] >> (8 * b));
  }
  return Hex(digest);
}

TEST(Md5, ByteCountCarriesIntoTheHighWord) {
  // Counts as if this many bytes had gone before; the waiting bytes of a
  // partial block are zeros.
  const uint64_t presets[] = {0xFFFFFFC0u, 0xFFFFFFF0u, 0xFFFFFFFFu, 0x1FFFFFFC0u,
                              0x1FFFFFF0u, 0x1FFFFFFFu, 0x20000000u};
  const unsigned lengths[] = {1, 8, 15, 16, 17, 63, 64, 65, 70};
  for (uint64_t preset : presets) {
    for (unsigned length : lengths) {
      md5::md5_context ctx;
      md5::md5_starts(&ctx);
      ctx.byte_count[0] = static_cast<uint32_t>(preset);
      ctx.byte_count[1] = static_cast<uint32_t>(preset >> 32);
      const unsigned waiting = preset % 64;
      for (unsigned i = 0; i < waiting; ++i) ctx.pending[i] = 0;
      const Bytes input(length, 'a');
      md5::md5_update(&ctx, input.data(), length);

      const uint64_t total = preset + length;
      EXPECT_EQ(ctx.byte_count[0], static_cast<uint32_t>(total)) << preset << "+" << length;
      EXPECT_EQ(ctx.byte_count[1], static_cast<uint32_t>(total >> 32)) << preset << "+" << length;

      Bytes tail(waiting, 0);
      tail.insert(tail.end(), input.begin(), input.end());
      EXPECT_EQ(Finish(ctx), ReferenceForTail(tail, total)) << preset << "+" << length;
    }
  }
}

TEST(Md5Hash, DigestsTheCp1251BytesAsUpperCaseHex) {
  const struct {
    const wchar_t* text;
    const wchar_t* digest;
  } cases[] = {
      {L"", L"D41D8CD98F00B204E9800998ECF8427E"},
      {L"abc", L"900150983CD24FB0D6963F7D28E17F72"},
      // The UTF-8 bytes of this text would give 464899B4...
      {L"\u041f\u0440\u0438\u0432\u0435\u0442, \u043c\u0438\u0440", L"E6B06E8194EFDC7950D8CF54D550E6A5"},
  };
  for (const auto& c : cases) EXPECT_EQ(DBString(c.text).Md5Hash(), c.digest) << c.digest;
}

}  // namespace
