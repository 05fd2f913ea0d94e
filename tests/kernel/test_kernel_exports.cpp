// Tests of the four exports, bound at run time by file name as the desktop
// program binds them. CTest runs every test in a fresh process, so the
// library's state starts as it is after loading.
#include "KernelTestSupport.h"
#include "WorkedExamples.h"

#include "KernelBinding.h"
#include "mixture.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cerrno>
#include <cfenv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <limits>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <vector>
#if defined(_WIN32)
#include <float.h>
#include <windows.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

using kerneltest::readFile;
using kerneltest::reportLines;
using kerneltest::ScratchDir;

namespace {

tarvelo::KernelBinding& kernel() {
    static tarvelo::KernelBinding binding;
    return binding;
}

struct Results {
    float lambda = -1, rho = -1, hu = -1;
};

Results calculate(const float (&percent)[16]) {
    Results r;
    EXPECT_EQ(kernel().Calculate(percent, &r.lambda, &r.rho, &r.hu), 0);
    return r;
}

int save(const std::string& name, const std::string& path, std::int32_t language = 2) {
    return kernel().Save2File(name.data(), path.data(), &language,
                              static_cast<std::int32_t>(name.size()),
                              static_cast<std::int32_t>(path.size()));
}

// Bit patterns, so that 0 and -0 or two NaNs are told apart.
std::uint32_t bits(float value) {
    return std::bit_cast<std::uint32_t>(value);
}

std::string resultLine(const char* field) {
    return std::string(36, ' ') + field;
}

} // namespace

TEST(KernelCalculate, workedExamplesAreBitExact) {
    kernel().GasData_Init();
    for (const auto& e : kWorkedExamples) {
        SCOPED_TRACE(e.what);
        const Results r = calculate(e.percent);
        EXPECT_EQ(bits(r.lambda), bits(e.lambda)) << r.lambda;
        EXPECT_EQ(bits(r.rho), bits(e.rho)) << r.rho;
        EXPECT_EQ(bits(r.hu), bits(e.hu)) << r.hu;
    }
}

// The batch calculates on several threads with the kernel's arithmetic linked
// into the program (mixture_properties on component_values), not through the
// library, whose Calculate keeps state. It must give the library's bits.
TEST(KernelCalculate, statelessArithmeticGivesTheLibrarysBits) {
    kernel().GasData_Init();
    std::vector<std::array<float, 16>> compositions;
    for (const auto& e : kWorkedExamples)
        compositions.push_back(std::to_array(e.percent));
    std::mt19937 random(2026);
    std::uniform_real_distribution<float> share(0.0f, 1.0f);
    for (int n = 0; n < 5000; ++n) {
        std::array<float, 16> percent{};
        float total = 0;
        for (float& p : percent)
            total += p = share(random) < 0.5f ? 0.0f : share(random);
        const float scale = (n % 10 == 0 ? share(random) * 300.0f : 100.0f) / (total + 1e-9f);
        for (float& p : percent)
            p *= scale;
        compositions.push_back(percent);
    }
    int different = 0;
    for (const auto& percent : compositions) {
        float in[16];
        std::copy(percent.begin(), percent.end(), in);
        const Results library = calculate(in);
        const tarvelo::KernelState own =
            tarvelo::mixture_properties(percent.data(), tarvelo::component_values);
        different += bits(library.lambda) != bits(own.lambda) ||
                     bits(library.rho) != bits(own.rho) || bits(library.hu) != bits(own.hu);
    }
    EXPECT_EQ(different, 0) << "of " << compositions.size();
}

TEST(KernelCalculate, inertGasesGiveDensityOnly) {
    kernel().GasData_Init();
    const Results r = calculate({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 25, 25, 25, 25});
    EXPECT_EQ(bits(r.lambda), bits(0.0f));
    EXPECT_EQ(bits(r.hu), bits(0.0f));
    EXPECT_GT(r.rho, 1000.0f);
}

TEST(KernelCalculate, beforeGasDataInitResultsAreZero) {
    const Results r = calculate({90, 5, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1});
    EXPECT_EQ(bits(r.lambda), bits(0.0f));
    EXPECT_EQ(bits(r.rho), bits(0.0f));
    EXPECT_EQ(bits(r.hu), bits(0.0f));
    // The fractions are stored all the same.
    ScratchDir dir;
    ASSERT_EQ(save("x", dir.file("r.html")), 0);
    EXPECT_EQ(reportLines(readFile(dir.file("r.html"))).at(53), std::string(106, ' ') + " 90.00");
}

#if defined(_WIN32)
// glibc's feenableexcept and fegetexcept, through the C runtime's control
// word (the exception mask bits are set for masked exceptions).
constexpr std::pair<int, unsigned> kTraps[] = {
    {FE_OVERFLOW, _EM_OVERFLOW}, {FE_INVALID, _EM_INVALID}, {FE_DIVBYZERO, _EM_ZERODIVIDE}};

int fegetexcept() {
    const unsigned control = _controlfp(0, 0);
    int enabled = 0;
    for (const auto& [fe, em] : kTraps)
        if (!(control & em))
            enabled |= fe;
    return enabled;
}

void feenableexcept(int traps) {
    unsigned unmask = 0;
    for (const auto& [fe, em] : kTraps)
        if (traps & fe)
            unmask |= em;
    _controlfp(_controlfp(0, 0) & ~unmask, _MCW_EM);
}

void fedisableexcept(int) {
    _controlfp(_MCW_EM, _MCW_EM);
}

void localtime_r(const std::time_t* time, std::tm* local) {
    localtime_s(local, time);
}
#endif

// Traps enabled by the caller are masked by the first export call, once:
// overflow then gives infinities and a NaN input gives NaN results, with no
// signal.
TEST(KernelCalculate, firstCallMasksTrapsSoOverflowGivesInfinity) {
    feenableexcept(FE_OVERFLOW | FE_INVALID | FE_DIVBYZERO);
    kernel().GasData_Init();
    EXPECT_EQ(fegetexcept(), 0);

    const float big = std::numeric_limits<float>::max();
    const Results r = calculate({big, big, big, big, big, big, big, big});
    EXPECT_TRUE(std::isinf(r.lambda) && r.lambda > 0);
    EXPECT_TRUE(std::isinf(r.hu));
    const Results n = calculate({std::nanf("")});
    EXPECT_TRUE(std::isnan(n.lambda) && std::isnan(n.rho) && std::isnan(n.hu));

    // Later calls leave the caller's environment alone.
    feenableexcept(FE_DIVBYZERO);
    kernel().GasData_Init();
    EXPECT_EQ(fegetexcept(), FE_DIVBYZERO);
    fedisableexcept(FE_ALL_EXCEPT);
}

TEST(KernelCalculate, secondGasDataInitKeepsLastCalculationReportable) {
    kernel().GasData_Init();
    const Results first = calculate({90, 5, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1});
    ScratchDir dir;
    ASSERT_EQ(save("Gas", dir.file("a.html")), 0);
    kernel().GasData_Init();
    ASSERT_EQ(save("Gas", dir.file("b.html")), 0);
    auto a = reportLines(readFile(dir.file("a.html")));
    auto b = reportLines(readFile(dir.file("b.html")));
    ASSERT_EQ(a.size(), 295u);
    a[289] = b[289] = ""; // the minute may have changed in between
    EXPECT_EQ(a, b);
    EXPECT_EQ(a[235], resultLine("      9.94"));
    const Results again = calculate({90, 5, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1});
    EXPECT_EQ(bits(again.rho), bits(first.rho));
}

TEST(KernelSave2File, reportBeforeAnyCalculationShowsZeros) {
    ScratchDir dir;
    ASSERT_EQ(save("Nothing yet", dir.file("r.html")), 0);
    const auto lines = reportLines(readFile(dir.file("r.html")));
    ASSERT_EQ(lines.size(), 295u);
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(lines[47 + 10 * k + 7 - 1], std::string(106, ' ') + "  0.00") << k;
    EXPECT_EQ(lines[235], resultLine("      0.00"));
    EXPECT_EQ(lines[254], resultLine("     0.000"));
    EXPECT_EQ(lines[273], resultLine("      0.00"));
}

TEST(KernelSave2File, eachCalculationReplacesTheWholeState) {
    kernel().GasData_Init();
    calculate({100});
    calculate({});
    ScratchDir dir;
    ASSERT_EQ(save("x", dir.file("r.html")), 0);
    const auto lines = reportLines(readFile(dir.file("r.html")));
    EXPECT_EQ(lines.at(53), std::string(106, ' ') + "  0.00");
    EXPECT_EQ(lines.at(235), resultLine("      0.00"));
}

TEST(KernelSave2File, stampsTheLocalDateAndTimeOfWriting) {
    auto stamp = [] {
        const std::time_t now = std::time(nullptr);
        std::tm t{};
        localtime_r(&now, &t);
        char text[64];
        std::strftime(text, sizeof text, "Created on %Y.%m.%d at %H:%M<br>", &t);
        return std::string(12, ' ') + text;
    };
    kernel().GasData_Init();
    calculate({90, 5, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1});
    ScratchDir dir;
    const std::string before = stamp();
    ASSERT_EQ(save("Gas", dir.file("r.html")), 0);
    const std::string after = stamp();
    const auto lines = reportLines(readFile(dir.file("r.html")));
    ASSERT_EQ(lines.size(), 295u);
    EXPECT_TRUE(lines[289] == before || lines[289] == after) << lines[289];
    EXPECT_EQ(lines[254], resultLine("   805.760"));
}

TEST(KernelSave2File, returnsTheErrorNumberAndKeepsTheOldFile) {
    ScratchDir dir;
    EXPECT_EQ(save("x", dir.file("missing/r.html")), ENOENT);
    kerneltest::writeFile(dir.file("old.html"), "old");
    EXPECT_EQ(save("x", dir.file("old.html/r.html")), kerneltest::kFileAsDirectory);
    EXPECT_EQ(readFile(dir.file("old.html")), "old");
    EXPECT_EQ(dir.entries(), std::set<std::string>{"old.html"});
}

#if defined(_WIN32)
// Help opens the document through the command interpreter that COMSPEC
// names. The document here is a batch file in a folder with a blank in its
// name, standing in for a viewer: it records the path it was started as.
class KernelHelp : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(dir_.path() / "help viewer");
        viewer_ = dir_.file("help viewer\\viewer.cmd");
        record_ = dir_.file("started");
        kerneltest::writeFile(viewer_, "@echo %~f0> \"" + record_ +
                                           ".part\"\r\n"
                                           "@move /y \"" +
                                           record_ + ".part\" \"" + record_ + "\" >nul\r\n");
        char system[MAX_PATH] = {};
        ASSERT_GT(GetSystemDirectoryA(system, MAX_PATH), 0u);
        _putenv_s("COMSPEC", (std::string(system) + "\\cmd.exe").c_str());
    }
    void TearDown() override { _putenv_s("COMSPEC", ""); }

    // Waits for the fake viewer to record how it was started.
    std::string recorded() {
        for (int i = 0; i < 200 && !std::filesystem::exists(record_); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return readFile(record_);
    }

    ScratchDir dir_;
    std::string viewer_;
    std::string record_;
};

TEST_F(KernelHelp, startsTheTrimmedPathThroughTheInterpreterWithoutWaiting) {
    const std::string path = viewer_ + "   ";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(kernel().Help(path.data(), static_cast<std::int32_t>(path.size())), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(recorded(), viewer_ + "\r\n");
}

TEST_F(KernelHelp, withoutComspecTheDocumentRunsThroughSystemWhichWaits) {
    _putenv_s("COMSPEC", "");
    EXPECT_EQ(kernel().Help(viewer_.data(), static_cast<std::int32_t>(viewer_.size())), 0);
    EXPECT_TRUE(std::filesystem::exists(record_)); // already there: system() waited
    EXPECT_EQ(readFile(record_), viewer_ + "\r\n");
    kernel().GasData_Init();
    const Results r = calculate({100});
    EXPECT_EQ(bits(r.lambda), bits(9.56110001f));
}
#else
// Help runs a fake xdg-open that records its arguments and then sleeps.
class KernelHelp : public ::testing::Test {
protected:
    void SetUp() override {
        record_ = dir_.file("arguments");
        const std::string script = dir_.file("xdg-open");
        kerneltest::writeFile(script, "#!/bin/sh\n"
                                      "{ echo \"$#\"; for a in \"$@\"; do echo \"[$a]\"; done; } "
                                      "> \"$0.part\"\n"
                                      "mv \"$0.part\" \"" +
                                          record_ +
                                          "\"\n"
                                          "sleep 5\n");
        ASSERT_EQ(chmod(script.c_str(), 0755), 0);
        const char* path = std::getenv("PATH");
        setenv("PATH", (dir_.path().string() + ":" + (path ? path : "")).c_str(), 1);
    }

    // Waits for the fake viewer to record its arguments.
    std::string recorded() {
        for (int i = 0; i < 100 && access(record_.c_str(), F_OK) != 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return readFile(record_);
    }

    ScratchDir dir_;
    std::string record_;
};

TEST_F(KernelHelp, returnsAtOncePassingTheTrimmedPathAsOneArgumentAndLeavesNoZombie) {
    const std::string path = "  /opt/Tarvelo V1/help file \"1\".chm   ";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(kernel().Help(path.data(), static_cast<std::int32_t>(path.size())), 0);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::milliseconds(500));

    int status = 0;
    errno = 0;
    EXPECT_EQ(waitpid(-1, &status, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD); // no child at all: the launcher reaped its own

    EXPECT_EQ(recorded(), "1\n[  /opt/Tarvelo V1/help file \"1\".chm]\n");
}

TEST_F(KernelHelp, emptyPathStillStartsTheViewer) {
    const char text[] = "      ";
    EXPECT_EQ(kernel().Help(text, 6), 0);
    EXPECT_EQ(recorded(), "1\n[]\n");
}

TEST_F(KernelHelp, isUsableAsTheFirstExportAndTheKernelWorksAfterwards) {
    const char text[] = "/tmp/help.chmIGNORED";
    EXPECT_EQ(kernel().Help(text, 13), 0);
    EXPECT_EQ(recorded(), "1\n[/tmp/help.chm]\n");
    kernel().GasData_Init();
    const Results r = calculate({100});
    EXPECT_EQ(bits(r.lambda), bits(9.56110001f));
}

TEST(KernelHelpWithoutViewer, returnsZeroWhenNoOpenerIsFound) {
    ScratchDir empty;
    setenv("PATH", empty.path().c_str(), 1);
    EXPECT_EQ(kernel().Help("/tmp/help.chm", 13), 0);
    errno = 0;
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
}
#endif
