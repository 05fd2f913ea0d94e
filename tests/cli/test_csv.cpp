#include "CsvReader.h"
#include "OutputBuffer.h"
#include "TempInput.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tarvelo::cli;

namespace {

struct Row {
    std::vector<std::string> fields;
    std::size_t line;
    std::string problem;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Row& row) {
    os << "line " << row.line << ":";
    for (const auto& f : row.fields)
        os << " [" << f << "]";
    return os << (row.problem.empty() ? "" : " problem: ") << row.problem;
}

std::vector<Row> readAll(std::string_view text, char delimiter, std::size_t blockSize) {
    TempFile input(text);
    CsvReader reader(input.fd(), delimiter, blockSize);
    CsvRecord record;
    std::vector<Row> rows;
    while (reader.next(record)) {
        Row row{{}, record.line, std::string(record.problem)};
        for (auto f : record.fields)
            row.fields.emplace_back(f);
        rows.push_back(row);
    }
    return rows;
}

// Every case is read with a large buffer and with one of 16 bytes, which
// splits records, quotes and CR LF pairs across refills.
void expectRows(std::string_view text, char delimiter, const std::vector<Row>& expected) {
    EXPECT_EQ(readAll(text, delimiter, 1 << 20), expected) << "large blocks";
    EXPECT_EQ(readAll(text, delimiter, 16), expected) << "16-byte blocks";
}

TEST(CsvReader, splitsRecordsAtLfCrLfAndCr) {
    expectRows(
        "a,b\nc,d\r\ne,f\rg,h", ',',
        {{{"a", "b"}, 1, ""}, {{"c", "d"}, 2, ""}, {{"e", "f"}, 3, ""}, {{"g", "h"}, 4, ""}});
}

TEST(CsvReader, keepsDelimitersQuotesAndLineEndsInsideQuotes) {
    expectRows("name;CH4\n\"Mix; gestreckt\";87,5\n\"say \"\"x\"\"\";1\n\"two\r\nlines\";2\n"
               "\"\";3\nend;4\n",
               ';',
               {{{"name", "CH4"}, 1, ""},
                {{"Mix; gestreckt", "87,5"}, 2, ""},
                {{"say \"x\"", "1"}, 3, ""},
                {{"two\r\nlines", "2"}, 4, ""},
                {{"", "3"}, 6, ""},
                {{"end", "4"}, 7, ""}});
}

TEST(CsvReader, skipsBlankLinesAndAByteOrderMarkButKeepsEmptyFields) {
    expectRows("\xEF\xBB\xBF"
               "CH4\tH2\n\n\t\n1\t2\n\r\n",
               '\t', {{{"CH4", "H2"}, 1, ""}, {{"", ""}, 3, ""}, {{"1", "2"}, 4, ""}});
}

TEST(CsvReader, reportsBadQuotingOnTheRecordAndGoesOn) {
    expectRows("a,\"b\"x,c\nd,e\n\"never closed,f\n", ',',
               {{{"a", "b", "c"}, 1, "text after a closing quote"},
                {{"d", "e"}, 2, ""},
                {{"never closed,f\n"}, 3, "quote not closed"}});
}

TEST(CsvReader, readsLongRecordsBeyondTheBlockSize) {
    const std::string longName(100, 'x');
    expectRows("\"" + longName + "\",1\nb,2", ',', {{{longName, "1"}, 1, ""}, {{"b", "2"}, 2, ""}});
}

TEST(CsvReader, emptyInputHasNoRecords) {
    expectRows("", ',', {});
}

TEST(OutputBuffer, quotesOnlyFieldsThatNeedItAndFlushesInOrder) {
    TempFile output;
    {
        OutputBuffer out(output.fd(), 256); // small, so that the text needs several writes
        for (int i = 0; i < 20; ++i) {
            out.appendField("plain", ',');
            out.put(',');
            out.appendField("a,b", ',');
            out.put(',');
            out.appendField("say \"x\"", ',');
            out.put(',');
            out.appendField("a;b", ',');
            out.put(',');
            out.appendField("two\nlines", ',');
            out.put('\n');
        }
        out.flush();
    }
    std::string expected;
    for (int i = 0; i < 20; ++i)
        expected += "plain,\"a,b\",\"say \"\"x\"\"\",a;b,\"two\nlines\"\n";
    EXPECT_EQ(output.content(), expected);
}

TEST(OutputBuffer, reportsAFailedWrite) {
    OutputBuffer out(-1);
    out.append("x");
    EXPECT_THROW(out.flush(), OutputError);
}

} // namespace
