// Run-time binding of the kernel library: the library is loaded by file name
// at the first call of any of its functions, and each function is looked up
// by its exported name at its own first call and then kept.
#pragma once

#include "TarveloV1_Kernel.h"

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tarvelo {

// Thrown when the library or one of its functions cannot be found.
class KernelBindingError : public std::runtime_error {
public:
    enum : int {
        LibraryNotLoaded = 48,  // the library file could not be loaded
        FunctionNotFound = 453, // the library lacks an exported function
    };
    KernelBindingError(int number, std::string systemText);
    int number() const noexcept { return number_; }
    // The system's own description of the failure (dlerror or FormatMessage).
    const std::string& systemText() const noexcept { return systemText_; }

private:
    int number_;
    std::string systemText_;
};

class KernelBinding {
public:
    // The platform's file name of the kernel: "libTarveloV1_Kernel.so" on
    // Linux, "TarveloV1_Kernel.dll" on Windows. A bare file name makes the
    // loader search the program's own directory first (RUNPATH $ORIGIN).
    static const char* defaultLibraryName() noexcept;

    // `libraryName`: a file name or path, UTF-8 (on Windows loaded through the
    // wide loader).
    explicit KernelBinding(std::string libraryName = defaultLibraryName());
    ~KernelBinding();
    KernelBinding(const KernelBinding&) = delete;
    KernelBinding& operator=(const KernelBinding&) = delete;

    // The four exports; each throws KernelBindingError when it cannot be bound.
    std::int32_t GasData_Init();
    std::int32_t Calculate(const float* composition, float* lambda, float* rho, float* hu);
    std::int32_t Save2File(const char* gasName, const char* path, const std::int32_t* language,
                           std::int32_t gasNameLength, std::int32_t pathLength);
    std::int32_t Help(const char* path, std::int32_t pathLength);

    // True once the library has been loaded by a call.
    bool isLoaded() const noexcept { return handle_ != nullptr; }

private:
    void* resolve(const char* name);

    std::string libraryName_;
    void* handle_ = nullptr;
    TarveloGasDataInitFn gasDataInit_ = nullptr;
    TarveloCalculateFn calculate_ = nullptr;
    TarveloSave2FileFn save2File_ = nullptr;
    TarveloHelpFn help_ = nullptr;
};

} // namespace tarvelo
