// Buffered output to a file descriptor: text is gathered in one large block
// and written with few system calls.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace tarvelo::batch {

// Writing the output failed; what() is the system's error text.
class OutputError : public std::runtime_error {
public:
    OutputError(int errorNumber, const char* text)
        : std::runtime_error(text), errorNumber_(errorNumber) {}
    int errorNumber() const noexcept { return errorNumber_; }

private:
    int errorNumber_;
};

class OutputBuffer {
public:
    explicit OutputBuffer(int fd, std::size_t capacity = 1 << 20);
    // A buffer that only gathers text in memory (see text()), growing as needed.
    struct InMemory {};
    explicit OutputBuffer(InMemory, std::size_t capacity = 1 << 16) : OutputBuffer(-1, capacity) {
        memory_ = true;
    }
    ~OutputBuffer() = default; // unflushed text is dropped: flush() reports errors
    OutputBuffer(const OutputBuffer&) = delete;
    OutputBuffer& operator=(const OutputBuffer&) = delete;

    // Room for at least `n` more characters; write them at the pointer
    // returned and then call commit() with the end.
    char* reserve(std::size_t n) {
        if (capacity() - used_ < n)
            makeRoom(n);
        return buffer_.data() + used_;
    }
    void commit(char* end) noexcept { used_ = std::size_t(end - buffer_.data()); }

    void put(char c) { *reserve(1) = c, ++used_; }
    void append(std::string_view text);
    // Appends a field of delimited text, in quotes (with quotes doubled)
    // when it holds the delimiter, a quote, CR or LF.
    void appendField(std::string_view text, char delimiter);

    // Writes everything gathered; throws OutputError when writing fails.
    void flush();

    // The text gathered and not yet written.
    std::string_view text() const noexcept { return {buffer_.data(), used_}; }
    // Drops the text gathered.
    void clear() noexcept { used_ = 0; }

private:
    std::size_t capacity() const noexcept { return buffer_.size(); }
    void makeRoom(std::size_t n);
    void writeAll(const char* data, std::size_t size);

    int fd_;
    bool memory_ = false;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
};

} // namespace tarvelo::batch
