// Tests of the kernel modules, linked directly so that the kernel state and
// the report's time stamp can be set.
#include "KernelTestSupport.h"

#include "gasdata.h"
#include "kernel.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <clocale>
#include <cmath>
#include <csignal>
#include <cstring>
#include <limits>
#include <sys/stat.h>
#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

using namespace tarvelo;
using kerneltest::readFile;
using kerneltest::reportLines;
using kerneltest::ScratchDir;
using kerneltest::writeFile;

namespace {

std::tm reportTime() { // 24 August 2006, 14:11
    std::tm t{};
    t.tm_year = 2006 - 1900;
    t.tm_mon = 7;
    t.tm_mday = 24;
    t.tm_hour = 14;
    t.tm_min = 11;
    return t;
}

// The state of the worked report example.
void setTestGasState() {
    kernel_state = KernelState{};
    kernel_state.fraction[0] = 0.85f;
    kernel_state.fraction[1] = 0.10f;
    kernel_state.fraction[13] = 0.05f;
    kernel_state.lambda = 8.9f;
    kernel_state.rho = 812.345f;
    kernel_state.hu = 9.75f;
}

int save(const std::string& name, const std::string& path, std::int32_t language = 2) {
    return save2file(name.data(), path.data(), &language, static_cast<std::int32_t>(name.size()),
                     static_cast<std::int32_t>(path.size()), reportTime());
}

// Line n (counting from 1) of the report written with `name`.
std::vector<std::string> linesFor(const std::string& name, std::int32_t language = 2) {
    ScratchDir dir;
    EXPECT_EQ(save(name, dir.file("r.html"), language), 0);
    return reportLines(readFile(dir.file("r.html")));
}

std::string withIndent(const std::string& goldenLine, const std::string& text) {
    return goldenLine.substr(0, goldenLine.find_first_not_of(' ')) + text;
}

} // namespace

TEST(KernelGasData, tableIsZeroUntilInitAndStableAfterRepeatedInit) {
    for (const auto& c : component_table) {
        EXPECT_EQ(c.molar_mass, 0.0f);
        EXPECT_EQ(c.density, 0.0f);
        EXPECT_EQ(c.calorific_value, 0.0f);
        EXPECT_EQ(c.air_requirement, 0.0f);
    }
    gasdata_init();
    EXPECT_EQ(component_table[8].molar_mass, 26.038f); // acetylene before ethene
    EXPECT_EQ(component_table[9].molar_mass, 28.054f);
    EXPECT_EQ(component_table[10].calorific_value, 2.99499989f); // H2, just below 2.995
    EXPECT_EQ(component_table[14].air_requirement, 0.0f);        // O2
    ComponentProperties first[kComponentCount];
    std::memcpy(first, component_table, sizeof first);
    gasdata_init();
    EXPECT_EQ(std::memcmp(first, component_table, sizeof first), 0);
}

TEST(KernelGasData, componentNamesArePaddedToTwelveCharacters) {
    const char* trimmed[kComponentCount] = {
        "CH4",  "C2H6", "C3H8", "ISO-C4H10", "Normal-C4H10", "C5H12", "C6H14", "C7H16",
        "C2H2", "C2H4", "H2",   "CO",        "CO2",          "N2",    "O2",    "H20"};
    for (int k = 0; k < kComponentCount; ++k) {
        EXPECT_EQ(std::strlen(component_name[k]), 12u) << k;
        EXPECT_EQ(trimmed_text(component_name[k], 12), trimmed[k]);
    }
}

struct FieldCase {
    double value;
    int width, decimals;
    const char* expected;
};

TEST(KernelFixedField, roundsTiesToEvenDropsSignOfZeroAndOverflowsToAsterisks) {
    const double inf = std::numeric_limits<double>::infinity();
    const FieldCase cases[] = {
        {0.125, 6, 2, "  0.12"},
        {0.375, 6, 2, "  0.38"},
        {-0.125, 6, 2, " -0.12"},
        {0.0625, 10, 3, "     0.062"},
        {1234567.125, 10, 2, "1234567.12"},
        {100.0, 6, 2, "100.00"},
        {0.5, 6, 2, "  0.50"},
        {-5.0, 6, 2, " -5.00"},
        {-0.001, 6, 2, "  0.00"},
        {-0.0, 6, 2, "  0.00"},
        {999.994, 6, 2, "999.99"},
        {999.996, 6, 2, "******"},
        {1000.0, 6, 2, "******"},
        {-100.0, 6, 2, "******"},
        {12345678.0, 10, 2, "**********"},
        {3.4e38, 10, 2, "**********"},
        {std::nan(""), 10, 2, "**********"},
        {inf, 6, 2, "******"},
        {-inf, 10, 3, "**********"},
        {static_cast<double>(812.345f), 10, 3, "   812.345"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fixed_field(c.value, c.width, c.decimals), c.expected) << c.value;
}

// The desktop program switches to the user's locale; a German decimal comma
// must not reach the report.
TEST(KernelFixedField, ignoresTheCLocale) {
#if defined(_WIN32)
    if (!std::setlocale(LC_ALL, "German_Germany.1252"))
        GTEST_SKIP() << "German locale not usable";
#else
    ScratchDir dir;
    const std::string command =
        "localedef -i de_DE -f UTF-8 " + dir.file("de_DE.UTF-8") + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        GTEST_SKIP() << "cannot build a German locale here";
    setenv("LOCPATH", dir.path().c_str(), 1);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "German locale not usable";
#endif
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    EXPECT_EQ(fixed_field(85.0, 6, 2), " 85.00");
    setTestGasState();
    const auto lines = reportLines(report_text("Test gas", 2, reportTime()));
    EXPECT_EQ(lines.at(54 - 1), std::string(106, ' ') + " 85.00");
    EXPECT_EQ(lines.at(290 - 1), std::string(12, ' ') + "Created on 2006.08.24 at 14:11<br>");
    std::setlocale(LC_ALL, "C");
}

TEST(KernelReport, englishReportMatchesGoldenFileByteForByte) {
    setTestGasState();
    ScratchDir dir;
    ASSERT_EQ(save("Test gas", dir.file("report.html")), 0);
    EXPECT_EQ(readFile(dir.file("report.html")), kerneltest::goldenReport());
}

TEST(KernelReport, germanReportDiffersOnlyInItsElevenLanguageLines) {
    setTestGasState();
    auto expected = reportLines(kerneltest::goldenReport());
    const std::pair<int, std::string> german[] = {
        {5, "Tarvelo V1R1 - Ausgabe von: Test gas"},
        {21, "Eingabedaten:"},
        {43, "Volumsprozent (% vol.)"},
        {213, "Berechnete Werte:"},
        {230, "Luftverh\xE4ltnis"},
        {242, "[l Luft / l Brennstoff]"},
        {249, "Dichte"},
        {268, "Heizwert"},
        {290, "Erstellt am 2006.08.24 um 14:11<br>"},
        {291, "mit Tarvelo V1R1 - <br>"},
        {292, "&copy; 2026 Marsk - Alle Rechte vorbehalten."},
    };
    for (const auto& [line, text] : german)
        expected[line - 1] = withIndent(expected[line - 1], text);
    EXPECT_EQ(linesFor("Test gas", 1), expected);

    // The a-umlaut is the one byte E4, and it is the only byte above 127.
    const std::string bytes = report_text("Test gas", 1, reportTime());
    EXPECT_EQ(std::count_if(bytes.begin(), bytes.end(),
                            [](char c) { return static_cast<unsigned char>(c) > 127; }),
              1);
    EXPECT_NE(bytes.find("Luftverh\xE4ltnis"), std::string::npos);
}

TEST(KernelReport, otherLanguageCodesLeaveOutExactlyTheLanguageLines) {
    setTestGasState();
    auto expected = reportLines(kerneltest::goldenReport());
    for (int line : {292, 291, 290, 268, 249, 242, 230, 213, 43, 21, 5})
        expected.erase(expected.begin() + (line - 1));
    ASSERT_EQ(expected.size(), 284u);
    for (std::int32_t code : {0, 3, -1})
        EXPECT_EQ(linesFor("Test gas", code), expected) << code;
}

TEST(KernelReport, gasNameIsTrimmedCutAndEscapedInTitleAndHeading) {
    setTestGasState();
    struct Case {
        std::string text;
        std::int32_t length;
        std::string written;
    };
    const Case cases[] = {
        {"", 0, ""},
        {"    ", 4, ""},
        {"  lead", 6, "  lead"},
        {"trail   ", 8, "trail"},
        {"Test gasXYZ", 8, "Test gas"},
        {"Test gas", -5, ""},
        {"tab\t ", 5, "tab\t"},
        {"a<b&c>d \"q\"", 11, "a&lt;b&amp;c&gt;d \"q\""},
        {"<script>", 8, "&lt;script&gt;"},
        {std::string(5000, 'G'), 5000, std::string(5000, 'G')},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        const std::string path = dir.file("r.html");
        const std::int32_t language = 2;
        ASSERT_EQ(save2file(c.text.data(), path.data(), &language, c.length,
                            static_cast<std::int32_t>(path.size()), reportTime()),
                  0);
        const auto lines = reportLines(readFile(path));
        ASSERT_EQ(lines.size(), 295u);
        EXPECT_EQ(lines[4], std::string(12, ' ') + "Tarvelo V1R1 - Output from: " + c.written)
            << c.text;
        EXPECT_EQ(lines[14], std::string(20, ' ') + c.written) << c.text;
    }
}

TEST(KernelReport, textsAreNotReadBeyondTheirLength) {
    // Each text ends right before an inaccessible page: reading one byte too
    // many would crash the test.
#if defined(_WIN32)
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    const long page = static_cast<long>(system.dwPageSize);
    char* area = static_cast<char*>(VirtualAlloc(nullptr, static_cast<std::size_t>(2 * page),
                                                 MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(area, nullptr);
    DWORD previous = 0;
    ASSERT_TRUE(
        VirtualProtect(area + page, static_cast<std::size_t>(page), PAGE_NOACCESS, &previous));
#else
    const long page = sysconf(_SC_PAGESIZE);
    char* area =
        static_cast<char*>(mmap(nullptr, static_cast<std::size_t>(2 * page), PROT_READ | PROT_WRITE,
                                MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(area, MAP_FAILED);
    ASSERT_EQ(mprotect(area + page, static_cast<std::size_t>(page), PROT_NONE), 0);
#endif
    ScratchDir dir;
    const std::string path = dir.file("edge.html");
    char* pathText = area + page - static_cast<long>(path.size());
    std::memcpy(pathText, path.data(), path.size());
    const std::string name = "Edge gas";
    char* nameText = pathText - 64 - static_cast<long>(name.size());
    std::memcpy(nameText, name.data(), name.size());
    std::memset(nameText + name.size(), ' ', 64); // trailing blanks up to the path

    setTestGasState();
    const std::int32_t language = 2;
    EXPECT_EQ(save2file(nameText, pathText, &language, static_cast<std::int32_t>(name.size()) + 64,
                        static_cast<std::int32_t>(path.size()), reportTime()),
              0);
    EXPECT_EQ(reportLines(readFile(path)).at(14), std::string(20, ' ') + name);
#if defined(_WIN32)
    VirtualFree(area, 0, MEM_RELEASE);
#else
    munmap(area, static_cast<std::size_t>(2 * page));
#endif
}

TEST(KernelReport, percentageFieldsShowSignDecimalsAndOverflow) {
    const std::pair<float, const char*> cases[] = {
        {1.0f, "100.00"},          {0.005f, "  0.50"},
        {-0.00001f, "  0.00"},     {-0.05f, " -5.00"},
        {0.0f, "  0.00"},          {9.99f, "999.00"},
        {10.0f, "******"},         {-10.0f, "******"},
        {std::nanf(""), "******"}, {std::numeric_limits<float>::infinity(), "******"},
    };
    for (const auto& [fraction, field] : cases) {
        kernel_state = KernelState{};
        kernel_state.fraction[15] = fraction; // component 16, the last row
        const auto lines = reportLines(report_text("x", 2, reportTime()));
        EXPECT_EQ(lines.at(47 + 150 + 7 - 1), std::string(106, ' ') + field) << fraction;
    }
}

TEST(KernelReport, resultsThatFitNoFieldAreAsterisks) {
    kernel_state = KernelState{};
    kernel_state.lambda = std::nanf("");
    kernel_state.rho = std::numeric_limits<float>::infinity();
    kernel_state.hu = -std::numeric_limits<float>::infinity();
    const auto lines = reportLines(report_text("x", 2, reportTime()));
    for (int line : {236, 255, 274})
        EXPECT_EQ(lines.at(line - 1), std::string(36, ' ') + "**********") << line;
    kernel_state.lambda = 12345678.0f;
    kernel_state.rho = -0.0004f;
    EXPECT_EQ(reportLines(report_text("x", 2, reportTime())).at(235),
              std::string(36, ' ') + "**********");
    EXPECT_EQ(reportLines(report_text("x", 2, reportTime())).at(254),
              std::string(36, ' ') + "     0.000");
}

TEST(KernelReportFile, replacesALongerFileAndDropsTrailingBlanksOfThePath) {
    setTestGasState();
    ScratchDir dir;
    writeFile(dir.file("report.html"), std::string(100000, 'x'));
    ASSERT_EQ(save("Test gas", dir.file("report.html") + "   "), 0);
    EXPECT_EQ(readFile(dir.file("report.html")), kerneltest::goldenReport());
    EXPECT_EQ(dir.entries(), std::set<std::string>{"report.html"});
}

TEST(KernelReportFile, writesATargetWhoseNameIsAsLongAsTheSystemAllows) {
    setTestGasState();
    ScratchDir dir;
#if defined(_WIN32)
    // Without the long-path prefix a whole path holds MAX_PATH - 1 characters.
    const std::size_t room = MAX_PATH - 1 - dir.file("").size();
    const std::string path = dir.file(std::string(room - 5, 'r') + ".html");
#else
    const std::string path = dir.file(std::string(NAME_MAX - 5, 'r') + ".html");
#endif
    ASSERT_EQ(save("Test gas", path), 0);
    EXPECT_EQ(readFile(path), kerneltest::goldenReport());
    EXPECT_EQ(dir.entries().size(), 1u);
}

TEST(KernelReportFile, keepsPermissionBitsOfAReplacedFile) {
#if defined(_WIN32)
    GTEST_SKIP() << "Windows files have no POSIX permission bits or umask";
#else
    setTestGasState();
    ScratchDir dir;
    const std::string path = dir.file("shared.html");
    writeFile(path, "old");
    ASSERT_EQ(chmod(path.c_str(), 0604), 0);
    ASSERT_EQ(save("Test gas", path), 0);
    struct stat info {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0604u);

    // A new file gets the mode of any newly created file.
    const mode_t previous = umask(027);
    ASSERT_EQ(save("Test gas", dir.file("new.html")), 0);
    umask(previous);
    ASSERT_EQ(stat(dir.file("new.html").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
#endif
}

// Failures that happen even for root: each returns the error number and
// leaves the directory as it was, with no temporary file.
TEST(KernelReportFile, failedWriteReturnsErrnoAndLeavesEverythingAsItWas) {
    setTestGasState();
    ScratchDir dir;
    writeFile(dir.file("plain-file"), "I am a file");
    std::filesystem::create_directory(dir.path() / "a-directory");
    writeFile(dir.file("a-directory/inside"), "kept");
    const std::set<std::string> before = dir.entries();

    EXPECT_EQ(save("Test gas", dir.file("missing/report.html")), ENOENT);
    EXPECT_EQ(save("Test gas", dir.file("plain-file/report.html")), kerneltest::kFileAsDirectory);
    EXPECT_EQ(save("Test gas", dir.file("a-directory")), kerneltest::kDirectoryAsFile);
    EXPECT_EQ(save("Test gas", "   "), ENOENT);

    EXPECT_EQ(dir.entries(), before);
    EXPECT_EQ(readFile(dir.file("plain-file")), "I am a file");
    EXPECT_EQ(readFile(dir.file("a-directory/inside")), "kept");
}

TEST(KernelReportFile, fullDiskLeavesThePreviousReportIntact) {
    setTestGasState();
    ScratchDir dir;
    const std::string path = dir.file("report.html");
    writeFile(path, "the previous report");

#if defined(_WIN32)
    GTEST_SKIP() << "a full disk is simulated with a POSIX file size limit (setrlimit)";
#else
    // A file size limit makes the write fail the way a full disk does.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int result = save("Test gas", path);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old), 0);

    EXPECT_EQ(result, EFBIG);
    EXPECT_EQ(readFile(path), "the previous report");
    EXPECT_EQ(dir.entries(), std::set<std::string>{"report.html"});
#endif
}
