#include "ReportNames.h"

#include "AsciiCase.h"
#include "Windows1252.h"

#include <array>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace tarvelo::batch {

namespace {

constexpr std::size_t kMaxStemBytes = 100;

bool isKeptAscii(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '.';
}

// Length of the valid UTF-8 sequence of a non-ASCII character at `i`, or 0.
std::size_t utf8Length(std::string_view s, std::size_t i) {
    const Utf8Character character = utf8CharacterAt(s, i);
    // C1 controls (U+0080..U+009F) are no more welcome than ASCII ones.
    if (character.codePoint >= 0x80 && character.codePoint <= 0x9F)
        return 0;
    return character.length;
}

bool isReservedOnWindows(std::string_view stem) {
    const std::string_view base = stem.substr(0, stem.find('.'));
    static constexpr std::array<std::string_view, 4> plain = {"CON", "PRN", "AUX", "NUL"};
    for (auto reserved : plain)
        if (equalsIgnoringCase(base, reserved))
            return true;
    if (base.size() == 4 && base[3] >= '1' && base[3] <= '9')
        return equalsIgnoringCase(base.substr(0, 3), "COM") ||
               equalsIgnoringCase(base.substr(0, 3), "LPT");
    return false;
}

#if defined(_WIN32)
// The stem in the ANSI code page, in which Windows' narrow file functions
// (and so the kernel's Save2File) take paths; a character the code page
// lacks becomes '_'. The stem is valid UTF-8 (safeFileStem keeps no other).
std::string inAnsiCodePage(const std::string& utf8) {
    if (GetACP() == CP_UTF8 || utf8.empty())
        return utf8;
    const int length = static_cast<int>(utf8.size());
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), wideLength);
    const int ansiLength = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                               wideLength, nullptr, 0, "_", nullptr);
    std::string ansi(static_cast<std::size_t>(ansiLength), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLength, ansi.data(),
                        ansiLength, "_", nullptr);
    return ansi;
}
#endif

} // namespace

std::string safeFileStem(std::string_view name) {
    std::string stem;
    for (std::size_t i = 0; i < name.size();) {
        const auto c = static_cast<unsigned char>(name[i]);
        std::size_t length = 0;
        if (c < 0x80)
            length = isKeptAscii(c) ? 1 : 0;
        else
            length = utf8Length(name, i);
        if (length == 0) {
            if (stem.size() >= kMaxStemBytes)
                break;
            if (stem.empty() || stem.back() != '_')
                stem.push_back('_');
            ++i;
            continue;
        }
        if (stem.size() + length > kMaxStemBytes)
            break;
        stem.append(name.substr(i, length));
        i += length;
    }
    const auto first = stem.find_first_not_of("._-");
    if (first == std::string::npos)
        return {};
    stem.erase(0, first);
    stem.erase(stem.find_last_not_of("._") + 1);
    if (isReservedOnWindows(stem))
        stem.push_back('_');
    return stem;
}

std::string ReportNames::next(std::string_view rowName, std::size_t rowNumber) {
    std::string stem = safeFileStem(rowName);
#if defined(_WIN32)
    stem = inAnsiCodePage(stem);
#endif
    if (stem.empty())
        stem = "row-" + std::to_string(rowNumber);
    std::string candidate = stem;
    for (std::size_t n = 2; used_.count(lowerAscii(candidate)) != 0; ++n)
        candidate = stem + "-" + std::to_string(n);
    used_.insert(lowerAscii(candidate));
    return candidate + ".htm";
}

} // namespace tarvelo::batch
