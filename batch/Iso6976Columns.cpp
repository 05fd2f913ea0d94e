#include "Iso6976Columns.h"

namespace tarvelo::batch {

namespace gq = gasquality;

Iso6976Columns::Iso6976Columns(const gq::ReferenceConditions& reference) : reference_(reference) {}

std::string Iso6976Columns::compute(const RowInput& row, double* values) const {
    std::array<double, gq::kComponentCount> fraction;
    for (const std::size_t i : row.present)
        fraction[i] = row.amounts[i] / 100.0;
    try {
        // The file holds no uncertainties: the values alone.
        const gq::Properties p = gq::calculateValues(row.present, fraction, reference_);
        using gq::Result;
        constexpr Result shown[] = {Result::Hv_gross, Result::Hv_net, Result::W_gross,
                                    Result::W_net,    Result::G,      Result::D,
                                    Result::Z};
        for (std::size_t i = 0; i < kNames.size(); ++i)
            values[i] = p[shown[i]].value;
        return {};
    } catch (const gq::Iso6976Error& e) {
        return std::string("iso6976: ") + e.what();
    }
}

ColumnSetMaker iso6976Columns(const gq::ReferenceConditions& reference) {
    return [reference] { return std::make_unique<Iso6976Columns>(reference); };
}

} // namespace tarvelo::batch
