#include "WindowsText.h"

#if defined(_WIN32)

#include <utility>
#include <windows.h>

namespace tarvelo {

namespace {

std::wstring widened(UINT codePage, std::string_view text) {
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), n);
    return wide;
}

} // namespace

std::wstring widenedUtf8(std::string_view utf8) {
    return widened(CP_UTF8, utf8);
}

std::string utf8Of(std::wstring_view wide) {
    if (wide.empty())
        return {};
    const int length = static_cast<int>(wide.size());
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, text.data(), n, nullptr, nullptr);
    return text;
}

std::string utf8FromAnsi(std::string_view ansi) {
    if (GetACP() == CP_UTF8)
        return std::string(ansi);
    return utf8Of(widened(CP_ACP, ansi));
}

bool ansiFromUtf8(std::string_view utf8, std::string& ansi) {
    if (GetACP() == CP_UTF8) {
        ansi.assign(utf8);
        return true;
    }
    const std::wstring wide = widenedUtf8(utf8);
    if (wide.empty()) {
        ansi.clear();
        return true;
    }
    const int length = static_cast<int>(wide.size());
    BOOL lacking = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0,
                                      nullptr, &lacking);
    if (n <= 0 || lacking)
        return false;
    std::string text(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, text.data(), n, nullptr,
                        nullptr);
    ansi = std::move(text);
    return true;
}

} // namespace tarvelo

#endif
