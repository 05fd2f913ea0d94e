#include "OutputBuffer.h"

#include "DescriptorIo.h"
#include <cerrno>
#include <cstring>

namespace tarvelo::cli {

OutputBuffer::OutputBuffer(int fd, std::size_t capacity)
    : fd_(fd), buffer_(capacity < 256 ? 256 : capacity) {}

void OutputBuffer::makeRoom(std::size_t n) {
    flush();
    if (capacity() < n)
        buffer_.resize(n);
}

void OutputBuffer::append(std::string_view text) {
    char* p = reserve(text.size());
    std::memcpy(p, text.data(), text.size());
    used_ += text.size();
}

void OutputBuffer::appendField(std::string_view text, char delimiter) {
    bool needsQuotes = false;
    for (const char c : text)
        if (c == delimiter || c == '"' || c == '\n' || c == '\r') {
            needsQuotes = true;
            break;
        }
    if (!needsQuotes) {
        append(text);
        return;
    }
    char* p = reserve(text.size() * 2 + 2);
    *p++ = '"';
    for (const char c : text) {
        *p++ = c;
        if (c == '"')
            *p++ = '"';
    }
    *p++ = '"';
    commit(p);
}

void OutputBuffer::flush() {
    std::size_t done = 0;
    while (done < used_) {
        const long long n = write_some(fd_, buffer_.data() + done, used_ - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            used_ = 0;
            throw OutputError(error, std::strerror(error));
        }
        done += std::size_t(n);
    }
    used_ = 0;
}

} // namespace tarvelo::cli
