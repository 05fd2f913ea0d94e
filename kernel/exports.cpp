// The four exports of the library, its one-time set-up and the help launcher.
#include "TarveloV1_Kernel.h"

#include "gasdata.h"
#include "kernel.h"

#include <cerrno>
#include <cfenv>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#if defined(_WIN32)
#include "WindowsText.h"

#include <float.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace {

// Set by the first export call; static zero-initialisation, so nothing runs
// when the library is loaded.
bool setup_done = false;

// All floating-point exceptions masked (no condition ever traps: overflow
// gives an infinity) and double precision for intermediate results, on the
// calling thread, which is the thread of every call.
void setup_floating_point() noexcept {
    std::fenv_t environment;
    std::feholdexcept(&environment); // non-stop mode for all standard exceptions

#if defined(_MSC_VER)
    unsigned int control = 0;
    _controlfp_s(&control, _MCW_EM, _MCW_EM);
#if defined(_M_IX86)
    _controlfp_s(&control, _PC_53, _MCW_PC);
#endif
#elif (defined(__i386__) || defined(__x86_64__)) && defined(__GNUC__)
    // x87 control word: the six exception masks (bits 0-5) ...
    unsigned short x87 = 0;
    __asm__ __volatile__("fnstcw %0" : "=m"(x87));
    x87 = static_cast<unsigned short>(x87 | 0x003F);
#if defined(__i386__) && !defined(__SSE2_MATH__)
    // ... and, where the x87 unit does the arithmetic, 53-bit precision.
    x87 = static_cast<unsigned short>((x87 & ~0x0300) | 0x0200);
#endif
    __asm__ __volatile__("fldcw %0" : : "m"(x87));
#if defined(__SSE__)
    // MXCSR: the six exception masks (bits 7-12), denormal operand included.
    unsigned int mxcsr = 0;
    __asm__ __volatile__("stmxcsr %0" : "=m"(mxcsr));
    mxcsr |= 0x1F80u;
    __asm__ __volatile__("ldmxcsr %0" : : "m"(mxcsr));
#endif
#endif
}

void ensure_setup() noexcept {
    if (setup_done)
        return;
    setup_done = true;
    setup_floating_point();
}

#if defined(_WIN32)

// Opens the document the way the command interpreter named by COMSPEC opens
// a document by its type (`start "" "path"`), without waiting and without a
// console window; without COMSPEC through _wsystem(), which waits.
void open_document(const std::string& path) {
    const std::wstring document = L"\"" + tarvelo::widenedUtf8(tarvelo::utf8FromAnsi(path)) + L"\"";
    const DWORD size = GetEnvironmentVariableW(L"COMSPEC", nullptr, 0);
    if (size > 1) {
        std::wstring comspec(size, L'\0');
        comspec.resize(GetEnvironmentVariableW(L"COMSPEC", comspec.data(), size));
        std::wstring commandLine = L"\"" + comspec + L"\" /c start \"\" " + document;
        STARTUPINFOW startup;
        std::memset(&startup, 0, sizeof startup);
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process;
        std::memset(&process, 0, sizeof process);
        if (CreateProcessW(comspec.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                           NORMAL_PRIORITY_CLASS | CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                           &process)) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        return;
    }
    // A failure to run the interpreter is not reported.
    (void)_wsystem(document.c_str());
}

#else

// The first executable `name` on PATH, or an empty text.
std::string find_on_path(const char* name) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        // An empty PATH entry means the current directory.
        std::string candidate = end > start ? dirs.substr(start, end - start) : std::string(".");
        candidate.push_back('/');
        candidate.append(name);
        struct stat info;
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

// One more than the highest descriptor number the process can hold, read
// before fork: sysconf and getrlimit are not on the list of calls a child may
// make between fork and exec.
int descriptor_limit() noexcept {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return 65536;
    return limit.rlim_cur > 1048576 ? 1048576 : static_cast<int>(limit.rlim_cur);
}

// Closes every descriptor above standard error in the child, so that the
// viewer holds none of the caller's files, sockets or pipes open (a pipe end
// kept by a long-lived viewer would keep its reader waiting). One system call
// where the kernel has close_range, else one close per possible number; both
// are async-signal-safe.
void close_inherited_descriptors(int limit) noexcept {
#if defined(SYS_close_range)
    if (::syscall(SYS_close_range, 3u, ~0u, 0u) == 0)
        return;
#endif
    for (int fd = 3; fd < limit; ++fd)
        ::close(fd);
}

// Starts xdg-open with the path as its one argument, detached: an
// intermediate child forks the opener and ends at once, and is reaped here, so
// the opener belongs to init and no zombie is left. Between fork and exec only
// async-signal-safe calls are made; everything else is prepared beforehand.
void open_document(const std::string& path) {
    const std::string opener = find_on_path("xdg-open");
    if (opener.empty())
        return;
    char* const argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(path.c_str()), nullptr};
    char** const envp = environ;
    const int limit = descriptor_limit();

    const pid_t child = ::fork();
    if (child < 0)
        return;
    if (child == 0) {
        if (::fork() == 0) {
            ::setsid();
            sigset_t none;
            ::sigemptyset(&none);
            ::sigprocmask(SIG_SETMASK, &none, nullptr);
            // The viewer's messages are not shown to anyone.
            const int devnull = ::open("/dev/null", O_RDWR);
            if (devnull >= 0) {
                ::dup2(devnull, STDIN_FILENO);
                ::dup2(devnull, STDOUT_FILENO);
                ::dup2(devnull, STDERR_FILENO);
            }
            close_inherited_descriptors(limit);
            ::execve(opener.c_str(), argv, envp);
            ::_exit(127);
        }
        ::_exit(0);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
}

#endif

} // namespace

extern "C" {

TARVELO_API(int32_t) GasData_Init(void) {
    ensure_setup();
    tarvelo::gasdata_init();
    return 0;
}

TARVELO_API(int32_t) Calculate(const float* composition, float* lambda, float* rho, float* hu) {
    ensure_setup();
    tarvelo::calculate(composition, lambda, rho, hu);
    return 0;
}

TARVELO_API(int32_t)
Save2File(const char* gasName, const char* path, const int32_t* language, int32_t gasNameLength,
          int32_t pathLength) {
    ensure_setup();
    try {
        return tarvelo::save2file(gasName, path, language, gasNameLength, pathLength);
    } catch (const std::bad_alloc&) {
        return ENOMEM;
    } catch (...) {
        return EIO;
    }
}

TARVELO_API(int32_t) Help(const char* path, int32_t pathLength) {
    ensure_setup();
    try {
        open_document(std::string(tarvelo::trimmed_text(path, pathLength)));
    } catch (...) {
        // Nothing is reported: not even a lack of memory.
    }
    return 0;
}

} // extern "C"
