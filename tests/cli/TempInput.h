// Text behind a file descriptor, for the parts that read or write one.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <unistd.h>

class TempFile {
public:
    explicit TempFile(std::string_view content = {}) : file_(std::tmpfile()) {
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
