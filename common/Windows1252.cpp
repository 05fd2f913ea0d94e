#include "Windows1252.h"

#include <algorithm>
#include <iterator>

namespace tarvelo {

char windows1252Byte(char32_t codePoint) noexcept {
    // The characters that Windows-1252 puts at 0x80 to 0x9F; 0 marks the
    // five unassigned bytes.
    static constexpr char32_t kHigh[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<char>(static_cast<unsigned char>(codePoint));
    if (codePoint != 0) {
        const auto* hit = std::find(std::begin(kHigh), std::end(kHigh), codePoint);
        if (hit != std::end(kHigh))
            return static_cast<char>(0x80 + (hit - std::begin(kHigh)));
    }
    return '?';
}

} // namespace tarvelo
