// The report writer under failing file operations. The fault shim linked into
// this program stands in for the C library's file functions, also for the
// kernel loaded at run time, and makes one operation after the other fail:
// the temporary file's creation, its chmod, each write, the sync, the close,
// the rename and the directory sync. Whatever fails, the caller learns it, an
// existing report stays byte for byte as it was, no temporary file is left
// and no descriptor stays open.
#include "FaultShim.h"
#include "RobustSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <set>
#include <sys/resource.h>
#include <unistd.h>

using kerneltest::readFile;
using kerneltest::ScratchDir;
using kerneltest::writeFile;
using robust::calculateExample;
using robust::isCompleteReport;
using robust::openDescriptors;
using robust::save;

namespace {

const std::string previous = "<html>the previous report, which must survive</html>\r\n";

// The place a report goes to, and what must hold of it after a failure.
struct Target {
    const char* what;
    bool existing;    // a previous report is there
    bool throughLink; // the path is a symbolic link to the report in another directory
};

class Scene {
public:
    explicit Scene(const Target& target) : target_(target) {
        std::filesystem::create_directory(dir_.path() / "real");
        real_ = dir_.file("real/report.html");
        path_ = real_;
        if (target.existing)
            writeFile(real_, previous);
        if (target.throughLink) {
            path_ = dir_.file("link.html");
            std::filesystem::create_symlink("real/report.html", path_);
        }
        entries_ = allEntries();
    }

    const std::string& path() const { return path_; }
    std::string content() const { return readFile(real_); }
    bool exists() const { return std::filesystem::exists(real_); }
    bool linkKept() const { return !target_.throughLink || std::filesystem::is_symlink(path_); }
    // Every name in the scene, in both directories: a temporary file left
    // anywhere shows here.
    std::set<std::string> allEntries() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_.path()))
            names.insert(entry.path().lexically_relative(dir_.path()).string());
        return names;
    }
    // Nothing changed: the same names, the previous report byte for byte.
    void expectUntouched(const std::string& where) const {
        EXPECT_EQ(allEntries(), entries_) << where;
        if (target_.existing)
            EXPECT_EQ(content(), previous) << where;
        else
            EXPECT_FALSE(exists()) << where;
        EXPECT_TRUE(linkKept()) << where;
    }
    // The new report is in place and nothing else was added.
    void expectReplaced(const std::string& where) const {
        std::set<std::string> expected = entries_;
        expected.insert("real/report.html");
        EXPECT_EQ(allEntries(), expected) << where;
        EXPECT_TRUE(isCompleteReport(content())) << where;
        EXPECT_TRUE(linkKept()) << where;
    }

private:
    Target target_;
    ScratchDir dir_;
    std::string real_;
    std::string path_;
    std::set<std::string> entries_;
};

const Target targets[] = {
    {"a new report", false, false},
    {"a replaced report", true, false},
    {"a report behind a symbolic link", true, true},
    {"a new report behind a dangling link", false, true},
};

struct Outcome {
    int result;
    const char* hit; // the operation made to fail, or nullptr
    bool afterRename;
};

Outcome saveWithFault(const std::string& path, TarveloFaultMode mode, long at, int error) {
    tarvelo_fault_arm(mode, at, error);
    const int result = save("Fault gas", path);
    tarvelo_fault_disarm();
    return {result, tarvelo_fault_hit(), tarvelo_fault_after_rename() != 0};
}

// The failed checks of the running test so far.
int failuresSoFar() {
    const ::testing::TestResult* result =
        ::testing::UnitTest::GetInstance()->current_test_info()->result();
    int failures = 0;
    for (int i = 0; i < result->total_part_count(); ++i)
        failures += result->GetTestPartResult(i).failed() ? 1 : 0;
    return failures;
}

// Makes sure the library is loaded and its first-call work is done, so that
// the counted calls are those of the report alone.
void warmUp() {
    calculateExample();
    ScratchDir dir;
    ASSERT_EQ(save("warm-up", dir.file("r.html")), 0);
}

} // namespace

TEST(ReportFaults, everyFailingFileOperationIsReportedAndLosesNothing) {
    warmUp();
    int tried = 0, passed = 0;
    std::set<std::string> operations;
    for (const int error : {EIO, ENOSPC, EACCES}) {
        for (const Target& target : targets) {
            for (long at = 1;; ++at) {
                ASSERT_LT(at, 100) << "the shim never stopped finding operations";
                const Scene scene(target);
                const int descriptors = openDescriptors();
                const Outcome outcome = saveWithFault(scene.path(), TARVELO_FAULT_FAIL, at, error);
                const std::string where =
                    std::string(target.what) + ", operation " + std::to_string(at) + " (" +
                    (outcome.hit ? outcome.hit : "none") + ") failing with " + std::strerror(error);
                EXPECT_EQ(openDescriptors(), descriptors) << where;
                if (outcome.hit == nullptr) {
                    // Past the last operation: the report is written whole.
                    EXPECT_EQ(outcome.result, 0) << where;
                    scene.expectReplaced(where);
                    // create, chmod, write, sync, close, rename at the least
                    EXPECT_GE(at, 7) << "too few operations seen: is the shim in front?";
                    break;
                }
                ++tried;
                operations.insert(outcome.hit);
                const int failuresBefore = failuresSoFar();
                if (outcome.afterRename) {
                    // Only the directory sync is left once the report is in
                    // place: the report is complete and counts as written.
                    EXPECT_EQ(outcome.result, 0) << where;
                    scene.expectReplaced(where);
                } else {
                    EXPECT_EQ(outcome.result, error) << where;
                    scene.expectUntouched(where);
                }
                if (failuresSoFar() == failuresBefore)
                    ++passed;
            }
        }
    }
    for (const char* operation : {"open", "fchmod", "write", "fsync", "close", "rename"})
        EXPECT_EQ(operations.count(operation), 1u) << operation << " was never made to fail";
    std::cout << "fault points tried: " << tried << ", passed: " << passed << "\n";
    RecordProperty("fault_points_tried", tried);
    RecordProperty("fault_points_passed", passed);
    EXPECT_EQ(tried, passed);
}

TEST(ReportFaults, aDiskThatFillsAnywhereInTheReportLosesNothing) {
    warmUp();
    ScratchDir sizing;
    ASSERT_EQ(save("Fault gas", sizing.file("r.html")), 0);
    const long size = static_cast<long>(readFile(sizing.file("r.html")).size());
    for (const Target& target : targets)
        for (const long room : {0L, 1L, 4096L, size / 2, size - 1}) {
            const Scene scene(target);
            const int descriptors = openDescriptors();
            const Outcome outcome = saveWithFault(scene.path(), TARVELO_FAULT_FULL, room, 0);
            const std::string where =
                std::string(target.what) + ", room for " + std::to_string(room) + " bytes";
            EXPECT_EQ(outcome.result, ENOSPC) << where;
            scene.expectUntouched(where);
            EXPECT_EQ(openDescriptors(), descriptors) << where;
        }
}

TEST(ReportFaults, writingToTheFullDeviceLosesNothing) {
    warmUp();
    for (const Target& target : targets) {
        const Scene scene(target);
        const Outcome outcome = saveWithFault(scene.path(), TARVELO_FAULT_DEVFULL, 0, 0);
        ASSERT_STREQ(outcome.hit, "/dev/full");
        EXPECT_EQ(outcome.result, ENOSPC) << target.what;
        scene.expectUntouched(target.what);
    }
}

// A file size limit fails a write even for root, the way a full disk does.
TEST(ReportFaults, aFileSizeLimitAnywhereInTheReportLosesNothing) {
    warmUp();
    ScratchDir sizing;
    ASSERT_EQ(save("Fault gas", sizing.file("r.html")), 0);
    const auto size = static_cast<rlim_t>(readFile(sizing.file("r.html")).size());
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    for (const Target& target : targets)
        for (const rlim_t limit : {rlim_t{0}, rlim_t{1}, rlim_t{4096}, size - 1}) {
            const Scene scene(target);
            rlimit small = old;
            small.rlim_cur = limit;
            ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
            const int result = save("Fault gas", scene.path());
            ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old), 0);
            const std::string where = std::string(target.what) + ", limit " + std::to_string(limit);
            EXPECT_EQ(result, EFBIG) << where;
            scene.expectUntouched(where);
        }
    std::signal(SIGXFSZ, SIG_DFL);
}

// Short and interrupted writes are no failures: the writer carries on.
TEST(ReportFaults, shortAndInterruptedWritesStillGiveTheWholeReport) {
    warmUp();
    for (const Target& target : targets) {
        for (const long chunk : {1L, 7L, 4096L}) {
            const Scene scene(target);
            const Outcome outcome = saveWithFault(scene.path(), TARVELO_FAULT_SHORT, chunk, 0);
            const std::string where =
                std::string(target.what) + ", writes of " + std::to_string(chunk) + " bytes";
            EXPECT_EQ(outcome.result, 0) << where;
            scene.expectReplaced(where);
        }
        const Scene scene(target);
        const Outcome outcome = saveWithFault(scene.path(), TARVELO_FAULT_INTERRUPT, 0, 0);
        EXPECT_EQ(outcome.result, 0) << target.what;
        scene.expectReplaced(std::string(target.what) + ", interrupted writes");
    }
}
