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

// root^m for m = -26..46: base^u = root^(2u) for every u_n of the table
// (multiples of 1/2 from -13 to 23), with root = sqrt(base).
constexpr int kMinTwiceU = -26, kMaxTwiceU = 46;
using HalfPowers = std::array<double, kMaxTwiceU - kMinTwiceU + 1>;
HalfPowers halfPowers(double root) noexcept {
    HalfPowers p{};
    constexpr auto zero = static_cast<std::size_t>(-kMinTwiceU);
    p[zero] = 1.0;
    for (std::size_t m = zero + 1; m < p.size(); ++m)
        p[m] = p[m - 1] * root;
    const double inverse = 1.0 / root;
    for (std::size_t m = zero; m-- > 0;)
        p[m] = p[m + 1] * inverse;
    return p;
}
// The index into HalfPowers of each term's u_n.
std::array<std::size_t, kDetailTerms> makeHalfPowerIndex() noexcept {
    std::array<std::size_t, kDetailTerms> index{};
    for (std::size_t n = 0; n < kDetailTerms; ++n)
        index[n] = static_cast<std::size_t>(std::lround(2.0 * aga::kTermTable[n].u) - kMinTwiceU);
    return index;
}
const std::array<std::size_t, kDetailTerms>& halfPowerIndex() noexcept {
    static const auto index = makeHalfPowerIndex();
    return index;
}

// The second virial coefficient B_n of a mixture is the double sum over the
// pairs i, j of x_i·x_j·B_nij. For a pair whose E_ij and G_ij are 1,
// B_nij = a_n·phi_ni·phi_nj·[(G_i + G_j)/2 if g_n], with phi_ni =
// E_i^(u_n/2)·K_i^1.5·Q_i^q_n·F_i^f_n·S_i^s_n·W_i^w_n, so that the double sum
// is a product of two single sums. The pairs with other E_ij or G_ij add
// their difference from that product.
struct PairCorrection {
    std::size_t i, j;
    std::array<double, kDetailVirialTerms> b;
};
struct VirialTable {
    // phi_ni by component, then term: the sums over the components run with
    // the 18 terms as independent accumulators.
    std::array<std::array<double, kDetailVirialTerms>, aga::kComponents> phi;
    std::array<PairCorrection, aga::kBinaryParameters.size()> pairs;
    std::size_t pairCount = 0;
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
            table.phi[i][n] = phi;
        }
    }
    for (const aga::BinaryParameters& bp : aga::kBinaryParameters) {
        if (bp.e == 1.0 && bp.g == 1.0)
            continue;
        PairCorrection& pc = table.pairs[table.pairCount++];
        pc.i = static_cast<std::size_t>(bp.i);
        pc.j = static_cast<std::size_t>(bp.j);
        for (std::size_t n = 0; n < kDetailVirialTerms; ++n)
            pc.b[n] = pairVirial(n, pc.i, pc.j, bp.e, bp.g) - pairVirial(n, pc.i, pc.j, 1.0, 1.0);
    }
    return table;
}

const VirialTable& virialTable() noexcept {
    static const VirialTable table = makeVirialTable();
    return table;
}

// K_i^2.5 and E_i^2.5, the pure parts of the size and energy parameters.
// With, for each pair of the binary table, its terms of the mixing rules:
// (K_ij^5 - 1)·(K_i·K_j)^2.5, (U_ij^5 - 1)·(E_i·E_j)^2.5, (G_ij - 1)·(G_i + G_j)/2.
struct PowerTable {
    std::array<double, kComponents> k25, e25;
    std::array<std::array<double, 3>, aga::kBinaryParameters.size()> pair;
};
const PowerTable& powerTable() noexcept {
    static const PowerTable table = [] {
        PowerTable t{};
        for (std::size_t i = 0; i < kComponents; ++i) {
            t.k25[i] = std::pow(aga::kParameters[i].k, 2.5);
            t.e25[i] = std::pow(aga::kParameters[i].e, 2.5);
        }
        for (std::size_t k = 0; k < aga::kBinaryParameters.size(); ++k) {
            const aga::BinaryParameters& bp = aga::kBinaryParameters[k];
            const auto i = static_cast<std::size_t>(bp.i);
            const auto j = static_cast<std::size_t>(bp.j);
            t.pair[k] = {(integerPower(bp.k, 5) - 1.0) * t.k25[i] * t.k25[j],
                         (integerPower(bp.u, 5) - 1.0) * t.e25[i] * t.e25[j],
                         (bp.g - 1.0) * (aga::kParameters[i].g + aga::kParameters[j].g) / 2.0};
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

void detailTerms(const Fractions& x, DetailTerms& terms) noexcept {
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
    for (std::size_t pair = 0; pair < aga::kBinaryParameters.size(); ++pair) {
        const aga::BinaryParameters& bp = aga::kBinaryParameters[pair];
        const double xx =
            2.0 * x[static_cast<std::size_t>(bp.i)] * x[static_cast<std::size_t>(bp.j)];
        k += xx * powers.pair[pair][0];
        u += xx * powers.pair[pair][1];
        g += xx * powers.pair[pair][2];
    }

    terms.k3 = std::pow(k, 0.6);
    const double energy = std::pow(u, 0.2);

    std::array<double, kDetailVirialTerms> sum{}, sumG{};
    for (std::size_t i = 0; i < kComponents; ++i) {
        if (x[i] == 0.0)
            continue;
        const double xg = x[i] * aga::kParameters[i].g;
        for (std::size_t n = 0; n < kDetailVirialTerms; ++n) {
            sum[n] += x[i] * virial.phi[i][n];
            sumG[n] += xg * virial.phi[i][n];
        }
    }
    std::array<double, kDetailVirialTerms> b{};
    for (std::size_t n = 0; n < kDetailVirialTerms; ++n) {
        const aga::Term& t = aga::kTermTable[n];
        b[n] = t.a * (t.g ? sum[n] * sumG[n] : sum[n] * sum[n]);
    }
    for (std::size_t pair = 0; pair < virial.pairCount; ++pair) {
        const PairCorrection& pc = virial.pairs[pair];
        const double xx = 2.0 * x[pc.i] * x[pc.j];
        if (xx == 0.0)
            continue;
        for (std::size_t n = 0; n < kDetailVirialTerms; ++n)
            b[n] += xx * pc.b[n];
    }
    terms.b = b;

    const HalfPowers energyPower = halfPowers(std::sqrt(energy));
    const auto& index = halfPowerIndex();
    for (std::size_t n = 0; n < kDetailTerms; ++n) {
        const aga::Term& t = aga::kTermTable[n];
        if (n + 1 < kFirstDensityTerm) {
            terms.c[n] = 0.0;
            continue;
        }
        double c = t.a * energyPower[index[n]];
        if (t.g)
            c *= g;
        if (t.q)
            c *= q * q;
        if (t.f)
            c *= f;
        terms.c[n] = c;
    }
}

DetailAtTemperature::DetailAtTemperature(const DetailTerms& terms, double temperatureK) noexcept
    : terms_(terms) {
    // T^-u_n, with tau = 1/T: tau·d/dtau of T^-u is u·T^-u.
    const HalfPowers inversePower = halfPowers(1.0 / std::sqrt(temperatureK));
    const auto& index = halfPowerIndex();
    for (std::size_t n = 0; n < kDetailTerms; ++n) {
        const double u = aga::kTermTable[n].u;
        const double tu = inversePower[index[n]];
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

double DetailAtTemperature::secondVirial() const noexcept {
    // The terms linear in D at D -> 0: the virial ones and those with b = 1.
    double b = linear_;
    for (std::size_t n = kFirstDensityTerm - 1; n < kDetailTerms; ++n)
        if (aga::kTermTable[n].b == 1)
            b += factor_[n] * terms_.k3;
    return b;
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
