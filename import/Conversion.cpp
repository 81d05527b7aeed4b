#include "import/Conversion.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "data/EncodingGuess.h"
#include "import/Decoder.h"
#include "import/Diagnostics.h"
#include "import/Printable.h"
#include "import/RecordMapper.h"
#include "import/TableReader.h"

namespace vexo {

namespace {

class Conversion {
 public:
  Conversion(const ImportOptions& options, int input, const std::string& name, DataWriter& writer,
             const std::ostream& out)
      : m_Options(options),
        m_Input(input),
        m_Name(name),
        m_Out(out),
        m_Decoder(options.encoding),
        m_Mapper(options, writer),
        m_Table(options.tsv, options.delimiter, m_Mapper) {}

  bool Run() {
    static char chunk[1 << 16];
    for (;;) {
      const ssize_t length = Read(chunk, sizeof chunk);
      if (length < 0) return Fail(m_Name, std::string("cannot read: ") + std::strerror(errno));
      if (length == 0) break;
      const std::string_view bytes(chunk, static_cast<size_t>(length));
      std::string_view text;
      const bool decoded = m_Decoder.Convert(bytes, text);
      if (!m_Table.Feed(text)) return TableFailed();
      if (!decoded)
        return BadBytes("found the byte " + HexBytes(m_Decoder.BadBytes()) +
                            ", which is not valid in " + Printable(m_Options.encoding),
                        bytes);
      if (!m_Out) return true;
    }
    if (!m_Decoder.Finish())
      return BadBytes("found the end of the input in the middle of the character that starts " +
                          std::string("with ") + HexBytes(m_Decoder.BadBytes()),
                      {});
    if (!m_Table.Finish()) return TableFailed();
    Warn();
    return true;
  }

 private:
  static bool Fail(const std::string& where, const std::string& message) {
    Report(where, "error", message);
    return false;
  }

  ssize_t Read(char* buffer, size_t size) {
    for (;;) {
      const ssize_t length = read(m_Input, buffer, size);
      if (length >= 0 || errno != EINTR) return length;
    }
  }

  bool TableFailed() {
    if (!m_Table.Error().empty())
      return Fail(Place(m_Name, m_Table.ErrorPosition()), m_Table.Error());
    return Fail(Place(m_Name, m_Mapper.ErrorPosition()), m_Mapper.Error());
  }

  // A sequence that the encoding does not have, at the end of what was
  // read. For UTF-8 input the message names the encoding that the text
  // reads cleanly in, judged from the chunk that holds the sequence and all
  // after it; text that had UTF-8 beyond ASCII before is damaged UTF-8.
  bool BadBytes(const std::string& found, std::string_view chunk) {
    std::string message = "expected text in " + Printable(m_Options.encoding) + ", " + found;
    if (m_Decoder.Utf8()) {
      const char* guess = m_Decoder.SawNonAscii() ? nullptr : GuessEncoding(chunk);
      if (guess) {
        message +=
            "; the file reads cleanly as " + std::string(guess) + ": try --encoding=" + guess;
      } else {
        message += "; if the file is in another encoding, name it with --encoding=NAME";
      }
    }
    return Fail(Place(m_Name, m_Table.End()), message);
  }

  const char* GuessEncoding(std::string_view chunk) {
    EncodingGuess guess;
    guess.Add(chunk);
    char rest[1 << 16];
    for (ssize_t length; (length = Read(rest, sizeof rest)) > 0;)
      guess.Add(std::string_view(rest, static_cast<size_t>(length)));
    return guess.Name();
  }

  void Warn() {
    if (const long rows = m_Mapper.EmptyRows(); rows > 0) {
      Report(Place(m_Name, m_Mapper.FirstEmptyRow()), "warning",
             rows == 1
                 ? std::string("this row has no text in any written column and writes no record")
                 : "this row and " + std::to_string(rows - 1) +
                       " more have no text in any written column and write no record");
    }
    if (m_Decoder.LooksLikeUtf8()) {
      const std::string encoding = Printable(m_Options.encoding);
      Report(m_Name, "warning",
             "the input is valid UTF-8 with text beyond ASCII, which reading it as " + encoding +
                 " garbles; leave out --encoding=" + encoding + " if the file is UTF-8");
    }
  }

  const ImportOptions& m_Options;
  int m_Input;
  std::string m_Name;
  const std::ostream& m_Out;
  Decoder m_Decoder;
  RecordMapper m_Mapper;
  TableReader m_Table;
};

}  // namespace

bool ConvertTable(const ImportOptions& options, int input, const std::string& name,
                  DataWriter& writer, const std::ostream& out) {
  return Conversion(options, input, name, writer, out).Run();
}

}  // namespace vexo
