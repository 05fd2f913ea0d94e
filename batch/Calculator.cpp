#include "Calculator.h"

#include "KernelBinding.h"
#include "Windows1252.h"
#include "mixture.h"

#if defined(_WIN32)
#include "WindowsText.h"
#endif

#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace tarvelo::batch {

Results KernelCalculator::calculate(const Composition& percent) {
    if (!initialised_) {
        binding_.GasData_Init();
        initialised_ = true;
    }
    Results results;
    binding_.Calculate(percent.data(), &results.lambda, &results.rho, &results.hu);
    return results;
}

StatelessCalculation KernelCalculator::stateless() {
    if (statelessChecked_ == 0) {
        statelessChecked_ = 1;
        for (const Composition& percent : referenceCompositions()) {
            const Results library = calculate(percent);
            const Results own = kernelArithmetic(percent);
            // Bit for bit: a -0 or a NaN payload must agree too.
            const auto bits = [](float v) { return std::bit_cast<std::uint32_t>(v); };
            if (bits(library.lambda) != bits(own.lambda) || bits(library.rho) != bits(own.rho) ||
                bits(library.hu) != bits(own.hu))
                statelessChecked_ = -1;
        }
    }
    return statelessChecked_ > 0 ? &kernelArithmetic : nullptr;
}

Results kernelArithmetic(const Composition& percent) noexcept {
    const KernelState state = mixture_properties(percent.data(), component_values);
    return {state.lambda, state.rho, state.hu};
}

const std::vector<Composition>& referenceCompositions() {
    static const std::vector<Composition> compositions = [] {
        std::vector<Composition> list;
        for (std::size_t i = 0; i < std::size_t(kComponentCount); ++i) {
            Composition pure{};
            pure[i] = 100.0f;
            list.push_back(pure);
        }
        Composition example{}; // CH4 90, C2H6 5, C3H8 2, CO2 2, N2 1
        example[0] = 90.0f;
        example[1] = 5.0f;
        example[2] = 2.0f;
        example[12] = 2.0f;
        example[13] = 1.0f;
        list.push_back(example);
        Composition all{};
        for (std::size_t i = 0; i < std::size_t(kComponentCount); ++i)
            all[i] = 100.0f / float(kComponentCount) + 0.0137f * float(i);
        list.push_back(all);
        return list;
    }();
    return compositions;
}

int KernelCalculator::saveReport(std::string_view gasName, const std::string& path,
                                 Language language) {
    const std::string name = toWindows1252(gasName);
    const std::int32_t code = static_cast<std::int32_t>(language);
#if defined(_WIN32)
    // The kernel takes the path in the ANSI code page, which the program's
    // manifest makes UTF-8; where Windows ignores that (before Windows 10
    // 1903), a path the code page cannot hold is refused, never bent to a
    // look-alike.
    std::string ansi;
    if (!ansiFromUtf8(path, ansi))
        return EILSEQ;
    return binding_.Save2File(name.data(), ansi.data(), &code, std::int32_t(name.size()),
                              std::int32_t(ansi.size()));
#else
    return binding_.Save2File(name.data(), path.data(), &code, std::int32_t(name.size()),
                              std::int32_t(path.size()));
#endif
}

float compositionSum(const Composition& percent) noexcept {
    float sum = 0.0f;
    for (const float value : percent)
        sum += value;
    return sum;
}

double relativeDensity(float rho) noexcept {
    return static_cast<double>(rho) / kAirDensity;
}

double wobbeIndex(float hu, double relativeDensity) noexcept {
    if (!(relativeDensity > 0.0))
        return std::numeric_limits<double>::quiet_NaN();
    return static_cast<double>(hu) / std::sqrt(relativeDensity);
}

} // namespace tarvelo::batch
