#include "io/TextLanes.h"

#include <array>
#include <cstdint>

#if VEXO_LANES_SHUFFLE
#include <immintrin.h>
#endif

namespace vexo {
namespace {

// Whether every character of text[0, 8) is in [0, 0x800).
bool AllShort(const wchar_t* text) {
  uint32_t any = 0;
  for (int k = 0; k < 8; ++k) any |= static_cast<uint32_t>(text[k]);
  return any < 0x800;
}

// bytes[0, 16) one character at a time, by the rules of DecodeBlocksPlain.
size_t DecodeSixteenPlain(const unsigned char* bytes, const RunStops& stops, wchar_t* out,
                          size_t& chars) {
  chars = 0;
  size_t k = 0;
  while (k < 16) {
    const unsigned char b = bytes[k];
    if (b < 0x80) {
      if (b == stops.bytes[0] || b == stops.bytes[1] || b == stops.bytes[2] || b == stops.bytes[3])
        break;
      out[chars++] = b;
      ++k;
    } else if (b >= 0xC2 && b <= 0xDF && k + 1 < 16 && (bytes[k + 1] & 0xC0) == 0x80) {
      out[chars++] = static_cast<wchar_t>((b & 0x1F) << 6 | (bytes[k + 1] & 0x3F));
      k += 2;
    } else {
      break;
    }
  }
  return k;
}

// Decodes blocks of sixteen bytes with Sixteen, which decodes one block, by
// the rules of DecodeBlocksPlain. Inlined into each caller, so that a caller
// built for the shuffle takes Sixteen inline too.
using DecodeSixteen = size_t (*)(const unsigned char*, const RunStops&, wchar_t*, size_t&);

template <DecodeSixteen Sixteen>
inline __attribute__((always_inline)) size_t DecodeBlocks(const unsigned char* bytes, size_t n,
                                                          const RunStops& stops, wchar_t* out,
                                                          size_t room, size_t& chars) {
  size_t taken = 0;
  chars = 0;
  while (n - taken >= 16 && room - chars >= 16) {
    size_t blockChars = 0;
    const size_t block = Sixteen(bytes + taken, stops, out + chars, blockChars);
    if (block == 0) break;
    taken += block;
    chars += blockChars;
  }
  return taken;
}

#if VEXO_LANES_SHUFFLE

// Each character becomes a 16-bit word holding its lead byte, and its second
// byte or a zero; a shuffle then drops the zeros. Which of the eight are two
// bytes long gives eight bits, which pick the shuffle and the length.
struct Squeeze {
  uint8_t bytes[16];  // for each byte written, the byte of the words it is
  int length;
};

constexpr Squeeze MakeSqueeze(unsigned twoBytes) {
  Squeeze squeeze{{}, 0};
  for (int k = 0; k < 16; ++k) squeeze.bytes[k] = 0x80;  // a zero byte
  for (unsigned lane = 0; lane < 8; ++lane) {
    squeeze.bytes[squeeze.length++] = static_cast<uint8_t>(2 * lane);
    if (twoBytes & (1u << lane))
      squeeze.bytes[squeeze.length++] = static_cast<uint8_t>(2 * lane + 1);
  }
  return squeeze;
}

constexpr std::array<Squeeze, 256> MakeSqueezes() {
  std::array<Squeeze, 256> squeezes{};
  for (unsigned twoBytes = 0; twoBytes < 256; ++twoBytes)
    squeezes[twoBytes] = MakeSqueeze(twoBytes);
  return squeezes;
}

constexpr std::array<Squeeze, 256> kSqueezes = MakeSqueezes();

// Null, with nothing written, when a character is not below 0x800.
__attribute__((target("ssse3"))) char* EncodeShuffled(const wchar_t* text, char* out) {
  const __m128i* from = reinterpret_cast<const __m128i*>(text);
  const __m128i low = _mm_loadu_si128(from);
  const __m128i high = _mm_loadu_si128(from + 1);
  const __m128i above = _mm_and_si128(_mm_or_si128(low, high), _mm_set1_epi32(~0x7FF));
  if (_mm_movemask_epi8(_mm_cmpeq_epi32(above, _mm_setzero_si128())) != 0xFFFF) return nullptr;
  // Below 0x800 every character fits a signed 16-bit word unchanged.
  const __m128i code = _mm_packs_epi32(low, high);
  const __m128i two = _mm_cmpgt_epi16(code, _mm_set1_epi16(0x7F));
  const __m128i lead = _mm_or_si128(_mm_srli_epi16(code, 6), _mm_set1_epi16(0xC0));
  const __m128i second =
      _mm_or_si128(_mm_and_si128(code, _mm_set1_epi16(0x3F)), _mm_set1_epi16(0x80));
  const __m128i pair = _mm_or_si128(lead, _mm_slli_epi16(second, 8));
  const __m128i words = _mm_or_si128(_mm_and_si128(two, pair), _mm_andnot_si128(two, code));
  const unsigned twoBytes =
      static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(two, two))) & 0xFF;
  const Squeeze& squeeze = kSqueezes[twoBytes];
  const __m128i pick = _mm_loadu_si128(reinterpret_cast<const __m128i*>(squeeze.bytes));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(words, pick));
  return out + squeeze.length;
}

// The lanes of characters that a decoding keeps, for each set of eight
// 16-bit lanes: the bytes of each kept lane in order, then zeros.
struct Gather {
  uint8_t bytes[16];
  int count;
};

constexpr Gather MakeGather(unsigned kept) {
  Gather gather{{}, 0};
  for (int k = 0; k < 16; ++k) gather.bytes[k] = 0x80;
  for (unsigned lane = 0; lane < 8; ++lane) {
    if (!(kept & (1u << lane))) continue;
    gather.bytes[2 * gather.count] = static_cast<uint8_t>(2 * lane);
    gather.bytes[2 * gather.count + 1] = static_cast<uint8_t>(2 * lane + 1);
    ++gather.count;
  }
  return gather;
}

constexpr std::array<Gather, 256> MakeGathers() {
  std::array<Gather, 256> gathers{};
  for (unsigned kept = 0; kept < 256; ++kept) gathers[kept] = MakeGather(kept);
  return gathers;
}

constexpr std::array<Gather, 256> kGathers = MakeGathers();

// Keeps the lanes of lanes (eight 16-bit characters) that kept names, widens
// them and writes eight characters to out; returns how many count.
__attribute__((target("ssse3"))) int StoreKept(__m128i lanes, unsigned kept, wchar_t* out) {
  const Gather& gather = kGathers[kept];
  const __m128i pick = _mm_loadu_si128(reinterpret_cast<const __m128i*>(gather.bytes));
  const __m128i packed = _mm_shuffle_epi8(lanes, pick);
  __m128i* to = reinterpret_cast<__m128i*>(out);
  _mm_storeu_si128(to, _mm_unpacklo_epi16(packed, _mm_setzero_si128()));
  _mm_storeu_si128(to + 1, _mm_unpackhi_epi16(packed, _mm_setzero_si128()));
  return gather.count;
}

// Every byte is classed at once. A character starts at a plain byte or at a
// lead byte; its code is worked out in every lane whatever the class, from
// the byte and the one after it, and the lanes where a character starts are
// then gathered.
__attribute__((target("ssse3"))) size_t DecodeShuffled(const unsigned char* bytes,
                                                       const RunStops& stops, wchar_t* out,
                                                       size_t& chars) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
  __m128i stop = _mm_setzero_si128();
  for (int k = 0; k < kRunStops; ++k) {
    stop = _mm_or_si128(stop, _mm_cmpeq_epi8(v, reinterpret_cast<__m128i>(stops.lanes[k])));
  }
  const __m128i plain = _mm_andnot_si128(stop, _mm_cmpgt_epi8(v, _mm_set1_epi8(-1)));
  const __m128i continuation =
      _mm_cmpeq_epi8(_mm_and_si128(v, _mm_set1_epi8(static_cast<char>(0xC0))),
                     _mm_set1_epi8(static_cast<char>(0x80)));
  // 0xC0 and 0xC1 would give ASCII, which might be a stop: they are left.
  const __m128i lead =
      _mm_andnot_si128(_mm_cmpeq_epi8(_mm_and_si128(v, _mm_set1_epi8(static_cast<char>(0xFE))),
                                      _mm_set1_epi8(static_cast<char>(0xC0))),
                       _mm_cmpeq_epi8(_mm_and_si128(v, _mm_set1_epi8(static_cast<char>(0xE0))),
                                      _mm_set1_epi8(static_cast<char>(0xC0))));
  const unsigned plainBits = static_cast<unsigned>(_mm_movemask_epi8(plain));
  const unsigned continuationBits = static_cast<unsigned>(_mm_movemask_epi8(continuation));
  const unsigned pairs = static_cast<unsigned>(_mm_movemask_epi8(lead)) & (continuationBits >> 1);
  const unsigned good = plainBits | pairs | (continuationBits & (pairs << 1));
  const unsigned taken = static_cast<unsigned>(__builtin_ctz(~good));
  if (taken == 0) return 0;
  const unsigned starts = (plainBits | pairs) & ((1u << taken) - 1);

  const __m128i zero = _mm_setzero_si128();
  const __m128i low = _mm_unpacklo_epi8(v, zero);
  const __m128i high = _mm_unpackhi_epi8(v, zero);
  // The byte after each byte, in the same lane.
  const __m128i lowNext = _mm_alignr_epi8(high, low, 2);
  const __m128i highNext = _mm_srli_si128(high, 2);
  auto codes = [&](__m128i lanes, __m128i next, __m128i isLead) {
    const __m128i pair = _mm_or_si128(_mm_slli_epi16(_mm_and_si128(lanes, _mm_set1_epi16(0x1F)), 6),
                                      _mm_and_si128(next, _mm_set1_epi16(0x3F)));
    return _mm_or_si128(_mm_and_si128(isLead, pair), _mm_andnot_si128(isLead, lanes));
  };
  const int first =
      StoreKept(codes(low, lowNext, _mm_unpacklo_epi8(lead, lead)), starts & 0xFF, out);
  const int second =
      StoreKept(codes(high, highNext, _mm_unpackhi_epi8(lead, lead)), starts >> 8, out + first);
  chars = static_cast<size_t>(first + second);
  return taken;
}

#endif

}  // namespace

#if VEXO_LANES_SHUFFLE
namespace {

bool DetectShuffle() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("ssse3") != 0;
}

const bool kShuffle = DetectShuffle();

}  // namespace

bool HasShuffle() { return kShuffle; }

__attribute__((target("ssse3"))) char* EncodeEightShuffled(const wchar_t* text, char* out) {
  return EncodeShuffled(text, out);
}

__attribute__((target("ssse3"))) size_t DecodeBlocksShuffled(const unsigned char* bytes, size_t n,
                                                             const RunStops& stops, wchar_t* out,
                                                             size_t room, size_t& chars) {
  return DecodeBlocks<DecodeShuffled>(bytes, n, stops, out, room, chars);
}
#else
bool HasShuffle() { return false; }

char* EncodeEightShuffled(const wchar_t*, char*) { return nullptr; }

size_t DecodeBlocksShuffled(const unsigned char*, size_t, const RunStops&, wchar_t*, size_t,
                            size_t& chars) {
  chars = 0;
  return 0;
}
#endif

size_t DecodeBlocksPlain(const unsigned char* bytes, size_t n, const RunStops& stops, wchar_t* out,
                         size_t room, size_t& chars) {
  return DecodeBlocks<DecodeSixteenPlain>(bytes, n, stops, out, room, chars);
}

bool NarrowAsciiLanes(const wchar_t* text, char* out) {
  const WideLanes any =
      LoadWide(text) | LoadWide(text + 4) | LoadWide(text + 8) | LoadWide(text + 12);
  if (LaneBits((any & ~0x7F) != 0) != 0) return false;
  const ByteLanes bytes = PackAscii(text);
  std::memcpy(out, &bytes, sizeof bytes);
  return true;
}

bool NarrowAsciiPlain(const wchar_t* text, char* out) {
  uint32_t any = 0;
  for (size_t k = 0; k < 16; ++k) any |= static_cast<uint32_t>(text[k]);
  if (any >= 0x80) return false;
  for (size_t k = 0; k < 16; ++k) out[k] = static_cast<char>(text[k]);
  return true;
}

char* EncodeEightPlain(const wchar_t* text, char* out) {
  if (!AllShort(text)) return nullptr;
  for (int k = 0; k < 8; ++k) {
    const uint32_t code = static_cast<uint32_t>(text[k]);
    if (code < 0x80) {
      *out++ = static_cast<char>(code);
    } else {
      *out++ = static_cast<char>(0xC0 | code >> 6);
      *out++ = static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return out;
}

}  // namespace vexo
