// The commands of `tarvelo` and its help texts.
#pragma once

#include "Arguments.h"
#include "Calculator.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelo::cli {

// The help text of a topic.
std::string usage(HelpTopic topic);

// `tarvelo calc`: the results, labelled in the request's language, on `out`.
int runCalc(const CalcRequest& request, Calculator& calculator, std::ostream& out,
            std::ostream& err);

// `tarvelo report`: calculates and writes the report; quiet when it succeeds.
int runReport(const ReportRequest& request, Calculator& calculator, std::ostream& err);

// The whole program on the arguments after its name. Returns the exit status.
int runTarvelo(const std::vector<std::string_view>& args, Calculator& calculator, std::ostream& out,
               std::ostream& err);

} // namespace tarvelo::cli
