#include "util/utilities.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace {

TEST(Ipv6Address, BuiltReadAndComparedAddressesShowAsText) {
  // Dotted text is read as IPv4 first; text that is no address gives "::".
  const std::pair<in6_addr, const char*> cases[] = {
      // clang-format off
      {ToIPv6(static_cast<int>(htonl(0x0A000001))), "::ffff:10.0.0.1"}, {LocalHostIPv6(), "::1"},
      {IP6FromStr("10.0.0.1"), "::ffff:10.0.0.1"}, {IP6FromStr("10.0.0"), "::"},
      {IP6FromStr(":::"), "::"}, {IP6FromStr("2001:db8::42"), "2001:db8::42"},
      {IP6FromStr("10.0.0.1 "), "::"}};
  // clang-format on
  for (const auto& [addr, text] : cases) EXPECT_EQ(IPv6ToStr(addr), text);
  EXPECT_EQ(IPv6PortToStr(IP6FromStr("10.0.0.1"), 65535), " ::ffff:10.0.0.1|65535 ");
  EXPECT_EQ(IPv6PortToStrW(LocalHostIPv6(), -1), L" ::1|-1 ");
  // Nul is all zero or the mapped zero; every byte counts.
  const char* texts[] = {"::", "0.0.0.0", "::ffff:0.0.0.0", "::fffe:0.0.0.0", "::ffff:0.0.0.1"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(isNulIPv6(IP6FromStr(texts[i])), i < 3) << texts[i];
  for (int i = 0; i < 16; ++i) {
    in6_addr other = NulIPv6();
    other.s6_addr[i] = 1;
    EXPECT_FALSE(isNulIPv6(other) || isEqIPv6(other, NulIPv6())) << "byte " << i;
  }
}

TEST(CloseSocket, ClosesDescriptorsAboveZeroOnly) {
  int pair[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
  for (int socket : {0, -1, pair[0], pair[1]}) {
    const int given = socket;
    EXPECT_EQ(CloseSocket(socket), given > 0 ? 0 : given);
    EXPECT_EQ(socket, given > 0 ? -1 : given);
    EXPECT_TRUE(given <= 0 || (fcntl(given, F_GETFD) == -1 && errno == EBADF)) << given;
  }
}

TEST(SplitUrl, TakesTheUrlApart) {
  // The URL, the result, and scheme|host|port|path.
  const std::tuple<const char*, int, const char*> cases[] = {
      // clang-format off
      {"http://h:8080/a/b", 1, "http|h|8080|/a/b"}, {"https://example.org/", 2, "https|example.org||/"},
      {"HTTP://h", 0, "HTTP|h||"},                  {"httpss://h", 0, "httpss|h||"},
      {"[::1]:443", 0, "|::1|443|"},                {"http://[fe80::1]:8/x", 1, "http|fe80::1|8|/x"},
      {"h:1/p", 0, "|h|1|/p"},                      {"http://", 1, "http|||"},
      {"h:1:2", 0, "|h|1:2|"},                      {"a://b://c", 0, "a|b||//c"},
      {"", 0, "|||"},                               {nullptr, 0, "|||"}};
  // clang-format on
  for (const auto& [url, result, pieces] : cases) {
    char got[4][16];
    std::memset(got, 'z', sizeof got);  // every piece the URL lacks must come back empty
    EXPECT_EQ(splitURL(url, got[0], 16, got[1], 16, got[2], 16, got[3], 16), result);
    EXPECT_EQ(std::string(got[0]) + "|" + got[1] + "|" + got[2] + "|" + got[3], pieces) << url;
  }
}

TEST(SplitUrl, EachBufferMustHoldItsPieceAndTerminator) {
  const std::string pieces[] = {"https", "::1", "8080", "/index"};
  for (int which = 0; which < 4; ++which) {
    for (unsigned long size = 0; size <= pieces[which].size() + 1; ++size) {
      char got[4][32];
      std::memset(got, '#', sizeof got);
      unsigned long n[4] = {32, 32, 32, 32};
      n[which] = size;
      const bool fits = size > pieces[which].size();
      EXPECT_EQ(splitURL("https://[::1]:8080/index", got[0], n[0], got[1], n[1], got[2], n[2],
                         got[3], n[3]),
                fits ? 2 : -1);
      if (fits) {
        EXPECT_EQ(got[which], pieces[which]);
      }
      for (unsigned long i = size; i < 32; ++i) ASSERT_EQ(got[which][i], '#') << size;
    }
  }
  // A piece the URL lacks needs no room; null buffers take anything.
  char untouched = '#';
  EXPECT_EQ(splitURL("https://h", nullptr, 1, nullptr, 0, &untouched, 0, nullptr, 0), 2);
  EXPECT_EQ(untouched, '#');
  EXPECT_EQ(splitURL("h:1", nullptr, 0, &untouched, 1, nullptr, 0, nullptr, 0), -1);
}

TEST(SplitUrl, OpenBracketNeedsACloseBracketAfterIt) {
  char host[16], port[16], path[16];
  for (const char* url : {"[::1:80", "ftp://[::1/p", "a]b[c", "["}) {
    EXPECT_EQ(splitURL(url, nullptr, 0, host, 16, port, 16, path, 16), -1) << url;
    EXPECT_EQ(splitURL(url, nullptr, 0, nullptr, 0, port, 16, path, 16), 0) << url;
    EXPECT_STREQ(port, "") << url;
  }
}

TEST(TextHelpers, ParseStringSplitsAtEverySeparatorRefusingAnEmptyOneTrimTakesSpacesOnly) {
  // The text, the separator, the count and each piece followed by "|".
  const std::tuple<const char*, const char*, int, const char*> cases[] = {
      {"a,b,,c", ",", 4, "a|b||c|"},
      {"a,", ",", 2, "a||"},
      {",", ",", 2, "||"},
      {"abc", ",", 1, "abc|"},
      {"a::b::", "::", 3, "a|b||"},
      {":::", "::", 2, "|:|"},
      {"", ",", 0, ""},
      {"a,b", "", 0, ""},
      {"a,b", nullptr, 0, ""}};
  for (const auto& [text, separator, count, joined] : cases) {
    std::vector<std::string> pieces{"left over"};
    EXPECT_EQ(ParseString(text, separator, pieces), count) << text;
    std::string all;
    for (const std::string& piece : pieces) all += piece + "|";
    EXPECT_EQ(all, joined) << text;
  }
  const std::pair<const char*, const char*> trims[] = {
      {"", ""}, {"   ", ""}, {"  a b  ", "a b"}, {"\tx", "\tx"}, {" \t ", "\t"}, {"x\n ", "x\n"}};
  for (const auto& [text, trimmed] : trims) EXPECT_EQ(Trim(text), trimmed) << '"' << text << '"';
}

}  // namespace
