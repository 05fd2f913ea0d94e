// Module kernel: the state of the last calculation, the calculation itself
// and the HTML report writer.
#pragma once

#include "gasdata.h"
#include "mixture.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace tarvelo {

// The last calculation. Zero at load; replaced as a whole by calculate.
extern KernelState kernel_state;

// Formula names as printed in the report: 12 characters each, blank-padded.
extern const char component_name[component_count][13];

// Computes the three mixture properties of the 16 volume percentages at
// `composition`, stores fractions and results as kernel_state and writes the
// results. Reads nothing beyond the 16 values and allocates nothing.
void calculate(const float* composition, float* lambda, float* rho, float* hu) noexcept;

// The first `length` characters of `text` without trailing blanks (code 32).
// A negative length counts as 0; nothing past the length is read.
std::string_view trimmed_text(const char* text, std::int32_t length) noexcept;

// `value` rounded to `decimals` places (exact ties to even), right-aligned in
// `width` characters. A value that rounds to zero has no sign; a value that
// does not fit, a NaN or an infinity gives `width` asterisks. Independent of
// the C locale.
std::string fixed_field(double value, int width, int decimals);

// The complete report text of kernel_state for the given (already trimmed)
// gas name, language code and local time.
std::string report_text(std::string_view gasName, std::int32_t language, const std::tm& now);

// Writes the report to `path` with replace_file (common/ReplaceFile.h) and
// returns 0, or the errno of the step that failed.
int save2file(const char* gasName, const char* path, const std::int32_t* language,
              std::int32_t gasNameLength, std::int32_t pathLength, const std::tm& now);

// As above, with the local time read from the system clock.
int save2file(const char* gasName, const char* path, const std::int32_t* language,
              std::int32_t gasNameLength, std::int32_t pathLength);

} // namespace tarvelo
