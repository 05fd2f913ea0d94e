// What one batch run is asked to do: where to read and write, the text
// format, the threads and the extra column sets.
#pragma once

#include "ColumnSet.h"
#include "Domain.h"

#include <string>
#include <vector>

namespace tarvelo::batch {

struct BatchRequest {
    Language language = Language::English;
    std::string input;      // "-" is standard input
    std::string output;     // empty: standard output
    std::string reportsDir; // empty: no reports
    char delimiter = ',';
    char decimalMark = '.';
    unsigned jobs = 0; // threads for the rows; 0: as many as the process has cores
    bool bom = false;  // the output begins with a UTF-8 byte order mark
    // The extra column sets, in output order (--iso6976, ...).
    std::vector<ColumnSetMaker> columnSets;
};

// The most threads --jobs may ask for.
inline constexpr unsigned kMaxJobs = 256;

} // namespace tarvelo::batch
