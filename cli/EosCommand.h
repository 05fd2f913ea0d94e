// `tarvelo eos`: a gas at line conditions by GERG-2008 or AGA8-DETAIL (the
// realgas library), as labelled text or as one JSON object.
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelo::cli {

// The whole command on the arguments after "eos". Writes the results to
// `out` only when everything succeeded; otherwise one line on `err`, nothing
// on `out`, and returns 1.
int runEos(const std::vector<std::string_view>& args, std::ostream& out, std::ostream& err);

// Its help text.
std::string eosUsage();

} // namespace tarvelo::cli
