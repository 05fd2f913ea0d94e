#include "CsvReader.h"
#include "OutputBuffer.h"
#include "TempInput.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace tarvelo::batch;

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

// Unquoted fields are scanned eight bytes at a time: fields of every length
// at every offset, with bytes that differ from a delimiter, CR or LF only in
// the high bit or in one low bit, must split where a byte-wise scan would.
TEST(CsvReader, splitsUnquotedFieldsOfEveryLengthAtEveryOffset) {
    const std::string alphabet = std::string("ab09.,;\t-") + "\x8a\x8d\xac\xbb\x89\x0b\x0c\x0e" +
                                 std::string(1, '\0') + "\x7f\xff\x80\x01";
    for (const char delimiter : {',', ';', '\t'}) {
        std::mt19937 random{unsigned(delimiter)};
        std::string text;
        std::vector<Row> expected;
        std::size_t line = 1;
        for (int r = 0; r < 400; ++r) {
            Row row{{}, line, ""};
            const int fields = 1 + int(random() % 6);
            for (int f = 0; f < fields; ++f) {
                std::string field;
                const int length = int(random() % 20);
                while (int(field.size()) < length) {
                    const char c = alphabet[random() % alphabet.size()];
                    if (c != delimiter)
                        field.push_back(c);
                }
                if (f > 0)
                    text.push_back(delimiter);
                text += field;
                row.fields.push_back(field);
            }
            const bool blank = row.fields.size() == 1 && row.fields[0].empty();
            // A blank line ends in CR LF: its LF after a CR would only end the line before.
            const char* const ends[] = {"\n", "\r\n", "\r"};
            text += blank ? "\r\n" : ends[random() % 3];
            ++line;
            if (!blank) // a blank line is skipped
                expected.push_back(row);
        }
        expectRows(text, delimiter, expected);
    }
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
