#include "ReplaceFile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>

#include "WindowsText.h"
#else
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tarvelo {

namespace {

#if defined(_WIN32)
using PathChar = wchar_t;
#else
using PathChar = char;
#endif

// Temporary files that a signal may have to remove. A slot is claimed with
// a compare-and-swap and read by the handler only once it is complete, so
// the handler needs no lock (lock-free atomics are safe in a signal handler).
constexpr int kSlots = 8;
constexpr std::size_t kSlotPath = 4200; // PATH_MAX plus the temporary suffix
PathChar pendingPath[kSlots][kSlotPath];
std::atomic<int> pendingState[kSlots]; // 0 free, 1 being filled, 2 registered

int registerTemporary(const PathChar* path, std::size_t length) noexcept {
    if (length + 1 > kSlotPath)
        return -1; // too long to remember: an interrupt may leave it behind
    for (int i = 0; i < kSlots; ++i) {
        int expected = 0;
        if (pendingState[i].compare_exchange_strong(expected, 1)) {
            std::memcpy(pendingPath[i], path, length * sizeof(PathChar));
            pendingPath[i][length] = 0;
            pendingState[i].store(2);
            return i;
        }
    }
    return -1;
}

void unregisterTemporary(int& slot) noexcept {
    if (slot >= 0)
        pendingState[slot].store(0);
    slot = -1;
}

void removeTemporariesAndDie(int signal) {
    for (int i = 0; i < kSlots; ++i)
        if (pendingState[i].load() == 2) {
#if defined(_WIN32)
            _wunlink(pendingPath[i]);
#else
            ::unlink(pendingPath[i]);
#endif
        }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Six letters for a temporary name: unique enough with the exclusive
// creation that retries on a clash. No file is opened for randomness, so
// the only file operations are the ones the contract names.
std::string randomSuffix() {
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t x =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull);
#if defined(_WIN32)
    x ^= static_cast<std::uint64_t>(GetCurrentProcessId()) << 32;
#else
    x ^= static_cast<std::uint64_t>(::getpid()) << 32;
#endif
    // splitmix64's finaliser spreads every input bit over the output.
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    x ^= x >> 31;
    static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string suffix(6, 'a');
    for (char& c : suffix) {
        c = letters[x % 36];
        x /= 36;
    }
    return suffix;
}

constexpr int kCreateAttempts = 100;

#if defined(_WIN32)

std::wstring widened(const std::string& path) {
    return widenedUtf8(path);
}

// The device a path names, as "\\.\NAME", or an empty text. Windows takes
// CON, PRN, AUX, NUL, COM1-9 and LPT1-9 as devices in every folder and with
// any extension ("C:\out\nul.csv" is NUL); paths in the device namespace
// ("\\.\COM3") name one as they are. CON, for writing, is the console: CONOUT$.
std::wstring deviceOf(const std::string& path) {
    if (path.rfind("\\\\.\\", 0) == 0)
        return widened(path);
    const std::size_t slash = path.find_last_of("\\/:");
    const std::string_view name =
        std::string_view(path).substr(slash == std::string::npos ? 0 : slash + 1);
    if (!isWindowsDeviceName(name))
        return {};
    std::string device = "\\\\.\\";
    for (const char c : name.substr(0, name.find_first_of(". :")))
        device.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    if (device == "\\\\.\\CON")
        device += "OUT$";
    return widened(device);
}

int errnoOf(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
        return EACCES;
    case ERROR_INVALID_HANDLE:
        return ENXIO; // a console device without a console
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    default:
        return EIO;
    }
}

int writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const unsigned chunk = size > (1u << 30) ? (1u << 30) : static_cast<unsigned>(size);
        const int written = _write(fd, data, chunk);
        if (written < 0)
            return errno ? errno : EIO;
        if (written == 0)
            return EIO;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

#else

int writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return EIO;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

// The descriptor a path names when it is one of this process's descriptor
// paths, or -1. Resolving such a link would give the name of a pipe or of a
// file the shell opened, and replacing that name would deliver nothing to
// what the descriptor is.
int descriptorOf(const std::string& path) {
    if (path == "/dev/stdout")
        return STDOUT_FILENO;
    if (path == "/dev/stderr")
        return STDERR_FILENO;
    std::string_view rest;
    const std::string ownProc = "/proc/" + std::to_string(::getpid()) + "/fd/";
    for (const std::string_view prefix :
         {std::string_view("/dev/fd/"), std::string_view("/proc/self/fd/"),
          std::string_view("/proc/thread-self/fd/"), std::string_view(ownProc)})
        if (path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0) {
            rest = std::string_view(path).substr(prefix.size());
            break;
        }
    if (rest.empty() || rest.size() > 9)
        return -1;
    int fd = 0;
    for (const char c : rest) {
        if (c < '0' || c > '9')
            return -1;
        fd = fd * 10 + (c - '0');
    }
    return fd;
}

// Follows symbolic links to the file that `path` finally names (also to a
// file that does not exist yet), stopping at a descriptor path. Returns 0,
// or ELOOP for a chain of links too long to be a real one.
int resolveLinks(std::string& path) {
    constexpr int maxLinks = 40; // the system's own limit for one lookup
    for (int hop = 0; hop < maxLinks; ++hop) {
        if (descriptorOf(path) >= 0)
            return 0;
        struct stat info;
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return 0; // not a link: a missing or other file is dealt with later
        std::string link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : PATH_MAX) + 1,
                         '\0');
        const ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
        if (length < 0)
            return 0;
        if (static_cast<std::size_t>(length) >= link.size())
            continue; // the link changed while it was read: read it again
        link.resize(static_cast<std::size_t>(length));
        if (!link.empty() && link.front() == '/') {
            path = link;
        } else {
            // A relative link is relative to the directory that holds it.
            const std::size_t slash = path.rfind('/');
            path.resize(slash == std::string::npos ? 0 : slash + 1);
            path += link;
        }
    }
    return ELOOP;
}

#endif

} // namespace

FileReplacement::~FileReplacement() {
    discard();
}

void FileReplacement::discard() noexcept {
#if defined(_WIN32)
    if (fd_ >= 0)
        _close(fd_);
    if (!temp_.empty())
        _wunlink(widened(temp_).c_str());
#else
    if (fd_ >= 0)
        ::close(fd_);
    if (!temp_.empty())
        ::unlink(temp_.c_str());
#endif
    unregisterTemporary(slot_);
    fd_ = -1;
    temp_.clear();
}

#if defined(_WIN32)

int FileReplacement::open(const std::string& path) {
    discard();
    target_ = path;
    if (const std::wstring device = deviceOf(target_); !device.empty()) {
        // A device such as NUL, CON or COM1: write into it.
        const HANDLE handle =
            CreateFileW(device.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return errnoOf(GetLastError());
        fd_ = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
        if (fd_ < 0) {
            CloseHandle(handle);
            return EMFILE;
        }
        inPlace_ = true;
        return 0;
    }
    const std::wstring wideTarget = widened(target_);
    // A read-only file is not replaced: the attribute says that it must not
    // change, and the rename would drop it.
    if (const DWORD attributes = GetFileAttributesW(wideTarget.c_str());
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0 &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
        return EACCES;
    inPlace_ = false;
    const std::size_t slash = target_.find_last_of("\\/");
    dir_ = slash == std::string::npos ? "" : target_.substr(0, slash + 1);
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        temp_ = target_ + ".tmp-" + randomSuffix();
        const std::wstring wideTemp = widened(temp_);
        const errno_t error = _wsopen_s(&fd_, wideTemp.c_str(),
                                        _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                                        _SH_DENYNO, _S_IREAD | _S_IWRITE);
        if (error == 0) {
            slot_ = registerTemporary(wideTemp.c_str(), wideTemp.size());
            return 0;
        }
        fd_ = -1;
        temp_.clear();
        if (error != EEXIST)
            return error;
    }
    return EEXIST;
}

int FileReplacement::commit() {
    if (fd_ < 0)
        return EBADF;
    int error = 0;
    if (!inPlace_ && _commit(fd_) != 0)
        error = errno ? errno : EIO;
    if (_close(fd_) != 0 && error == 0)
        error = errno ? errno : EIO;
    fd_ = -1;
    if (inPlace_ || error != 0) {
        discard();
        return error;
    }
    if (!MoveFileExW(widened(temp_).c_str(), widened(target_).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD code = GetLastError();
        discard();
        return errnoOf(code);
    }
    temp_.clear();
    unregisterTemporary(slot_);
    return 0;
}

void remove_temporaries_on_signals() {
    std::signal(SIGINT, removeTemporariesAndDie);
    std::signal(SIGTERM, removeTemporariesAndDie);
}

// The C runtime gives every program its descriptors 0, 1 and 2, also without
// a console (they then fail on use), so a file opened later never gets one.
bool open_standard_descriptors() noexcept {
    return true;
}

#else

int FileReplacement::open(const std::string& path) {
    discard();
    target_ = path;
    if (const int error = resolveLinks(target_); error != 0)
        return error;

    if (const int descriptor = descriptorOf(target_); descriptor >= 0) {
        fd_ = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
        if (fd_ < 0)
            return errno;
        inPlace_ = true;
        return 0;
    }

    struct stat existing;
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        // A device, FIFO or socket: write into it, never replace it. No
        // O_TRUNC: a device is not a file to be emptied.
        fd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (fd_ < 0)
            return errno;
        inPlace_ = true;
        return 0;
    }
    inPlace_ = false;

    // The temporary file sits beside the target, so that the rename stays
    // within one file system. A name too long to take the suffix gets a
    // short temporary name in the same directory.
    const std::size_t slash = target_.rfind('/');
    dir_ = slash == std::string::npos ? "" : target_.substr(0, slash + 1);
    const bool longName = target_.size() - dir_.size() + 11 > NAME_MAX;
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        temp_ = (longName ? dir_ + ".TarveloV1" : target_) + ".tmp-" + randomSuffix();
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0)
            break;
        const int error = errno;
        temp_.clear();
        if (error != EEXIST)
            return error;
    }
    if (fd_ < 0)
        return EEXIST;
    slot_ = registerTemporary(temp_.c_str(), temp_.size());
    // A replaced file keeps its permission bits; a new one has 0666 less the
    // umask from its creation.
    if (exists && ::fchmod(fd_, existing.st_mode & 07777) != 0) {
        const int error = errno;
        discard();
        return error;
    }
    return 0;
}

int FileReplacement::commit() {
    if (fd_ < 0)
        return EBADF;
    int error = 0;
    if (!inPlace_ && ::fsync(fd_) != 0)
        error = errno;
    if (::close(fd_) != 0 && error == 0)
        error = errno;
    fd_ = -1;
    if (inPlace_ || error != 0) {
        discard();
        return error;
    }
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        error = errno;
        discard();
        return error;
    }
    temp_.clear();
    unregisterTemporary(slot_);

    // Make the rename itself durable; the file is complete whatever this says.
    const int dirFd = ::open(dir_.empty() ? "." : dir_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return 0;
}

void remove_temporaries_on_signals() {
    struct sigaction action {};
    action.sa_handler = removeTemporariesAndDie;
    sigemptyset(&action.sa_mask);
    // Every signal whose default action ends the process, SIGKILL and SIGSTOP
    // aside, which cannot be caught.
    std::vector<int> signals = {SIGHUP,  SIGINT,  SIGQUIT,   SIGILL,  SIGTRAP, SIGABRT, SIGBUS,
                                SIGFPE,  SIGUSR1, SIGSEGV,   SIGUSR2, SIGPIPE, SIGALRM, SIGTERM,
                                SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO,   SIGSYS};
#if defined(SIGSTKFLT)
    signals.push_back(SIGSTKFLT);
#endif
#if defined(SIGPWR)
    signals.push_back(SIGPWR);
#endif
#if defined(SIGRTMIN)
    for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal)
        signals.push_back(signal);
#endif
    for (const int signal : signals) {
        // Only a default disposition is replaced: a signal the caller ignores
        // (nohup) stays ignored, and a sanitizer's fault handler stays.
        struct sigaction old {};
        if (::sigaction(signal, nullptr, &old) != 0 || (old.sa_flags & SA_SIGINFO) != 0 ||
            old.sa_handler != SIG_DFL)
            continue;
        ::sigaction(signal, &action, nullptr);
    }
}

bool open_standard_descriptors() noexcept {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF)
            continue;
        // The lowest free descriptor: `fd` itself, as the lower ones are open.
        const int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened < 0)
            return false;
        if (opened != fd) {
            const bool moved = ::dup2(opened, fd) == fd;
            ::close(opened);
            if (!moved)
                return false;
        }
    }
    return true;
}

#endif

bool isWindowsDeviceName(std::string_view name) {
    const std::string_view base = name.substr(0, name.find_first_of(". :"));
    const auto is = [&](std::string_view device) {
        if (base.size() != device.size())
            return false;
        for (std::size_t i = 0; i < base.size(); ++i) {
            const char c = base[i];
            if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) != device[i])
                return false;
        }
        return true;
    };
    for (const std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (is(device))
            return true;
    if (base.size() == 4 && base[3] >= '1' && base[3] <= '9') {
        const std::string_view digit = base.substr(3);
        return is(std::string("COM").append(digit)) || is(std::string("LPT").append(digit));
    }
    return false;
}

int replace_file(const std::string& path, std::string_view content) {
    FileReplacement file;
    if (const int error = file.open(path); error != 0)
        return error;
    if (const int error = writeAll(file.fd(), content.data(), content.size()); error != 0)
        return error;
    return file.commit();
}

} // namespace tarvelo
