#include "Arguments.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tarvelo::cli;

namespace {

ParseResult parse(std::vector<std::string_view> args) {
    return parseArguments(args);
}

TEST(Arguments, calcReadsLanguageExactAndComposition) {
    const ParseResult r = parse({"calc", "--lang=de", "--exact", "ch4=90", "C2H6=5.5", "n2=4.5"});
    ASSERT_TRUE(r.request) << r.error;
    const auto& calc = std::get<CalcRequest>(*r.request);
    EXPECT_EQ(calc.language, Language::German);
    EXPECT_TRUE(calc.exact);
    EXPECT_EQ(calc.percent[0], 90.0f);
    EXPECT_EQ(calc.percent[1], 5.5f);
    EXPECT_EQ(calc.percent[13], 4.5f);
    EXPECT_EQ(calc.percent[2], 0.0f);
}

TEST(Arguments, calcDefaultsToEnglish) {
    const ParseResult r = parse({"calc", "CH4=100"});
    ASSERT_TRUE(r.request);
    EXPECT_EQ(std::get<CalcRequest>(*r.request).language, Language::English);
    EXPECT_FALSE(std::get<CalcRequest>(*r.request).exact);
}

struct BadCase {
    std::vector<std::string_view> args;
    const char* message;
};

class BadCommandLine : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadCommandLine, isRefusedWithOneLineNamingTheCulprit) {
    const ParseResult r = parseArguments(GetParam().args);
    EXPECT_FALSE(r.request);
    EXPECT_EQ(r.error, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadCommandLine,
    ::testing::Values(
        BadCase{{}, "tarvelo: no command given (see tarvelo --help)"},
        BadCase{{"calculate"}, "tarvelo: unknown command 'calculate' (see tarvelo --help)"},
        BadCase{{"--lang"}, "tarvelo: unknown option '--lang' (see tarvelo --help)"},
        BadCase{{"calc"}, "tarvelo calc: no COMPONENT=PERCENT given (see tarvelo calc --help)"},
        BadCase{{"calc", "CH5=1"},
                "tarvelo calc: unknown component 'CH5' in 'CH5=1' (did you mean 'CH4'?)"},
        BadCase{{"calc", "CH4=abc"}, "tarvelo calc: CH4: not a number: 'abc'"},
        BadCase{{"calc", "CH4="}, "tarvelo calc: CH4: no value in 'CH4='"},
        BadCase{{"calc", "CH4=-2"}, "tarvelo calc: CH4: negative value: '-2'"},
        BadCase{{"calc", "CO=1", "co=2"}, "tarvelo calc: CO given twice"},
        BadCase{{"calc", "CH4"}, "tarvelo calc: 'CH4' is not COMPONENT=PERCENT (no '=')"},
        BadCase{{"calc", "--exact=yes", "CH4=1"}, "tarvelo calc: option --exact takes no value"},
        BadCase{{"calc", "CH4=1", "--bogus=1"}, "tarvelo calc: unknown option '--bogus'"},
        BadCase{{"calc", "--exact", "--exact", "CH4=1"},
                "tarvelo calc: option --exact given twice"},
        BadCase{{"batch", "-o", "a", "--output=b", "x"}, "tarvelo batch: option --out given twice"},
        BadCase{{"report", "--out=", "CH4=1"}, "tarvelo report: option --out needs a value"},
        BadCase{{"batch", "a\nb", "c"}, "tarvelo batch: more than one input file: 'a?b' and 'c'"},
        BadCase{{"help", "bogus"}, "tarvelo help: unknown command 'bogus' (see tarvelo --help)"},
        BadCase{{"calc", "--lang"}, "tarvelo calc: option --lang needs a value (de or en)"},
        BadCase{{"calc", "--lang", "fr", "CH4=1"},
                "tarvelo calc: unknown language 'fr' (use de or en)"},
        BadCase{{"report", "CH4=1"},
                "tarvelo report: --out FILE is required (see tarvelo report --help)"},
        BadCase{{"report", "--out"}, "tarvelo report: option --out needs a value"},
        BadCase{{"report", "--out", "x.htm", "--name"},
                "tarvelo report: option --name needs a value"},
        BadCase{{"report", "--out", "x.htm", "H2=1", "X=2"},
                "tarvelo report: unknown component 'X' in 'X=2'"},
        BadCase{{"batch"}, "tarvelo batch: no input file given (use - for standard input)"},
        BadCase{{"batch", "a.csv", "b.csv"},
                "tarvelo batch: more than one input file: 'a.csv' and 'b.csv'"},
        BadCase{{"batch", "--delimiter", "|", "a.csv"},
                "tarvelo batch: unknown delimiter '|' (use , ; or tab)"},
        BadCase{{"batch", "--decimal", ";", "a.csv"},
                "tarvelo batch: unknown decimal mark ';' (use . or ,)"},
        BadCase{{"batch", "a.csv", "-o"}, "tarvelo batch: option --out needs a value"},
        BadCase{{"batch", "--jobs", "0", "a.csv"},
                "tarvelo batch: option --jobs needs a number of threads from 1 to 256, not '0'"},
        BadCase{{"batch", "-j", "2x", "a.csv"},
                "tarvelo batch: option --jobs needs a number of threads from 1 to 256, not '2x'"}));

TEST(Arguments, reportTakesNameLanguageAndFile) {
    const ParseResult r =
        parse({"report", "--name", "Erdgas H", "--lang", "DE", "--out=r.htm", "CH4=100"});
    ASSERT_TRUE(r.request) << r.error;
    const auto& report = std::get<ReportRequest>(*r.request);
    EXPECT_EQ(report.gasName, "Erdgas H");
    EXPECT_EQ(report.language, Language::German);
    EXPECT_EQ(report.outFile, "r.htm");
    EXPECT_EQ(report.percent[0], 100.0f);
}

TEST(Arguments, batchReadsItsOptionsAndStandardInput) {
    const ParseResult r = parse({"batch", "--delimiter", "tab", "--reports", "out/rep", "-",
                                 "--output", "res.csv", "--lang", "de", "-j3"});
    ASSERT_TRUE(r.request) << r.error;
    const auto& batch = std::get<BatchRequest>(*r.request);
    EXPECT_EQ(batch.input, "-");
    EXPECT_EQ(batch.output, "res.csv");
    EXPECT_EQ(batch.reportsDir, "out/rep");
    EXPECT_EQ(batch.delimiter, '\t');
    EXPECT_EQ(batch.decimalMark, '.');
    EXPECT_EQ(batch.language, Language::German);
    EXPECT_EQ(batch.jobs, 3u);
}

TEST(Arguments, decimalCommaAloneMeansSemicolonSeparated) {
    auto r = parse({"batch", "--decimal", ",", "in.csv"});
    ASSERT_TRUE(r.request);
    EXPECT_EQ(std::get<BatchRequest>(*r.request).delimiter, ';');
    r = parse({"batch", "--decimal", ",", "--delimiter", ",", "in.csv"});
    ASSERT_TRUE(r.request);
    EXPECT_EQ(std::get<BatchRequest>(*r.request).delimiter, ',');
}

TEST(Arguments, helpIsFoundForEachCommandEvenAmongBadArguments) {
    struct Case {
        std::vector<std::string_view> args;
        HelpTopic topic;
    };
    const Case cases[] = {{{"--help"}, HelpTopic::General},
                          {{"-h"}, HelpTopic::General},
                          {{"help", "batch"}, HelpTopic::Batch},
                          {{"calc", "--help"}, HelpTopic::Calc},
                          {{"report", "X=1", "--help"}, HelpTopic::Report},
                          {{"help", "iso6976"}, HelpTopic::Iso6976},
                          {{"calc", "--help", "--bogus"}, HelpTopic::Calc},
                          {{"batch", "-h"}, HelpTopic::Batch}};
    for (const Case& c : cases) {
        const ParseResult r = parseArguments(c.args);
        ASSERT_TRUE(r.request) << r.error;
        EXPECT_EQ(std::get<HelpRequest>(*r.request).topic, c.topic);
    }
    EXPECT_TRUE(std::holds_alternative<VersionRequest>(*parse({"--version"}).request));
}

TEST(Arguments, doubleDashEndsTheOptions) {
    const ParseResult r = parse({"batch", "--", "-weird.csv"});
    ASSERT_TRUE(r.request) << r.error;
    EXPECT_EQ(std::get<BatchRequest>(*r.request).input, "-weird.csv");
}

} // namespace
