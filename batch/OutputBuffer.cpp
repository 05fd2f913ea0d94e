#include "OutputBuffer.h"

#include "DescriptorIo.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tarvelo::batch {

OutputBuffer::OutputBuffer(int fd, std::size_t capacity)
    : fd_(fd), buffer_(capacity < 256 ? 256 : capacity) {}

void OutputBuffer::makeRoom(std::size_t n) {
    if (memory_) {
        buffer_.resize(std::max(used_ + n, 2 * capacity()));
        return;
    }
    flush();
    if (capacity() < n)
        buffer_.resize(n);
}

void OutputBuffer::append(std::string_view text) {
    // A text larger than the buffer goes out directly, not copied in parts.
    if (!memory_ && text.size() >= capacity()) {
        flush();
        writeAll(text.data(), text.size());
        return;
    }
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
    if (memory_)
        return;
    const std::size_t used = used_;
    used_ = 0;
    writeAll(buffer_.data(), used);
}

void OutputBuffer::writeAll(const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const long long n = write_some(fd_, data + done, size - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            throw OutputError(error, std::strerror(error));
        }
        done += std::size_t(n);
    }
}

} // namespace tarvelo::batch
