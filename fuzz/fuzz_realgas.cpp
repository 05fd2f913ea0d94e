// The equations of state on arbitrary gases and states: the first byte
// picks the model, then 21 weights make the composition (in the published
// component order) and two more the temperature (50 K to 750 K) and the
// pressure (0 to 80 MPa), beyond both models' extended ranges at either end.
// A refusal must be a RealGasError. A state returned must be finite and
// mechanically stable (p rising with density, positive heat capacities and
// speed of sound) and give back the pressure it was asked for; a crash, a
// hang, a NaN or a silently clamped state is a finding.
#include "DetailTables.h"
#include "FuzzSupport.h"
#include "Gerg2008Tables.h"
#include "RealGas.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace rg = tarvelo::realgas;
    fuzz::Input in(data, size);
    const bool detail = (in.take<std::uint8_t>() & 1) != 0;
    const rg::Model model = detail ? rg::Model::Detail : rg::Model::Gerg2008;
    rg::Fractions x{};
    double sum = 0.0;
    for (double& v : x) {
        v = in.take<std::uint16_t>();
        sum += v;
    }
    const double t = 50.0 + 700.0 * in.take<std::uint16_t>() / 65535.0;
    const double p = 80000.0 * in.take<std::uint16_t>() / 65535.0;
    if (sum > 0.0)
        for (double& v : x)
            v /= sum;
    try {
        const rg::Mixture mixture(model, x);
        const rg::Properties s = mixture.at(t, p);
        const double values[] = {s.M, s.D, s.rho, s.Z,  s.dPdD, s.d2PdD2, s.dPdT, s.U,
                                 s.H, s.S, s.Cv,  s.Cp, s.W,    s.G,      s.JT,   s.kappa};
        for (double v : values)
            fuzz::check(std::isfinite(v), "a property is not finite");
        fuzz::check(s.D > 0.0 && s.dPdD > 0.0 && s.Cv > 0.0 && s.Cp > 0.0 && s.W > 0.0,
                    "an unstable state was returned");
        const double r = detail ? rg::aga::kGasConstant : rg::gerg::kGasConstant;
        fuzz::check(std::abs(s.Z * s.D * r * t - p) <= 1e-8 * p,
                    "the density does not give the pressure asked for");
    } catch (const rg::RealGasError&) {
    }
    return 0;
}
