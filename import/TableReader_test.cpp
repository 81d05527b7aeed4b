#include "import/TableReader.h"

#include <gtest/gtest.h>

#include <string>

#include "data/Utf8.h"

namespace vexo {
namespace {

std::string Where(TextPosition position) {
  return std::to_string(position.line) + ":" + std::to_string(position.column);
}

// Writes down every cell and row end with the place the reader gives it.
class Recorder : public RowSink {
 public:
  bool Cell(std::string_view text, const TablePlace& place) override {
    log += "[" + std::string(text) + "]@" + Where(place.CellStart()) + " ";
    return true;
  }
  bool EndRow(const TablePlace& place) override {
    log += "row@" + Where(place.RowStart()) + "\n";
    return true;
  }
  std::string log;
};

struct Row {
  const char* what;
  bool tsv;
  const char* delimiter;
  std::string input;
  std::string log;  // the cells and rows with their places; then the error
};

const Row kRows[] = {
    {"CSV: quoted line breaks and an empty line between rows", false, ",", "x,\"y\ny\"\n\nz,\"\"\n",
     "[x]@1:1 [y\ny]@1:3 row@1:1\n[z]@4:1 []@4:3 row@4:1\n"},
    {"CSV: rows ended by CR alone, an empty last cell", false, ",", "a\rb,c\r,",
     "[a]@1:1 row@1:1\n[b]@2:1 [c]@2:3 row@2:1\n[]@3:1 []@3:2 row@3:1\n"},
    {"CSV: columns count characters, CR LF is one line end", false, ",", "Жук,\"а\r\nб\"\r\n\r\nд",
     "[Жук]@1:1 [а\r\nб]@1:5 row@1:1\n[д]@4:1 row@4:1\n"},
    {"CSV: a separator of two bytes, also inside quotes", false, "§", "a§\"b§\"§c\n",
     "[a]@1:1 [b§]@1:3 [c]@1:8 row@1:1\n"},
    {"CSV: doubled quotes count in the input's columns", false, ",", "\"a\"\"b\",c\n",
     "[a\"b]@1:1 [c]@1:8 row@1:1\n"},
    {"CSV: a quote left open is reported where it opens", false, ",", "a,b\nc,\"d\ne",
     "[a]@1:1 [b]@1:3 row@1:1\n[c]@2:1 error@2:3 expected a closing quote for the cell that opens "
     "here, found the end of the input"},
    {"CSV: text after a closing quote", false, ",", "a,\"b\"Ж\n",
     "[a]@1:1 error@1:6 expected a separator or the end of the row after the closing quote, "
     "found \"Ж\""},
    {"CSV: a control character after a closing quote, shown as \\xNN", false, ",", "\"b\"\x01",
     "error@1:4 expected a separator or the end of the row after the closing quote, found "
     "\"\\x01\""},
    {"TSV: a lone CR is text, a backslash before a tab stays, an empty line is none", true, "",
     "a\tb\r\nc\\\td\n\ne\rf\tg\\t\\\\\\q\\",
     "[a]@1:1 [b]@1:3 row@1:1\n[c\\]@2:1 [d]@2:4 row@2:1\n[e\rf]@4:1 [g\t\\\\q\\]@4:5 "
     "row@4:1\n"},
    {"TSV: a row that starts with a lone CR", true, "", "\rx\ty\n\r\n",
     "[\rx]@1:1 [y]@1:4 row@1:1\n"},
};

std::string Read(const Row& row, const std::vector<std::string_view>& pieces) {
  Recorder recorder;
  TableReader reader(row.tsv, row.delimiter, recorder);
  bool ok = true;
  for (const std::string_view piece : pieces) ok = ok && reader.Feed(piece);
  ok = ok && reader.Finish();
  if (!ok) recorder.log += "error@" + Where(reader.ErrorPosition()) + " " + reader.Error();
  return recorder.log;
}

// Each input read whole, then cut in two at every character boundary, then
// one character a piece: the cells, their places and the errors are those
// worked out by hand, wherever the pieces end.
TEST(TableReader, CellsAndPlacesDoNotDependOnThePieces) {
  for (const Row& row : kRows) {
    const std::string_view input = row.input;
    std::vector<size_t> boundaries;
    for (size_t i = 0; i < input.size(); i += static_cast<size_t>(Utf8Sequence(input, i)))
      boundaries.push_back(i);
    boundaries.push_back(input.size());
    EXPECT_EQ(Read(row, {input}), row.log) << row.what;
    for (const size_t cut : boundaries)
      EXPECT_EQ(Read(row, {input.substr(0, cut), input.substr(cut)}), row.log)
          << row.what << ", cut at " << cut;
    std::vector<std::string_view> characters;
    for (size_t k = 0; k + 1 < boundaries.size(); ++k)
      characters.push_back(input.substr(boundaries[k], boundaries[k + 1] - boundaries[k]));
    EXPECT_EQ(Read(row, characters), row.log) << row.what << ", a character a piece";
  }
}

}  // namespace
}  // namespace vexo
