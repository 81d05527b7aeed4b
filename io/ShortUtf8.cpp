#include "io/ShortUtf8.h"

#include <array>
#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
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

// One character at a time, for processors without the byte shuffle.
char* EncodeEachShort(const wchar_t* text, char* out) {
  for (int k = 0; k < 8; ++k) {
    const uint32_t code = static_cast<uint32_t>(text[k]);
    const bool two = code >= 0x80;
    out[0] = static_cast<char>(two ? 0xC0 | (code >> 6) : code);
    out[1] = static_cast<char>(0x80 | (code & 0x3F));
    out += 1 + two;
  }
  return out;
}

#if defined(__x86_64__) || defined(__i386__)
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

__attribute__((target("ssse3"))) char* EncodeShuffled(const wchar_t* text, char* out) {
  const __m128i* from = reinterpret_cast<const __m128i*>(text);
  // Below 0x800 every character fits a signed 16-bit word unchanged.
  const __m128i code = _mm_packs_epi32(_mm_loadu_si128(from), _mm_loadu_si128(from + 1));
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

bool HasShuffle() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("ssse3");
}
#endif

}  // namespace

char* EncodeShortEight(const wchar_t* text, char* out) {
  if (!AllShort(text)) return nullptr;
#if defined(__x86_64__) || defined(__i386__)
  static const bool shuffle = HasShuffle();
  if (shuffle) return EncodeShuffled(text, out);
#endif
  return EncodeEachShort(text, out);
}

}  // namespace vexo
