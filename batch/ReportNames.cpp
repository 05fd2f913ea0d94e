#include "ReportNames.h"

#include "AsciiCase.h"
#include "ReplaceFile.h"
#include "Windows1252.h"

#include <algorithm>

#if defined(_WIN32)
#include "WindowsText.h"
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

#if defined(_WIN32)
// The stem with '_' for each character that the ANSI code page lacks: the
// kernel's Save2File takes its path in that code page (in the programs,
// whose manifest makes it UTF-8, every character is kept). The stem is valid
// UTF-8 (safeFileStem keeps no other).
std::string keptInAnsiCodePage(const std::string& utf8) {
    std::string kept, ansi;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t length = std::max<std::size_t>(utf8CharacterAt(utf8, i).length, 1);
        const std::string_view character = std::string_view(utf8).substr(i, length);
        if (ansiFromUtf8(character, ansi))
            kept.append(character);
        else
            kept.push_back('_');
        i += length;
    }
    return kept;
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
    if (isWindowsDeviceName(stem))
        stem.push_back('_');
    return stem;
}

std::string ReportNames::next(std::string_view rowName, std::size_t rowNumber) {
    std::string stem = safeFileStem(rowName);
#if defined(_WIN32)
    stem = keptInAnsiCodePage(stem);
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
