#include "Calculator.h"

#include "KernelBinding.h"
#include "Windows1252.h"

#include <cmath>
#include <limits>

namespace tarvelo::cli {

Results KernelCalculator::calculate(const Composition& percent) {
    if (!initialised_) {
        binding_.GasData_Init();
        initialised_ = true;
    }
    Results results;
    binding_.Calculate(percent.data(), &results.lambda, &results.rho, &results.hu);
    return results;
}

int KernelCalculator::saveReport(std::string_view gasName, const std::string& path,
                                 Language language) {
    const std::string name = toWindows1252(gasName);
    const std::int32_t code = static_cast<std::int32_t>(language);
    return binding_.Save2File(name.data(), path.data(), &code, std::int32_t(name.size()),
                              std::int32_t(path.size()));
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

} // namespace tarvelo::cli
