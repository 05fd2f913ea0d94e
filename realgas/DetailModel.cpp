// AGA8-DETAIL: the mixture terms of a composition and the residual Helmholtz
// energy, evaluated from the tables of DetailTables.h.
#include "DetailTables.h"
#include "Models.h"

#include <cmath>

namespace tarvelo::realgas::detail {
namespace {

using aga::kComponents;
using aga::kFirstDensityTerm;

// base^m for an integer m, by repeated squaring (few roundings).
double integerPower(double base, int m) noexcept {
    if (m < 0) {
        base = 1.0 / base;
        m = -m;
    }
    double result = 1.0;
    while (m != 0) {
        if (m & 1)
            result *= base;
        base *= base;
        m >>= 1;
    }
    return result;
}

// base^u for an exponent u that is a multiple of 1/2 (every u_n of the
// table), from root = sqrt(base).
double halfIntegerPower(double root, double u) noexcept {
    return integerPower(root, static_cast<int>(std::lround(2.0 * u)));
}

// The second virial coefficient B_n of a mixture is the double sum over the
// pairs i, j of x_i·x_j·B_nij. For a pair whose E_ij and G_ij are 1,
// B_nij = a_n·phi_ni·phi_nj·[(G_i + G_j)/2 if g_n], with phi_ni =
// E_i^(u_n/2)·K_i^1.5·Q_i^q_n·F_i^f_n·S_i^s_n·W_i^w_n, so that the double sum
// is a product of two single sums. The pairs with other E_ij or G_ij add
// their difference from that product.
struct VirialTable {
    std::array<std::array<double, aga::kComponents>, kDetailVirialTerms> phi;
    std::array<std::array<double, kDetailVirialTerms>, aga::kBinaryParameters.size()>
        pairCorrection;
};

double pairVirial(std::size_t n, std::size_t i, std::size_t j, double eStar,
                  double gStar) noexcept {
    const aga::Term& t = aga::kTermTable[n];
    const aga::ComponentParameters& pi = aga::kParameters[i];
    const aga::ComponentParameters& pj = aga::kParameters[j];
    double b = t.a * std::pow(eStar * std::sqrt(pi.e * pj.e), t.u) * std::pow(pi.k * pj.k, 1.5);
    if (t.g)
        b *= gStar * (pi.g + pj.g) / 2.0;
    if (t.q)
        b *= pi.q * pj.q;
    if (t.f)
        b *= pi.f * pj.f;
    if (t.s)
        b *= pi.s * pj.s;
    if (t.w)
        b *= pi.w * pj.w;
    return b;
}

VirialTable makeVirialTable() noexcept {
    VirialTable table{};
    for (std::size_t n = 0; n < kDetailVirialTerms; ++n) {
        const aga::Term& t = aga::kTermTable[n];
        for (std::size_t i = 0; i < kComponents; ++i) {
            const aga::ComponentParameters& p = aga::kParameters[i];
            double phi = std::pow(p.e, t.u / 2.0) * std::pow(p.k, 1.5);
            if (t.q)
                phi *= p.q;
            if (t.f)
                phi *= p.f;
            if (t.s)
                phi *= p.s;
            if (t.w)
                phi *= p.w;
            table.phi[n][i] = phi;
        }
        for (std::size_t k = 0; k < aga::kBinaryParameters.size(); ++k) {
            const aga::BinaryParameters& bp = aga::kBinaryParameters[k];
            const auto i = static_cast<std::size_t>(bp.i);
            const auto j = static_cast<std::size_t>(bp.j);
            table.pairCorrection[k][n] =
                pairVirial(n, i, j, bp.e, bp.g) - pairVirial(n, i, j, 1.0, 1.0);
        }
    }
    return table;
}

const VirialTable& virialTable() noexcept {
    static const VirialTable table = makeVirialTable();
    return table;
}

// K_i^2.5 and E_i^2.5, the pure parts of the size and energy parameters.
struct PowerTable {
    std::array<double, kComponents> k25, e25;
};
const PowerTable& powerTable() noexcept {
    static const PowerTable table = [] {
        PowerTable t{};
        for (std::size_t i = 0; i < kComponents; ++i) {
            t.k25[i] = std::pow(aga::kParameters[i].k, 2.5);
            t.e25[i] = std::pow(aga::kParameters[i].e, 2.5);
        }
        return t;
    }();
    return table;
}

} // namespace

double detailMolarMass(const Fractions& x) noexcept {
    double m = 0.0;
    for (std::size_t i = 0; i < kComponents; ++i)
        m += x[i] * aga::kMolarMass[i];
    return m;
}

DetailTerms detailTerms(const Fractions& x) noexcept {
    const PowerTable& powers = powerTable();
    const VirialTable& virial = virialTable();

    // Size K, energy U, orientation G, quadrupole Q and high-temperature F
    // parameters of the mixture (AGA Report No. 8 (1994), the mixing rules).
    double k = 0.0, u = 0.0, g = 0.0, q = 0.0, f = 0.0;
    for (std::size_t i = 0; i < kComponents; ++i) {
        const aga::ComponentParameters& p = aga::kParameters[i];
        k += x[i] * powers.k25[i];
        u += x[i] * powers.e25[i];
        g += x[i] * p.g;
        q += x[i] * p.q;
        f += x[i] * x[i] * p.f;
    }
    k *= k;
    u *= u;
    for (const aga::BinaryParameters& bp : aga::kBinaryParameters) {
        const auto i = static_cast<std::size_t>(bp.i);
        const auto j = static_cast<std::size_t>(bp.j);
        const double xx = 2.0 * x[i] * x[j];
        if (xx == 0.0)
            continue;
        k += xx * (integerPower(bp.k, 5) - 1.0) * powers.k25[i] * powers.k25[j];
        u += xx * (integerPower(bp.u, 5) - 1.0) * powers.e25[i] * powers.e25[j];
        g += xx * (bp.g - 1.0) * (aga::kParameters[i].g + aga::kParameters[j].g) / 2.0;
    }

    DetailTerms terms;
    terms.k3 = std::pow(k, 0.6);
    const double energy = std::pow(u, 0.2);

    for (std::size_t n = 0; n < kDetailVirialTerms; ++n) {
        const aga::Term& t = aga::kTermTable[n];
        double sum = 0.0, sumG = 0.0;
        for (std::size_t i = 0; i < kComponents; ++i) {
            const double xp = x[i] * virial.phi[n][i];
            sum += xp;
            sumG += xp * aga::kParameters[i].g;
        }
        double b = t.a * (t.g ? sum * sumG : sum * sum);
        for (std::size_t pair = 0; pair < aga::kBinaryParameters.size(); ++pair) {
            const aga::BinaryParameters& bp = aga::kBinaryParameters[pair];
            b += 2.0 * x[static_cast<std::size_t>(bp.i)] * x[static_cast<std::size_t>(bp.j)] *
                 virial.pairCorrection[pair][n];
        }
        terms.b[n] = b;
    }

    const double rootEnergy = std::sqrt(energy);
    for (std::size_t n = 0; n < kDetailTerms; ++n) {
        const aga::Term& t = aga::kTermTable[n];
        if (n + 1 < kFirstDensityTerm) {
            terms.c[n] = 0.0;
            continue;
        }
        double c = t.a * halfIntegerPower(rootEnergy, t.u);
        if (t.g)
            c *= g;
        if (t.q)
            c *= q * q;
        if (t.f)
            c *= f;
        terms.c[n] = c;
    }
    return terms;
}

DetailAtTemperature::DetailAtTemperature(const DetailTerms& terms, double temperatureK) noexcept
    : terms_(terms) {
    // T^-u_n, with tau = 1/T: tau·d/dtau of T^-u is u·T^-u.
    const double rootInverse = 1.0 / std::sqrt(temperatureK);
    for (std::size_t n = 0; n < kDetailTerms; ++n) {
        const double u = aga::kTermTable[n].u;
        const double tu = halfIntegerPower(rootInverse, u);
        factor_[n] = terms.c[n] * tu;
        if (n < kDetailVirialTerms) {
            // B_n·D - C_n·K^3·D: the terms linear in the density.
            const double lin = (terms.b[n] - terms.c[n] * terms.k3) * tu;
            linear_ += lin;
            linearT1_ += u * lin;
            linearT2_ += u * (u - 1.0) * lin;
        }
    }
}

Residual DetailAtTemperature::at(double densityMolPerL, bool full) const noexcept {
    const double rho = terms_.k3 * densityMolPerL;
    std::array<double, 10> power{};
    power[0] = 1.0;
    for (std::size_t i = 1; i < power.size(); ++i)
        power[i] = power[i - 1] * rho;
    std::array<double, 5> decay{};
    decay[0] = 1.0;
    for (std::size_t k = 1; k < decay.size(); ++k)
        decay[k] = std::exp(-power[k]);

    Residual r;
    const double v = linear_ * densityMolPerL;
    r.d1 = v;
    if (full) {
        r.a = v;
        r.t1 = linearT1_ * densityMolPerL;
        r.t2 = linearT2_ * densityMolPerL;
        r.dt = r.t1;
    }
    for (std::size_t n = kFirstDensityTerm - 1; n < kDetailTerms; ++n) {
        const aga::Term& t = aga::kTermTable[n];
        const auto k = static_cast<std::size_t>(t.k);
        double term = factor_[n] * power[static_cast<std::size_t>(t.b)];
        double g = t.b, q1 = 0.0, q2 = 0.0;
        if (t.c != 0) {
            const double ck = t.c * t.k * power[k];
            term *= decay[k];
            g -= ck;
            q1 = -t.k * ck;
            q2 = -t.k * t.k * ck;
        }
        const double h = g * g - g + q1;
        r.d1 += term * g;
        r.d2 += term * h;
        if (full) {
            r.a += term;
            r.t1 += term * t.u;
            r.t2 += term * t.u * (t.u - 1.0);
            r.dt += term * t.u * g;
            r.d3 += term * (g * h + (2.0 * g - 1.0) * q1 + q2 - 2.0 * h);
        }
    }
    return r;
}

} // namespace tarvelo::realgas::detail
