// Temperatures and pressures typed with their unit, as the command line and
// the batch headers take them: "400K", "15C", "15°C", "-10 C", "50000kPa",
// "50MPa", "70bar", "101325Pa". A number without a unit is refused, so that
// no reader has to guess between kelvin and degrees Celsius or between bar
// and kilopascals. Pressures are absolute. Standard library only.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvelo::units {

enum class TemperatureUnit { Kelvin, Celsius };
enum class PressureUnit { Pascal, Kilopascal, Megapascal, Bar };

inline constexpr double kZeroCelsiusK = 273.15;

// A value read with its unit, converted to kelvin or kilopascals; on a
// refusal `error` says why ("'70' has no unit (K or C)") and `value` is 0.
struct Reading {
    double value = 0.0;
    std::string error;
    explicit operator bool() const noexcept { return error.empty(); }
};

// A temperature in K or °C ("C", "°C", "degC"; blanks between number and
// unit allowed, unit in any case), in kelvin. Refused: no unit, another
// unit, not a finite number, or below absolute zero.
Reading temperatureK(std::string_view text);

// An absolute pressure in Pa, kPa, MPa or bar (any case), in kilopascals.
// Refused: no unit, another unit, not a finite number, or not above zero.
Reading pressureKPa(std::string_view text);

// The unit that a column name ends in after its last '_': "T_K", "T_C";
// "p_kPa", "p_MPa", "p_bar", "p_Pa". Nothing for another name.
std::optional<TemperatureUnit> temperatureColumnUnit(std::string_view column);
std::optional<PressureUnit> pressureColumnUnit(std::string_view column);

// A bare number in that unit, converted as above.
double toKelvin(double value, TemperatureUnit unit) noexcept;
double toKilopascal(double value, PressureUnit unit) noexcept;

} // namespace tarvelo::units
