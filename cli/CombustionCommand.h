// `tarvelo combustion`: air, flue gas, dew point, efficiency and flame
// temperature of one fuel, as labelled text or as one JSON object.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelo::cli {

// The whole command on the arguments after "combustion". Writes the results
// to `out` only when everything succeeded; otherwise one line on `err`,
// nothing on `out`, and returns 1.
int runCombustion(const std::vector<std::string_view>& args, std::ostream& out, std::ostream& err);

// Its help text.
std::string combustionUsage();

} // namespace tarvelo::cli
