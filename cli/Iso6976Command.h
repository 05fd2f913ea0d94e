// `tarvelo iso6976`: gas quality by ISO 6976:2016 for one composition, as
// labelled text or as one JSON object.
#pragma once

#include "Iso6976.h"

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelo::cli {

// Reads "T1/T2" (combustion / metering temperature in °C, "." as decimal
// point) into `reference`. Returns false for any other text; the
// temperatures themselves are checked by the calculation.
bool readReferencePair(std::string_view text, gasquality::ReferenceConditions& reference);

// The whole command on the arguments after "iso6976". Writes the results to
// `out` only when everything succeeded; otherwise one line on `err`, nothing
// on `out`, and returns 1.
int runIso6976(const std::vector<std::string_view>& args, std::ostream& out, std::ostream& err);

// Its help text.
std::string_view iso6976Usage() noexcept;

} // namespace tarvelo::cli
