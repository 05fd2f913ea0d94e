#include "Numbers.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace tarvelo::batch {

namespace {

bool isBlank(char c) noexcept {
    return c == ' ' || c == '\t';
}

constexpr std::uint64_t kPow10[] = {1ull,
                                    10ull,
                                    100ull,
                                    1000ull,
                                    10000ull,
                                    100000ull,
                                    1000000ull,
                                    10000000ull,
                                    100000000ull,
                                    1000000000ull,
                                    10000000000ull,
                                    100000000000ull,
                                    1000000000000ull,
                                    10000000000000ull,
                                    100000000000000ull,
                                    1000000000000000ull,
                                    10000000000000000ull,
                                    100000000000000000ull,
                                    1000000000000000000ull,
                                    10000000000000000000ull};

using detail::kPow10Double;

void replaceMark(char* begin, char* end, char decimalMark) noexcept {
    if (decimalMark == '.')
        return;
    for (char* p = begin; p != end; ++p)
        if (*p == '.')
            *p = decimalMark;
}

// The general form through the standard library, for the values the fast
// path below does not cover.
char* writeGeneralSlow(char* out, float value, int digits, char decimalMark) noexcept {
    auto result =
        std::to_chars(out, out + kMaxNumberText, value, std::chars_format::general, digits);
    replaceMark(out, result.ptr, decimalMark);
    return result.ptr;
}

// The eight decimal digits of n < 10^8, leading zeros included, as the
// values 0 to 9 in the eight bytes of a word, the first digit in the lowest
// byte. Four digits are split off per 32-bit half, then two per 16-bit and
// one per 8-bit lane; x / 100 = (x * 10486) >> 20 for x < 10^4 and
// x / 10 = (x * 103) >> 10 for x < 100 keep each product within its lane.
[[gnu::always_inline]] inline std::uint64_t eightDigits(std::uint32_t n) noexcept {
    const std::uint64_t fours = (n / 10000) | (std::uint64_t(n % 10000) << 32);
    const std::uint64_t hundreds = ((fours * 10486) >> 20) & 0x0000007F0000007Fu;
    const std::uint64_t twos = ((fours - hundreds * 100) << 16) | hundreds;
    const std::uint64_t tens = ((twos * 103) >> 10) & 0x000F000F000F000Fu;
    return ((twos - tens * 10) << 8) | tens;
}

constexpr std::uint64_t kZeroChars = 0x3030303030303030u;

// Stores the eight bytes of text, the lowest first, at out.
void storeWord(char* out, std::uint64_t text) noexcept {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, &text, 8);
    } else {
        for (int i = 0; i < 8; ++i)
            out[i] = char(text >> (8 * i));
    }
}

// How many of the eight digits of eightDigits(n) end the number as zeros:
// the zero bytes at the high end of the word (8 for n = 0). Counted rather
// than looked for digit by digit: on the benchmark input that loop cost
// 72 instructions and three mispredicted branches a row (callgrind).
[[gnu::always_inline]] inline int trailingZeros(std::uint64_t digitValues) noexcept {
    return std::countl_zero(digitValues) / 8;
}

// x rounded to a whole number, ties to even: std::nearbyint in the default
// rounding mode, for which it is called, without the call into the C library.
// Adding and taking away 2^52 leaves no bits below the units, and the sum is
// rounded to nearest, ties to even; doubles of 2^52 or more are whole.
// Only the sign of a zero result may differ from nearbyint's, and the
// writers below show either zero as "0".
[[gnu::always_inline]] inline double roundToWhole(double x) noexcept {
    constexpr double kTwoTo52 = 4503599627370496.0;
    if (!(std::fabs(x) < kTwoTo52))
        return x; // whole already, or not finite
    const double offset = std::copysign(kTwoTo52, x);
    return (x + offset) - offset;
}

// Writes the number whose `count` digits (at most 16) start at `digits`, the
// last `decimals` of them after the decimal mark and the last `zeros` of
// them zeros: the integer part ("0" when all digits are decimals), then,
// unless they are all zeros, the mark and the decimals without trailing
// zeros. 16 bytes from `digits` must be readable; the copies write up to 16
// bytes at a time, which stays within the kMaxNumberText chars at the start
// of the number for every caller here (a sign, at most 15 integer digits and
// the mark or "0." and 8 zeros, then 16). This, eightDigits and
// writeScaled are forced inline: as calls they cost 4399 instead of 4190
// instructions per row of the benchmark input (callgrind).
[[gnu::always_inline]] inline char* layOut(char* p, const char* digits, int count, int decimals,
                                           int zeros, char decimalMark) noexcept {
    const int integers = count - decimals;
    const int first = integers > 0 ? integers : 0;
    const int last = std::max(count - zeros, first);
    if (integers > 0) {
        std::memcpy(p, digits, 16);
        p += integers;
    } else {
        *p++ = '0';
    }
    if (last > first) {
        *p++ = decimalMark;
        for (int i = integers; i < 0; ++i)
            *p++ = '0';
        std::memcpy(p, digits + first, 16);
        p += last - first;
    }
    return p;
}

// Writes scaled / 10^decimals; `scaled` is a whole number below 1e15 in
// magnitude. A negative zero and zero are both "0".
[[gnu::always_inline]] inline char* writeScaled(char* out, double scaled, int decimals,
                                                char decimalMark) noexcept {
    char* p = out;
    const auto k = static_cast<std::uint64_t>(std::fabs(scaled));
    if (scaled < 0.0 && k != 0)
        *p++ = '-';
    char text[32] = {};
    const char* digits;
    int count;
    int trailing;
    // The leading zeros are skipped, but one digit is kept. They are the
    // zero bytes at the low end of the first word of digit values.
    std::uint64_t first;
    if (k < kPow10[8]) {
        first = eightDigits(std::uint32_t(k));
        count = 8;
        trailing = trailingZeros(first);
    } else {
        first = eightDigits(std::uint32_t(k / kPow10[8]));
        const std::uint64_t second = eightDigits(std::uint32_t(k % kPow10[8]));
        storeWord(text + 8, second + kZeroChars);
        count = 16; // the first word is not zero
        trailing = second == 0 ? 8 + trailingZeros(first) : trailingZeros(second);
    }
    storeWord(text, first + kZeroChars);
    const int zeros = first == 0 ? 7 : std::countr_zero(first) / 8;
    digits = text + zeros;
    count -= zeros;
    return layOut(p, digits, count, decimals, trailing, decimalMark);
}

// Plain decimals ("87.5", "0,0695", "100") as readPlainDecimalAt reads them,
// for text that need not be followed by a byte that ends the number: read
// from a copy that is. False for anything else.
bool readPlainDecimal(const char* p, const char* end, char decimalMark, float& value) noexcept {
    constexpr std::ptrdiff_t kMostText = detail::kPlainDigits + 1; // the digits and the mark
    if (end - p > kMostText)
        return false;
    char text[kMostText + 1];
    const auto length = std::size_t(end - p);
    std::memcpy(text, p, length);
    text[length] = '\0';
    return readPlainDecimalAt(text, decimalMark, value) == text + length;
}

} // namespace

ParsedAmount parseAmount(std::string_view text, char decimalMark) noexcept {
    std::size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    if (begin == end)
        return {NumberStatus::Empty, 0.0};
    if (text[begin] == '+') {
        ++begin;
        if (begin == end || text[begin] == '+' || text[begin] == '-')
            return {NumberStatus::NotANumber, 0.0};
    }
    const std::size_t length = end - begin;
    // from_chars knows only '.', so a decimal comma is translated in a copy;
    // with '.' the text is read where it is (a ',' then ends the number early).
    char local[64];
    std::string longCopy;
    const char* buffer = text.data() + begin;
    if (decimalMark != '.') {
        char* copy = local;
        if (length > sizeof local) {
            longCopy.assign(text.substr(begin, length));
            copy = longCopy.data();
        } else {
            std::memcpy(local, text.data() + begin, length);
        }
        for (std::size_t i = 0; i < length; ++i) {
            if (copy[i] == '.')
                return {NumberStatus::NotANumber, 0.0};
            if (copy[i] == decimalMark)
                copy[i] = '.';
        }
        buffer = copy;
    }
    double value = 0.0;
    auto result = std::from_chars(buffer, buffer + length, value, std::chars_format::general);
    if (result.ptr != buffer + length)
        return {NumberStatus::NotANumber, 0.0};
    if (result.ec == std::errc::result_out_of_range) {
        // A negative exponent means the value is too small: it counts as 0.
        const char* exponent = static_cast<const char*>(std::memchr(buffer, 'e', length));
        if (!exponent)
            exponent = static_cast<const char*>(std::memchr(buffer, 'E', length));
        if (exponent && exponent + 1 < buffer + length && exponent[1] == '-')
            return {NumberStatus::Ok, 0.0};
        return {buffer[0] == '-' ? NumberStatus::Negative : NumberStatus::OutOfRange, 0.0};
    }
    if (result.ec != std::errc())
        return {NumberStatus::NotANumber, 0.0};
    if (!std::isfinite(value))
        return {NumberStatus::NotANumber, 0.0};
    if (value < 0.0)
        return {NumberStatus::Negative, 0.0};
    return {NumberStatus::Ok, value};
}

ParsedNumber parseNumberGeneral(std::string_view text, char decimalMark) noexcept {
    return inSinglePrecision(parseAmount(text, decimalMark));
}

ParsedNumber parseNumberOutOfLine(std::string_view text, char decimalMark) noexcept {
    const char* begin = text.data();
    const char* end = begin + text.size();
    while (begin != end && isBlank(*begin))
        ++begin;
    while (end != begin && isBlank(end[-1]))
        --end;
    float value;
    if (readPlainDecimal(begin, end, decimalMark, value))
        return {NumberStatus::Ok, value};
    return parseNumberGeneral(text, decimalMark);
}

std::string_view describe(NumberStatus status) noexcept {
    switch (status) {
    case NumberStatus::Empty:
        return "empty";
    case NumberStatus::Ok:
        return "ok";
    case NumberStatus::NotANumber:
        return "not a number";
    case NumberStatus::Negative:
        return "negative value";
    case NumberStatus::OutOfRange:
        return "too large for single precision";
    }
    return "invalid";
}

double roundHalfEven(double value, int decimals) noexcept {
    const double scale = kPow10Double[decimals];
    if (!std::isfinite(value) || std::fabs(value) >= 1e15)
        return value;
    return std::nearbyint(value * scale) / scale;
}

char* writeGeneral(char* out, float value, int digits, char decimalMark) noexcept {
    if (value == 0.0f) {
        *out = '0';
        return out + 1;
    }
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biasedExponent = int((bits >> 23) & 0xffu);
    if (biasedExponent == 0 || biasedExponent == 255 || digits < 1 || digits > 9)
        return writeGeneralSlow(out, value, digits, decimalMark);
    // value = m * 2^e exactly, m of 24 bits.
    const std::uint64_t m = (bits & 0x7fffffu) | 0x800000u;
    const int e = biasedExponent - 150;
    if (e > 0 || e < -63)
        return writeGeneralSlow(out, value, digits, decimalMark);
    const unsigned shift = unsigned(-e);

    // x, the decimal exponent of the first significant digit, is x0 or
    // x0 + 1: the value lies in [2^(e + 23), 2^(e + 24)), which holds at most
    // one power of ten, and x0 = floor(log10(2^(e + 23))), which the integer
    // estimate gives exactly for the exponents here. printf's %g uses plain
    // notation for -4 <= x < digits. Which of the two it is, and the
    // rounding below, are chosen without branches: on the benchmark input
    // the branches there were mispredicted about once a number (callgrind).
    const int x0 = ((e + 23) * 1233) >> 12;
    if (x0 < -4 || x0 >= digits)
        return writeGeneralSlow(out, value, digits, decimalMark);
    int k = digits - 1 - x0; // value * 10^k has `digits` integer digits when x = x0; 0 to 12
    const bool longer = ((m * kPow10[k]) >> shift) >= kPow10[digits]; // < 2^24 * 10^12 < 2^64
    k -= int(longer);
    if (k < 0) // x = digits
        return writeGeneralSlow(out, value, digits, decimalMark);
    const std::uint64_t n = m * kPow10[k];
    std::uint64_t q = n >> shift;
    const std::uint64_t remainder = n & ((std::uint64_t(1) << shift) - 1);
    const std::uint64_t half = (std::uint64_t(1) << shift) >> 1; // 0 when shift = 0
    q += std::uint64_t(remainder > half) |
         (std::uint64_t(remainder == half) & (q & 1u) & std::uint64_t(remainder != 0));
    if (q == kPow10[digits]) { // rounded up to the next power of ten
        q = kPow10[digits - 1];
        if (--k < 0)
            return writeGeneralSlow(out, value, digits, decimalMark);
    }

    // q < 10^9: the first of nine digits, then eight.
    char text[32] = {};
    const std::uint64_t high = q / kPow10[8];
    const std::uint64_t low = eightDigits(std::uint32_t(q % kPow10[8]));
    text[0] = char('0' + high);
    storeWord(text + 1, low + kZeroChars);
    // The last eight digits are zeros only for digits = 9 (q >= 10^8 then).
    const int trailing = trailingZeros(low);
    char* p = out;
    if (value < 0.0f)
        *p++ = '-';
    return layOut(p, text + 9 - digits, digits, k, trailing, decimalMark);
}

char* writeGeneral(char* out, double value, int digits, char decimalMark) noexcept {
    // printf's "%.9g" of a double through std::to_chars costs about 630
    // instructions a number (callgrind), the most of a row with the ISO
    // columns; this path, for values printed without an exponent, about 60.
    const auto slow = [&] {
        auto result =
            std::to_chars(out, out + kMaxNumberText, value, std::chars_format::general, digits);
        replaceMark(out, result.ptr, decimalMark);
        return result.ptr;
    };
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biasedExponent = int((bits >> 52) & 0x7ffu);
    if (value == 0.0 || biasedExponent == 0 || biasedExponent == 0x7ff || digits < 1 || digits > 9)
        return slow();
    const double a = std::fabs(value);
    // x0 = floor(log10(2^e)) for a in [2^e, 2^(e+1)); the first digit's
    // decimal exponent is x0 or x0 + 1.
    const int x0 = ((biasedExponent - 1023) * 1233) >> 12;
    int k = digits - 1 - x0; // a * 10^k has `digits` integer digits, or one more
    if (k < 0 || k > 12)
        return slow();
    double p = a * kPow10Double[k];
    if (p >= kPow10Double[digits]) {
        if (--k < 0)
            return slow();
        p = a * kPow10Double[k];
    }
    // The product's rounding error, exactly: a * 10^k = p + error. The
    // rounding to a whole number is then that of the exact product, half to
    // even as printf rounds: a tie of p is a tie of the product only when
    // the error is 0, else the error's sign decides.
    const double error = std::fma(a, kPow10Double[k], -p);
    double whole = roundToWhole(p);
    const double fraction = p - whole;
    if (fraction == 0.5 && error > 0.0)
        whole += 1.0;
    else if (fraction == -0.5 && error < 0.0)
        whole -= 1.0;
    if (whole >= kPow10Double[digits]) { // rounded up to the next power of ten
        whole = kPow10Double[digits - 1];
        --k;
    }
    const int x = digits - 1 - k;
    if (x < -4 || x >= digits || k < 0)
        return slow();
    const std::uint64_t q = static_cast<std::uint64_t>(whole);
    char text[32] = {};
    const std::uint64_t high = q / kPow10[8];
    const std::uint64_t low = eightDigits(std::uint32_t(q % kPow10[8]));
    text[0] = char('0' + high);
    storeWord(text + 1, low + kZeroChars);
    const int trailing = trailingZeros(low); // fewer than `digits`: q >= 10^(digits - 1)
    char* end = out;
    if (value < 0.0)
        *end++ = '-';
    return layOut(end, text + 9 - digits, digits, k, trailing, decimalMark);
}

char* writeRounded(char* out, double value, int decimals, char decimalMark) noexcept {
    const double scaled = std::nearbyint(value * kPow10Double[decimals]);
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 1e15) {
        auto result = std::to_chars(out, out + kMaxNumberText, value);
        replaceMark(out, result.ptr, decimalMark);
        return result.ptr;
    }
    return writeScaled(out, scaled, decimals, decimalMark);
}

char* writeDisplayed(char* out, float value, int decimals, char decimalMark) noexcept {
    const double scaled = roundToWhole(static_cast<double>(value) * kPow10Double[decimals]);
    // Below a million the single nearest the rounded decimal shows as that
    // decimal (the tests go through every one); a negative zero shows as "0".
    if (scaled >= 0.0 && scaled < 1e6)
        return writeScaled(out, scaled, decimals, decimalMark);
    return writeGeneral(out, roundHalfEven(value, decimals), 7, decimalMark);
}

char* writeRoundedHalfEven(char* out, double value, int decimals, char decimalMark) noexcept {
    // roundHalfEven would yield scaled / 10^decimals, and writeRounded would
    // scale that back to `scaled` exactly: both steps err by at most half an
    // ulp, together less than 0.5 for numbers below 1e15.
    const double scaled = roundToWhole(value * kPow10Double[decimals]);
    if (std::isfinite(scaled) && std::fabs(scaled) < 1e15)
        return writeScaled(out, scaled, decimals, decimalMark);
    return writeRounded(out, roundHalfEven(value, decimals), decimals, decimalMark);
}

std::string generalText(float value, int digits, char decimalMark) {
    char buffer[kMaxNumberText];
    return std::string(buffer, writeGeneral(buffer, value, digits, decimalMark));
}

std::string roundedText(double value, int decimals, char decimalMark) {
    char buffer[kMaxNumberText];
    return std::string(buffer, writeRounded(buffer, value, decimals, decimalMark));
}

} // namespace tarvelo::batch
