// What the commands that print results share: numbers as the C library
// prints them (in the "C" locale the program keeps) with the decimal comma
// in German, the display width of a label for aligning columns, a strict
// number reader for option values, and the refusal that ends a command.
#pragma once

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace tarvelo::cli {

// A refused input: the one line the command prints after its name.
struct Failure {
    std::string message;
};

// A library's refusal of a composition as the command prints it: amounts
// that do not add up to 100 mol% get the hint that --normalise scales them.
inline std::string compositionRefusal(const std::string& message) {
    return message.find("add up to") != std::string::npos ? message + " (--normalise scales them)"
                                                          : message;
}

// `text` with the decimal comma when `german`.
inline std::string withMark(std::string text, bool german) {
    if (german)
        std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

// printf's "%.<decimals>f".
inline std::string fixed(double value, int decimals, bool german) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return withMark(text, german);
}

// printf's "%.<digits>g" (6 by default: "%g").
inline std::string shortNumber(double value, bool german, int digits = 6) {
    char text[40];
    std::snprintf(text, sizeof text, "%.*g", digits, value);
    return withMark(text, german);
}

// The shortest text that reads back to `value`.
inline std::string exactNumber(double value, bool german) {
    char text[32];
    return withMark(std::string(text, std::to_chars(text, text + sizeof text, value).ptr), german);
}

// The characters of UTF-8 text, for aligning columns.
inline std::size_t width(std::string_view text) {
    std::size_t w = 0;
    for (const char c : text)
        w += (static_cast<unsigned char>(c) & 0xC0u) != 0x80u;
    return w;
}

// A finite number, the whole text, '.' as the mark; nothing otherwise.
inline std::optional<double> readNumber(std::string_view text) {
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace tarvelo::cli
