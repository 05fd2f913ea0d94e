#include "Iso6976Columns.h"

#include <charconv>
#include <cstdio>
#include <string>

namespace tarvelo::batch {

namespace gq = gasquality;

Iso6976Columns::Iso6976Columns(const gq::ReferenceConditions& reference) : reference_(reference) {}

std::optional<std::size_t> Iso6976Columns::componentOf(std::string_view label) noexcept {
    return gq::findComponent(label);
}

void Iso6976Columns::mapColumn(std::size_t column, std::size_t component) {
    if (componentOfColumn_.size() <= column)
        componentOfColumn_.resize(column + 1, -1);
    componentOfColumn_[column] = int(component);
}

void Iso6976Columns::add(Amounts& amounts, std::size_t column, std::string_view field,
                         char decimalMark) const noexcept {
    if (column >= componentOfColumn_.size() || componentOfColumn_[column] < 0)
        return;
    // The field was accepted as a number already; read it again in double
    // precision, whatever its length (a fixed buffer would cut off, say,
    // the digits after many leading zeros).
    std::string text;
    text.reserve(field.size());
    for (const char c : field)
        if (c != ' ' && c != '\t' && c != '+')
            text.push_back(c == decimalMark ? '.' : c);
    double percent = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), percent);
    amounts[std::size_t(componentOfColumn_[column])] += percent;
}

Iso6976Columns::Row Iso6976Columns::compute(const Amounts& amounts) const {
    Row row;
    gq::Composition composition;
    for (std::size_t i = 0; i < amounts.size(); ++i)
        composition.fraction[i] = amounts[i] / 100.0;
    try {
        // The composition's uncertainties are not in the file; the columns
        // hold values only.
        const gq::Properties p = gq::calculate(composition, reference_);
        using gq::Result;
        const Result shown[] = {Result::Hv_gross, Result::Hv_net, Result::W_gross, Result::W_net,
                                Result::G,        Result::D,      Result::Z};
        for (std::size_t i = 0; i < row.values.size(); ++i)
            row.values[i] = p[shown[i]].value;
        row.computed = true;
    } catch (const gq::Iso6976Error& e) {
        row.reason = std::string("iso6976: ") + e.what();
    }
    return row;
}

char* Iso6976Columns::write(char* out, const Row& row, char delimiter, char decimalMark,
                            bool quote) {
    for (const double value : row.values) {
        *out++ = delimiter;
        if (!row.computed)
            continue;
        if (quote)
            *out++ = '"';
        const int n = std::snprintf(out, 32, "%.9g", value);
        for (int i = 0; i < n; ++i)
            if (out[i] == '.')
                out[i] = decimalMark;
        out += n;
        if (quote)
            *out++ = '"';
    }
    return out;
}

} // namespace tarvelo::batch
