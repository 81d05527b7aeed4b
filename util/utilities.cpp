#include "util/utilities.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

in6_addr ToIPv6(int ipv4) {
  in6_addr addr = NulIPv6();
  addr.s6_addr[10] = 0xFF;
  addr.s6_addr[11] = 0xFF;
  std::memcpy(&addr.s6_addr[12], &ipv4, 4);
  return addr;
}

in6_addr LocalHostIPv6() {
  in6_addr addr = NulIPv6();
  addr.s6_addr[15] = 1;
  return addr;
}

in6_addr NulIPv6() {
  in6_addr addr;
  ClearIPv6(addr);
  return addr;
}

bool isNulIPv6(in6_addr const& addr) {
  return isEqIPv6(addr, NulIPv6()) || isEqIPv6(addr, ToIPv6(0));
}

bool isEqIPv6(in6_addr const& a, in6_addr const& b) {
  return std::memcmp(a.s6_addr, b.s6_addr, sizeof a.s6_addr) == 0;
}

void ClearIPv6(in6_addr& addr) { std::memset(addr.s6_addr, 0, sizeof addr.s6_addr); }

std::string IPv6ToStr(in6_addr const& addr) {
  char text[64];
  if (inet_ntop(AF_INET6, &addr, text, sizeof text) == nullptr) return std::string();
  return text;
}

DBString IPv6ToStrW(in6_addr const& addr) { return DBString(IPv6ToStr(addr)); }

in6_addr IP6FromStr(std::string const& text) {
  in_addr ipv4;
  if (inet_pton(AF_INET, text.c_str(), &ipv4) == 1) {
    return ToIPv6(static_cast<int>(ipv4.s_addr));
  }
  in6_addr addr;
  if (inet_pton(AF_INET6, text.c_str(), &addr) == 1) return addr;
  return NulIPv6();
}

std::string IPv6PortToStr(in6_addr const& addr, int port) {
  return " " + IPv6ToStr(addr) + "|" + std::to_string(port) + " ";
}

DBString IPv6PortToStrW(in6_addr const& addr, int port) {
  return DBString(IPv6PortToStr(addr, port));
}

int CloseSocket(int& socket) {
  if (socket < 1) return socket;
  shutdown(socket, SHUT_RDWR);
  const int result = close(socket);
  socket = -1;
  return result;
}

namespace {

// One caller's buffer for a piece of a URL; a null buffer takes anything and
// keeps nothing.
struct PieceBuffer {
  char* data;
  unsigned long size;

  // Copies piece with its terminator; false when it does not fit.
  bool Put(const std::string& piece) const {
    if (data == nullptr) return true;
    if (piece.size() >= size) return false;
    std::memcpy(data, piece.c_str(), piece.size() + 1);
    return true;
  }
  void Clear() const {
    if (data != nullptr && size != 0) data[0] = 0;
  }
};

}  // namespace

// The URL is taken apart from the outside in: scheme, path, bracketed host,
// port, and what is left is the host. Every step that empties the rest ends
// the work. Without a host buffer, a "[" without "]" after it drops the rest.
int splitURL(char const* url, char* scheme, unsigned long schemeSize, char* host,
             unsigned long hostSize, char* port, unsigned long portSize, char* path,
             unsigned long pathSize) {
  const PieceBuffer schemeBuffer{scheme, schemeSize};
  const PieceBuffer hostBuffer{host, hostSize};
  const PieceBuffer portBuffer{port, portSize};
  const PieceBuffer pathBuffer{path, pathSize};
  for (const PieceBuffer* buffer : {&schemeBuffer, &hostBuffer, &portBuffer, &pathBuffer}) {
    buffer->Clear();
  }

  int result = 0;
  std::string rest = url == nullptr ? "" : url;
  if (rest.empty()) return result;

  const size_t schemeEnd = rest.find("://");
  if (schemeEnd != std::string::npos) {
    const std::string schemeText = rest.substr(0, schemeEnd);
    if (schemeText == "http") result = 1;
    if (schemeText == "https") result = 2;
    if (!schemeBuffer.Put(schemeText)) return -1;
    rest.erase(0, schemeEnd + 3);
    if (rest.empty()) return result;
  }

  const size_t pathStart = rest.find('/');
  if (pathStart != std::string::npos) {
    if (!pathBuffer.Put(rest.substr(pathStart))) return -1;
    rest.erase(pathStart);
    if (rest.empty()) return result;
  }

  const size_t openBracket = rest.find('[');
  if (openBracket != std::string::npos) {
    const size_t closeBracket = rest.find(']', openBracket);
    if (closeBracket == std::string::npos) return host == nullptr ? result : -1;
    if (!hostBuffer.Put(rest.substr(openBracket + 1, closeBracket - openBracket - 1))) {
      return -1;
    }
    rest.erase(0, closeBracket + 1);
    if (rest.empty()) return result;
  }

  const size_t colon = rest.find(':');
  if (colon != std::string::npos) {
    if (!portBuffer.Put(rest.substr(colon + 1))) return -1;
    rest.erase(colon);
  }

  if (!rest.empty() && !hostBuffer.Put(rest)) return -1;
  return result;
}

std::string Trim(std::string const& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

int ParseString(std::string const& text, char const* separator, std::vector<std::string>& pieces) {
  pieces.clear();
  if (text.empty() || separator == nullptr || *separator == 0) return 0;

  const size_t separatorLength = std::strlen(separator);
  size_t start = 0;
  for (size_t found = text.find(separator); found != std::string::npos;
       found = text.find(separator, start)) {
    pieces.push_back(text.substr(start, found - start));
    start = found + separatorLength;
  }
  pieces.push_back(text.substr(start));
  return static_cast<int>(pieces.size());
}
