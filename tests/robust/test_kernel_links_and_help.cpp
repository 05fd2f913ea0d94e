// Faults of the kernel's file handling, each shown from outside through the
// exports: a report saved through a symbolic link replaces the file the link
// names (the link stays); a device, FIFO or descriptor path is written into,
// not replaced; and the help viewer holds none of the caller's descriptors.
#include "RobustSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <iostream>
#include <poll.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

using kerneltest::readFile;
using kerneltest::ScratchDir;
using kerneltest::writeFile;
using robust::calculateExample;
using robust::isCompleteReport;
using robust::kernel;
using robust::save;
namespace fs = std::filesystem;

TEST(ReportThroughLinks, replacesTheFileTheLinkNamesAndKeepsTheLink) {
    calculateExample();
    ScratchDir dir;
    fs::create_directories(dir.path() / "reports" / "2026");
    fs::create_directory(dir.path() / "links");
    const std::string real = dir.file("reports/2026/gas.html");
    writeFile(real, "old");
    ASSERT_EQ(chmod(real.c_str(), 0640), 0);
    // A relative link is relative to its own directory; a chain is followed
    // to its end.
    fs::create_symlink("../reports/2026/gas.html", dir.path() / "links" / "first.html");
    fs::create_symlink(dir.file("links/first.html"), dir.path() / "latest.html");

    ASSERT_EQ(save("Linked gas", dir.file("latest.html")), 0);

    EXPECT_TRUE(fs::is_symlink(dir.path() / "latest.html"));
    EXPECT_TRUE(fs::is_symlink(dir.path() / "links" / "first.html"));
    EXPECT_EQ(fs::read_symlink(dir.path() / "latest.html"), dir.file("links/first.html"));
    EXPECT_TRUE(isCompleteReport(readFile(real)));
    struct stat info {};
    ASSERT_EQ(stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(dir.entries(), (std::set<std::string>{"latest.html", "links", "reports"}));
    std::set<std::string> inside;
    for (const auto& entry : fs::directory_iterator(dir.path() / "reports" / "2026"))
        inside.insert(entry.path().filename().string());
    EXPECT_EQ(inside, std::set<std::string>{"gas.html"});
}

TEST(ReportThroughLinks, aDanglingLinkGetsItsFileCreated) {
    calculateExample();
    ScratchDir dir;
    fs::create_directory(dir.path() / "out");
    fs::create_symlink("out/new.html", dir.path() / "report.html");
    ASSERT_EQ(save("New gas", dir.file("report.html")), 0);
    EXPECT_TRUE(fs::is_symlink(dir.path() / "report.html"));
    EXPECT_TRUE(isCompleteReport(readFile(dir.file("out/new.html"))));
}

// The temporary file goes beside the real file, so the rename never has to
// cross file systems: a link from the scratch directory into /dev/shm, which
// is another file system where it exists, still works and stays a link.
TEST(ReportThroughLinks, worksAcrossFileSystems) {
    struct stat tmp {
    }, shm{};
    ScratchDir dir;
    if (stat("/dev/shm", &shm) != 0 || stat(dir.path().c_str(), &tmp) != 0 ||
        shm.st_dev == tmp.st_dev || access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "no second writable file system at /dev/shm";
    calculateExample();
    const std::string real = "/dev/shm/tarvelo-link-test-" + std::to_string(getpid()) + ".html";
    writeFile(real, "old");
    fs::create_symlink(real, dir.path() / "report.html");
    const int result = save("Far gas", dir.file("report.html"));
    const std::string content = readFile(real);
    fs::remove(real);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(fs::is_symlink(dir.path() / "report.html"));
    EXPECT_TRUE(isCompleteReport(content));
}

TEST(ReportThroughLinks, aLoopOfLinksIsReportedAndChangesNothing) {
    calculateExample();
    ScratchDir dir;
    fs::create_symlink("b.html", dir.path() / "a.html");
    fs::create_symlink("a.html", dir.path() / "b.html");
    EXPECT_EQ(save("Loop gas", dir.file("a.html")), ELOOP);
    EXPECT_EQ(dir.entries(), (std::set<std::string>{"a.html", "b.html"}));
}

// A target that is not a regular file is written in place: the bytes reach
// the reader, the node stays what it was and no temporary file appears.
TEST(ReportTargets, devicesFifosAndDescriptorPathsAreWrittenIntoNotReplaced) {
    calculateExample();
    const bool root = geteuid() == 0;
    struct Case {
        const char* what;
        const char* node; // "fifo", "null", "full", "dir", or a descriptor path
        int expected;
    };
    const Case cases[] = {
        {"a FIFO with a reader", "fifo", 0},
        {"a copy of /dev/null", "null", 0},
        {"a copy of /dev/full", "full", ENOSPC},
        {"/dev/stdout on a pipe", "/dev/stdout", 0},
        {"/proc/self/fd/N of a pipe", "/proc/self/fd/", 0},
        {"a directory", "dir", EISDIR},
    };
    for (const Case& c : cases) {
        const std::string node = c.node;
        if ((node == "null" || node == "full") && !root) {
            std::cout << "not tried without root (mknod): " << c.what << "\n";
            continue;
        }
        ScratchDir dir;
        std::string path = dir.file("target");
        std::string received;
        std::thread reader;
        int pipeEnds[2] = {-1, -1};
        int savedStdout = -1;
        auto readAll = [&received](int fd) {
            char buffer[4096];
            for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
                received.append(buffer, static_cast<std::size_t>(n));
            close(fd);
        };
        if (node == "fifo") {
            ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
            reader = std::thread([&] { readAll(open(path.c_str(), O_RDONLY)); });
        } else if (node == "null" || node == "full") {
            const dev_t device = makedev(1, node == "null" ? 3 : 7);
            ASSERT_EQ(mknod(path.c_str(), S_IFCHR | 0666, device), 0) << c.what;
        } else if (node == "dir") {
            fs::create_directory(path);
        } else {
            ASSERT_EQ(pipe(pipeEnds), 0);
            if (node == "/dev/stdout") {
                std::cout.flush();
                savedStdout = dup(STDOUT_FILENO);
                dup2(pipeEnds[1], STDOUT_FILENO);
                path = node;
            } else {
                path = node + std::to_string(pipeEnds[1]);
            }
            reader = std::thread(readAll, pipeEnds[0]);
        }
        const std::set<std::string> before = dir.entries();
        const int result = save("In place", path);
        if (savedStdout >= 0) {
            dup2(savedStdout, STDOUT_FILENO);
            close(savedStdout);
        }
        if (pipeEnds[1] >= 0)
            close(pipeEnds[1]);
        const bool hadReader = reader.joinable();
        if (hadReader)
            reader.join();

        EXPECT_EQ(result, c.expected) << c.what;
        EXPECT_EQ(dir.entries(), before) << c.what << ": a file was added or removed";
        struct stat info {};
        if (node == "fifo" || node == "null" || node == "full") {
            ASSERT_EQ(lstat(dir.file("target").c_str(), &info), 0);
            EXPECT_EQ(info.st_mode & S_IFMT, node == "fifo" ? S_IFIFO : S_IFCHR) << c.what;
        }
        if (hadReader) {
            EXPECT_TRUE(isCompleteReport(received))
                << c.what << ": " << received.size() << " bytes";
        }
    }
}

// Help with a fake xdg-open that lists the descriptors it was started with
// and then stays, as a real viewer does.
class HelpDescriptors : public ::testing::Test {
protected:
    void SetUp() override {
        record_ = dir_.file("descriptors");
        const std::string script = dir_.file("xdg-open");
        writeFile(script, "#!/bin/sh\n"
                          "ls /proc/self/fd > \"" +
                              record_ +
                              ".part\"\n"
                              "mv \"" +
                              record_ + ".part\" \"" + record_ +
                              "\"\n"
                              "sleep 5\n");
        ASSERT_EQ(chmod(script.c_str(), 0755), 0);
        const char* path = std::getenv("PATH");
        setenv("PATH", (dir_.path().string() + ":" + (path ? path : "")).c_str(), 1);
    }

    // The descriptor numbers the viewer's first command inherited.
    std::set<int> recorded() {
        for (int i = 0; i < 100 && access(record_.c_str(), F_OK) != 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::istringstream in(readFile(record_));
        std::set<int> numbers;
        for (int fd; in >> fd;)
            numbers.insert(fd);
        return numbers;
    }

    ScratchDir dir_;
    std::string record_;
};

TEST_F(HelpDescriptors, theViewerInheritsNoDescriptorAboveStandardError) {
    // A file and a pipe opened the old way, without close-on-exec, moved to
    // numbers that neither the viewer's shell nor ls use for their own files.
    auto moveHigh = [](int fd, int number) {
        const int moved = dup2(fd, number);
        close(fd);
        return moved;
    };
    const int file = moveHigh(open(dir_.file("held").c_str(), O_RDWR | O_CREAT, 0600), 200);
    ASSERT_EQ(file, 200);
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    pipeEnds[0] = moveHigh(pipeEnds[0], 201);
    pipeEnds[1] = moveHigh(pipeEnds[1], 202);
    ASSERT_EQ(pipeEnds[1], 202);

    const char help[] = "/tmp/help.chm";
    ASSERT_EQ(kernel().Help(help, static_cast<std::int32_t>(sizeof help - 1)), 0);
    const std::set<int> inherited = recorded();

    ASSERT_FALSE(inherited.empty()) << "the fake viewer did not run";
    for (const int fd : {file, pipeEnds[0], pipeEnds[1]})
        EXPECT_EQ(inherited.count(fd), 0u) << "descriptor " << fd << " reached the viewer";
    // 0-2 are /dev/null, 3 is the directory ls itself reads.
    for (const int fd : inherited)
        EXPECT_LE(fd, 3) << "descriptor " << fd << " reached the viewer";

    // The reader of the pipe sees its end as soon as the caller closes its
    // writing end, although the viewer is still running.
    close(pipeEnds[1]);
    pollfd reader{pipeEnds[0], POLLIN, 0};
    ASSERT_EQ(poll(&reader, 1, 2000), 1) << "the viewer holds the pipe open";
    char byte = 0;
    EXPECT_EQ(read(pipeEnds[0], &byte, 1), 0);
    close(pipeEnds[0]);
    close(file);
}
