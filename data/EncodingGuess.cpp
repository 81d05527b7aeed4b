#include "data/EncodingGuess.h"

#include "data/Utf8.h"

namespace vexo {
namespace {

// The bytes 0x80 to 0xFF of each encoding, one letter per byte: L a letter,
// P another printable character, U a byte the encoding leaves undefined.
enum Encoding { kCp1251, kCp866, kCp1252 };
const char* const kHighBytes[3] = {
    // Windows-1251: Serbian, Macedonian, Ukrainian and Belarusian letters
    // among the punctuation, then А to я.
    "LLPLPPPPPPLPLLLL"
    "LPPPPPPPUPLPLLLL"
    "PLLLPLPPLPLPPPPL"
    "PPLLLPPPLPLPLLLL"
    "LLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLL",
    // CP866: А to п, box drawing, р to я, then Ё ё Є є Ї ї Ў ў and symbols.
    "LLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLLL"
    "PPPPPPPPPPPPPPPPPPPPPPPPPPPPPPPPPPPPPPPPPPPPPPPP"
    "LLLLLLLLLLLLLLLL"
    "LLLLLLLLPPPPPPPP",
    // Windows-1252, which is ISO-8859-1 with printable characters in place
    // of most of the C1 controls: × and ÷ are the only non-letters above 0xBF.
    "PUPLPPPPPPLPLULU"
    "UPPPPPPPPPLPLULL"
    "PPPPPPPPPPPPPPPPPPPPPPPPPPPPPPPP"
    "LLLLLLLLLLLLLLLL"
    "LLLLLLLPLLLLLLLL"
    "LLLLLLLLLLLLLLLL"
    "LLLLLLLPLLLLLLLL",
};
const char* const kNames[3] = {"CP1251", "CP866", "CP1252"};

// The share of letters among the high bytes below which a text is not taken
// for Cyrillic in an encoding: tenths.
constexpr uint64_t kCyrillicLetters = 6;

bool IsAsciiLetter(unsigned char byte) {
  return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z');
}

bool IsStrayControl(unsigned char byte) {
  if (byte == 0x7F) return true;
  return byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\f' && byte != '\r';
}

}  // namespace

void EncodingGuess::Add(std::string_view bytes) {
  CountSingleBytes(bytes);
  CountUtf8(bytes);
}

void EncodingGuess::CountSingleBytes(std::string_view bytes) {
  for (const char c : bytes) {
    const unsigned char byte = static_cast<unsigned char>(c);
    int kind = IsAsciiLetter(byte) ? 1 : 0;
    if (byte >= 0x80) {
      kind = 2;
      ++m_High;
      if (byte < 0xA0) ++m_C1;
      for (int e = kCp1251; e <= kCp1252; ++e) {
        const char type = kHighBytes[e][byte - 0x80];
        if (type == 'U') ++m_Undefined[e];
        if (type == 'L') ++m_Letters[e];
      }
    } else if (IsStrayControl(byte)) {
      ++m_Controls;
    }
    if (kind + m_Previous == 3) ++m_BesideAscii;
    if (kind == 2 && m_Previous == 2) ++m_BesideHigh;
    m_Previous = kind;
  }
}

// A sequence cut by the end of a piece is read again with the start of the
// next one, so the counts do not depend on where the pieces end.
void EncodingGuess::CountUtf8(std::string_view bytes) {
  size_t from = 0;
  if (!m_Cut.empty()) {
    const size_t cut = m_Cut.size();
    std::string joined = m_Cut;
    joined.append(bytes.substr(0, 3));
    m_Cut.clear();
    size_t i = 0;
    while (i < cut) {
      const int length = Utf8Sequence(joined, i);
      if (length < 0) {
        m_Cut = joined.substr(i);
        return;
      }
      if (length == 0) {
        ++m_Malformed;
        ++i;
        continue;
      }
      if (length > 1) ++m_Sequences;
      i += static_cast<size_t>(length);
    }
    from = i - cut;
  }
  for (size_t i = from; i < bytes.size();) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    const int length = Utf8Sequence(bytes, i);
    if (length < 0) {
      m_Cut.assign(bytes.substr(i));
      return;
    }
    if (length == 0) {
      ++m_Malformed;
      ++i;
      continue;
    }
    ++m_Sequences;
    i += static_cast<size_t>(length);
  }
}

const char* EncodingGuess::Name() const {
  const uint64_t malformed = m_Malformed + (m_Cut.empty() ? 0 : 1);
  if (m_High == 0 || m_Controls > 0 || malformed == 0) return nullptr;
  if (m_Sequences >= malformed) return nullptr;
  if (m_BesideHigh <= m_BesideAscii) {
    if (m_Undefined[kCp1252] > 0) return nullptr;
    return m_C1 > 0 ? kNames[kCp1252] : "ISO-8859-1";
  }
  int best = -1;
  for (int e = kCp1251; e <= kCp866; ++e) {
    if (m_Undefined[e] > 0) continue;
    if (best < 0 || m_Letters[e] > m_Letters[best]) best = e;
  }
  if (best < 0 || m_Letters[best] * 10 < m_High * kCyrillicLetters) return nullptr;
  return kNames[best];
}

}  // namespace vexo
