// The exponential and the natural logarithm as plain arithmetic, without
// branches or table look-ups, so that a loop over an array of arguments
// compiles to vector instructions; and the powers and sums over such arrays
// in a fixed order. Internal to the library.
//
// Why not std::exp and std::log: a state needs about 250 of them (the 61
// Planck-Einstein terms of the ideal-gas part, an exponential and a logarithm
// each, tau^t of GERG-2008's 146 terms, and the exponentials of the density
// terms at every step of the density solve), and as calls into the C library
// they took 28 % of the time of a state (bench_realgas, GERG-2008: 1.45 µs of
// 5.2 µs). Written so, the compiler computes two, four or eight at once. A
// vector math library (SLEEF) would do the same, but it is not available for
// the Windows build, and the results would then differ between the platforms.
//
// Accuracy: within 1 (exp) and 2 (log) units in the last place of the C
// library's results (the tests compare them on random arguments).
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

// On x86-64 Linux with GCC, a function marked so is compiled three times,
// for AVX-512, for AVX2 and for the baseline, and the loader picks the best
// the processor has: its loops then take eight or four arguments at a time
// instead of two. The clones compute the same bits: the library is compiled
// without fused multiply-add (realgas/CMakeLists.txt), vector code does each
// element's operations in the same order, and the sums below fix theirs
// (40,000 states of both models compared bit for bit, AVX-512 against the
// baseline). Elsewhere (Windows, clang) it marks nothing.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__linux__)
#define TARVELO_VECTOR_CLONES                                                                      \
    __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#else
#define TARVELO_VECTOR_CLONES
#endif

namespace tarvelo::realgas::detail {

// e^x for any finite x; below -708 (where e^x leaves the normal numbers) it
// returns e^-708 ≈ 3e-308, above 708 e^708.
inline double vectorExp(double x) noexcept {
    constexpr double kLog2e = 1.4426950408889634;
    // ln 2 in two parts (the usual split of fdlibm): kLn2High has enough
    // trailing zero bits that k·kLn2High is exact for |k| < 2^20.
    constexpr double kLn2High = 6.93147180369123816490e-01;
    constexpr double kLn2Low = 1.90821492927058770002e-10;
    // Adding 1.5·2^52 rounds to an integer and leaves it in the low bits.
    constexpr double kShift = 0x1.8p52;
    x = x < -708.0 ? -708.0 : (x > 708.0 ? 708.0 : x);
    const double shifted = x * kLog2e + kShift;
    const double k = shifted - kShift;
    const double r = (x - k * kLn2High) - k * kLn2Low; // |r| <= ln 2 / 2 (and a hair)
    // e^r by its Taylor polynomial to r^13 (the remainder is below 1e-17),
    // in Estrin's scheme: pairs, then pairs of pairs, a chain of five
    // products instead of thirteen (a density step waits for these).
    const double r2 = r * r, r4 = r2 * r2, r8 = r4 * r4;
    const double a1 = 0.5 + r * (1.0 / 6.0);
    const double a2 = 1.0 / 24.0 + r * (1.0 / 120.0), a3 = 1.0 / 720.0 + r * (1.0 / 5040.0);
    const double a4 = 1.0 / 40320.0 + r * (1.0 / 362880.0);
    const double a5 = 1.0 / 3628800.0 + r * (1.0 / 39916800.0);
    const double a6 = 1.0 / 479001600.0 + r * (1.0 / 6227020800.0);
    const double b1 = a2 + r2 * a3, b2 = a4 + r2 * a5;
    // The leading 1 last: the rest is small, so it rounds once.
    const double p = 1.0 + ((r + r2 * a1) + (r4 * b1 + r8 * (b2 + r4 * a6)));
    // 2^k: k + 1023 (1..2045 here) into the exponent field.
    const std::uint64_t scale = (std::bit_cast<std::uint64_t>(shifted) + 1023u) << 52;
    return p * std::bit_cast<double>(scale);
}

// ln x for a positive normal x (not zero, not subnormal, not infinite).
inline double vectorLog(double x) noexcept {
    constexpr double kLn2High = 6.93147180369123816490e-01;
    constexpr double kLn2Low = 1.90821492927058770002e-10;
    // x = m·2^k with m in [sqrt(1/2), sqrt(2)): offsetting the bits by those
    // of sqrt(1/2) makes the exponent field k + 1023.
    constexpr std::uint64_t kSqrtHalf = 0x3fe6a09e667f3bcdu;
    constexpr std::uint64_t kOne = 0x3ff0000000000000u;
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(x);
    const std::uint64_t biased = (bits + (kOne - kSqrtHalf)) >> 52; // k + 1023
    const double m = std::bit_cast<double>(bits - ((biased - 1023u) << 52));
    // k as a double without an integer conversion: 2^52 + biased, minus 2^52 + 1023.
    const double k = std::bit_cast<double>(biased | 0x4330000000000000u) - (0x1p52 + 1023.0);
    // ln m = 2·atanh(s) = 2s·(1 + s²/3 + s⁴/5 + ...), s = (m - 1)/(m + 1),
    // |s| <= 0.1716: ten terms leave a remainder below 1e-17.
    const double f = m - 1.0;
    const double s = f / (2.0 + f);
    const double s2 = s * s;
    double p = 1.0 / 21.0;
    p = p * s2 + 1.0 / 19.0;
    p = p * s2 + 1.0 / 17.0;
    p = p * s2 + 1.0 / 15.0;
    p = p * s2 + 1.0 / 13.0;
    p = p * s2 + 1.0 / 11.0;
    p = p * s2 + 1.0 / 9.0;
    p = p * s2 + 1.0 / 7.0;
    p = p * s2 + 1.0 / 5.0;
    p = p * s2 + 1.0 / 3.0;
    const double lnM = 2.0 * s + 2.0 * s * (s2 * p);
    return k * kLn2High + (lnM + k * kLn2Low);
}

// x^0 .. x^(N-1), by squaring where it can: a chain of four products
// instead of N - 1.
template <std::size_t N> inline std::array<double, N> powers(double x) noexcept {
    std::array<double, N> p{};
    p[0] = 1.0;
    if constexpr (N > 1)
        p[1] = x;
    for (std::size_t i = 2; i < N; ++i)
        p[i] = i % 2 == 0 ? p[i / 2] * p[i / 2] : p[i - 1] * x;
    return p;
}

// The sum of the elements of `v`, in eight interleaved partial sums (the
// lanes of one vector register): the same order, so the same result, on
// every machine.
template <std::size_t N> inline double sum(const std::array<double, N>& v) noexcept {
    static_assert(N % 8 == 0);
    std::array<double, 8> lane{};
    for (std::size_t k = 0; k < N; k += 8)
        for (std::size_t l = 0; l < 8; ++l)
            lane[l] += v[k + l];
    return ((lane[0] + lane[1]) + (lane[2] + lane[3])) +
           ((lane[4] + lane[5]) + (lane[6] + lane[7]));
}

} // namespace tarvelo::realgas::detail
