// AGA8-DETAIL: the mixture terms of a composition and the residual Helmholtz
// energy, evaluated from the tables of DetailTables.h.
#include "DetailTables.h"
#include "Models.h"
#include "VectorMath.h"

#include <cmath>
#include <cstdint>

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

// The second virial coefficient B_n of a mixture is the double sum over the
// pairs i, j of x_i·x_j·B_nij. For a pair whose E_ij and G_ij are 1,
// B_nij = a_n·phi_ni·phi_nj·[(G_i + G_j)/2 if g_n], with phi_ni =
// E_i^(u_n/2)·K_i^1.5·Q_i^q_n·F_i^f_n·S_i^s_n·W_i^w_n, so that the double sum
// is a product of two single sums. The pairs with other E_ij or G_ij add
// their difference from that product.
constexpr std::size_t kPairCorrectionSlots = 64;
struct VirialTable {
    // phi_ni by component, then term: the sums over the components run with
    // the 18 terms (padded with zeros) as independent accumulators. The
    // padding (components 21..23) is zero.
    alignas(64) std::array<std::array<double, kDetailVirialSlots>, kPaddedComponents> phi;
    // The pairs with E_ij or G_ij other than 1: i, j, and by term their
    // B_nij less that of the product rule (unused slots: 0, 0 and zeros).
    std::array<std::size_t, kPairCorrectionSlots> i, j;
    alignas(64) std::array<std::array<double, kPairCorrectionSlots>, kDetailVirialTerms> b;
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
    std::size_t count = 0;
    for (const aga::BinaryParameters& bp : aga::kBinaryParameters) {
        if ((bp.e == 1.0 && bp.g == 1.0) || count == kPairCorrectionSlots)
            continue;
        const auto i = static_cast<std::size_t>(bp.i), j = static_cast<std::size_t>(bp.j);
        table.i[count] = i;
        table.j[count] = j;
        for (std::size_t n = 0; n < kDetailVirialTerms; ++n)
            table.b[n][count] = pairVirial(n, i, j, bp.e, bp.g) - pairVirial(n, i, j, 1.0, 1.0);
        ++count;
    }
    return table;
}

const VirialTable& virialTable() noexcept {
    static const VirialTable table = makeVirialTable();
    return table;
}

// The mixing rules' constants (AGA Report No. 8 (1994)): by component,
// K_i^2.5, E_i^2.5, G_i, Q_i and F_i; by pair of the binary table, its terms
// (K_ij^5 - 1)·(K_i·K_j)^2.5, (U_ij^5 - 1)·(E_i·E_j)^2.5 and
// (G_ij - 1)·(G_i + G_j)/2. And by term, what the mixture coefficients and
// the density terms need, padded with terms that contribute nothing.
constexpr std::size_t kPairSlots = 64;
struct MixingTable {
    alignas(64) std::array<double, kPaddedComponents> k25{}, e25{}, g{}, q{}, f{};
    alignas(64) std::array<double, kPairSlots> pairK{}, pairU{}, pairG{};
    std::array<std::int32_t, kPairSlots> pairI{}, pairJ{}; // int: a vector gather's index
    // By term n - 1: a_n of the virial terms (else 0), a_n of the density
    // terms (else 0), u_n, and the flags g_n, q_n, f_n as 0 or 1.
    alignas(64) std::array<double, kDetailVirialSlots> virialA{}, virialG{};
    alignas(64) std::array<double, kDetailTermSlots> densityA{}, u{}, flagG{}, flagQ{}, flagF{};
    // The density terms n = 13..58 by n - 13: b_n, c_n (0 or 1), k_n, u_n,
    // u_n·(u_n - 1).
    alignas(64) std::array<double, kDetailDensitySlots> b{}, c{}, k{}, du{}, du2{};
    std::array<std::int32_t, kDetailDensitySlots> bIndex{}, kIndex{};
};

const MixingTable& mixingTable() noexcept {
    static const MixingTable table = [] {
        MixingTable t{};
        for (std::size_t i = 0; i < kComponents; ++i) {
            const aga::ComponentParameters& p = aga::kParameters[i];
            t.k25[i] = std::pow(p.k, 2.5);
            t.e25[i] = std::pow(p.e, 2.5);
            t.g[i] = p.g;
            t.q[i] = p.q;
            t.f[i] = p.f;
        }
        for (std::size_t k = 0; k < aga::kBinaryParameters.size() && k < kPairSlots; ++k) {
            const aga::BinaryParameters& bp = aga::kBinaryParameters[k];
            const auto i = static_cast<std::size_t>(bp.i);
            const auto j = static_cast<std::size_t>(bp.j);
            t.pairI[k] = bp.i;
            t.pairJ[k] = bp.j;
            t.pairK[k] = (integerPower(bp.k, 5) - 1.0) * t.k25[i] * t.k25[j];
            t.pairU[k] = (integerPower(bp.u, 5) - 1.0) * t.e25[i] * t.e25[j];
            t.pairG[k] = (bp.g - 1.0) * (aga::kParameters[i].g + aga::kParameters[j].g) / 2.0;
        }
        for (std::size_t n = 0; n < kDetailTerms; ++n) {
            const aga::Term& term = aga::kTermTable[n];
            if (n < kDetailVirialTerms) {
                t.virialA[n] = term.a;
                t.virialG[n] = term.g;
            }
            if (n + 1 >= kFirstDensityTerm) {
                t.densityA[n] = term.a;
                const std::size_t m = n + 1 - kFirstDensityTerm;
                t.b[m] = term.b;
                t.c[m] = term.c;
                t.k[m] = term.k;
                t.du[m] = term.u;
                t.du2[m] = term.u * (term.u - 1.0);
                t.bIndex[m] = term.b;
                t.kIndex[m] = term.k;
            }
            t.u[n] = term.u;
            t.flagG[n] = term.g;
            t.flagQ[n] = term.q;
            t.flagF[n] = term.f;
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

TARVELO_VECTOR_CLONES
void detailTerms(const Fractions& fractions, DetailTerms& terms) noexcept {
    const MixingTable& table = mixingTable();
    const VirialTable& virial = virialTable();
    alignas(64) const PaddedFractions x = padded(fractions);

    // Size K, energy U, orientation G, quadrupole Q and high-temperature F
    // parameters of the mixture (AGA Report No. 8 (1994), the mixing rules).
    alignas(64) std::array<double, kPaddedComponents> k5, u5, g1, q1, f1;
    for (std::size_t i = 0; i < kPaddedComponents; ++i) {
        k5[i] = x[i] * table.k25[i];
        u5[i] = x[i] * table.e25[i];
        g1[i] = x[i] * table.g[i];
        q1[i] = x[i] * table.q[i];
        f1[i] = x[i] * x[i] * table.f[i];
    }
    alignas(64) std::array<double, kPairSlots> k2, u2, g2;
    for (std::size_t p = 0; p < kPairSlots; ++p) {
        const double xx = 2.0 * x[static_cast<std::size_t>(table.pairI[p])] *
                          x[static_cast<std::size_t>(table.pairJ[p])];
        k2[p] = xx * table.pairK[p];
        u2[p] = xx * table.pairU[p];
        g2[p] = xx * table.pairG[p];
    }
    const double kSum = sum(k5), uSum = sum(u5);
    const double k = kSum * kSum + sum(k2);
    const double u = uSum * uSum + sum(u2);
    const double g = sum(g1) + sum(g2);
    const double q = sum(q1);
    const double f = sum(f1);
    terms.k3 = vectorExp(0.6 * vectorLog(k));   // K^3 = (K^5)^0.6
    const double lnEnergy = 0.2 * vectorLog(u); // U = (U^5)^0.2

    // The sums over the components and the pair corrections, each in four
    // interleaved partial sums (a fixed order; independent additions).
    using Row = std::array<double, kDetailVirialSlots>;
    alignas(64) std::array<Row, 4> s{}, sG{};
    for (std::size_t i = 0; i < kPaddedComponents; i += 4)
        for (std::size_t part = 0; part < 4; ++part) {
            const double xi = x[i + part], xg = xi * table.g[i + part];
            for (std::size_t n = 0; n < kDetailVirialSlots; ++n) {
                s[part][n] += xi * virial.phi[i + part][n];
                sG[part][n] += xg * virial.phi[i + part][n];
            }
        }
    // The pair corrections: by term n, the sum over the pairs of
    // 2·x_i·x_j·b_n, in eight partial sums (the lanes of a vector).
    alignas(64) std::array<double, kPairCorrectionSlots> xx;
    for (std::size_t pair = 0; pair < kPairCorrectionSlots; ++pair)
        xx[pair] = 2.0 * x[virial.i[pair]] * x[virial.j[pair]];
    alignas(64) std::array<double, kDetailVirialSlots> correction{};
    for (std::size_t n = 0; n < kDetailVirialTerms; ++n) {
        alignas(64) std::array<double, 8> lane{};
        for (std::size_t pair = 0; pair < kPairCorrectionSlots; pair += 8)
            for (std::size_t l = 0; l < 8; ++l)
                lane[l] += xx[pair + l] * virial.b[n][pair + l];
        correction[n] = ((lane[0] + lane[1]) + (lane[2] + lane[3])) +
                        ((lane[4] + lane[5]) + (lane[6] + lane[7]));
    }
    alignas(64) std::array<double, kDetailVirialSlots> b;
    for (std::size_t n = 0; n < kDetailVirialSlots; ++n) {
        const double sn = (s[0][n] + s[1][n]) + (s[2][n] + s[3][n]);
        const double sGn = (sG[0][n] + sG[1][n]) + (sG[2][n] + sG[3][n]);
        b[n] = table.virialA[n] * (table.virialG[n] > 0.5 ? sn * sGn : sn * sn) + correction[n];
    }
    terms.b = b;

    // C_n = a_n·U^u_n·G^g_n·(Q²)^q_n·F^f_n, but for U^u_n: a state takes
    // (U/T)^u_n in one exponential.
    alignas(64) std::array<double, kDetailTermSlots> c;
    for (std::size_t n = 0; n < kDetailTermSlots; ++n) {
        const double cg = table.flagG[n] > 0.5 ? g : 1.0;
        const double cq = table.flagQ[n] > 0.5 ? q * q : 1.0;
        const double cf = table.flagF[n] > 0.5 ? f : 1.0;
        c[n] = table.densityA[n] * cg * cq * cf;
    }
    terms.c = c;
    terms.lnEnergy = lnEnergy;
}

namespace {

// C_n·T^-u_n of the density terms and the sums of the terms linear in D.
TARVELO_VECTOR_CLONES
void temperatureTerms(const DetailTerms& terms, double temperatureK,
                      std::array<double, kDetailDensitySlots>& factor, double& linear,
                      double& linearT1, double& linearT2) noexcept {
    const MixingTable& table = mixingTable();
    const double lnT = std::log(temperatureK);
    const double lnRatio = terms.lnEnergy - lnT;           // ln(U/T)
    alignas(64) std::array<double, kDetailDensitySlots> f; // local: no aliasing with `terms`
    for (std::size_t m = 0; m < kDetailDensitySlots; ++m)
        f[m] = terms.c[m + kFirstDensityTerm - 1] * vectorExp(table.du[m] * lnRatio);
    factor = f;
    alignas(64) std::array<double, kDetailVirialSlots> tu; // T^-u_n
    for (std::size_t n = 0; n < kDetailVirialSlots; ++n)
        tu[n] = vectorExp(-table.u[n] * lnT);
    // B_n·D - C_n·K^3·D: the terms linear in the density (the second part
    // for the terms n = 13..18 only); with tau = 1/T, tau·d/dtau of T^-u is
    // u·T^-u.
    linear = linearT1 = linearT2 = 0.0;
    for (std::size_t n = 0; n < kDetailVirialTerms; ++n) {
        const double u = table.u[n];
        double lin = terms.b[n] * tu[n];
        if (n + 1 >= kFirstDensityTerm)
            lin -= terms.k3 * factor[n + 1 - kFirstDensityTerm];
        linear += lin;
        linearT1 += u * lin;
        linearT2 += u * (u - 1.0) * lin;
    }
}

// The density terms at reduced density rho = K^3·D: their sums for d1, d2,
// d3 and, with `full`, for a and the tau derivatives.
TARVELO_VECTOR_CLONES
void densityTerms(const std::array<double, kDetailDensitySlots>& factor, double rho, bool full,
                  Residual& r) noexcept {
    const MixingTable& table = mixingTable();
    const std::array<double, 10> power = powers<10>(rho); // rho^0 .. rho^9
    alignas(64) std::array<double, 8> decay{}; // exp(-rho^k), k = 1..4; 1 for k = 0 (c_n = 0)
    for (std::size_t k = 0; k < decay.size(); ++k)
        decay[k] = vectorExp(-power[k]);
    decay[0] = 1.0;

    alignas(64) std::array<double, kDetailDensitySlots> term, g, h, q1, q2;
    for (std::size_t m = 0; m < kDetailDensitySlots; ++m) {
        const auto k = static_cast<std::size_t>(table.kIndex[m]);
        term[m] = factor[m] * power[static_cast<std::size_t>(table.bIndex[m])] * decay[k];
        const double ck = table.c[m] * table.k[m] * power[k];
        g[m] = table.b[m] - ck;
        q1[m] = -table.k[m] * ck;
        q2[m] = -table.k[m] * table.k[m] * ck;
        h[m] = g[m] * g[m] - g[m] + q1[m];
    }
    alignas(64) std::array<double, kDetailDensitySlots> d1, d2, d3;
    for (std::size_t m = 0; m < kDetailDensitySlots; ++m) {
        d1[m] = term[m] * g[m];
        d2[m] = term[m] * h[m];
        d3[m] = term[m] * (g[m] * h[m] + (2.0 * g[m] - 1.0) * q1[m] + q2[m] - 2.0 * h[m]);
    }
    r.d1 += sum(d1);
    r.d2 += sum(d2);
    r.d3 += sum(d3);
    if (!full)
        return;
    alignas(64) std::array<double, kDetailDensitySlots> t1, t2, dt;
    for (std::size_t m = 0; m < kDetailDensitySlots; ++m) {
        t1[m] = term[m] * table.du[m];
        t2[m] = term[m] * table.du2[m];
        dt[m] = term[m] * table.du[m] * g[m];
    }
    r.a += sum(term);
    r.t1 += sum(t1);
    r.t2 += sum(t2);
    r.dt += sum(dt);
}

} // namespace

DetailAtTemperature::DetailAtTemperature(const DetailTerms& terms, double temperatureK) noexcept
    : terms_(terms) {
    temperatureTerms(terms, temperatureK, factor_, linear_, linearT1_, linearT2_);
}

double DetailAtTemperature::secondVirial() const noexcept {
    // The terms linear in D at D -> 0: the virial ones and those with b = 1.
    const MixingTable& table = mixingTable();
    double b = linear_;
    for (std::size_t m = 0; m < kDetailDensitySlots; ++m)
        if (table.b[m] == 1.0)
            b += factor_[m] * terms_.k3;
    return b;
}

Residual DetailAtTemperature::at(double densityMolPerL, bool full) const noexcept {
    Residual r;
    const double v = linear_ * densityMolPerL;
    r.d1 = v;
    if (full) {
        r.a = v;
        r.t1 = linearT1_ * densityMolPerL;
        r.t2 = linearT2_ * densityMolPerL;
        r.dt = r.t1;
    }
    densityTerms(factor_, terms_.k3 * densityMolPerL, full, r);
    return r;
}

} // namespace tarvelo::realgas::detail
