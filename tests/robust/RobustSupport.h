// Helpers of the robustness tests: the kernel bound at run time, a report
// check, and the process's open descriptors.
#pragma once

#include "KernelBinding.h"
#include "KernelTestSupport.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace robust {

inline tarvelo::KernelBinding& kernel() {
    static tarvelo::KernelBinding binding;
    return binding;
}

inline int save(const std::string& name, const std::string& path, std::int32_t language = 2) {
    return kernel().Save2File(name.data(), path.data(), &language,
                              static_cast<std::int32_t>(name.size()),
                              static_cast<std::int32_t>(path.size()));
}

// The 90/5/2/2/1 example as the last calculation.
inline void calculateExample() {
    const float percent[16] = {90, 5, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 1};
    float lambda = 0, rho = 0, hu = 0;
    kernel().GasData_Init();
    kernel().Calculate(percent, &lambda, &rho, &hu);
}

// A whole report of a language with texts: 295 lines, the last one "</html>".
inline bool isCompleteReport(const std::string& content) {
    const auto lines = kerneltest::reportLines(content);
    const std::string end = " </html>\r\n";
    return lines.size() == 295 && content.size() > end.size() &&
           content.compare(content.size() - end.size(), end.size(), end) == 0;
}

// The number of descriptors the process holds open.
inline int openDescriptors() {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

} // namespace robust
