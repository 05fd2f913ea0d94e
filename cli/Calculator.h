// What the commands need of the kernel, behind an interface so that the
// engine can be exercised without the library.
#pragma once

#include "Arguments.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvelo {
class KernelBinding;
}

namespace tarvelo::cli {

struct Results {
    float lambda = 0; // air/fuel ratio, l air / l fuel
    float rho = 0;    // density, g/Nm³
    float hu = 0;     // lower calorific value, kWh/Nm³
};

class Calculator {
public:
    virtual ~Calculator() = default;
    virtual Results calculate(const Composition& percent) = 0;
    // Writes the report of the last calculation; 0 or the error number.
    virtual int saveReport(std::string_view gasName, const std::string& path,
                           Language language) = 0;
};

// The kernel library through the run-time binding. The component table is
// filled before the first calculation. Binding failures surface as
// tarvelo::KernelBindingError.
class KernelCalculator final : public Calculator {
public:
    explicit KernelCalculator(KernelBinding& binding) : binding_(binding) {}
    Results calculate(const Composition& percent) override;
    // `gasName` is UTF-8; the kernel gets it in Windows-1252.
    int saveReport(std::string_view gasName, const std::string& path, Language language) override;

private:
    KernelBinding& binding_;
    bool initialised_ = false;
};

// Density of air at normal conditions, g/Nm³: the reference of the relative density.
inline constexpr double kAirDensity = 1293.0;

// Decimals shown: the window's 2, 1, 2 for the kernel's results, and 4 and 2
// for the derived values.
inline constexpr int kLambdaDecimals = 2;
inline constexpr int kRhoDecimals = 1;
inline constexpr int kHuDecimals = 2;
inline constexpr int kRelativeDensityDecimals = 4;
inline constexpr int kWobbeDecimals = 2;

// The sum of the percentages as the window forms it: in single precision,
// in component order.
float compositionSum(const Composition& percent) noexcept;

// d = rho / 1293 g/Nm³, from the unrounded density.
double relativeDensity(float rho) noexcept;

// Wl = hu / sqrt(d) in kWh/Nm³, from the unrounded values; NaN when d is not
// positive (no density, nothing to burn).
double wobbeIndex(float hu, double relativeDensity) noexcept;

} // namespace tarvelo::cli
