#include "Numbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace tarvelo::cli {

namespace {

bool isBlank(char c) noexcept {
    return c == ' ' || c == '\t';
}

constexpr std::uint64_t kPow10[] = {
    1ull,           10ull,           100ull,           1000ull,          10000ull,
    100000ull,      1000000ull,      10000000ull,      100000000ull,     1000000000ull,
    10000000000ull, 100000000000ull, 1000000000000ull, 10000000000000ull};

constexpr double kPow10Double[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

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

// Writes the `count` digits of q, most significant first.
void digitsOf(std::uint64_t q, int count, char* digits) noexcept {
    for (int i = count - 1; i >= 0; --i) {
        digits[i] = char('0' + q % 10);
        q /= 10;
    }
}

} // namespace

ParsedNumber parseNumber(std::string_view text, char decimalMark) noexcept {
    std::size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    if (begin == end)
        return {NumberStatus::Empty, 0.0f};
    if (text[begin] == '+') {
        ++begin;
        if (begin == end || text[begin] == '+' || text[begin] == '-')
            return {NumberStatus::NotANumber, 0.0f};
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
                return {NumberStatus::NotANumber, 0.0f};
            if (copy[i] == decimalMark)
                copy[i] = '.';
        }
        buffer = copy;
    }
    double value = 0.0;
    auto result = std::from_chars(buffer, buffer + length, value, std::chars_format::general);
    if (result.ptr != buffer + length)
        return {NumberStatus::NotANumber, 0.0f};
    if (result.ec == std::errc::result_out_of_range) {
        // A negative exponent means the value is too small: it counts as 0.
        const char* exponent = static_cast<const char*>(std::memchr(buffer, 'e', length));
        if (!exponent)
            exponent = static_cast<const char*>(std::memchr(buffer, 'E', length));
        if (exponent && exponent + 1 < buffer + length && exponent[1] == '-')
            return {NumberStatus::Ok, 0.0f};
        return {buffer[0] == '-' ? NumberStatus::Negative : NumberStatus::OutOfRange, 0.0f};
    }
    if (result.ec != std::errc())
        return {NumberStatus::NotANumber, 0.0f};
    if (!std::isfinite(value))
        return {NumberStatus::NotANumber, 0.0f};
    if (value < 0.0)
        return {NumberStatus::Negative, 0.0f};
    const float single = static_cast<float>(value);
    if (std::isinf(single))
        return {NumberStatus::OutOfRange, 0.0f};
    return {NumberStatus::Ok, single};
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

float roundHalfEven(float value, int decimals) noexcept {
    // A single times 10^n (n <= 3) is exact in double, so the only rounding
    // is the one nearbyint does, in the default mode: to nearest, ties even.
    const double scale = kPow10Double[decimals];
    return static_cast<float>(std::nearbyint(static_cast<double>(value) * scale) / scale);
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
    if (e > 0)
        return writeGeneralSlow(out, value, digits, decimalMark);
    const unsigned shift = unsigned(-e);
    const double magnitude = std::fabs(static_cast<double>(value));

    // x: the decimal exponent of the first significant digit. printf's %g
    // uses plain notation for -4 <= x < digits.
    int x = 0;
    if (magnitude >= 1.0) {
        while (x < 9 && magnitude >= kPow10Double[x + 1])
            ++x;
    } else {
        double scaled = magnitude;
        while (x > -5 && scaled < 1.0) {
            scaled *= 10.0;
            --x;
        }
    }
    std::uint64_t q = 0;
    std::uint64_t remainder = 0;
    for (int attempt = 0;; ++attempt) {
        const int k = digits - 1 - x; // value * 10^k has `digits` integer digits
        if (x < -4 || x >= digits || k < 0 || k > 12 || attempt > 2 || shift > 63)
            return writeGeneralSlow(out, value, digits, decimalMark);
        const std::uint64_t n = m * kPow10[k]; // < 2^24 * 10^12 < 2^64
        q = n >> shift;
        remainder = shift ? n & ((std::uint64_t(1) << shift) - 1) : 0;
        if (q < kPow10[digits - 1]) {
            --x;
            continue;
        }
        if (q >= kPow10[digits]) {
            ++x;
            continue;
        }
        break;
    }
    if (shift) {
        const std::uint64_t half = std::uint64_t(1) << (shift - 1);
        if (remainder > half || (remainder == half && (q & 1u)))
            ++q;
    }
    if (q == kPow10[digits]) {
        q = kPow10[digits - 1];
        ++x;
        if (x >= digits)
            return writeGeneralSlow(out, value, digits, decimalMark);
    }

    char digitText[9];
    digitsOf(q, digits, digitText);
    int significant = digits;
    while (significant > 1 && digitText[significant - 1] == '0')
        --significant;

    char* p = out;
    if (value < 0.0f)
        *p++ = '-';
    if (x >= 0) {
        for (int i = 0; i <= x; ++i)
            *p++ = digitText[i];
        if (significant > x + 1) {
            *p++ = decimalMark;
            for (int i = x + 1; i < significant; ++i)
                *p++ = digitText[i];
        }
    } else {
        *p++ = '0';
        *p++ = decimalMark;
        for (int i = 0; i < -x - 1; ++i)
            *p++ = '0';
        for (int i = 0; i < significant; ++i)
            *p++ = digitText[i];
    }
    return p;
}

char* writeRounded(char* out, double value, int decimals, char decimalMark) noexcept {
    const double scaled = std::nearbyint(value * kPow10Double[decimals]);
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 1e15) {
        auto result = std::to_chars(out, out + kMaxNumberText, value);
        replaceMark(out, result.ptr, decimalMark);
        return result.ptr;
    }
    char* p = out;
    std::uint64_t k = static_cast<std::uint64_t>(std::fabs(scaled));
    if (scaled < 0.0 && k != 0)
        *p++ = '-';
    char digitText[24];
    int count = 0;
    do {
        digitText[count++] = char('0' + k % 10);
        k /= 10;
    } while (k != 0 || count <= decimals);
    // digitText holds the digits least significant first.
    int lowest = 0;
    while (lowest < decimals && digitText[lowest] == '0')
        ++lowest;
    for (int i = count - 1; i >= decimals; --i)
        *p++ = digitText[i];
    if (lowest < decimals) {
        *p++ = decimalMark;
        for (int i = decimals - 1; i >= lowest; --i)
            *p++ = digitText[i];
    }
    return p;
}

std::string generalText(float value, int digits, char decimalMark) {
    char buffer[kMaxNumberText];
    return std::string(buffer, writeGeneral(buffer, value, digits, decimalMark));
}

std::string roundedText(double value, int decimals, char decimalMark) {
    char buffer[kMaxNumberText];
    return std::string(buffer, writeRounded(buffer, value, decimals, decimalMark));
}

} // namespace tarvelo::cli
