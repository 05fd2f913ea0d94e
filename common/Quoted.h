// User text inside a message: quoted, cut after 40 bytes, control bytes as
// '?', so that a huge or multi-line argument or field still gives a message
// of one short line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvelo {

inline constexpr std::size_t kQuotedMax = 40;

inline std::string quoted(std::string_view text) {
    std::string out = "'";
    for (std::size_t i = 0; i < text.size() && i < kQuotedMax; ++i)
        out.push_back(static_cast<unsigned char>(text[i]) < 0x20 ? '?' : text[i]);
    if (text.size() > kQuotedMax)
        out += "...";
    return out + "'";
}

} // namespace tarvelo
