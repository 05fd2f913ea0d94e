// What the commands need of the kernel, behind an interface so that the
// engine can be exercised without the library.
#pragma once

#include "Domain.h"

#include <array>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelo {
class KernelBinding;
}

namespace tarvelo::batch {

// The sixteen percentages in component order; components not given are 0.
using Composition = std::array<float, kComponentCount>;

struct Results {
    float lambda = 0; // air/fuel ratio, l air / l fuel
    float rho = 0;    // density, g/Nm³
    float hu = 0;     // lower calorific value, kWh/Nm³
};

// A calculation that keeps no state: safe to call from several threads at once.
using StatelessCalculation = Results (*)(const Composition& percent) noexcept;

class Calculator {
public:
    virtual ~Calculator() = default;
    virtual Results calculate(const Composition& percent) = 0;
    // A stateless calculation with results bit for bit those of calculate(),
    // or null when there is none (then calculate() must not overlap itself).
    virtual StatelessCalculation stateless() { return nullptr; }
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
    // The kernel's arithmetic compiled into this program (kernelArithmetic),
    // once the library is bound and its Calculate has given the same bits on
    // the reference compositions; otherwise null.
    StatelessCalculation stateless() override;
    // `gasName` is UTF-8; the kernel gets it in Windows-1252.
    int saveReport(std::string_view gasName, const std::string& path, Language language) override;

private:
    KernelBinding& binding_;
    bool initialised_ = false;
    int statelessChecked_ = 0; // 0 not yet, 1 agrees, -1 differs
};

// The kernel's arithmetic from the kernel's own object files (the component
// table and the mixture sums, same compiler flags), without the library's
// last-calculation state.
Results kernelArithmetic(const Composition& percent) noexcept;

// Compositions on which the compiled-in arithmetic is compared with the
// library before it is used: each pure component, the worked example, and a
// mixture of all sixteen.
const std::vector<Composition>& referenceCompositions();

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

} // namespace tarvelo::batch
