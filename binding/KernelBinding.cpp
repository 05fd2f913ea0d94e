#include "KernelBinding.h"

#include <string>
#include <utility>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace tarvelo {

KernelBindingError::KernelBindingError(int number, std::string systemText)
    : std::runtime_error("kernel binding error " + std::to_string(number) + ": " + systemText),
      number_(number), systemText_(std::move(systemText)) {}

namespace {

// The loader's message on why `subject` (the library, or the library and a
// function) could not be had. dlerror() names it itself; Windows' message
// does not ("The specified module could not be found."), so it is put first.
#if defined(_WIN32)
std::string lastSystemError(const std::string& subject) {
    char buffer[512] = {};
    DWORD code = GetLastError();
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   buffer, sizeof buffer, nullptr);
    std::string text(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return subject + ": " + text;
}
#else
std::string lastSystemError(const std::string&) {
    const char* text = dlerror();
    return text ? text : "unknown error";
}
#endif

} // namespace

const char* KernelBinding::defaultLibraryName() noexcept {
#if defined(_WIN32)
    return "TarveloV1_Kernel.dll";
#elif defined(__APPLE__)
    return "libTarveloV1_Kernel.dylib";
#else
    return "libTarveloV1_Kernel.so";
#endif
}

KernelBinding::KernelBinding(std::string libraryName) : libraryName_(std::move(libraryName)) {}

// The library stays loaded until the process ends: the kernel's state must
// outlive any one binding object, as it would for a statically bound library.
KernelBinding::~KernelBinding() = default;

void* KernelBinding::resolve(const char* name) {
    if (!handle_) {
#if defined(_WIN32)
        // The name is UTF-8; the wide loader takes any folder's name.
        const int n = MultiByteToWideChar(CP_UTF8, 0, libraryName_.c_str(), -1, nullptr, 0);
        std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 1), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, libraryName_.c_str(), -1, wide.data(), n);
        handle_ = reinterpret_cast<void*>(LoadLibraryW(wide.c_str()));
#else
        dlerror();
        handle_ = dlopen(libraryName_.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
        if (!handle_)
            throw KernelBindingError(KernelBindingError::LibraryNotLoaded,
                                     lastSystemError(libraryName_));
    }
#if defined(_WIN32)
    void* symbol = reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
#else
    dlerror();
    void* symbol = dlsym(handle_, name);
#endif
    if (!symbol)
        throw KernelBindingError(KernelBindingError::FunctionNotFound,
                                 lastSystemError(libraryName_ + ": " + name));
    return symbol;
}

// Function pointers come back from the loader as data pointers; converting
// through an integer of pointer size is what POSIX and Win32 both guarantee.
template <typename Fn> static Fn asFunction(void* symbol) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the one conversion the loaders allow
    return reinterpret_cast<Fn>(reinterpret_cast<std::uintptr_t>(symbol));
}

std::int32_t KernelBinding::GasData_Init() {
    if (!gasDataInit_)
        gasDataInit_ = asFunction<TarveloGasDataInitFn>(resolve("GasData_Init"));
    return gasDataInit_();
}

std::int32_t KernelBinding::Calculate(const float* composition, float* lambda, float* rho,
                                      float* hu) {
    if (!calculate_)
        calculate_ = asFunction<TarveloCalculateFn>(resolve("Calculate"));
    return calculate_(composition, lambda, rho, hu);
}

std::int32_t KernelBinding::Save2File(const char* gasName, const char* path,
                                      const std::int32_t* language, std::int32_t gasNameLength,
                                      std::int32_t pathLength) {
    if (!save2File_)
        save2File_ = asFunction<TarveloSave2FileFn>(resolve("Save2File"));
    return save2File_(gasName, path, language, gasNameLength, pathLength);
}

std::int32_t KernelBinding::Help(const char* path, std::int32_t pathLength) {
    if (!help_)
        help_ = asFunction<TarveloHelpFn>(resolve("Help"));
    return help_(path, pathLength);
}

} // namespace tarvelo
