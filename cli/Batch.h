// The batch engine: compositions from delimited text in, one line of results
// per row out, one kernel calculation per row.
#pragma once

#include "Arguments.h"
#include "Calculator.h"
#include "Iso6976Columns.h"
#include "OutputBuffer.h"
#include "ReportNames.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tarvelo::cli {

// The run cannot go on: the header is unusable or the input unreadable.
class BatchError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct BatchSummary {
    std::size_t rows = 0;    // data rows read
    std::size_t failed = 0;  // rows written without results, or whose report failed
    std::size_t flagged = 0; // rows computed although their sum is not within 1 of 100
};

// Exit statuses of `tarvelo batch`.
inline constexpr int kExitOk = 0;         // every row computed (flagged rows included)
inline constexpr int kExitError = 1;      // usage, input, output or kernel error
inline constexpr int kExitRowsFailed = 2; // the run finished, but some rows failed

// The output columns, in order; with --iso6976 the columns of
// Iso6976Columns::kNames come before flag.
inline constexpr std::string_view kOutputColumns[] = {
    "lambda", "rho", "hu",    "lambda_exact", "rho_exact", "hu_exact",
    "sum",    "d",   "wobbe", "flag",         "reason"};

class BatchRun {
public:
    // `messages` receives one line per failing row ("IN:LINE: column CH4: ...").
    BatchRun(const BatchRequest& request, Calculator& calculator, std::ostream& messages);

    // Called every few ten thousand rows and once at the end with the rows so far.
    std::function<void(std::size_t rows, bool finished)> progress;

    // Reads all of `inputFd` (named `inputName` in messages), writes the
    // results to `out` and, with a report directory, one report per computed
    // row. Throws BatchError, CsvReadError or OutputError when it cannot go on.
    BatchSummary process(int inputFd, std::string_view inputName, OutputBuffer& out);

private:
    // A copy: a run may be made from a temporary request.
    const BatchRequest request_;
    Calculator& calculator_;
    std::ostream& messages_;
    ReportNames reportNames_;
    std::optional<Iso6976Columns> iso_; // with --iso6976
};

// `tarvelo batch`: opens the input, writes the output to standard output or
// through a temporary file that replaces OUT only when the run got to its end,
// shows progress when standard error is a terminal. Returns the exit status.
int runBatch(const BatchRequest& request, Calculator& calculator, std::ostream& messages);

} // namespace tarvelo::cli
