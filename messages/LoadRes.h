// Message texts looked up by number in the string tables linked into the
// program image: a Russian one and an English one with the same numbers.
#pragma once

#include "util/DBString.h"

// Chooses the English table for _S_ when set; false unless code sets it.
extern bool g_StringENU;

// The two tables as the build links them in, each from its start symbol up
// to (not including) its end symbol. They are read-only and never written.
extern "C" unsigned char _binary_resource_res_start[];
extern "C" unsigned char _binary_resource_res_end[];
extern "C" unsigned char _binary_resource_enu_res_start[];
extern "C" unsigned char _binary_resource_enu_res_end[];

// Copies the text of message number from the table [start, end) into buffer:
// min(text length, size) bytes, no terminator. Returns the number of bytes
// copied; 0 when size is 0, a pointer is null, start is not below end, or the
// table has no text for the number. The search stops at a header without its
// 0xFF markers and never reads outside [start, end): a block or entry cut off
// by the end of the table ends the search.
unsigned long LoadString(char* buffer, unsigned long size, unsigned char* start, unsigned char* end,
                         unsigned short number);

// The text of the message in the language g_StringENU chooses; "RUS<n>" or
// "ENU<n>" when the table has no text for n.
DBString _S_(unsigned short number);
// The Russian text, or "RUS<n>", whatever the flag says.
DBString LoadStringFromResource(unsigned short number);
// The English text, or "ENU<n>", whatever the flag says.
DBString LoadStringFromResourceENU(unsigned short number);
