#include "messages/LoadRes.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

bool g_StringENU = false;

namespace {

constexpr size_t kHeaderBytes = 12;
constexpr unsigned kStringTableType = 6;
constexpr unsigned kEntriesPerBlock = 16;
constexpr unsigned long kLookupBufferBytes = 256;

unsigned ReadLE16(const unsigned char* p) { return p[0] | (p[1] << 8); }

uint32_t ReadLE32(const unsigned char* p) {
  return ReadLE16(p) | (static_cast<uint32_t>(ReadLE16(p + 2)) << 16);
}

// True when a whole header starts at block, before end, with both markers.
bool IsHeader(const unsigned char* block, const unsigned char* end) {
  if (static_cast<size_t>(end - block) < kHeaderBytes) return false;
  return block[0] == 0xFF && block[3] == 0xFF;
}

// Walks the entries of the body [body, bodyEnd), numbered from first, up to
// the wanted number, and copies its text. Returns the bytes copied; 0 when
// the entry is empty or does not lie whole inside the body.
unsigned long CopyEntry(const unsigned char* body, const unsigned char* bodyEnd, uint16_t first,
                        uint16_t wanted, char* buffer, unsigned long size) {
  const unsigned char* entry = body;
  for (uint16_t number = first; number <= wanted; ++number) {
    if (entry >= bodyEnd) return 0;
    const size_t length = entry[0];
    if (static_cast<size_t>(bodyEnd - entry - 1) < length) return 0;
    if (number == wanted) {
      const size_t copied = length < size ? length : size;
      memcpy(buffer, entry + 1, copied);
      return copied;
    }
    entry += 1 + length;
  }
  return 0;
}

// The lookup of _S_ and the fixed-language functions on one table: a zeroed
// 256-byte buffer, the table's text or "<prefix><number>", decoded as UTF-8.
DBString LoadFromTable(unsigned char* start, unsigned char* end, unsigned short number,
                       const char* prefix) {
  char buffer[kLookupBufferBytes] = {};
  if (LoadString(buffer, sizeof(buffer), start, end, number) == 0) {
    snprintf(buffer, sizeof(buffer), "%s%d", prefix, number);
  }
  return DBString(buffer);
}

}  // namespace

unsigned long LoadString(char* buffer, unsigned long size, unsigned char* start, unsigned char* end,
                         unsigned short number) {
  if (size == 0 || buffer == nullptr || start == nullptr || end == nullptr) return 0;
  if (start >= end) return 0;
  for (const unsigned char* block = start; IsHeader(block, end);) {
    const unsigned char* body = block + kHeaderBytes;
    const size_t bodySize = ReadLE32(block + 8);
    const size_t available = static_cast<size_t>(end - body);
    if (ReadLE16(block + 1) == kStringTableType) {
      const uint16_t first = static_cast<uint16_t>((ReadLE16(block + 4) + 4095) * kEntriesPerBlock);
      if (static_cast<uint16_t>(number - first) < kEntriesPerBlock) {
        const unsigned char* bodyEnd = body + (bodySize < available ? bodySize : available);
        const unsigned long copied = CopyEntry(body, bodyEnd, first, number, buffer, size);
        if (copied > 0) return copied;
      }
    }
    if (bodySize >= available) return 0;
    block = body + bodySize;
  }
  return 0;
}

DBString _S_(unsigned short number) {
  return g_StringENU ? LoadStringFromResourceENU(number) : LoadStringFromResource(number);
}

DBString LoadStringFromResource(unsigned short number) {
  return LoadFromTable(_binary_resource_res_start, _binary_resource_res_end, number, "RUS");
}

DBString LoadStringFromResourceENU(unsigned short number) {
  return LoadFromTable(_binary_resource_enu_res_start, _binary_resource_enu_res_end, number, "ENU");
}
