// Small helpers for IPv6 addresses, sockets, URLs and plain strings.
#pragma once

#include <netinet/in.h>

#include <string>
#include <vector>

#include "util/DBString.h"

// Addresses are in6_addr values (16 bytes in network order). An IPv4 address
// is held as the IPv4-mapped address ::ffff:a.b.c.d.

// The mapped address of an IPv4 address given as in in_addr::s_addr (network
// byte order): its four bytes land in bytes 12 to 15 as they lie in memory.
in6_addr ToIPv6(int ipv4);
// The loopback address ::1.
in6_addr LocalHostIPv6();
// The all-zero address ::.
in6_addr NulIPv6();
// True for :: and for the mapped null address ::ffff:0.0.0.0.
bool isNulIPv6(in6_addr const& addr);
// True when all 16 bytes are equal.
bool isEqIPv6(in6_addr const& a, in6_addr const& b);
void ClearIPv6(in6_addr& addr);

// The text form of the address, e.g. "::1" or "::ffff:10.0.0.1"; empty in the
// unlikely case that the platform refuses to format it.
std::string IPv6ToStr(in6_addr const& addr);
DBString IPv6ToStrW(in6_addr const& addr);
// Parses dotted IPv4 text into its mapped address, otherwise IPv6 text; text
// that is neither gives the all-zero address.
in6_addr IP6FromStr(std::string const& text);
// Address and port as " <address>|<port> ", e.g. " ::1|80 ".
std::string IPv6PortToStr(in6_addr const& addr, int port);
DBString IPv6PortToStrW(in6_addr const& addr, int port);

// Shuts a socket down in both directions and closes it, sets the variable to
// -1 and returns the result of close. A descriptor below 1 is left alone
// (descriptor 0 is never closed) and comes back unchanged.
int CloseSocket(int& socket);

// Splits url into scheme, host, port and path, each into a caller's buffer of
// the given size in bytes, zero-terminated. A null buffer is not filled; a
// buffer of size 0 cannot hold even an empty piece. The scheme is the text
// before "://", the path runs from the first "/" after it, the host may be
// bracketed ("[::1]") and the port follows the first ":" outside the
// brackets. Returns -1 when a piece (with its terminator) does not fit its
// buffer, or when a host buffer is given and a "[" has no "]" after it (with
// no host buffer the text from that "[" on is ignored); else 1 for the scheme
// "http", 2 for "https" and 0 for any other or none. A null or empty url
// gives 0. Pieces split off before a failure stay filled.
int splitURL(char const* url, char* scheme, unsigned long schemeSize, char* host,
             unsigned long hostSize, char* port, unsigned long portSize, char* path,
             unsigned long pathSize);

// A copy of text without leading and trailing spaces (code 32 only; tabs and
// other white space stay).
std::string Trim(std::string const& text);

// Splits text at every occurrence of the separator string into pieces
// (emptied first): adjacent separators give empty pieces, and a separator at
// the end gives an empty last piece. Returns the number of pieces; 0 for an
// empty text. A null or empty separator is refused: no pieces, result 0.
int ParseString(std::string const& text, char const* separator, std::vector<std::string>& pieces);
