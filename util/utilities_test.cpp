#include "utilities.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

TEST(Ipv6Address, TextFormShowsTheBuiltAddress) {
  const std::pair<in6_addr, const char*> cases[] = {
      {ToIPv6(static_cast<int>(htonl(0x0A000001))), "::ffff:10.0.0.1"},
      {LocalHostIPv6(), "::1"},
      {NulIPv6(), "::"},
      {[] { in6_addr a = LocalHostIPv6(); ClearIPv6(a); return a; }(), "::"},
      // Dotted text is read as IPv4 first; text that is no address gives "::".
      {IP6FromStr("10.0.0.1"), "::ffff:10.0.0.1"},
      {IP6FromStr("2001:db8::ff00:42:8329"), "2001:db8::ff00:42:8329"},
      {IP6FromStr("10.0.0"), "::"},
      {IP6FromStr("10.0.0.256"), "::"},
      {IP6FromStr("10.0.0.1 "), "::"},
      {IP6FromStr(":::"), "::"},
      {IP6FromStr(""), "::"},
  };
  for (const auto& [addr, text] : cases) EXPECT_EQ(IPv6ToStr(addr), text);
  EXPECT_EQ(IPv6ToStrW(LocalHostIPv6()), L"::1");
}

TEST(Ipv6Address, NulIsAllZeroOrMappedZero) {
  const char* nul[] = {"::", "0.0.0.0", "::ffff:0.0.0.0"};
  const char* other[] = {"::1", "::ffff:0.0.0.1", "::fffe:0.0.0.0", "1::", "::ffff:1.0.0.0"};
  for (const char* text : nul) EXPECT_TRUE(isNulIPv6(IP6FromStr(text))) << text;
  for (const char* text : other) EXPECT_FALSE(isNulIPv6(IP6FromStr(text))) << text;
}

TEST(Ipv6Address, EqualityLooksAtEveryByte) {
  const in6_addr base = IP6FromStr("2001:db8::1");
  EXPECT_TRUE(isEqIPv6(base, IP6FromStr("2001:db8:0::1")));
  for (int i = 0; i < 16; ++i) {
    in6_addr other = base;
    other.s6_addr[i] ^= 0x01;
    EXPECT_FALSE(isEqIPv6(base, other)) << "byte " << i;
  }
}

TEST(Ipv6Address, PortTextIsAddressBarPortBetweenSpaces) {
  EXPECT_EQ(IPv6PortToStr(LocalHostIPv6(), 80), " ::1|80 ");
  EXPECT_EQ(IPv6PortToStr(IP6FromStr("10.0.0.1"), 65535), " ::ffff:10.0.0.1|65535 ");
  EXPECT_EQ(IPv6PortToStr(NulIPv6(), -1), " ::|-1 ");
  EXPECT_EQ(IPv6PortToStrW(LocalHostIPv6(), 80), L" ::1|80 ");
}

TEST(CloseSocket, ClosesDescriptorsAboveZeroOnly) {
  for (int untouched : {0, -1, -7}) {
    int socket = untouched;
    EXPECT_EQ(CloseSocket(socket), untouched);
    EXPECT_EQ(socket, untouched);
  }
  int pair[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
  const int closed = pair[0];
  EXPECT_EQ(CloseSocket(pair[0]), 0);
  EXPECT_EQ(pair[0], -1);
  EXPECT_TRUE(fcntl(closed, F_GETFD) == -1 && errno == EBADF);
  EXPECT_EQ(CloseSocket(pair[1]), 0);
}

TEST(SplitUrl, TakesTheUrlApart) {
  const struct {
    const char *url, *scheme, *host, *port, *path;
    int result;
  } cases[] = {
      {"http://h:8080/a/b", "http", "h", "8080", "/a/b", 1},
      {"https://example.org/", "https", "example.org", "", "/", 2},
      {"HTTP://h", "HTTP", "h", "", "", 0},
      {"httpss://h", "httpss", "h", "", "", 0},
      {"[::1]:443", "", "::1", "443", "", 0},
      {"http://[fe80::1]:8/x", "http", "fe80::1", "8", "/x", 1},
      {"h:1/p", "", "h", "1", "/p", 0},
      {"http://", "http", "", "", "", 1},
      {"h:1:2", "", "h", "1:2", "", 0},
      {"a://b://c", "a", "b", "", "//c", 0},
      {"", "", "", "", "", 0},
      {nullptr, "", "", "", "", 0},
  };
  for (const auto& c : cases) {
    // Garbage in the buffers: every piece the URL lacks must come back empty.
    char got[4][16];
    std::memset(got, 'z', sizeof got);
    EXPECT_EQ(splitURL(c.url, got[0], 16, got[1], 16, got[2], 16, got[3], 16), c.result);
    const char* expected[] = {c.scheme, c.host, c.port, c.path};
    for (int i = 0; i < 4; ++i) EXPECT_STREQ(got[i], expected[i]) << (c.url ? c.url : "null");
  }
}

TEST(SplitUrl, EachBufferMustHoldItsPieceAndTerminator) {
  const std::string pieces[] = {"https", "::1", "8080", "/index"};
  for (int which = 0; which < 4; ++which) {
    const unsigned long length = pieces[which].size();
    for (unsigned long size = 0; size <= length + 1; ++size) {
      char got[4][32];
      std::memset(got, '#', sizeof got);
      unsigned long sizes[4] = {32, 32, 32, 32};
      sizes[which] = size;
      EXPECT_EQ(splitURL("https://[::1]:8080/index", got[0], sizes[0], got[1], sizes[1], got[2],
                         sizes[2], got[3], sizes[3]),
                size > length ? 2 : -1);
      if (size > length) {
        EXPECT_EQ(got[which], pieces[which]);
      }
      for (unsigned long i = size; i < 32; ++i) ASSERT_EQ(got[which][i], '#') << size;
    }
  }
  // A piece the URL lacks needs no room; null buffers take anything.
  char untouched = '#';
  EXPECT_EQ(splitURL("https://h", nullptr, 0, nullptr, 0, &untouched, 0, nullptr, 0), 2);
  EXPECT_EQ(untouched, '#');
  EXPECT_EQ(splitURL("h:1", nullptr, 0, nullptr, 0, &untouched, 0, nullptr, 0), -1);
}

TEST(SplitUrl, OpenBracketNeedsACloseBracketAfterIt) {
  char host[16], port[16], path[16];
  for (const char* url : {"[::1:80", "ftp://[::1/p", "a]b[c", "["}) {
    EXPECT_EQ(splitURL(url, nullptr, 0, host, 16, port, 16, path, 16), -1) << url;
    EXPECT_EQ(splitURL(url, nullptr, 0, nullptr, 0, port, 16, path, 16), 0) << url;
    EXPECT_STREQ(port, "") << url;
  }
}

TEST(Trim, RemovesOuterSpacesOnly) {
  const std::pair<const char*, const char*> cases[] = {
      {"", ""},   {"   ", ""},       {"x", "x"},     {"  a b  ", "a b"},
      {"a ", "a"}, {"\tx", "\tx"}, {" \t ", "\t"}, {"x\n ", "x\n"}};
  for (const auto& [text, trimmed] : cases) EXPECT_EQ(Trim(text), trimmed) << '"' << text << '"';
}

TEST(ParseString, SplitsAtEverySeparatorAndRefusesAnEmptyOne) {
  using Pieces = std::vector<std::string>;
  const struct {
    const char *text, *separator;
    Pieces pieces;
  } cases[] = {
      {"a,b,,c", ",", {"a", "b", "", "c"}}, {"a,", ",", {"a", ""}}, {",", ",", {"", ""}},
      {"abc", ",", {"abc"}}, {"a::b::", "::", {"a", "b", ""}},     {":::", "::", {"", ":"}},
      {"", ",", {}},         {"a,b", "", {}},                       {"a,b", nullptr, {}},
  };
  for (const auto& c : cases) {
    Pieces pieces{"left over"};
    EXPECT_EQ(ParseString(c.text, c.separator, pieces), static_cast<int>(c.pieces.size()));
    EXPECT_EQ(pieces, c.pieces) << c.text;
  }
}

}  // namespace
