// tarvelo: the calculation kernel from the command line.
#include "Calculator.h"
#include "Commands.h"
#include "DescriptorIo.h"
#include "KernelBinding.h"
#include "ReplaceFile.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <string_view>
#include <unistd.h>
#include <vector>
#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace {

// Standard output with its own buffer, which remembers why a write failed:
// a stream only knows that it failed, and errno is long overwritten when
// the program finds out at its end.
class StandardOutput : public std::streambuf {
public:
    StandardOutput() { setp(buffer_, buffer_ + sizeof buffer_); }
    int error() const noexcept { return error_; }

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
        const char* p = pbase();
        while (p < pptr() && error_ == 0) {
            const long long n =
                tarvelo::write_some(STDOUT_FILENO, p, static_cast<std::size_t>(pptr() - p));
            if (n > 0)
                p += n;
            else if (n < 0 && errno != EINTR)
                error_ = errno;
        }
        setp(buffer_, buffer_ + sizeof buffer_);
        return error_ == 0 ? 0 : -1;
    }

private:
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

int main(int argc, char** argv) {
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
    StandardOutput output;
    std::cout.rdbuf(&output);
    // An interrupted batch run leaves its old output and no temporary file.
    tarvelo::remove_temporaries_on_signals();
#if !defined(_WIN32)
    // A file beyond the size limit (ulimit -f) is a write error that names
    // its file, not a silent end by SIGXFSZ.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    std::vector<std::string_view> args(argv + 1, argv + argc);
    tarvelo::KernelBinding binding;
    tarvelo::cli::KernelCalculator calculator(binding);
    const int status = tarvelo::cli::runTarvelo(args, calculator, std::cout, std::cerr);
    const int exitStatus = finish(output, status);
    std::cout.rdbuf(nullptr);
    return exitStatus;
}
