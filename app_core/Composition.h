// The composition entered in the sixteen percentage fields: checking one
// entry, and reading all sixteen into the single-precision percentages and
// their sum.
#pragma once

#include "Domain.h"

#include <QLocale>
#include <QString>

#include <array>

namespace tarvelo {

enum class EntryCheck {
    Valid,      // empty (counts 0), or a number >= 0 that single precision holds
    NotNumeric, // not a number; also NaN, infinity and finite values beyond single precision
    Negative,   // a number below 0
};

// Checks the text of one percentage field.
EntryCheck checkEntry(const QString& text, const QLocale& locale);

// The value of one field in single precision: 0 for an empty field and for a
// text that does not pass checkEntry (such a text can only be in a field that
// was never validated).
float entryValue(const QString& text, const QLocale& locale);

struct CompositionSum {
    std::array<float, kComponentCount> percent{}; // index 0 is component 1
    float sum = 0.0f;                             // summed in single precision, in index order
    bool calculable = false;                      // sumNear100(sum)
};

// Reads all sixteen field texts, in index order, and sums them.
CompositionSum readComposition(const std::array<QString, kComponentCount>& texts,
                               const QLocale& locale);

} // namespace tarvelo
