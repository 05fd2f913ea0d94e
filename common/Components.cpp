#include "Components.h"

#include "AsciiCase.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace tarvelo::components {

namespace {

struct Synonym {
    std::string_view text;
    std::size_t index;
};

// Common names, British and American spellings, and the short names gas
// chromatographs print (C1, iC4, nC5, neoC5, ...).
constexpr Synonym kSynonyms[] = {
    {"C1", 0},
    {"C2", 1},
    {"C3", 2},
    {"butane", 3},
    {"nC4", 3},
    {"n-C4H10", 3},
    {"isobutane", 4},
    {"iso-butane", 4},
    {"i-butane", 4},
    {"iC4", 4},
    {"i-C4H10", 4},
    {"pentane", 5},
    {"nC5", 5},
    {"n-C5H12", 5},
    {"isopentane", 6},
    {"iso-pentane", 6},
    {"i-pentane", 6},
    {"iC5", 6},
    {"i-C5H12", 6},
    {"neopentane", 7},
    {"neo-pentane", 7},
    {"neoC5", 7},
    {"hexane", 8},
    {"nC6", 8},
    {"n-C6H14", 8},
    {"heptane", 13},
    {"nC7", 13},
    {"n-C7H16", 13},
    {"octane", 14},
    {"nC8", 14},
    {"nonane", 15},
    {"nC9", 15},
    {"decane", 16},
    {"nC10", 16},
    {"ethylene", 17},
    {"propylene", 18},
    {"isobutene", 22},
    {"isobutylene", 22},
    {"acetylene", 27},
    {"water vapour", 41},
    {"water vapor", 41},
    {"hydrogen sulphide", 42},
    {"carbonyl sulphide", 46},
    {"carbon disulphide", 47},
    {"sulphur dioxide", 54},
};

// The edit distance between two texts, ignoring ASCII case.
std::size_t distance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const bool same = lowerAscii(a[i - 1]) == lowerAscii(b[j - 1]);
            row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

} // namespace

const Component& component(std::size_t index) {
    return kTable.at(index);
}

std::optional<std::size_t> find(std::string_view text) noexcept {
    if (text.empty())
        return std::nullopt;
    for (std::size_t i = 0; i < kCount; ++i)
        if (equalsIgnoringCase(text, kTable[i].name) || equalsIgnoringCase(text, kTable[i].label))
            return i;
    for (const Synonym& synonym : kSynonyms)
        if (equalsIgnoringCase(text, synonym.text))
            return synonym.index;
    return std::nullopt;
}

std::size_t ofKernel(int kernelIndex) {
    for (std::size_t i = 0; i < kCount; ++i)
        if (kTable[i].kernel == kernelIndex)
            return i;
    throw std::out_of_range("no component of kernel index " + std::to_string(kernelIndex));
}

std::size_t ofEos(int eosIndex) {
    for (std::size_t i = 0; i < kCount; ++i)
        if (kTable[i].eos == eosIndex)
            return i;
    throw std::out_of_range("no component of equation-of-state index " + std::to_string(eosIndex));
}

std::string suggestion(std::string_view text) {
    // Too long a text names nothing near; a third of its length (at least
    // two edits, one for a text of three characters or fewer) is as far as a
    // typing slip goes.
    if (text.empty() || text.size() > 40)
        return {};
    const std::size_t limit = text.size() <= 3 ? 1 : std::max<std::size_t>(2, text.size() / 3);
    struct Near {
        std::size_t edits;
        std::string_view spelling;
        std::size_t index;
    };
    std::vector<Near> near;
    const auto consider = [&](std::string_view spelling, std::size_t index) {
        if (spelling.empty())
            return;
        const std::size_t edits = distance(text, spelling);
        if (edits <= limit)
            near.push_back({edits, spelling, index});
    };
    for (std::size_t i = 0; i < kCount; ++i) {
        consider(kTable[i].name, i);
        consider(kTable[i].label, i);
    }
    for (const Synonym& synonym : kSynonyms)
        consider(synonym.text, synonym.index);
    std::stable_sort(near.begin(), near.end(),
                     [](const Near& a, const Near& b) { return a.edits < b.edits; });
    std::vector<std::string_view> picked;
    std::vector<std::size_t> components;
    for (const Near& n : near) {
        if (picked.size() == 3)
            break;
        if (std::find(components.begin(), components.end(), n.index) != components.end())
            continue;
        components.push_back(n.index);
        picked.push_back(n.spelling);
    }
    if (picked.empty())
        return {};
    std::string out = "did you mean ";
    for (std::size_t i = 0; i < picked.size(); ++i) {
        if (i > 0)
            out += i + 1 == picked.size() ? " or " : ", ";
        out += "'" + std::string(picked[i]) + "'";
    }
    return out + "?";
}

} // namespace tarvelo::components
