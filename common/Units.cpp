#include "Units.h"

#include "AsciiCase.h"
#include "Quoted.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace tarvelo::units {

namespace {

struct Split {
    std::optional<double> number;
    std::string_view unit;
};

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// The number at the start of `text` (an optional sign, digits, '.',
// an exponent) and what follows it, without blanks.
Split split(std::string_view text) {
    text = trim(text);
    std::string_view digits = text;
    if (!digits.empty() && digits.front() == '+')
        digits.remove_prefix(1);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                           std::chars_format::general);
    if (ec != std::errc() || !std::isfinite(value) || end == digits.data())
        return {std::nullopt, {}};
    return {value, trim(std::string_view(end, std::size_t(digits.data() + digits.size() - end)))};
}

} // namespace

double toKelvin(double value, TemperatureUnit unit) noexcept {
    return unit == TemperatureUnit::Kelvin ? value : value + kZeroCelsiusK;
}

double toKilopascal(double value, PressureUnit unit) noexcept {
    switch (unit) {
    case PressureUnit::Pascal:
        return value / 1000.0;
    case PressureUnit::Kilopascal:
        return value;
    case PressureUnit::Megapascal:
        return value * 1000.0;
    case PressureUnit::Bar:
        return value * 100.0;
    }
    return value;
}

namespace {

std::optional<TemperatureUnit> temperatureUnit(std::string_view unit) {
    if (equalsIgnoringCase(unit, "K"))
        return TemperatureUnit::Kelvin;
    if (equalsIgnoringCase(unit, "C") || unit == "°C" || equalsIgnoringCase(unit, "degC"))
        return TemperatureUnit::Celsius;
    return std::nullopt;
}

std::optional<PressureUnit> pressureUnit(std::string_view unit) {
    if (equalsIgnoringCase(unit, "Pa"))
        return PressureUnit::Pascal;
    if (equalsIgnoringCase(unit, "kPa"))
        return PressureUnit::Kilopascal;
    if (equalsIgnoringCase(unit, "MPa"))
        return PressureUnit::Megapascal;
    if (equalsIgnoringCase(unit, "bar"))
        return PressureUnit::Bar;
    return std::nullopt;
}

std::string_view columnSuffix(std::string_view column) {
    const auto underscore = column.rfind('_');
    return underscore == std::string_view::npos ? std::string_view()
                                                : column.substr(underscore + 1);
}

} // namespace

Reading temperatureK(std::string_view text) {
    const Split s = split(text);
    if (!s.number)
        return {0.0, "temperature " + quoted(text) + " is not a number with a unit (K or C)"};
    if (s.unit.empty())
        return {0.0,
                "temperature " + quoted(text) + " has no unit (write K or C, e.g. 288.15K or 15C)"};
    const auto unit = temperatureUnit(s.unit);
    if (!unit)
        return {0.0, "temperature " + quoted(text) + ": unit " + quoted(s.unit) + " is not K or C"};
    const double kelvin = toKelvin(*s.number, *unit);
    if (!(kelvin > 0.0))
        return {0.0, "temperature " + quoted(text) + " is not above absolute zero"};
    return {kelvin, {}};
}

Reading pressureKPa(std::string_view text) {
    const Split s = split(text);
    if (!s.number)
        return {0.0,
                "pressure " + quoted(text) + " is not a number with a unit (kPa, MPa, bar or Pa)"};
    if (s.unit.empty())
        return {0.0, "pressure " + quoted(text) +
                         " has no unit (write kPa, MPa, bar or Pa, absolute, e.g. 70bar)"};
    const auto unit = pressureUnit(s.unit);
    if (!unit)
        return {0.0, "pressure " + quoted(text) + ": unit " + quoted(s.unit) +
                         " is not kPa, MPa, bar or Pa"};
    const double kPa = toKilopascal(*s.number, *unit);
    if (!(kPa > 0.0) || !std::isfinite(kPa))
        return {0.0, "pressure " + quoted(text) + " is not above zero"};
    return {kPa, {}};
}

std::optional<TemperatureUnit> temperatureColumnUnit(std::string_view column) {
    if (column.size() < 2 || (column[0] != 'T' && column[0] != 't') || column[1] != '_')
        return std::nullopt;
    return temperatureUnit(columnSuffix(column));
}

std::optional<PressureUnit> pressureColumnUnit(std::string_view column) {
    if (column.size() < 2 || (column[0] != 'p' && column[0] != 'P') || column[1] != '_')
        return std::nullopt;
    return pressureUnit(columnSuffix(column));
}

} // namespace tarvelo::units
