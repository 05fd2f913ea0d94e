// Text behind a file descriptor, for the parts that read or write one.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <unistd.h>

#if defined(_WIN32)
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <io.h>
#include <process.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>

// std::tmpfile opens the name it picks without asking for a new file. Under
// Wine, test programs that CTest ran side by side were seen to share such a
// file (one test read another's 302 output lines), so the file is made here
// with a name of the process and _O_EXCL, and removed when it is closed.
inline std::FILE* openTempFile() {
    static std::atomic<unsigned> counter{0};
    const std::filesystem::path dir = std::filesystem::temp_directory_path();
    for (;;) {
        const std::wstring name = L"tarvelo-test-" + std::to_wstring(_getpid()) + L"-" +
                                  std::to_wstring(GetTickCount64()) + L"-" +
                                  std::to_wstring(counter++);
        int fd = -1;
        if (_wsopen_s(&fd, (dir / name).c_str(),
                      _O_CREAT | _O_EXCL | _O_RDWR | _O_BINARY | _O_TEMPORARY, _SH_DENYNO,
                      _S_IREAD | _S_IWRITE) == 0)
            return _fdopen(fd, "w+b");
        if (errno != EEXIST)
            return nullptr;
    }
}
#else
inline std::FILE* openTempFile() {
    return std::tmpfile();
}
#endif

class TempFile {
public:
    explicit TempFile(std::string_view content = {}) : file_(openTempFile()) {
        if (!content.empty())
            std::fwrite(content.data(), 1, content.size(), file_);
        std::fflush(file_);
        ::lseek(fd(), 0, SEEK_SET);
    }
    ~TempFile() { std::fclose(file_); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int fd() const { return ::fileno(file_); }

    std::string content() const {
        std::string text;
        char buffer[4096];
        ::lseek(fd(), 0, SEEK_SET);
        for (ssize_t n; (n = ::read(fd(), buffer, sizeof buffer)) > 0;)
            text.append(buffer, std::size_t(n));
        return text;
    }

private:
    std::FILE* file_;
};
