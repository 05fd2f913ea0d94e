#include "Thermo.h"

#include "Combustion.h"

#include <cmath>
#include <limits>

namespace tarvelo::combustion {

namespace thermo {

namespace {

constexpr std::string_view kGri = "GRI-Mech 3.0, thermo30.dat";
constexpr std::string_view kBurcat = "Burcat & Ruscic, Third Millennium database (N2 G 8/02)";
constexpr std::string_view kNasa4513 = "McBride, Gordon & Reno, NASA TM-4513 (1993)";
constexpr std::string_view kMonatomic = "monatomic ideal gas, cp = 5/2 R";

// NASA 7-coefficient polynomials: cp/R = a1 + a2 T + a3 T² + a4 T³ + a5 T⁴,
// h/(RT) = a1 + a2 T/2 + a3 T²/3 + a4 T³/4 + a5 T⁴/5 + a6/T,
// s°/R = a1 ln T + a2 T + a3 T²/2 + a4 T³/3 + a5 T⁴/4 + a7.
// Coefficients as printed in the sources named beside each row, low range
// first. GRI-Mech 3.0's own N2 starts at 300 K; Burcat's N2 (200 to
// 6000 K) takes its place so that cold combustion air stays inside the data.
// SO2's fit starts at 300 K and is used down to 200 K: it appears only as a
// trace, and its heat capacity is smooth there. The noble gases carry
// cp = 5/2 R exactly, at any temperature; GRI-Mech's argon row, with He and
// Ne given the same enthalpy at 298.15 K (0) — their entropy never matters,
// because they do not react.
// clang-format off
constexpr std::array<Polynomial, kCount> kTable = {{
    {"CO2", 200.0, 1000.0, 3500.0,
     {2.35677352E+00, 8.98459677E-03, -7.12356269E-06, 2.45919022E-09, -1.43699548E-13, -4.83719697E+04, 9.90105222E+00},
     {3.85746029E+00, 4.41437026E-03, -2.21481404E-06, 5.23490188E-10, -4.72084164E-14, -4.87591660E+04, 2.27163806E+00},
     {1, 0, 2, 0}, kGri},
    {"SO2", 200.0, 1000.0, 5000.0,
     {3.2665338E+00, 5.3237902E-03, 6.8437552E-07, -5.2810047E-09, 2.5590454E-12, -3.6908148E+04, 9.66465108E+00},
     {5.2451364E+00, 1.9704204E-03, -8.0375769E-07, 1.5149969E-10, -1.0558004E-14, -3.7558227E+04, -1.07404892E+00},
     {0, 0, 2, 0}, kNasa4513},
    {"H2O", 200.0, 1000.0, 3500.0,
     {4.19864056E+00, -2.03643410E-03, 6.52040211E-06, -5.48797062E-09, 1.77197817E-12, -3.02937267E+04, -8.49032208E-01},
     {3.03399249E+00, 2.17691804E-03, -1.64072518E-07, -9.70419870E-11, 1.68200992E-14, -3.00042971E+04, 4.96677010E+00},
     {0, 2, 1, 0}, kGri},
    {"O2", 200.0, 1000.0, 3500.0,
     {3.78245636E+00, -2.99673416E-03, 9.84730201E-06, -9.68129509E-09, 3.24372837E-12, -1.06394356E+03, 3.65767573E+00},
     {3.28253784E+00, 1.48308754E-03, -7.57966669E-07, 2.09470555E-10, -2.16717794E-14, -1.08845772E+03, 5.45323129E+00},
     {0, 0, 2, 0}, kGri},
    {"N2", 200.0, 1000.0, 6000.0,
     {3.53100528E+00, -1.23660988E-04, -5.02999433E-07, 2.43530612E-09, -1.40881235E-12, -1.04697628E+03, 2.96747038E+00},
     {2.95257637E+00, 1.39690040E-03, -4.92631603E-07, 7.86010195E-11, -4.60755204E-15, -9.23948688E+02, 5.87188762E+00},
     {0, 0, 0, 2}, kBurcat},
    {"Ar", 200.0, 1000.0, 6000.0,
     {2.5, 0.0, 0.0, 0.0, 0.0, -7.45375E+02, 4.366},
     {2.5, 0.0, 0.0, 0.0, 0.0, -7.45375E+02, 4.366},
     {0, 0, 0, 0}, kMonatomic},
    {"He", 200.0, 1000.0, 6000.0,
     {2.5, 0.0, 0.0, 0.0, 0.0, -7.45375E+02, 0.0},
     {2.5, 0.0, 0.0, 0.0, 0.0, -7.45375E+02, 0.0},
     {0, 0, 0, 0}, kMonatomic},
    {"Ne", 200.0, 1000.0, 6000.0,
     {2.5, 0.0, 0.0, 0.0, 0.0, -7.45375E+02, 0.0},
     {2.5, 0.0, 0.0, 0.0, 0.0, -7.45375E+02, 0.0},
     {0, 0, 0, 0}, kMonatomic},
    {"CO", 200.0, 1000.0, 3500.0,
     {3.57953347E+00, -6.10353680E-04, 1.01681433E-06, 9.07005884E-10, -9.04424499E-13, -1.43440860E+04, 3.50840928E+00},
     {2.71518561E+00, 2.06252743E-03, -9.98825771E-07, 2.30053008E-10, -2.03647716E-14, -1.41518724E+04, 7.81868772E+00},
     {1, 0, 1, 0}, kGri},
    {"H2", 200.0, 1000.0, 3500.0,
     {2.34433112E+00, 7.98052075E-03, -1.94781510E-05, 2.01572094E-08, -7.37611761E-12, -9.17935173E+02, 6.83010238E-01},
     {3.33727920E+00, -4.94024731E-05, 4.99456778E-07, -1.79566394E-10, 2.00255376E-14, -9.50158922E+02, -3.20502331E+00},
     {0, 2, 0, 0}, kGri},
    {"OH", 200.0, 1000.0, 3500.0,
     {3.99201543E+00, -2.40131752E-03, 4.61793841E-06, -3.88113333E-09, 1.36411470E-12, 3.61508056E+03, -1.03925458E-01},
     {3.09288767E+00, 5.48429716E-04, 1.26505228E-07, -8.79461556E-11, 1.17412376E-14, 3.85865700E+03, 4.47669610E+00},
     {0, 1, 1, 0}, kGri},
    {"H", 200.0, 1000.0, 3500.0,
     {2.50000000E+00, 7.05332819E-13, -1.99591964E-15, 2.30081632E-18, -9.27732332E-22, 2.54736599E+04, -4.46682853E-01},
     {2.50000001E+00, -2.30842973E-11, 1.61561948E-14, -4.73515235E-18, 4.98197357E-22, 2.54736599E+04, -4.46682914E-01},
     {0, 1, 0, 0}, kGri},
    {"O", 200.0, 1000.0, 3500.0,
     {3.16826710E+00, -3.27931884E-03, 6.64306396E-06, -6.12806624E-09, 2.11265971E-12, 2.91222592E+04, 2.05193346E+00},
     {2.56942078E+00, -8.59741137E-05, 4.19484589E-08, -1.00177799E-11, 1.22833691E-15, 2.92175791E+04, 4.78433864E+00},
     {0, 0, 1, 0}, kGri},
    {"NO", 200.0, 1000.0, 6000.0,
     {4.2184763E+00, -4.6389760E-03, 1.1041022E-05, -9.3361354E-09, 2.8035770E-12, 9.8446230E+03, 2.2808464E+00},
     {3.2606056E+00, 1.1911043E-03, -4.2917048E-07, 6.9457669E-11, -4.0336099E-15, 9.9209746E+03, 6.3693027E+00},
     {0, 0, 1, 1}, kGri},
    {"N", 200.0, 1000.0, 6000.0,
     {2.5000000E+00, 0.0, 0.0, 0.0, 0.0, 5.6104637E+04, 4.1939087E+00},
     {2.4159429E+00, 1.7489065E-04, -1.1902369E-07, 3.0226245E-11, -2.0360982E-15, 5.6133773E+04, 4.6496096E+00},
     {0, 0, 0, 1}, kGri},
}};
// clang-format on

const std::array<double, 7>& coefficients(std::size_t species, double t) {
    const Polynomial& p = kTable[species];
    return t < p.tMid ? p.low : p.high;
}

} // namespace

const Polynomial& polynomial(std::size_t species) {
    return kTable.at(species);
}

double enthalpy(std::size_t species, double t) {
    const auto& a = coefficients(species, t);
    return kR *
           (t * (a[0] + t * (a[1] / 2.0 + t * (a[2] / 3.0 + t * (a[3] / 4.0 + t * a[4] / 5.0)))) +
            a[5]);
}

double heatCapacity(std::size_t species, double t) {
    const auto& a = coefficients(species, t);
    return kR * (a[0] + t * (a[1] + t * (a[2] + t * (a[3] + t * a[4]))));
}

double gibbsOverRT(std::size_t species, double t) {
    const auto& a = coefficients(species, t);
    const double hOverRT =
        a[0] + t * (a[1] / 2.0 + t * (a[2] / 3.0 + t * (a[3] / 4.0 + t * a[4] / 5.0))) + a[5] / t;
    const double sOverR = a[0] * std::log(t) +
                          t * (a[1] + t * (a[2] / 2.0 + t * (a[3] / 3.0 + t * a[4] / 4.0))) + a[6];
    return hOverRT - sOverR;
}

} // namespace thermo

namespace {

// IAPWS-IF97 (revised release 2007), equations 29 to 31, Table 34.
// clang-format off
constexpr std::array<double, 10> kIf97Region4 = {
    0.11670521452767E+04, -0.72421316703206E+06, -0.17073846940092E+02,
    0.12020824702470E+05, -0.32325550322333E+07, 0.14915108613530E+02,
    -0.48232657361591E+04, 0.40511340542057E+06, -0.23855557567849E+00,
    0.65017534844798E+03};
// clang-format on
constexpr double kIf97Pressure = 1000.0;     // kPa per MPa, the release's unit
constexpr double kSaturationTMin = 273.15;   // K
constexpr double kSaturationTMax = 647.096;  // K, critical point
constexpr double kSaturationPMin = 0.611213; // kPa at 273.15 K
constexpr double kSaturationPMax = 22064.0;  // kPa, critical point

} // namespace

double saturationPressureKPa(double t) {
    if (!(t >= kSaturationTMin && t <= kSaturationTMax))
        return std::numeric_limits<double>::quiet_NaN();
    const auto& n = kIf97Region4;
    const double theta = t + n[8] / (t - n[9]);
    const double a = theta * theta + n[0] * theta + n[1];
    const double b = n[2] * theta * theta + n[3] * theta + n[4];
    const double c = n[5] * theta * theta + n[6] * theta + n[7];
    const double x = 2.0 * c / (-b + std::sqrt(b * b - 4.0 * a * c));
    return x * x * x * x * kIf97Pressure;
}

double saturationTemperatureK(double pKPa) {
    if (!(pKPa >= kSaturationPMin && pKPa <= kSaturationPMax))
        return std::numeric_limits<double>::quiet_NaN();
    const auto& n = kIf97Region4;
    const double beta = std::sqrt(std::sqrt(pKPa / kIf97Pressure));
    const double e = beta * beta + n[2] * beta + n[5];
    const double f = n[0] * beta * beta + n[3] * beta + n[6];
    const double g = n[1] * beta * beta + n[4] * beta + n[7];
    const double d = 2.0 * g / (-f - std::sqrt(f * f - 4.0 * e * g));
    return (n[9] + d - std::sqrt((n[9] + d) * (n[9] + d) - 4.0 * (n[8] + n[9] * d))) / 2.0;
}

} // namespace tarvelo::combustion
