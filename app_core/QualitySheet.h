// What the gas-quality window computes and shows, without a widget: the
// composition table's rows turned into an ISO 6976 composition, the checks
// that refuse an input (each with a text key of the text table and the
// values for its place holders), the gas at line conditions, the digits
// shown for a value and its uncertainty, and the text the window copies to
// the clipboard. Standard C++ over the gasquality and realgas libraries.
#pragma once

#include "Iso6976.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelo::quality {

namespace gq = gasquality;

// One row of the composition table. A cell that is not a number keeps
// `percent` / `uPercent` empty and its text in `percentText` / `uText`, so
// that a refusal can name it.
struct Row {
    std::size_t component = 0;      // index in components::kTable
    std::optional<double> percent;  // mol%; an empty cell reads 0
    std::optional<double> uPercent; // standard uncertainty (k = 1), mol%; empty reads 0
    std::string percentText;        // the cell's text, for a refusal
    std::string uText;
};

// The equations of state offered for line conditions (realgas/), in the
// order the window lists them.
enum class Model { Gerg2008, Detail };
inline constexpr std::array<Model, 2> kModels = {Model::Gerg2008, Model::Detail};
std::string_view modelName(Model model) noexcept;

struct Line {
    Model model = Model::Gerg2008;
    double temperatureC = 15.0;
    double pressureBar = 1.01325; // absolute
};

// A refused input: the text key of its message and the values of %1, %2;
// numbers among them are written with '.' as decimal mark.
struct Refusal {
    long key = 0;
    std::vector<std::string> args;
    bool operator==(const Refusal&) const = default;
};

// Message keys of the refusals (text table, both languages).
namespace refusal {
inline constexpr long kNoComponent = 92001;    // no row
inline constexpr long kNotANumber = 92002;     // %1 component, %2 text
inline constexpr long kNegative = 92003;       // %1 component
inline constexpr long kTwice = 92004;          // %1 component
inline constexpr long kSum = 92005;            // %1 sum in mol%
inline constexpr long kCompression = 92006;    // Z <= 0.9
inline constexpr long kPressure = 92007;       // %1 pressure in kPa
inline constexpr long kOther = 92008;          // %1 the library's own words
inline constexpr long kNegativeU = 92009;      // %1 component
inline constexpr long kModelLacks = 92010;     // %1 model, %2 component
inline constexpr long kLineRange = 92011;      // %1 model, %2 the library's own words
inline constexpr long kLineNotANumber = 92012; // temperature or pressure not a number
inline constexpr long kReferenceState = 92013; // %1 the library's own words
} // namespace refusal

// The composition of the rows: fraction = percent / 100 for each row, as
// `tarvelo iso6976` reads COMPONENT=MOLPERCENT, so that both give the same
// bits. A refusal for a cell that is no number, a negative amount or
// uncertainty, a component listed twice, no row, or a sum off 100 mol% by
// more than ISO 6976's tolerance.
struct Built {
    gq::Composition composition;
    double sumPercent = 0.0;
    std::optional<Refusal> refused;
};
Built build(const std::vector<Row>& rows);

// The sum of the amounts that can be read, in mol%, and whether it lies
// within ISO 6976's tolerance of 100 mol%.
struct Sum {
    double percent = 0.0;
    bool withinRule = false;
};
Sum sum(const std::vector<Row>& rows);

// Results at line conditions.
struct LineResult {
    double Z = 0.0;
    double rho = 0.0; // kg/m³
    double W = 0.0;   // speed of sound, m/s
    double C = 0.0;   // conversion factor: volume at the metering conditions per volume in the line
};

struct Outcome {
    Built built;
    std::optional<gq::Properties> iso;
    std::optional<Refusal> isoRefused;
    std::optional<LineResult> line;
    std::optional<Refusal> lineRefused;
};

// Everything the window shows for these inputs; never throws for a refused
// input. Line conditions are computed only for an accepted composition.
Outcome evaluate(const std::vector<Row>& rows, const gq::ReferenceConditions& reference,
                 double coverage, const Line& line);

// Decimals shown for a value whose expanded uncertainty is `u`: those of
// `u` rounded to two significant digits (0 to 10); 6 when `u` is 0 or not
// finite.
int decimalsFor(double u) noexcept;

// `value` with `decimals` decimals and `mark` as decimal mark.
std::string fixed(double value, int decimals, char mark);

// `value` in the shortest form that reads back to the same double, with
// `mark` as decimal mark.
std::string shortest(double value, char mark);

// The unit of result `r` in the standard's units ("kg/kmol", "MJ/m³", "" for
// the ratios).
std::string_view unitOf(gq::Result r) noexcept;
// Whether result `r` is volume based (also shown in kWh/m³).
bool perVolume(gq::Result r) noexcept;

// The results as tab-separated text for a spreadsheet: the line
// "key\tvalue\tU\tunit", one line per ISO 6976 result with the keys of
// `tarvelo iso6976 --json`, then line_Z, line_rho, line_W and line_C (empty
// U). Values at full precision with `mark` as decimal mark; what was refused
// is left out. Lines end with "\n".
std::string clipboardText(const Outcome& outcome, char mark);

} // namespace tarvelo::quality
