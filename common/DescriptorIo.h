// read() and write() on a file descriptor in the size types of each platform,
// and opening an input file by its UTF-8 name.
// POSIX takes and returns sizes as size_t/ssize_t; the Windows C runtime
// takes an unsigned int and returns an int, so there at most 1 GiB is asked
// for at a time (the callers loop until everything is moved anyway).
#pragma once

#include <cstddef>
#include <fcntl.h>
#include <filesystem>
#include <string>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace tarvelo {

// open() flags for reading an input file: its bytes as they are (on Windows
// no CR LF or Ctrl-Z handling), and not inherited by programs started meanwhile.
#if defined(_WIN32)
inline constexpr int kOpenForReading = O_RDONLY | O_BINARY | O_NOINHERIT;
#else
inline constexpr int kOpenForReading = O_RDONLY | O_CLOEXEC;
#endif

#if defined(_WIN32)
inline constexpr std::size_t kMaxDescriptorChunk = std::size_t(1) << 30;

// Up to `size` bytes into `buffer`: the count read, 0 at the end, -1 and errno.
inline long long read_some(int fd, void* buffer, std::size_t size) noexcept {
    return ::_read(fd, buffer,
                   static_cast<unsigned>(size < kMaxDescriptorChunk ? size : kMaxDescriptorChunk));
}

// Up to `size` bytes from `data`: the count written, or -1 and errno.
inline long long write_some(int fd, const void* data, std::size_t size) noexcept {
    return ::_write(fd, data,
                    static_cast<unsigned>(size < kMaxDescriptorChunk ? size : kMaxDescriptorChunk));
}
#else
inline long long read_some(int fd, void* buffer, std::size_t size) noexcept {
    return ::read(fd, buffer, size);
}

inline long long write_some(int fd, const void* data, std::size_t size) noexcept {
    return ::write(fd, data, size);
}
#endif

// A file name as the programs hold it, UTF-8 on every system, as a path of
// the standard library (on Windows UTF-16, which the wide functions take).
inline std::filesystem::path utf8Path(const std::string& name) {
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

// Opens the input file `name` (UTF-8) with kOpenForReading: a descriptor, or
// -1 and errno. On Windows through the wide function, so that any name opens.
inline int open_for_reading(const std::string& name) {
#if defined(_WIN32)
    return ::_wopen(utf8Path(name).c_str(), kOpenForReading);
#else
    return ::open(name.c_str(), kOpenForReading);
#endif
}

} // namespace tarvelo
