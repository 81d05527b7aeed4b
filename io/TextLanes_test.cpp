// Each fast path of the text loops against the plain loop beside it, on
// boundary and random inputs.
#include "io/TextLanes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "util/WideSearch.h"

namespace {

using Bytes = std::vector<unsigned char>;

const unsigned char kStopList[] = {'$', '&', '@', '$'};

// Every way of filling sixteen bytes with characters of one and of two
// bytes, a two-byte one cut by the end included.
std::vector<Bytes> EveryMixOfSixteen() {
  std::vector<Bytes> mixes;
  std::function<void(const Bytes&)> grow = [&](const Bytes& bytes) {
    if (bytes.size() >= 16) {
      mixes.emplace_back(bytes.begin(), bytes.begin() + 16);
      return;
    }
    const unsigned k = static_cast<unsigned>(bytes.size());
    Bytes one = bytes;
    one.push_back(static_cast<unsigned char>('a' + k % 26));
    grow(one);
    Bytes two = bytes;
    two.push_back(static_cast<unsigned char>(0xC2 + k % 30));
    two.push_back(static_cast<unsigned char>(0x80 + k * 5 % 64));
    grow(two);
  };
  grow(Bytes());
  return mixes;
}

// A build with its fast paths takes the byte shuffle wherever the processor
// has it, as the kernel reports it; otherwise the shuffled paths, and the
// tests that compare them, would be passed over without a word.
TEST(TextLanes, TheShuffleIsTakenWhereTheProcessorHasIt) {
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line;
  while (std::getline(cpuinfo, line) && line.compare(0, 5, "flags") != 0) {
  }
  if (line.empty()) GTEST_SKIP() << "no processor flags to compare with";
  const bool ssse3 = (line + " ").find(" ssse3 ") != std::string::npos;
#if defined(__x86_64__) || defined(__i386__)
  const bool x86 = true;
#else
  const bool x86 = false;
#endif
  EXPECT_EQ(vexo::HasShuffle(), vexo::kFastPaths && x86 && ssse3);
}

TEST(TextLanes, FindFirstAtEveryPlaceOfTheBlocks) {
  std::mt19937 random(7);
  for (size_t n = 0; n <= 21; ++n) {
    for (size_t hit = 0; hit <= n; ++hit) {
      for (const wchar_t mark : {L'\0', L'\x01', L'$', L'&', L'?'}) {
        // Marks beyond the window catch a search that reads past it.
        std::wstring text(n + 9, mark);
        for (size_t k = 0; k < n; ++k) text[k] = static_cast<wchar_t>(L'a' + random() % 26);
        if (hit < n) text[hit] = mark;
        const wchar_t* t = text.data();
        EXPECT_EQ(vexo::FindFirstLanes(t, n, vexo::IsAnyOf<1>{}),
                  vexo::FindFirstPlain(t, n, vexo::IsAnyOf<1>{}));
        EXPECT_EQ(vexo::FindFirstLanes(t, n, vexo::IsAnyOf<0, 1>{}),
                  vexo::FindFirstPlain(t, n, vexo::IsAnyOf<0, 1>{}));
        const size_t found = vexo::FindFirstLanes(t, n, vexo::IsAnyOf<0, L'$', L'&', L'?'>{});
        EXPECT_EQ(found, vexo::FindFirstPlain(t, n, vexo::IsAnyOf<0, L'$', L'&', L'?'>{}));
        EXPECT_EQ(found, hit < n && mark != 1 ? hit : n) << n << " " << hit << " " << int(mark);
        // Copying up to the first stop, into room for a few less, as many or
        // one more.
        for (size_t room = n > 2 ? n - 2 : 0; room <= n + 1; ++room) {
          std::wstring lanes(n + 2, L'#');
          std::wstring plain(n + 2, L'#');
          EXPECT_EQ(vexo::CopyUntilLanes(t, n, lanes.data(), room, vexo::IsAnyOf<0, 1>{}),
                    vexo::CopyUntilPlain(t, n, plain.data(), room, vexo::IsAnyOf<0, 1>{}));
          EXPECT_EQ(lanes, plain) << n << " " << hit << " " << room;
        }
      }
    }
  }
}

// A copy writes exactly its count, whatever the count's place in the blocks.
TEST(TextLanes, CopyingEveryLengthAroundTheBlocks) {
  for (size_t count = 0; count <= 21; ++count) {
    std::wstring text(count + 8, L'!');
    for (size_t k = 0; k < count; ++k) text[k] = static_cast<wchar_t>(L'a' + k);
    std::wstring lanes(count + 8, L'#');
    std::wstring plain(count + 8, L'#');
    vexo::CopyWideLanes(text.data(), count, lanes.data());
    vexo::CopyWidePlain(text.data(), count, plain.data());
    EXPECT_EQ(lanes, plain) << count;
    EXPECT_EQ(plain, text.substr(0, count) + std::wstring(8, L'#')) << count;
  }
}

// Widening a line stops at a byte of 0x80 or above, a carriage return or a
// zero; the lanes take the whole blocks before it, the plain loop the rest.
TEST(TextLanes, WideningALineUpToItsFirstOtherByte) {
  for (size_t n = 0; n <= 50; ++n) {
    for (size_t at = 0; at <= n; ++at) {
      for (const int other : {0x80, 0xC3, 0xFF, 13, 0}) {
        Bytes bytes(n + 1, 'a');
        for (size_t k = 0; k < n; ++k) bytes[k] = static_cast<unsigned char>(' ' + k % 90);
        if (at < n) bytes[at] = static_cast<unsigned char>(other);
        std::wstring lanes(n + 1, L'#');
        std::wstring plain(n + 1, L'#');
        const size_t byLanes = vexo::WidenLineBytesLanes(bytes.data(), n, lanes.data());
        const size_t byPlain = vexo::WidenLineBytesPlain(bytes.data(), n, plain.data());
        EXPECT_EQ(byPlain, at);
        EXPECT_EQ(byLanes, at / 16 * 16) << n << " " << at;
        EXPECT_EQ(lanes.substr(0, byLanes), plain.substr(0, byLanes));
        EXPECT_EQ(lanes.substr(byLanes), std::wstring(n + 1 - byLanes, L'#'));
      }
    }
  }
}

TEST(TextLanes, FirstNotPlainByteAtEveryPlace) {
  const vexo::RunStops stops(kStopList);
  for (size_t at = 0; at <= 16; ++at) {
    for (const int other : {int{'$'}, int{'&'}, int{'@'}, 0x80, 0xD0, 0xFF}) {
      Bytes bytes(16, 'q');
      if (at < 16) bytes[at] = static_cast<unsigned char>(other);
      EXPECT_EQ(vexo::FirstNotPlainLanes(bytes.data(), stops), at);
      EXPECT_EQ(vexo::FirstNotPlainPlain(bytes.data(), stops), at);
    }
  }
}

// Every mix of one- and two-byte characters over sixteen bytes, with a stop,
// a stray continuation byte, an overlong lead or a three-byte lead put at
// every place.
TEST(TextLanes, DecodingEveryMixOfOneAndTwoByteCharacters) {
  const vexo::RunStops stops(kStopList);
  const unsigned char others[] = {0, '$', '@', 0x80, 0xBF, 0xC0, 0xC1, 0xE0, 0xF0};
  const std::vector<Bytes> mixes = EveryMixOfSixteen();
  ASSERT_EQ(mixes.size(), 1597u + 987u);
  for (const Bytes& clean : mixes) {
    for (size_t at = 0; at <= 16; ++at) {
      for (const unsigned char other : others) {
        Bytes bytes = clean;
        if (at < 16) bytes[at] = static_cast<unsigned char>(other);
        wchar_t plainOut[16];
        size_t plainChars = 99;
        const size_t plainTaken =
            vexo::DecodeBlocksPlain(bytes.data(), 16, stops, plainOut, 16, plainChars);
        if (!vexo::HasShuffle()) continue;
        wchar_t fastOut[16];
        size_t fastChars = 99;
        const size_t fastTaken =
            vexo::DecodeBlocksShuffled(bytes.data(), 16, stops, fastOut, 16, fastChars);
        ASSERT_EQ(fastTaken, plainTaken) << at << " " << int(other);
        ASSERT_EQ(fastChars, plainChars);
        EXPECT_EQ(std::wstring(fastOut, fastChars), std::wstring(plainOut, plainChars));
      }
    }
  }
}

// Random bytes drawn from every class the decoder tells apart.
TEST(TextLanes, DecodingRandomBytes) {
  const vexo::RunStops stops(kStopList);
  const unsigned char classes[] = {'a',  ' ',  '$',  '&',  '@',  0,   0xC2,
                                   0xD0, 0xDF, 0x80, 0xBF, 0xC1, 0xE2};
  std::mt19937 random(11);
  for (int round = 0; round < 20000; ++round) {
    Bytes bytes(16);
    for (unsigned char& b : bytes) b = classes[random() % sizeof classes];
    wchar_t plainOut[16];
    wchar_t fastOut[16];
    size_t plainChars = 0;
    size_t fastChars = 0;
    const size_t plainTaken =
        vexo::DecodeBlocksPlain(bytes.data(), 16, stops, plainOut, 16, plainChars);
    if (!vexo::HasShuffle()) continue;
    const size_t fastTaken =
        vexo::DecodeBlocksShuffled(bytes.data(), 16, stops, fastOut, 16, fastChars);
    ASSERT_EQ(fastTaken, plainTaken) << round;
    ASSERT_EQ(std::wstring(fastOut, fastChars), std::wstring(plainOut, plainChars)) << round;
  }
}

TEST(TextLanes, NarrowingSixteenCharactersWithOneOutsideAscii) {
  for (size_t at = 0; at <= 16; ++at) {
    for (const uint32_t other : {0x80u, 0x7FFu, 0x10000u, 0xFFFFFFFFu, 0x7Fu}) {
      std::wstring text(16, L'z');
      for (size_t k = 0; k < 16; ++k) text[k] = static_cast<wchar_t>(k * 7 % 128);
      if (at < 16) text[at] = static_cast<wchar_t>(other);
      std::string lanes(17, '#');
      std::string plain(17, '#');
      const bool byLanes = vexo::NarrowAsciiLanes(text.data(), lanes.data());
      EXPECT_EQ(byLanes, vexo::NarrowAsciiPlain(text.data(), plain.data()));
      EXPECT_EQ(byLanes, at == 16 || other < 0x80) << at << " " << other;
      EXPECT_EQ(lanes, plain);
    }
  }
}

// Every mix of one- and two-byte characters over eight, and one character of
// three bytes or more at every place, also among characters that share none
// of its bits.
TEST(TextLanes, EncodingEveryMixOfOneAndTwoByteCharacters) {
  for (unsigned mix = 0; mix < 256; ++mix) {
    for (size_t at = 0; at <= 8; ++at) {
      std::wstring text;
      for (unsigned k = 0; k < 8; ++k) {
        text.push_back(
            static_cast<wchar_t>((mix >> k & 1) ? 0x80 + 0xF0 * k + 0xF * (k == 7) : 0x7F - k));
      }
      if (at < 8) text[at] = at % 2 ? L'\x800' : static_cast<wchar_t>(-1);
      if (mix == 0 && at < 8) {
        for (size_t k = 0; k < 8; ++k) text[k] = k == at ? text[k] : L'\0';
      }
      char plain[17] = {};
      char fast[17] = {};
      char* plainEnd = vexo::EncodeEightPlain(text.data(), plain);
      EXPECT_EQ(plainEnd == nullptr, at < 8);
      if (!vexo::HasShuffle()) continue;
      char* fastEnd = vexo::EncodeEightShuffled(text.data(), fast);
      ASSERT_EQ(fastEnd == nullptr, plainEnd == nullptr) << mix << " " << at;
      if (plainEnd == nullptr) continue;
      EXPECT_EQ(std::string(fast, fastEnd), std::string(plain, plainEnd)) << mix;
    }
  }
}

// Runs of many blocks with a byte that stops them at any place, ending
// anywhere in a block, into room that runs out anywhere in one: the plain
// loop stops where a block can take nothing more, and the shuffled one takes
// the same characters.
TEST(TextLanes, DecodingRunsStopWhereThePlainLoopStops) {
  const vexo::RunStops stops(kStopList);
  const unsigned char classes[] = {'a', ' ', 'z', 0xD0, 0xD1, 0xC2, 0xDF, '$', 0xE2, 0x80};
  std::mt19937 random(5);
  for (int round = 0; round < 4000; ++round) {
    const size_t n = random() % 80;
    // Mostly characters that continue a block, now and then one that ends it.
    const size_t rare = 20 + random() % 200;
    Bytes bytes(n + 16, 'q');
    for (size_t k = 0; k < n; ++k) {
      bytes[k] = random() % rare == 0 ? classes[7 + random() % 3] : classes[random() % 7];
      if (bytes[k] >= 0xC2 && k + 1 < n)
        bytes[++k] = static_cast<unsigned char>(0x80 + random() % 64);
    }
    const size_t room = random() % 90;
    std::vector<wchar_t> plainOut(room + 16, L'#');
    std::vector<wchar_t> fastOut(room + 16, L'#');
    size_t plainChars = 0;
    size_t fastChars = 0;
    const size_t plainTaken =
        vexo::DecodeBlocksPlain(bytes.data(), n, stops, plainOut.data(), room, plainChars);
    ASSERT_LE(plainTaken, n);
    ASSERT_LE(plainChars, room);
    std::wstring expected;
    for (size_t k = 0; k < plainTaken; ++k) {
      const unsigned char b = bytes[k];
      expected.push_back(b < 0x80 ? b
                                  : static_cast<wchar_t>((b & 0x1F) << 6 | (bytes[++k] & 0x3F)));
    }
    EXPECT_EQ(std::wstring(plainOut.data(), plainChars), expected) << round;
    const bool stopped = bytes[plainTaken] == '$' || bytes[plainTaken] == 0xE2 ||
                         bytes[plainTaken] == 0x80 || bytes[plainTaken] == 'q';
    EXPECT_TRUE(n - plainTaken < 16 || room - plainChars < 16 || stopped) << round;

    if (!vexo::HasShuffle()) continue;
    const size_t fastTaken =
        vexo::DecodeBlocksShuffled(bytes.data(), n, stops, fastOut.data(), room, fastChars);
    ASSERT_EQ(fastTaken, plainTaken) << round;
    EXPECT_EQ(std::wstring(fastOut.data(), fastChars), expected) << round;
  }
}

}  // namespace
