#include "utilities.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(Ipv6Address, BuiltAddressesHaveTheirTextForm) {
  EXPECT_EQ(IPv6ToStr(ToIPv6(static_cast<int>(htonl(0x0A000001)))), "::ffff:10.0.0.1");
  EXPECT_EQ(IPv6ToStr(LocalHostIPv6()), "::1");
  EXPECT_EQ(IPv6ToStr(NulIPv6()), "::");
  in6_addr cleared = LocalHostIPv6();
  ClearIPv6(cleared);
  EXPECT_EQ(IPv6ToStr(cleared), "::");
  EXPECT_EQ(IPv6ToStrW(LocalHostIPv6()), L"::1");
}

TEST(Ipv6Address, ParsesIpv4FirstThenIpv6ElseNul) {
  const struct {
    const char* text;
    const char* parsed;
  } cases[] = {
      {"10.0.0.1", "::ffff:10.0.0.1"},  {"::ffff:10.0.0.1", "::ffff:10.0.0.1"},
      {"::1", "::1"},                   {"2001:db8::ff00:42:8329", "2001:db8::ff00:42:8329"},
      {"", "::"},                       {"10.0.0", "::"},
      {"10.0.0.256", "::"},             {"10.0.0.1 ", "::"},
      {":::", "::"},                    {"host", "::"},
  };
  for (const auto& c : cases) EXPECT_EQ(IPv6ToStr(IP6FromStr(c.text)), c.parsed) << c.text;
  EXPECT_TRUE(isEqIPv6(IP6FromStr("10.0.0.1"), ToIPv6(static_cast<int>(inet_addr("10.0.0.1")))));
}

TEST(Ipv6Address, NulIsAllZeroOrMappedZero) {
  const struct {
    const char* text;
    bool nul;
  } cases[] = {{"::", true},           {"0.0.0.0", true},          {"::ffff:0.0.0.0", true},
               {"::1", false},         {"::ffff:0.0.0.1", false},  {"::fffe:0.0.0.0", false},
               {"1::", false},         {"::ffff:1.0.0.0", false}};
  for (const auto& c : cases) EXPECT_EQ(isNulIPv6(IP6FromStr(c.text)), c.nul) << c.text;
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
  const int closed_number = pair[0];
  EXPECT_EQ(CloseSocket(pair[0]), 0);
  EXPECT_EQ(pair[0], -1);
  EXPECT_EQ(fcntl(closed_number, F_GETFD), -1);
  EXPECT_EQ(errno, EBADF);
  int stale = closed_number;
  EXPECT_EQ(CloseSocket(stale), -1);
  EXPECT_EQ(stale, -1);
  EXPECT_EQ(CloseSocket(pair[1]), 0);
}

// Buffers start out as garbage so that every piece the URL lacks must come
// back empty.
struct Split {
  char scheme[16], host[16], port[16], path[16];
  int result;
  explicit Split(const char* url) {
    for (char* buffer : {scheme, host, port, path}) std::memset(buffer, 'z', 16);
    result = splitURL(url, scheme, 16, host, 16, port, 16, path, 16);
  }
};

TEST(SplitUrl, TakesTheUrlApart) {
  const struct {
    const char* url;
    const char *scheme, *host, *port, *path;
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
      {"https:///p", "https", "", "", "/p", 2},
      {"://x", "", "x", "", "", 0},
      {"h:", "", "h", "", "", 0},
      {"h:1:2", "", "h", "1:2", "", 0},
      {"a://b://c", "a", "b", "", "//c", 0},
      {"", "", "", "", "", 0},
      {nullptr, "", "", "", "", 0},
  };
  for (const auto& c : cases) {
    const Split split(c.url);
    const std::string url = c.url ? c.url : "(null)";
    EXPECT_EQ(split.result, c.result) << url;
    EXPECT_STREQ(split.scheme, c.scheme) << url;
    EXPECT_STREQ(split.host, c.host) << url;
    EXPECT_STREQ(split.port, c.port) << url;
    EXPECT_STREQ(split.path, c.path) << url;
  }
}

TEST(SplitUrl, EachBufferMustHoldItsPieceAndTerminator) {
  const char* url = "https://[::1]:8080/index";
  const std::string pieces[] = {"https", "::1", "8080", "/index"};
  for (int which = 0; which < 4; ++which) {
    const unsigned long length = pieces[which].size();
    for (unsigned long size = 0; size <= length + 1; ++size) {
      char buffers[4][32];
      std::memset(buffers, '#', sizeof buffers);
      unsigned long sizes[4] = {32, 32, 32, 32};
      sizes[which] = size;
      const int result = splitURL(url, buffers[0], sizes[0], buffers[1], sizes[1], buffers[2],
                                  sizes[2], buffers[3], sizes[3]);
      EXPECT_EQ(result, size > length ? 2 : -1) << pieces[which] << " in " << size;
      if (size > length) {
        EXPECT_EQ(buffers[which], pieces[which]);
      }
      for (unsigned long i = size; i < 32; ++i) {
        ASSERT_EQ(buffers[which][i], '#') << "written past " << size << " for " << pieces[which];
      }
    }
  }
  char untouched = '#';
  EXPECT_EQ(splitURL("h", nullptr, 0, nullptr, 0, &untouched, 0, nullptr, 0), 0);
  EXPECT_EQ(untouched, '#');
  EXPECT_EQ(splitURL("h:1", nullptr, 0, nullptr, 0, &untouched, 0, nullptr, 0), -1);
}

TEST(SplitUrl, NullBuffersAreSkipped) {
  EXPECT_EQ(splitURL("http://h:1/p", nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0), 1);
  char port[8];
  EXPECT_EQ(splitURL("https://h:443/p", nullptr, 0, nullptr, 0, port, 8, nullptr, 0), 2);
  EXPECT_STREQ(port, "443");
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
  const struct {
    const char *text, *trimmed;
  } cases[] = {{"", ""},   {"   ", ""},      {"x", "x"},      {"  a b  ", "a b"},
               {"a ", "a"}, {"\tx", "\tx"}, {" \t ", "\t"}, {"x\n ", "x\n"}};
  for (const auto& c : cases) EXPECT_EQ(Trim(c.text), c.trimmed) << '"' << c.text << '"';
}

TEST(ParseString, SplitsAtEverySeparator) {
  using Pieces = std::vector<std::string>;
  const struct {
    const char *text, *separator;
    Pieces pieces;
  } cases[] = {
      {"a,b,,c", ",", {"a", "b", "", "c"}}, {"a,", ",", {"a", ""}},
      {",", ",", {"", ""}},                 {"abc", ",", {"abc"}},
      {"a::b::", "::", {"a", "b", ""}},     {":::", "::", {"", ":"}},
      {"", ",", {}},                        {"a,b", "", {}},
      {"a,b", nullptr, {}},
  };
  for (const auto& c : cases) {
    Pieces pieces{"left over"};
    EXPECT_EQ(ParseString(c.text, c.separator, pieces), static_cast<int>(c.pieces.size())) << c.text;
    EXPECT_EQ(pieces, c.pieces) << c.text;
  }
}

}  // namespace
