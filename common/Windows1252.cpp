#include "Windows1252.h"

#include <cstdint>
#include <cstring>

#include <algorithm>
#include <iterator>

namespace tarvelo {

namespace {

// The characters that Windows-1252 puts at 0x80 to 0x9F; 0 marks the five
// unassigned bytes.
constexpr char32_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

char windows1252Byte(char32_t codePoint) noexcept {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<char>(static_cast<unsigned char>(codePoint));
    if (codePoint != 0) {
        const auto* hit = std::find(std::begin(kHigh), std::end(kHigh), codePoint);
        if (hit != std::end(kHigh))
            return static_cast<char>(0x80 + (hit - std::begin(kHigh)));
    }
    return '?';
}

Utf8Character utf8CharacterAt(std::string_view text, std::size_t i) noexcept {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80)
        return {lead, 1};
    std::size_t length = 0;
    char32_t c = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07u;
    }
    if (length == 0 || i + length > text.size())
        return {};
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0u) != 0x80u)
            return {};
        c = (c << 6) | (next & 0x3Fu);
    }
    // Overlong forms and surrogates are not valid UTF-8.
    if ((length == 3 && c < 0x800) || (length == 4 && (c < 0x10000 || c > 0x10FFFF)) ||
        (c >= 0xD800 && c <= 0xDFFF))
        return {};
    return {c, length};
}

std::string toWindows1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const Utf8Character character = utf8CharacterAt(utf8, i);
        if (character.length == 0) {
            out.push_back('?');
            ++i;
            continue;
        }
        out.push_back(windows1252Byte(character.codePoint));
        i += character.length;
    }
    return out;
}

bool isValidUtf8(std::string_view text) noexcept {
    for (std::size_t i = 0; i < text.size();) {
        // Runs of ASCII, most of a CSV file, eight bytes at a time: the batch
        // checks the first MiB of its input, which byte by byte cost about
        // 5 ms of a million-row run before any row was read (callgrind).
        std::uint64_t word;
        if (i + 8 <= text.size() &&
            (std::memcpy(&word, text.data() + i, 8), (word & 0x8080808080808080u) == 0)) {
            i += 8;
            continue;
        }
        const std::size_t length = utf8CharacterAt(text, i).length;
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

void appendWindows1252AsUtf8(std::string_view windows1252, std::string& utf8) {
    utf8.reserve(utf8.size() + windows1252.size());
    for (const char byte : windows1252) {
        const auto b = static_cast<unsigned char>(byte);
        char32_t c = b;
        if (b >= 0x80 && b < 0xA0 && kHigh[b - 0x80] != 0)
            c = kHigh[b - 0x80];
        if (c < 0x80) {
            utf8.push_back(byte);
        } else if (c < 0x800) {
            utf8.push_back(static_cast<char>(0xC0 | (c >> 6)));
            utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            utf8.push_back(static_cast<char>(0xE0 | (c >> 12)));
            utf8.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
}

} // namespace tarvelo
