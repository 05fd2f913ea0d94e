// tarvelo: the calculation kernel from the command line.
#include "Calculator.h"
#include "Commands.h"
#include "DescriptorIo.h"
#include "KernelBinding.h"
#include "ReplaceFile.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <string_view>
#include <unistd.h>
#include <vector>
#if defined(_WIN32)
#include "WindowsText.h"

#include <fcntl.h>
#include <io.h>
#include <string>
#include <windows.h>
#endif

namespace {

// Standard output with its own buffer, which remembers why a write failed:
// a stream only knows that it failed, and errno is long overwritten when
// the program finds out at its end.
// On Windows a console shows UTF-16 (WriteConsoleW): the console's code page
// (437, 850) would show the program's UTF-8 bytes as other characters. Pipes
// and files get the UTF-8 bytes.
class StandardOutput : public std::streambuf {
public:
    explicit StandardOutput(int fd) : fd_(fd) {
        setp(buffer_, buffer_ + sizeof buffer_);
#if defined(_WIN32)
        const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
        DWORD mode = 0;
        if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode))
            console_ = handle;
#endif
    }
    int error() const noexcept {
        return error_;
    }

protected:
    int_type overflow(int_type c) override {
        if (sync() != 0)
            return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override {
#if defined(_WIN32)
        if (console_ != nullptr)
            return syncToConsole();
#endif
        const char* p = pbase();
        while (p < pptr() && error_ == 0) {
            const long long n = tarvelo::write_some(fd_, p, static_cast<std::size_t>(pptr() - p));
            if (n > 0)
                p += n;
            else if (n < 0 && errno != EINTR)
                error_ = errno;
        }
        setp(buffer_, buffer_ + sizeof buffer_);
        return error_ == 0 ? 0 : -1;
    }

private:
#if defined(_WIN32)
    // Writes the whole characters buffered; a character cut at the buffer's
    // end waits for its remaining bytes.
    int syncToConsole() {
        const std::size_t size = static_cast<std::size_t>(pptr() - pbase());
        std::size_t whole = size;
        std::size_t lead = size;
        while (lead > 0 && size - lead < 4 &&
               (static_cast<unsigned char>(buffer_[lead - 1]) & 0xC0) == 0x80)
            --lead;
        if (lead > 0) {
            const auto c = static_cast<unsigned char>(buffer_[lead - 1]);
            const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
            if (size - (lead - 1) < length)
                whole = lead - 1;
        }
        const std::wstring wide = tarvelo::widenedUtf8(std::string_view(buffer_, whole));
        for (std::size_t done = 0; done < wide.size() && error_ == 0;) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 8192));
            if (!WriteConsoleW(console_, wide.data() + done, chunk, &written, nullptr) ||
                written == 0)
                error_ = EIO;
            done += written;
        }
        std::memmove(buffer_, buffer_ + whole, size - whole);
        setp(buffer_, buffer_ + sizeof buffer_);
        pbump(static_cast<int>(size - whole));
        return error_ == 0 ? 0 : -1;
    }
    HANDLE console_ = nullptr;
#endif
    int fd_;
    char buffer_[1 << 16];
    int error_ = 0;
};

// Standard output is checked at the very end: a full disk or a closed file
// may show only when the last buffered text is written or the descriptor is
// closed, and a program that cannot deliver its output has failed.
int finish(StandardOutput& output, int status) {
    std::cout.flush();
    int error = output.error();
    if (error == 0 && ::close(STDOUT_FILENO) != 0 && errno != EBADF)
        error = errno;
    if (error == 0)
        return status;
    std::cerr << "tarvelo: cannot write standard output: " << std::strerror(error) << '\n';
    return 1;
}

} // namespace

namespace {

int run(const std::vector<std::string_view>& args) {
    // With standard output or error closed, the first file opened would take
    // its descriptor and receive the messages.
    if (!tarvelo::open_standard_descriptors())
        return 1;
#if defined(_WIN32)
    // Bytes in and out as on every other system: the C runtime would turn LF
    // into CR LF on output and stop reading piped input at a Ctrl-Z.
    _setmode(STDIN_FILENO, _O_BINARY);
    _setmode(STDOUT_FILENO, _O_BINARY);
    _setmode(STDERR_FILENO, _O_BINARY);
#endif
    std::ios::sync_with_stdio(false);
    StandardOutput output(STDOUT_FILENO);
    std::cout.rdbuf(&output);
#if defined(_WIN32)
    // Messages too reach a console as UTF-16.
    StandardOutput messages(STDERR_FILENO);
    std::cerr.rdbuf(&messages);
#endif
    // An interrupted batch run leaves its old output and no temporary file.
    tarvelo::remove_temporaries_on_signals();
#if !defined(_WIN32)
    // A file beyond the size limit (ulimit -f) is a write error that names
    // its file, not a silent end by SIGXFSZ.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    tarvelo::KernelBinding binding;
    tarvelo::cli::KernelCalculator calculator(binding);
    const int status = tarvelo::cli::runTarvelo(args, calculator, std::cout, std::cerr);
    const int exitStatus = finish(output, status);
    std::cerr.flush();
    std::cout.rdbuf(nullptr);
#if defined(_WIN32)
    std::cerr.rdbuf(nullptr);
#endif
    return exitStatus;
}

} // namespace

#if defined(_WIN32)
// Windows hands the arguments over as UTF-16 here; through main() they would
// come in the ANSI code page, which lacks most characters. Inside, they are
// UTF-8 as on every other system. "/?", where Windows users ask for help,
// is --help.
extern "C" int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> texts;
    for (int i = 1; i < argc; ++i) {
        texts.push_back(tarvelo::utf8Of(argv[i]));
        if (texts.back() == "/?")
            texts.back() = "--help";
    }
    return run(std::vector<std::string_view>(texts.begin(), texts.end()));
}
#else
int main(int argc, char** argv) {
    return run(std::vector<std::string_view>(argv + 1, argv + argc));
}
#endif
