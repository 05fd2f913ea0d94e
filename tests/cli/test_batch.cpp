#include "Batch.h"
#include "Commands.h"
#include "TempInput.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <sys/stat.h>

using namespace tarvelo::cli;
namespace fs = std::filesystem;

namespace {

// Results that can be told apart by eye: lambda is the CH4 percentage / 10,
// rho the CH4 percentage * 10, hu the H2 percentage.
class FakeCalculator : public Calculator {
public:
    Results calculate(const Composition& percent) override {
        ++calculations;
        if (percent[0] >= 1e30f)
            return {std::numeric_limits<float>::infinity(), 0, 0};
        return {percent[0] / 10.0f, percent[0] * 10.0f, percent[10]};
    }
    int saveReport(std::string_view gasName, const std::string& path, Language language) override {
        reports.push_back({std::string(gasName), path, language});
        return reportError;
    }
    // The same results, as a calculation worker threads may share.
    StatelessCalculation stateless() override {
        if (!offerStateless)
            return nullptr;
        return [](const Composition& percent) noexcept -> Results {
            return {percent[0] / 10.0f, percent[0] * 10.0f, percent[10]};
        };
    }
    bool offerStateless = false;
    struct Report {
        std::string name, path;
        Language language;
    };
    int calculations = 0;
    int reportError = 0;
    std::vector<Report> reports;
};

struct BatchOutcome {
    BatchSummary summary;
    std::string output;
    std::string messages;
};

BatchOutcome process(std::string_view input, BatchRequest request, FakeCalculator& calculator) {
    TempFile in(input), out;
    std::ostringstream messages;
    BatchRun run(request, calculator, messages);
    OutputBuffer buffer(out.fd());
    BatchOutcome result;
    result.summary = run.process(in.fd(), "in.csv", buffer);
    buffer.flush();
    result.output = out.content();
    result.messages = messages.str();
    return result;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        result.push_back(line);
    return result;
}

std::size_t fieldCount(const std::string& line, char delimiter) {
    std::size_t count = 1;
    bool quoted = false;
    for (char c : line) {
        if (c == '"')
            quoted = !quoted;
        else if (c == delimiter && !quoted)
            ++count;
    }
    return count;
}

const char* const kHeader =
    "name,lambda,rho,hu,lambda_exact,rho_exact,hu_exact,sum,d,wobbe,flag,reason";

TEST(BatchRun, writesOneLineOfTwelveFieldsPerRowWhateverHappened) {
    FakeCalculator calculator;
    const BatchOutcome run = process("name,CH4,H2\n"
                                     "good,90,10\n"
                                     "text,x,10\n"
                                     "negative,-1,10\n"
                                     "short,1\n"
                                     "\"bad\"quote,1,2\n"
                                     "half,50,0\n",
                                     BatchRequest{}, calculator);
    const auto out = lines(run.output);
    ASSERT_EQ(out.size(), 7u);
    EXPECT_EQ(out[0], kHeader);
    EXPECT_EQ(out[1], "good,9,900,10,9,900,10,100,0.6961,11.99,,");
    EXPECT_EQ(out[2], "text,,,,,,,,,,,column CH4: not a number 'x'");
    EXPECT_EQ(out[3], "negative,,,,,,,,,,,column CH4: negative value '-1'");
    EXPECT_EQ(out[4], "short,,,,,,,,,,,\"wrong column count: 2 fields, header has 3\"");
    EXPECT_EQ(out[5], "bad,,,,,,,,,,,column name: text after a closing quote");
    EXPECT_EQ(out[6], "half,5,500,0,5,500,0,50,0.3867,0,sum-not-100,");
    for (const auto& line : out)
        EXPECT_EQ(fieldCount(line, ','), 12u) << line;
    EXPECT_EQ(calculator.calculations, 2); // failed rows never reach the kernel
    EXPECT_EQ(run.summary.rows, 6u);
    EXPECT_EQ(run.summary.failed, 4u);
    EXPECT_EQ(run.summary.flagged, 1u);
    EXPECT_EQ(run.messages, "in.csv:3: column CH4: not a number 'x'\n"
                            "in.csv:4: column CH4: negative value '-1'\n"
                            "in.csv:5: wrong column count: 2 fields, header has 3\n"
                            "in.csv:6: column name: text after a closing quote\n");
}

TEST(BatchRun, sumsMissingColumnsAsZeroAndFlagsOnlyOutsideOneOf100) {
    FakeCalculator calculator;
    const BatchOutcome run = process("H2\n99.5\n100.9\n99\n101\n", BatchRequest{}, calculator);
    const auto out = lines(run.output);
    ASSERT_EQ(out.size(), 5u);
    EXPECT_EQ(out[0].substr(0, 4), "row,");
    EXPECT_EQ(out[1].substr(0, 2), "1,");
    EXPECT_EQ(out[1].substr(out[1].size() - 2), ",,");
    EXPECT_EQ(out[2].substr(out[2].size() - 2), ",,");
    EXPECT_NE(out[3].find(",sum-not-100,"), std::string::npos) << out[3];
    EXPECT_NE(out[4].find(",sum-not-100,"), std::string::npos) << out[4];
    EXPECT_EQ(run.summary.failed, 0u);
}

TEST(BatchRun, decimalCommaGoesInAndOutAndIsQuotedWhenItIsTheDelimiter) {
    FakeCalculator calculator;
    BatchRequest request;
    request.decimalMark = ',';
    request.delimiter = ';';
    BatchOutcome run = process("CH4;name\n12,5;a\n", request, calculator);
    EXPECT_EQ(lines(run.output)[1], "a;1,25;125;0;1,25;125;0;12,5;0,0967;0;sum-not-100;");
    request.delimiter = ',';
    run = process("CH4,name\n\"12,5\",a\n", request, calculator);
    EXPECT_EQ(lines(run.output)[1],
              "a,\"1,25\",\"125\",\"0\",\"1,25\",\"125\",\"0\",\"12,5\",\"0,0967\",\"0\","
              "sum-not-100,");
    EXPECT_EQ(fieldCount(lines(run.output)[1], ','), 12u);
}

TEST(BatchRun, resultsBeyondSinglePrecisionFailTheRowInsteadOfYieldingANumber) {
    FakeCalculator calculator;
    const BatchOutcome run = process("name,CH4\nhuge,1e38\n", BatchRequest{}, calculator);
    EXPECT_EQ(lines(run.output)[1], "huge,,,,,,,,,,,result beyond single precision");
    EXPECT_EQ(run.summary.failed, 1u);
}

TEST(BatchRun, writesOneReportPerComputedRowAndCountsAFailedOneAsAFailedRow) {
    FakeCalculator calculator;
    BatchRequest request;
    request.reportsDir = "/reports";
    request.language = Language::German;
    BatchOutcome run =
        process("name,CH4\ngas,100\ngas,100\nbad,x\nN\xC3\xBC,100\n", request, calculator);
    ASSERT_EQ(calculator.reports.size(), 3u);
    EXPECT_EQ(calculator.reports[0].path, "/reports/gas.htm");
    EXPECT_EQ(calculator.reports[1].path, "/reports/gas-2.htm");
    // UTF-8 on Windows too: the calculator hands the kernel its ANSI code page.
    EXPECT_EQ(calculator.reports[2].path, "/reports/N\xC3\xBC.htm");
    EXPECT_EQ(calculator.reports[2].name, "N\xC3\xBC");
    EXPECT_EQ(calculator.reports[0].language, Language::German);
    EXPECT_EQ(run.summary.failed, 1u);

    calculator.reportError = ENOSPC;
    run = process("name,CH4\ngas,100\n", request, calculator);
    EXPECT_EQ(lines(run.output)[1],
              "gas,10,1000,0,10,1000,0,100,0.7734,0,,report not written: No space left on device");
    EXPECT_EQ(run.messages,
              "in.csv:2: report '/reports/gas.htm' not written: No space left on device\n");
    EXPECT_EQ(run.summary.failed, 1u);
}

TEST(BatchRun, refusesAHeaderItCannotMapAndWritesNothing) {
    const std::pair<const char*, const char*> cases[] = {
        {"name,CH4,Methan\n", "in.csv:1: unknown column 'Methan'"},
        {"name,CH4,,H2\n", "in.csv:1: column 3 has no name in the header"},
        {"CH4,h2,ch4\n", "in.csv:1: column CH4 appears twice"},
        {"Name,CH4,name\n", "in.csv:1: column name appears twice"},
        {"", "in.csv: no header row (the input is empty)"},
    };
    for (const auto& [input, message] : cases) {
        FakeCalculator calculator;
        TempFile in(input), out;
        std::ostringstream messages;
        BatchRun run(BatchRequest{}, calculator, messages);
        OutputBuffer buffer(out.fd());
        try {
            run.process(in.fd(), "in.csv", buffer);
            ADD_FAILURE() << "accepted: " << input;
        } catch (const BatchError& e) {
            EXPECT_EQ(std::string(e.what()).substr(0, std::string(message).size()), message);
        }
        buffer.flush();
        EXPECT_EQ(out.content(), "");
    }
}

TEST(BatchRun, reportsProgressAndOnceAtTheEnd) {
    FakeCalculator calculator;
    std::string input = "CH4\n";
    for (int i = 0; i < 70000; ++i)
        input += "100\n";
    TempFile in(input), out;
    std::ostringstream messages;
    BatchRequest request;
    BatchRun run(request, calculator, messages);
    std::vector<std::pair<std::size_t, bool>> calls;
    run.progress = [&](std::size_t rows, bool finished) { calls.emplace_back(rows, finished); };
    OutputBuffer buffer(out.fd());
    run.process(in.fd(), "in.csv", buffer);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], std::make_pair(std::size_t(65536), false));
    EXPECT_EQ(calls[1], std::make_pair(std::size_t(70000), true));
}

// Whatever the chunk size and the number of threads, a run writes what one
// run over a single chunk writes: rows in input order, the line numbers of
// failed rows, row numbers and report names carried across chunk ends, a
// record cut by a chunk end (a quoted line break, CR LF, a record longer than
// the chunk), a bad row in the last chunk.
TEST(BatchRun, writesTheSameForEveryChunkSizeAndNumberOfThreads) {
    std::string many = "name,CH4,H2\n";
    for (int i = 1; i <= 300; ++i)
        many += "gas" + std::to_string(i % 7) + "," + std::to_string(i % 101) + ".5,1\n";
    std::string numbered = "CH4\n";
    for (int i = 1; i <= 200; ++i)
        numbered += (i % 50 == 0 ? "x" : std::to_string(i)) + (i % 3 ? "\n" : "\r\n\n");
    const struct {
        const char* what;
        std::string input;
        bool reports;
    } cases[] = {
        {"many rows, bad one last", many + "last,x,1\n", false},
        {"quoted line breaks", "name,CH4\n\"a\nb\",1\n\"c,\"\"d\"\"\r\ne\",2\nf,\"3\n", false},
        {"row numbers and blank lines", numbered, false},
        {"report names", many, true},
        {"row-N reports", numbered, true},
        {"one record longer than a chunk",
         "name,CH4\na,1\n\"" + std::string(500, 'L') + "\",2\nb,y\nc,3", false},
        {"CR line ends, text after quotes", "H2,name\r1,\"x\"y\r2,\"z\r\r3,w", false},
    };
    for (const auto& c : cases) {
        BatchRequest request;
        if (c.reports)
            request.reportsDir = "/r";
        auto run = [&](unsigned jobs, std::size_t chunkBytes, bool stateless) {
            FakeCalculator calculator;
            calculator.offerStateless = stateless;
            request.jobs = jobs;
            TempFile in(c.input), out;
            std::ostringstream messages;
            BatchRun batch(request, calculator, messages);
            batch.chunkBytes = chunkBytes;
            OutputBuffer buffer(out.fd());
            const BatchSummary summary = batch.process(in.fd(), "in.csv", buffer);
            buffer.flush();
            std::string reports;
            for (const auto& report : calculator.reports)
                reports += report.path + "|" + report.name + "\n";
            return out.content() + "\n" + messages.str() + "\n" + reports +
                   std::to_string(summary.rows) + "/" + std::to_string(summary.failed) + "/" +
                   std::to_string(summary.flagged);
        };
        const std::string single = run(1, kChunkBytes, false);
        for (const std::size_t chunkBytes : {16, 40, 333})
            for (const unsigned jobs : {1u, 2u, 3u})
                EXPECT_EQ(run(jobs, chunkBytes, jobs == 2), single)
                    << c.what << ", chunks of " << chunkBytes << ", " << jobs << " threads";
    }
}

// Rows of plain fields are read without first being split into fields; a
// quoted name sends a row the general way. Both must agree on every text.
TEST(BatchRun, readsAPlainRowAsTheGeneralReaderReadsIt) {
    const char* const texts[] = {"0",
                                 "87.5",
                                 "007",
                                 "",
                                 "1.",
                                 ".5",
                                 " 5",
                                 "5 ",
                                 "-0",
                                 "+1",
                                 "1e2",
                                 "x",
                                 "1.2.3",
                                 "0.0000000000000000001",
                                 "1234567890123456789",
                                 "12345678901234567890",
                                 "9007199254740992",
                                 "9007199254740993",
                                 "18446744073709551617",
                                 "100.00000001",
                                 "3,5",
                                 "3;5",
                                 "a\"b"};
    for (const char* text : texts)
        for (const std::string_view lineEnd : {"\n", "\r\n", "\r", ""})
            for (const char delimiter : {',', ';'}) {
                const char mark = delimiter == ';' ? ',' : '.';
                const std::string d(1, delimiter);
                const std::string row = d + text + d + "1" + std::string(lineEnd);
                BatchRequest request;
                request.delimiter = delimiter;
                request.decimalMark = mark;
                FakeCalculator calculator;
                // The plain row last, so that its line end is also the input's end.
                const BatchOutcome outcome = process("name" + d + "CH4" + d + "H2\n\"a\"" + row +
                                                         (lineEnd.empty() ? "\n" : "") + "a" + row,
                                                     request, calculator);
                const auto out = lines(outcome.output);
                ASSERT_EQ(out.size(), 3u) << text;
                EXPECT_EQ(out[1], out[2]) << "'" << text << "', delimiter " << delimiter;
                auto messages = lines(outcome.messages);
                for (auto& message : messages)
                    message = message.substr(message.find(": "));
                EXPECT_TRUE(messages.empty() ||
                            (messages.size() == 2 && messages[0] == messages[1]))
                    << "'" << text << "': " << outcome.messages;
            }
}

class RunBatchFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("tarvelo-cli-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    void write(const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::size_t entries() {
        return std::size_t(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    }
    fs::path dir;
};

TEST_F(RunBatchFiles, leavesAnExistingOutputAloneWhenTheRunCannotGoOn) {
    write(dir / "in.csv", "name,CH5\na,1\n");
    write(dir / "out.csv", "previous results\n");
    BatchRequest request;
    request.input = (dir / "in.csv").string();
    request.output = (dir / "out.csv").string();
    FakeCalculator calculator;
    std::ostringstream messages;
    EXPECT_EQ(runBatch(request, calculator, messages), kExitError);
    EXPECT_EQ(read(dir / "out.csv"), "previous results\n");
    EXPECT_EQ(entries(), 2u) << "a temporary file was left behind";
}

TEST_F(RunBatchFiles, replacesTheOutputKeepingItsPermissionsAndSaysRowsFailed) {
    write(dir / "in.csv", "name,CH4\na,100\nb,x\n");
    write(dir / "out.csv", "previous results\n");
#if !defined(_WIN32) // Windows files have no permission bits
    ::chmod((dir / "out.csv").c_str(), 0640);
#endif
    BatchRequest request;
    request.input = (dir / "in.csv").string();
    request.output = (dir / "out.csv").string();
    FakeCalculator calculator;
    std::ostringstream messages;
    EXPECT_EQ(runBatch(request, calculator, messages), kExitRowsFailed);
    const auto out = lines(read(dir / "out.csv"));
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[1].substr(0, 2), "a,");
#if !defined(_WIN32)
    struct stat status;
    ASSERT_EQ(::stat((dir / "out.csv").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
#endif
    EXPECT_EQ(entries(), 2u);
    EXPECT_NE(messages.str().find("tarvelo batch: 1 of 2 rows failed\n"), std::string::npos);
}

TEST_F(RunBatchFiles, createsTheReportDirectoryAndRefusesAFileInItsPlace) {
    write(dir / "in.csv", "CH4\n100\n");
    BatchRequest request;
    request.input = (dir / "in.csv").string();
    request.output = (dir / "out.csv").string();
    request.reportsDir = (dir / "a" / "b").string();
    FakeCalculator calculator;
    std::ostringstream messages;
    EXPECT_EQ(runBatch(request, calculator, messages), kExitOk) << messages.str();
    EXPECT_TRUE(fs::is_directory(dir / "a" / "b"));
    ASSERT_EQ(calculator.reports.size(), 1u);
    // Compared as paths: on Windows "/" and "\\" both separate.
    EXPECT_EQ(fs::path(calculator.reports[0].path), dir / "a" / "b" / "row-1.htm");

    write(dir / "plain", "x");
    request.reportsDir = (dir / "plain").string();
    EXPECT_EQ(runBatch(request, calculator, messages), kExitError);
}

TEST(Calc, printsLabelsUnitsAndTheWindowsDecimalMark) {
    FakeCalculator calculator;
    CalcRequest request;
    request.language = Language::German;
    request.exact = true;
    request.percent[0] = 99.5f;
    request.percent[10] = 0.5f;
    std::ostringstream out, err;
    EXPECT_EQ(runCalc(request, calculator, out, err), 0);
    EXPECT_EQ(out.str(), "Luftverhältnis [l Luft / l Brennstoff]  9,95  (9,94999981)\n"
                         "Dichte [g/Nm³]                          995   (995)\n"
                         "Heizwert [kWh/Nm³]                      0,5   (0,5)\n"
                         "relative Dichte d                       0,7695\n"
                         "unterer Wobbe-Index Wl [kWh/Nm³]        0,57\n");
    EXPECT_EQ(err.str(), "");
}

TEST(Calc, saysWobbeIsUndefinedWithoutDensity) {
    FakeCalculator calculator;
    CalcRequest request;
    request.percent[10] = 100.0f;
    std::ostringstream out, err;
    EXPECT_EQ(runCalc(request, calculator, out, err), 0);
    EXPECT_NE(out.str().find("lower Wobbe index Wl [kWh/Nm³]   undefined (d = 0)\n"),
              std::string::npos)
        << out.str();
}

TEST(Report, namesTheFileAndTheSystemErrorWhenItCannotBeWritten) {
    FakeCalculator calculator;
    calculator.reportError = EACCES;
    ReportRequest request;
    request.outFile = "/x/r.htm";
    std::ostringstream err;
    EXPECT_EQ(runReport(request, calculator, err), kExitError);
    EXPECT_EQ(err.str(), "tarvelo report: cannot write '/x/r.htm': Permission denied\n");
}

// On a terminal a message clears the progress line first instead of being
// glued to its end; a finished progress line ends with its newline.
TEST(ProgressLine, isClearedBeforeAMessage) {
    std::ostringstream terminal;
    ProgressAwareBuffer buffer(*terminal.rdbuf());
    std::ostream messages(&buffer);
    messages << "a:1: first\n";
    buffer.progress("10 rows", false);
    buffer.progress("20 rows", false);
    messages << "a:2: second\n";
    buffer.progress("30 rows", true);
    messages << "done\n";
    EXPECT_EQ(terminal.str(),
              "a:1: first\n\r10 rows\r20 rows\r\033[Ka:2: second\n\r30 rows\ndone\n");
}

} // namespace
