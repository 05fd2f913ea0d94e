#include "Components.h"

namespace tarvelo::cli {

namespace {
constexpr char lower(char c) noexcept {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}
} // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

std::optional<int> componentIndex(std::string_view label) noexcept {
    for (int i = 0; i < kComponentCount; ++i)
        if (equalsIgnoringCase(label, kComponentLabels[i]))
            return i;
    return std::nullopt;
}

} // namespace tarvelo::cli
