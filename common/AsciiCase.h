// ASCII case folding, for labels, options and file names that are compared
// without regard to case. Other bytes (UTF-8 included) are left as they are.
#pragma once

#include <string>
#include <string_view>

namespace tarvelo {

// 'A'..'Z' as 'a'..'z'; every other byte unchanged.
constexpr char lowerAscii(char c) noexcept {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// `text` with 'A'..'Z' folded to lower case.
inline std::string lowerAscii(std::string text) {
    for (char& c : text)
        c = lowerAscii(c);
    return text;
}

// True when `a` and `b` are equal but for ASCII case.
constexpr bool equalsIgnoringCase(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

} // namespace tarvelo
