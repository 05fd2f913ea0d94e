#include "Windows1252.h"

#include "../common/Windows1252.h"

#include <cstdint>

namespace tarvelo::cli {

std::string toWindows1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        int length = 0;
        char32_t c = 0;
        if (lead < 0x80) {
            out.push_back(static_cast<char>(lead));
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            c = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            c = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            c = lead & 0x07u;
        }
        bool valid = length > 0 && i + std::size_t(length) <= utf8.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + std::size_t(k)]);
            if ((next & 0xC0u) != 0x80u)
                valid = false;
            else
                c = (c << 6) | (next & 0x3Fu);
        }
        // Overlong forms and surrogates are not valid UTF-8.
        if (valid &&
            ((length == 3 && c < 0x800) || (length == 4 && (c < 0x10000 || c > 0x10FFFF)) ||
             (c >= 0xD800 && c <= 0xDFFF)))
            valid = false;
        if (!valid) {
            out.push_back('?');
            ++i;
            continue;
        }
        out.push_back(tarvelo::windows1252Byte(c));
        i += std::size_t(length);
    }
    return out;
}

} // namespace tarvelo::cli
