#include "Composition.h"

#include "NumberText.h"

#include <cfloat>
#include <cmath>

namespace tarvelo {

EntryCheck checkEntry(const QString& text, const QLocale& locale) {
    if (text.isEmpty())
        return EntryCheck::Valid;
    const auto value = parseLocaleNumber(text, locale);
    // A value single precision cannot hold could be neither stored nor
    // summed, so it is refused like a text that is no number.
    if (!value || !std::isfinite(*value) || std::fabs(*value) > double(FLT_MAX))
        return EntryCheck::NotNumeric;
    if (*value < 0.0)
        return EntryCheck::Negative;
    return EntryCheck::Valid;
}

float entryValue(const QString& text, const QLocale& locale) {
    if (checkEntry(text, locale) != EntryCheck::Valid || text.isEmpty())
        return 0.0f;
    return static_cast<float>(*parseLocaleNumber(text, locale));
}

CompositionSum readComposition(const std::array<QString, kComponentCount>& texts,
                               const QLocale& locale) {
    CompositionSum result;
    for (int i = 0; i < kComponentCount; ++i) {
        result.percent[i] = entryValue(texts[i], locale);
        result.sum += result.percent[i];
    }
    result.calculable = sumNear100(result.sum);
    return result;
}

} // namespace tarvelo
