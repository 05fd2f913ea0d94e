// Helpers of the fuzz targets: reading typed values off the front of the
// input, a scratch directory, and a check that stops the fuzzer on a finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace fuzz {

// Stops the run with a message; libFuzzer keeps the input as a crash.
[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "finding: %s\n", what);
    std::abort();
}

inline void check(bool condition, const char* what) {
    if (!condition)
        fail(what);
}

// Takes values off the front of the input; past its end everything is zero.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    template <typename T> T take() {
        T value{};
        const std::size_t n = size_ < sizeof value ? size_ : sizeof value;
        std::memcpy(&value, data_, n);
        data_ += n;
        size_ -= n;
        return value;
    }
    // Up to `count` bytes.
    std::string_view bytes(std::size_t count) {
        const std::size_t n = size_ < count ? size_ : count;
        const std::string_view text(reinterpret_cast<const char*>(data_), n);
        data_ += n;
        size_ -= n;
        return text;
    }
    std::string_view rest() { return bytes(size_); }
    std::size_t left() const { return size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// A directory of its own under the system's temporary directory, made once.
inline const std::string& scratchDirectory() {
    static const std::string dir = [] {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/tarvelo-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data()))
            fail("cannot make a scratch directory");
        return pattern;
    }();
    return dir;
}

} // namespace fuzz
