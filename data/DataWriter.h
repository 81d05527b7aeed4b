// DataWriter: writes a vexo data file (a header of numbered header fields,
// then records of numbered record fields) so that vexo reads back exactly the
// text it was given, for programs that produce data files themselves.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace vexo {

// Writes one data file to an output stream, in UTF-8 without a byte-order
// mark: first the header (Header calls), then the records (Field and
// SheetBreak calls, each record closed by EndRecord).
//
// Every text goes through the same rules, so that the value vexo prints is
// the value given, changed in these ways only, which the format cannot carry:
// a line break (CR LF, LF or CR) becomes one space, a tab becomes one space,
// any other character below U+0020 is dropped, and trailing spaces are
// dropped. Characters that mean something in the file ("\", "@", "$", "&")
// are escaped.
//
// Giving a field text twice in one record (or a header field twice) makes
// the second text a further segment of that field, as the data-file reader
// does with a repeated tag.
//
// Failures are results: a call that cannot be honoured returns false and
// writes nothing. Errors of the stream itself are the stream's state, which
// the caller checks after the last call.
class DataWriter {
 public:
  explicit DataWriter(std::ostream& out);

  DataWriter(const DataWriter&) = delete;
  DataWriter& operator=(const DataWriter&) = delete;

  // Gives header field n (0 or more) the text utf8. False when n is
  // negative, when utf8 is not valid UTF-8, or when a record has been
  // started: the header comes before every record.
  bool Header(long n, std::string_view utf8);

  // Gives record field n (1 or more) of the current record the text utf8.
  // False when n is below 1 (field 0 takes the reader's text between
  // records, so it cannot be written exactly) or utf8 is not valid UTF-8.
  bool Field(long n, std::string_view utf8);

  // Requests a new sheet before the current record: the record's text is
  // preceded by a sheet break, which the blank's repeat blocks and backward
  // jumps carry out. Further calls for the same record change nothing.
  void SheetBreak();

  // Ends the current record; a record without fields is an empty record.
  void EndRecord();

 private:
  // Writes tag, number, ";" and the escaped text, then a line feed; false,
  // writing nothing, when utf8 is not valid UTF-8.
  bool WriteTagged(char tag, long n, std::string_view utf8);

  std::ostream& m_Out;
  bool m_InRecords = false;  // a record has been started: no more header
  bool m_Break = false;      // a sheet break is requested, not yet written
  std::string m_Line;        // one tagged line, reused for every call
};

}  // namespace vexo
