// The coefficients of GERG-2008 as Kunz and Wagner publish them (J. Chem.
// Eng. Data 57 (2012) 3032-3091, Appendix A), in the component order of AGA
// Report No. 8 Part 2 (isobutane before n-butane, isopentane before
// n-pentane). Cross-checked value by value against two public implementations
// of AGA Report No. 8 Part 2 (its C++ and its Visual Basic and Fortran
// versions agree on every value). Data only; GergModel.cpp evaluates it.
#pragma once

#include <array>
#include <cstddef>

namespace tarvelo::realgas::gerg {

inline constexpr std::size_t kComponents = 21;

// The molar gas constant of the equation [J/(mol·K)], and the one of the
// ideal-gas part, R* (Kunz and Wagner 2012, section 4.2).
inline constexpr double kGasConstant = 8.314472;
inline constexpr double kIdealGasConstant = 8.31451;
// The state at which the ideal-gas integration constants are fixed.
inline constexpr double kIdealReferenceTemperature = 298.15; // K
inline constexpr double kIdealReferencePressure = 101.325;   // kPa

struct ComponentConstants {
    double molarMass;           // g/mol
    double criticalTemperature; // K
    double criticalDensity;     // mol/l
};
struct IdealGasCoefficients {
    std::array<double, 7> n;     // n0_1 .. n0_7
    std::array<double, 4> theta; // theta0_4 .. theta0_7 [K]; 0: no term
};
struct PureExponents {
    int d;
    double t;
    int c; // 0: polynomial term, else exp(-delta^c)
};
struct ReducingPair {
    double betaV, gammaV, betaT, gammaT;
};
struct DepartureTerm {
    double n;
    int d;
    double t;
    double eta, epsilon, beta, gamma;
};
struct DeparturePair {
    int i, j;
    double f;
    int function;
};

// clang-format off
// Component constants: molar mass in g/mol, critical temperature in K, critical
// density in mol/l, of Kunz and Wagner (2012), Appendix A (molar masses as AGA Report No. 8
// Part 2 gives them).
inline constexpr std::array<ComponentConstants, kComponents> kComponentConstants = {{
    {16.04246, 190.564, 10.139342719}, // methane
    {28.0134, 126.192, 11.1839}, // nitrogen
    {44.0095, 304.1282, 10.624978698}, // carbon dioxide
    {30.06904, 305.322, 6.87085454}, // ethane
    {44.09562, 369.825, 5.000043088}, // propane
    {58.1222, 407.817, 3.86014294}, // isobutane
    {58.1222, 425.125, 3.920016792}, // n-butane
    {72.14878, 460.35, 3.271}, // isopentane
    {72.14878, 469.7, 3.215577588}, // n-pentane
    {86.17536, 507.82, 2.705877875}, // n-hexane
    {100.20194, 540.13, 2.315324434}, // n-heptane
    {114.22852, 569.32, 2.056404127}, // n-octane
    {128.2551, 594.55, 1.81}, // n-nonane
    {142.28168, 617.7, 1.64}, // n-decane
    {2.01588, 33.19, 14.94}, // hydrogen
    {31.9988, 154.595, 13.63}, // oxygen
    {28.0101, 132.86, 10.85}, // carbon monoxide
    {18.01528, 647.096, 17.87371609}, // water
    {34.08088, 373.1, 10.19}, // hydrogen sulfide
    {4.002602, 5.1953, 17.399}, // helium
    {39.948, 150.687, 13.407429659}, // argon
}};

// Ideal-gas part (Kunz and Wagner (2012), Appendix A with the integration constants
// n0_1 and n0_2 for T0 = 298.15 K and p0 = 101.325 kPa): n0_1 .. n0_7 and
// theta0_4 .. theta0_7 in K; terms 4 and 6 are sinh terms, 5 and 7 cosh terms.
inline constexpr std::array<IdealGasCoefficients, kComponents> kIdealGas = {{
    {{29.83843397, -15999.69151, 4.00088, 0.76315, 0.0046, 8.74432, -4.46921}, {820.659, 178.41, 1062.82, 1090.53}}, // methane
    {{17.56770785, -2801.729072, 3.50031, 0.13732, -0.1466, 0.90066, 0.0}, {662.738, 680.562, 1740.06, 0.0}}, // nitrogen
    {{20.65844696, -4902.171516, 3.50002, 2.04452, -1.06044, 2.03366, 0.01393}, {919.306, 865.07, 483.553, 341.109}}, // carbon dioxide
    {{36.73005938, -23639.65301, 4.00263, 4.33939, 1.23722, 13.1974, -6.01989}, {559.314, 223.284, 1031.38, 1071.29}}, // ethane
    {{44.70909619, -31236.63551, 4.02939, 6.60569, 3.197, 19.1921, -8.37267}, {479.856, 200.893, 955.312, 1027.29}}, // propane
    {{34.30180349, -38525.50276, 4.06714, 8.97575, 5.25156, 25.1423, 16.1388}, {438.27, 198.018, 1905.02, 893.765}}, // isobutane
    {{36.53237783, -38957.80933, 4.33944, 9.44893, 6.89406, 24.4618, 14.7824}, {468.27, 183.636, 1914.1, 903.185}}, // n-butane
    {{43.17218626, -51198.30946, 4.0, 11.7618, 20.1101, 33.1688, 0.0}, {292.503, 910.237, 1919.37, 0.0}}, // isopentane
    {{42.67837089, -45215.83, 4.0, 8.95043, 21.836, 33.4032, 0.0}, {178.67, 840.538, 1774.25, 0.0}}, // n-pentane
    {{46.99717188, -52746.83318, 4.0, 11.6977, 26.8142, 38.6164, 0.0}, {182.326, 859.207, 1826.59, 0.0}}, // n-hexane
    {{52.07631631, -57104.81056, 4.0, 13.7266, 30.4707, 43.5561, 0.0}, {169.789, 836.195, 1760.46, 0.0}}, // n-heptane
    {{57.25830934, -60546.76385, 4.0, 15.6865, 33.8029, 48.1731, 0.0}, {158.922, 815.064, 1693.07, 0.0}}, // n-octane
    {{62.09646901, -66600.12837, 4.0, 18.0241, 38.1235, 53.3415, 0.0}, {156.854, 814.882, 1693.79, 0.0}}, // n-nonane
    {{65.93909154, -74131.45483, 4.0, 21.0069, 43.4931, 58.3657, 0.0}, {164.947, 836.264, 1750.24, 0.0}}, // n-decane
    {{13.07520288, -5836.943696, 2.47906, 0.95806, 0.45444, 1.56039, -1.3756}, {228.734, 326.843, 1651.71, 1671.69}}, // hydrogen
    {{16.8017173, -2318.32269, 3.50146, 1.07558, 1.01334, 0.0, 0.0}, {2235.71, 1116.69, 0.0, 0.0}}, // oxygen
    {{17.45786899, -2635.244116, 3.50055, 1.02865, 0.00493, 0.0, 0.0}, {1550.45, 704.525, 0.0, 0.0}}, // carbon monoxide
    {{21.57882705, -7766.733078, 4.00392, 0.01059, 0.98763, 3.06904, 0.0}, {268.795, 1141.41, 2507.37, 0.0}}, // water
    {{21.5830944, -6069.035869, 4.0, 3.11942, 1.00243, 0.0, 0.0}, {1833.63, 847.181, 0.0, 0.0}}, // hydrogen sulfide
    {{10.04639507, -745.375, 2.5, 0.0, 0.0, 0.0, 0.0}, {0.0, 0.0, 0.0, 0.0}}, // helium
    {{10.04639507, -745.375, 2.5, 0.0, 0.0, 0.0, 0.0}, {0.0, 0.0, 0.0, 0.0}}, // argon
}};

// Exponents d, t, c of the 24-term equations of methane, nitrogen and ethane
// (Kunz and Wagner (2012), Appendix A).
inline constexpr std::array<PureExponents, 24> kExponentsLong = {{
    {1, 0.125, 0},
    {1, 1.125, 0},
    {2, 0.375, 0},
    {2, 1.125, 0},
    {4, 0.625, 0},
    {4, 1.5, 0},
    {1, 0.625, 1},
    {1, 2.625, 1},
    {1, 2.75, 1},
    {2, 2.125, 1},
    {3, 2.0, 1},
    {6, 1.75, 1},
    {2, 4.5, 2},
    {3, 4.75, 2},
    {3, 5.0, 2},
    {4, 4.0, 2},
    {4, 4.5, 2},
    {2, 7.5, 3},
    {3, 14.0, 3},
    {4, 11.5, 3},
    {5, 26.0, 6},
    {6, 28.0, 6},
    {6, 30.0, 6},
    {7, 16.0, 6},
}};

// Exponents d, t, c of the 22-term equation of carbon dioxide (Kunz and Wagner
// (2012), Appendix A).
inline constexpr std::array<PureExponents, 22> kExponentsCarbonDioxide = {{
    {1, 0.0, 0},
    {1, 1.25, 0},
    {2, 1.625, 0},
    {3, 0.375, 0},
    {3, 0.375, 1},
    {3, 1.375, 1},
    {4, 1.125, 1},
    {5, 1.375, 1},
    {6, 0.125, 1},
    {6, 1.625, 1},
    {1, 3.75, 2},
    {4, 3.5, 2},
    {1, 7.5, 3},
    {1, 8.0, 3},
    {3, 6.0, 3},
    {3, 16.0, 3},
    {4, 11.0, 3},
    {5, 24.0, 5},
    {5, 26.0, 5},
    {5, 28.0, 5},
    {5, 24.0, 6},
    {5, 26.0, 6},
}};

// Exponents d, t, c of the 14-term equation of hydrogen (Kunz and Wagner
// (2012), Appendix A).
inline constexpr std::array<PureExponents, 14> kExponentsHydrogen = {{
    {1, 0.5, 0},
    {1, 0.625, 0},
    {2, 0.375, 0},
    {2, 0.625, 0},
    {4, 1.125, 0},
    {1, 2.625, 1},
    {5, 0.0, 1},
    {5, 0.25, 1},
    {5, 1.375, 1},
    {1, 4.0, 2},
    {1, 4.25, 2},
    {2, 5.0, 3},
    {5, 8.0, 3},
    {1, 8.0, 5},
}};

// Exponents d, t, c of the 16-term equation of water (Kunz and Wagner
// (2012), Appendix A).
inline constexpr std::array<PureExponents, 16> kExponentsWater = {{
    {1, 0.5, 0},
    {1, 1.25, 0},
    {1, 1.875, 0},
    {2, 0.125, 0},
    {2, 1.5, 0},
    {3, 1.0, 0},
    {4, 0.75, 0},
    {1, 1.5, 1},
    {5, 0.625, 1},
    {5, 2.625, 1},
    {1, 5.0, 2},
    {2, 4.0, 2},
    {4, 4.5, 2},
    {4, 3.0, 3},
    {1, 4.0, 5},
    {1, 6.0, 5},
}};

// Exponents d, t, c of the 12-term equation of helium (Kunz and Wagner
// (2012), Appendix A).
inline constexpr std::array<PureExponents, 12> kExponentsHelium = {{
    {1, 0.0, 0},
    {1, 0.125, 0},
    {1, 0.75, 0},
    {4, 1.0, 0},
    {1, 0.75, 1},
    {3, 2.625, 1},
    {5, 0.125, 1},
    {5, 1.25, 1},
    {5, 2.0, 1},
    {2, 1.0, 2},
    {1, 4.5, 3},
    {2, 5.0, 3},
}};

// Exponents d, t, c of the 12-term equations shared by the other 14 components
// (Kunz and Wagner (2012), Appendix A).
inline constexpr std::array<PureExponents, 12> kExponentsShort = {{
    {1, 0.25, 0},
    {1, 1.125, 0},
    {1, 1.5, 0},
    {2, 1.375, 0},
    {3, 0.25, 0},
    {7, 0.875, 0},
    {2, 0.625, 1},
    {5, 1.75, 1},
    {1, 3.625, 2},
    {4, 3.625, 2},
    {3, 14.5, 3},
    {4, 12.0, 3},
}};

// Coefficients n of the pure-component equations, in the order of their exponent
// table (Kunz and Wagner (2012), Appendix A).
inline constexpr std::array<double, 24> kCoefficientsMethane = {
    0.57335704239162, -1.676068752373, 0.23405291834916, -0.21947376343441,
    0.016369201404128, 0.01500440638928, 0.098990489492918, 0.58382770929055,
    -0.7478686756039, 0.30033302857974, 0.20985543806568, -0.018590151133061,
    -0.15782558339049, 0.12716735220791, -0.032019743894346, -0.068049729364536,
    0.024291412853736, 0.0051440451639444, -0.019084949733532, 0.0055229677241291,
    -0.0044197392976085, 0.040061416708429, -0.033752085907575, -0.0025127658213357,
};
inline constexpr std::array<double, 24> kCoefficientsNitrogen = {
    0.59889711801201, -1.6941557480731, 0.24579736191718, -0.23722456755175,
    0.017954918715141, 0.014592875720215, 0.10008065936206, 0.73157115385532,
    -0.88372272336366, 0.31887660246708, 0.20766491728799, -0.019379315454158,
    -0.16936641554983, 0.13546846041701, -0.033066712095307, -0.060690817018557,
    0.012797548292871, 0.0058743664107299, -0.018451951971969, 0.0047226622042472,
    -0.0052024079680599, 0.043563505956635, -0.036251690750939, -0.0028974026866543,
};
inline constexpr std::array<double, 22> kCoefficientsCarbonDioxide = {
    0.52646564804653, -1.4995725042592, 0.27329786733782, 0.12949500022786,
    0.15404088341841, -0.58186950946814, -0.18022494838296, -0.095389904072812,
    -0.0080486819317679, -0.03554775127309, -0.28079014882405, -0.082435890081677,
    0.010832427979006, -0.0067073993161097, -0.0046827907600524, -0.028359911832177,
    0.019500174744098, -0.21609137507166, 0.43772794926972, -0.22130790113593,
    0.015190189957331, -0.0153809489533,
};
inline constexpr std::array<double, 24> kCoefficientsEthane = {
    0.63596780450714, -1.7377981785459, 0.28914060926272, -0.33714276845694,
    0.022405964699561, 0.015715424886913, 0.11450634253745, 1.0612049379745,
    -1.2855224439423, 0.39414630777652, 0.31390924682041, -0.021592277117247,
    -0.21723666564905, -0.28999574439489, 0.42321173025732, 0.04643410025926,
    -0.13138398329741, 0.011492850364368, -0.033387688429909, 0.015183171583644,
    -0.0047610805647657, 0.046917166277885, -0.039401755804649, -0.0032569956247611,
};
inline constexpr std::array<double, 12> kCoefficientsPropane = {
    1.0403973107358, -2.8318404081403, 0.84393809606294, -0.076559591850023,
    0.09469737305728, 0.00024796475497006, 0.2774376042287, -0.043846000648377,
    -0.2699106478435, -0.06931341308986, -0.029632145981653, 0.01404012675138,
};
inline constexpr std::array<double, 12> kCoefficientsIsobutane = {
    1.04293315891, -2.8184272548892, 0.8617623239785, -0.10613619452487,
    0.098615749302134, 0.00023948208682322, 0.3033000485695, -0.041598156135099,
    -0.29991937470058, -0.080369342764109, -0.029761373251151, 0.01305963030314,
};
inline constexpr std::array<double, 12> kCoefficientsNButane = {
    1.0626277411455, -2.862095182835, 0.88738233403777, -0.12570581155345,
    0.10286308708106, 0.00025358040602654, 0.32325200233982, -0.037950761057432,
    -0.32534802014452, -0.079050969051011, -0.020636720547775, 0.005705380933475,
};
inline constexpr std::array<double, 12> kCoefficientsIsopentane = {
    1.0963, -3.0402, 1.0317, -0.1541,
    0.11535, 0.00029809, 0.39571, -0.045881,
    -0.35804, -0.10107, -0.035484, 0.018156,
};
inline constexpr std::array<double, 12> kCoefficientsNPentane = {
    1.0968643098001, -2.9988888298061, 0.99516886799212, -0.16170708558539,
    0.11334460072775, 0.00026760595150748, 0.40979881986931, -0.040876423083075,
    -0.38169482469447, -0.10931956843993, -0.03207322332799, 0.016877016216975,
};
inline constexpr std::array<double, 12> kCoefficientsNHexane = {
    1.0553238013661, -2.6120615890629, 0.7661388296726, -0.29770320622459,
    0.11879907733358, 0.00027922861062617, 0.46347589844105, 0.011433196980297,
    -0.48256968738131, -0.093750558924659, -0.0067273247155994, -0.0051141583585428,
};
inline constexpr std::array<double, 12> kCoefficientsNHeptane = {
    1.0543747645262, -2.6500681506144, 0.81730047827543, -0.30451391253428,
    0.122538687108, 0.00027266472743928, 0.4986582568167, -0.00071432815084176,
    -0.5423689552545, -0.13801821610756, -0.0061595287380011, 0.00048602510393022,
};
inline constexpr std::array<double, 12> kCoefficientsNOctane = {
    1.0722544875633, -2.4632951172003, 0.65386674054928, -0.36324974085628,
    0.12713269626764, 0.0003071357277793, 0.5265685698754, 0.019362862857653,
    -0.58939426849155, -0.14069963991934, -0.0078966330500036, 0.0033036597968109,
};
inline constexpr std::array<double, 12> kCoefficientsNNonane = {
    1.1151, -2.702, 0.83416, -0.38828,
    0.1376, 0.00028185, 0.62037, 0.015847,
    -0.61726, -0.15043, -0.012982, 0.0044325,
};
inline constexpr std::array<double, 12> kCoefficientsNDecane = {
    1.0461, -2.4807, 0.74372, -0.52579,
    0.15315, 0.00032865, 0.84178, 0.055424,
    -0.73555, -0.18507, -0.020775, 0.012335,
};
inline constexpr std::array<double, 14> kCoefficientsHydrogen = {
    5.3579928451252, -6.2050252530595, 0.13830241327086, -0.071397954896129,
    0.015474053959733, -0.14976806405771, -0.026368723988451, 0.056681303156066,
    -0.060063958030436, -0.45043942027132, 0.424788402445, -0.021997640827139,
    -0.01049952137453, -0.0028955902866816,
};
inline constexpr std::array<double, 12> kCoefficientsOxygen = {
    0.88878286369701, -2.4879433312148, 0.59750190775886, 0.0096501817061881,
    0.07197042871277, 0.00022337443000195, 0.18558686391474, -0.03812936803576,
    -0.15352245383006, -0.026726814910919, -0.025675298677127, 0.0095714302123668,
};
inline constexpr std::array<double, 12> kCoefficientsCarbonMonoxide = {
    0.90554, -2.4515, 0.53149, 0.024173,
    0.072156, 0.00018818, 0.19405, -0.043268,
    -0.12778, -0.027896, -0.034154, 0.016329,
};
inline constexpr std::array<double, 16> kCoefficientsWater = {
    0.82728408749586, -1.8602220416584, -1.1199009613744, 0.15635753976056,
    0.87375844859025, -0.36674403715731, 0.053987893432436, 1.0957690214499,
    0.053213037828563, 0.013050533930825, -0.41079520434476, 0.1463744334412,
    -0.055726838623719, -0.0112017741438, -0.0066062758068099, 0.0046918522004538,
};
inline constexpr std::array<double, 12> kCoefficientsHydrogenSulfide = {
    0.87641, -2.0367, 0.21634, -0.050199,
    0.066994, 0.00019076, 0.20227, -0.0045348,
    -0.2223, -0.034714, -0.014885, 0.0074154,
};
inline constexpr std::array<double, 12> kCoefficientsHelium = {
    -0.45579024006737, 1.2516390754925, -1.5438231650621, 0.020467489707221,
    -0.34476212380781, -0.020858459512787, 0.016227414711778, -0.057471818200892,
    0.019462416430715, -0.03329568012302, -0.010863577372367, -0.022173365245954,
};
inline constexpr std::array<double, 12> kCoefficientsArgon = {
    0.85095714803969, -2.400322294348, 0.54127841476466, 0.016919770692538,
    0.068825965019035, 0.00021428032815338, 0.17429895321992, -0.033654495604194,
    -0.13526799857691, -0.016387350791552, -0.024987666851475, 0.0088769204815709,
};

// Binary parameters of the reducing functions beta_v, gamma_v, beta_T, gamma_T for
// every pair i < j of the component order (Kunz and Wagner (2012), Appendix A; the
// beta of isobutane + n-butane is the reciprocal of the published one, as the order
// of the two is reversed here, as in AGA Report No. 8 Part 2).
inline constexpr std::array<ReducingPair, kComponents * (kComponents - 1) / 2> kReducingPairs = {{
    {0.998721377, 1.013950311, 0.99809883, 0.979273013}, // methane + nitrogen
    {0.999518072, 1.002806594, 1.02262449, 0.975665369}, // methane + carbon dioxide
    {0.997547866, 1.006617867, 0.996336508, 1.049707697}, // methane + ethane
    {1.00482707, 1.038470657, 0.989680305, 1.098655531}, // methane + propane
    {1.011240388, 1.054319053, 0.980315756, 1.161117729}, // methane + isobutane
    {0.979105972, 1.045375122, 0.99417491, 1.171607691}, // methane + n-butane
    {1.0, 1.343685343, 1.0, 1.188899743}, // methane + isopentane
    {0.94833012, 1.124508039, 0.992127525, 1.249173968}, // methane + n-pentane
    {0.958015294, 1.052643846, 0.981844797, 1.330570181}, // methane + n-hexane
    {0.962050831, 1.156655935, 0.977431529, 1.379850328}, // methane + n-heptane
    {0.994740603, 1.116549372, 0.957473785, 1.449245409}, // methane + n-octane
    {1.002852287, 1.141895355, 0.947716769, 1.528532478}, // methane + n-nonane
    {1.033086292, 1.146089637, 0.937777823, 1.568231489}, // methane + n-decane
    {1.0, 1.018702573, 1.0, 1.352643115}, // methane + hydrogen
    {1.0, 1.0, 1.0, 0.95}, // methane + oxygen
    {0.997340772, 1.006102927, 0.987411732, 0.987473033}, // methane + carbon monoxide
    {1.012783169, 1.585018334, 1.063333913, 0.775810513}, // methane + water
    {1.012599087, 1.040161207, 1.011090031, 0.961155729}, // methane + hydrogen sulfide
    {1.0, 0.881405683, 1.0, 3.159776855}, // methane + helium
    {1.034630259, 1.014678542, 0.990954281, 0.989843388}, // methane + argon
    {0.977794634, 1.047578256, 1.005894529, 1.107654104}, // nitrogen + carbon dioxide
    {0.978880168, 1.042352891, 1.007671428, 1.098650964}, // nitrogen + ethane
    {0.974424681, 1.081025408, 1.002677329, 1.201264026}, // nitrogen + propane
    {0.98641583, 1.100576129, 0.99286813, 1.284462634}, // nitrogen + isobutane
    {0.99608261, 1.146949309, 0.994515234, 1.304886838}, // nitrogen + n-butane
    {1.0, 1.154135439, 1.0, 1.38177077}, // nitrogen + isopentane
    {1.0, 1.078877166, 1.0, 1.419029041}, // nitrogen + n-pentane
    {1.0, 1.195952177, 1.0, 1.472607971}, // nitrogen + n-hexane
    {1.0, 1.40455409, 1.0, 1.520975334}, // nitrogen + n-heptane
    {1.0, 1.186067025, 1.0, 1.733280051}, // nitrogen + n-octane
    {1.0, 1.100405929, 0.95637945, 1.749119996}, // nitrogen + n-nonane
    {1.0, 1.0, 0.957934447, 1.822157123}, // nitrogen + n-decane
    {0.972532065, 0.970115357, 0.946134337, 1.175696583}, // nitrogen + hydrogen
    {0.99952177, 0.997082328, 0.997190589, 0.995157044}, // nitrogen + oxygen
    {1.0, 1.008690943, 1.0, 0.993425388}, // nitrogen + carbon monoxide
    {1.0, 1.094749685, 1.0, 0.968808467}, // nitrogen + water
    {0.910394249, 1.256844157, 1.004692366, 0.9601742}, // nitrogen + hydrogen sulfide
    {0.969501055, 0.932629867, 0.692868765, 1.47183158}, // nitrogen + helium
    {1.004166412, 1.002212182, 0.999069843, 0.990034831}, // nitrogen + argon
    {1.002525718, 1.032876701, 1.013871147, 0.90094953}, // carbon dioxide + ethane
    {0.996898004, 1.047596298, 1.033620538, 0.908772477}, // carbon dioxide + propane
    {1.076551882, 1.081909003, 1.023339824, 0.929982936}, // carbon dioxide + isobutane
    {1.174760923, 1.222437324, 1.018171004, 0.911498231}, // carbon dioxide + n-butane
    {1.060793104, 1.116793198, 1.019180957, 0.961218039}, // carbon dioxide + isopentane
    {1.024311498, 1.068406078, 1.027000795, 0.979217302}, // carbon dioxide + n-pentane
    {1.0, 0.851343711, 1.0, 1.038675574}, // carbon dioxide + n-hexane
    {1.205469976, 1.164585914, 1.011806317, 1.046169823}, // carbon dioxide + n-heptane
    {1.026169373, 1.104043935, 1.02969078, 1.074455386}, // carbon dioxide + n-octane
    {1.0, 0.973386152, 1.00768862, 1.140671202}, // carbon dioxide + n-nonane
    {1.000151132, 1.183394668, 1.02002879, 1.145512213}, // carbon dioxide + n-decane
    {0.904142159, 1.15279255, 0.942320195, 1.782924792}, // carbon dioxide + hydrogen
    {1.0, 1.0, 1.0, 1.0}, // carbon dioxide + oxygen
    {1.0, 1.0, 1.0, 1.0}, // carbon dioxide + carbon monoxide
    {0.949055959, 1.542328793, 0.997372205, 0.775453996}, // carbon dioxide + water
    {0.906630564, 1.024085837, 1.016034583, 0.92601888}, // carbon dioxide + hydrogen sulfide
    {0.846647561, 0.864141549, 0.76837763, 3.207456948}, // carbon dioxide + helium
    {1.008392428, 1.029205465, 0.996512863, 1.050971635}, // carbon dioxide + argon
    {0.997607277, 1.00303472, 0.996199694, 1.01473019}, // ethane + propane
    {1.0, 1.006616886, 1.0, 1.033283811}, // ethane + isobutane
    {0.999157205, 1.006179146, 0.999130554, 1.034832749}, // ethane + n-butane
    {1.0, 1.045439935, 1.0, 1.021150247}, // ethane + isopentane
    {0.993851009, 1.026085655, 0.998688946, 1.066665676}, // ethane + n-pentane
    {1.0, 1.169701102, 1.0, 1.092177796}, // ethane + n-hexane
    {1.0, 1.057666085, 1.0, 1.134532014}, // ethane + n-heptane
    {1.007469726, 1.071917985, 0.984068272, 1.168636194}, // ethane + n-octane
    {1.0, 1.14353473, 1.0, 1.05603303}, // ethane + n-nonane
    {0.995676258, 1.098361281, 0.970918061, 1.237191558}, // ethane + n-decane
    {0.925367171, 1.10607204, 0.932969831, 1.902008495}, // ethane + hydrogen
    {1.0, 1.0, 1.0, 1.0}, // ethane + oxygen
    {1.0, 1.201417898, 1.0, 1.069224728}, // ethane + carbon monoxide
    {1.0, 1.0, 1.0, 1.0}, // ethane + water
    {1.010817909, 1.030988277, 0.990197354, 0.90273666}, // ethane + hydrogen sulfide
    {1.0, 1.0, 1.0, 1.0}, // ethane + helium
    {1.0, 1.0, 1.0, 1.0}, // ethane + argon
    {0.999243146, 1.001156119, 0.998012298, 1.005250774}, // propane + isobutane
    {0.999795868, 1.003264179, 1.000310289, 1.007392782}, // propane + n-butane
    {1.040459289, 0.999432118, 0.994364425, 1.0032695}, // propane + isopentane
    {1.044919431, 1.019921513, 0.996484021, 1.008344412}, // propane + n-pentane
    {1.0, 1.057872566, 1.0, 1.025657518}, // propane + n-hexane
    {1.0, 1.079648053, 1.0, 1.050044169}, // propane + n-heptane
    {1.0, 1.102764612, 1.0, 1.063694129}, // propane + n-octane
    {1.0, 1.199769134, 1.0, 1.109973833}, // propane + n-nonane
    {0.984104227, 1.053040574, 0.985331233, 1.140905252}, // propane + n-decane
    {1.0, 1.07400611, 1.0, 2.308215191}, // propane + hydrogen
    {1.0, 1.0, 1.0, 1.0}, // propane + oxygen
    {1.0, 1.108143673, 1.0, 1.197564208}, // propane + carbon monoxide
    {1.0, 1.011759763, 1.0, 0.600340961}, // propane + water
    {0.936811219, 1.010593999, 0.992573556, 0.905829247}, // propane + hydrogen sulfide
    {1.0, 1.0, 1.0, 1.0}, // propane + helium
    {1.0, 1.0, 1.0, 1.0}, // propane + argon
    {0.999120311, 1.00041444, 0.999922459, 1.001432824}, // isobutane + n-butane
    {1.0, 1.002284353, 1.0, 1.001835788}, // isobutane + isopentane
    {1.0, 1.002779804, 1.0, 1.002495889}, // isobutane + n-pentane
    {1.0, 1.010493989, 1.0, 1.006018054}, // isobutane + n-hexane
    {1.0, 1.021668316, 1.0, 1.00988576}, // isobutane + n-heptane
    {1.0, 1.032807063, 1.0, 1.013945424}, // isobutane + n-octane
    {1.0, 1.047298475, 1.0, 1.017817492}, // isobutane + n-nonane
    {1.0, 1.060243344, 1.0, 1.021624748}, // isobutane + n-decane
    {1.0, 1.147595688, 1.0, 1.895305393}, // isobutane + hydrogen
    {1.0, 1.0, 1.0, 1.0}, // isobutane + oxygen
    {1.0, 1.087272232, 1.0, 1.161390082}, // isobutane + carbon monoxide
    {1.0, 1.0, 1.0, 1.0}, // isobutane + water
    {1.012994431, 0.988591117, 0.974550548, 0.937130844}, // isobutane + hydrogen sulfide
    {1.0, 1.0, 1.0, 1.0}, // isobutane + helium
    {1.0, 1.0, 1.0, 1.0}, // isobutane + argon
    {1.0, 1.002728434, 1.0, 1.000792201}, // n-butane + isopentane
    {1.0, 1.01815965, 1.0, 1.00214364}, // n-butane + n-pentane
    {1.0, 1.034995284, 1.0, 1.00915706}, // n-butane + n-hexane
    {1.0, 1.019174227, 1.0, 1.021283378}, // n-butane + n-heptane
    {1.0, 1.046905515, 1.0, 1.033180106}, // n-butane + n-octane
    {1.0, 1.049219137, 1.0, 1.014096448}, // n-butane + n-nonane
    {0.976951968, 1.027845529, 0.993688386, 1.076466918}, // n-butane + n-decane
    {1.0, 1.232939523, 1.0, 2.509259945}, // n-butane + hydrogen
    {1.0, 1.0, 1.0, 1.0}, // n-butane + oxygen
    {1.0, 1.084740904, 1.0, 1.173916162}, // n-butane + carbon monoxide
    {1.0, 1.223638763, 1.0, 0.615512682}, // n-butane + water
    {0.908113163, 1.033366041, 0.985962886, 0.926156602}, // n-butane + hydrogen sulfide
    {1.0, 1.0, 1.0, 1.0}, // n-butane + helium
    {1.0, 1.214638734, 1.0, 1.245039498}, // n-butane + argon
    {1.0, 1.000024335, 1.0, 1.000050537}, // isopentane + n-pentane
    {1.0, 1.002995876, 1.0, 1.001204174}, // isopentane + n-hexane
    {1.0, 1.009928206, 1.0, 1.003194615}, // isopentane + n-heptane
    {1.0, 1.017880545, 1.0, 1.00564748}, // isopentane + n-octane
    {1.0, 1.028994325, 1.0, 1.008191499}, // isopentane + n-nonane
    {1.0, 1.039372957, 1.0, 1.010825138}, // isopentane + n-decane
    {1.0, 1.184340443, 1.0, 1.996386669}, // isopentane + hydrogen
    {1.0, 1.0, 1.0, 1.0}, // isopentane + oxygen
    {1.0, 1.116694577, 1.0, 1.199326059}, // isopentane + carbon monoxide
    {1.0, 1.0, 1.0, 1.0}, // isopentane + water
    {1.0, 0.835763343, 1.0, 0.982651529}, // isopentane + hydrogen sulfide
    {1.0, 1.0, 1.0, 1.0}, // isopentane + helium
    {1.0, 1.0, 1.0, 1.0}, // isopentane + argon
    {1.0, 1.002480637, 1.0, 1.000761237}, // n-pentane + n-hexane
    {1.0, 1.008972412, 1.0, 1.002441051}, // n-pentane + n-heptane
    {1.0, 1.069223964, 1.0, 1.016422347}, // n-pentane + n-octane
    {1.0, 1.034910633, 1.0, 1.103421755}, // n-pentane + n-nonane
    {1.0, 1.016370338, 1.0, 1.049035838}, // n-pentane + n-decane
    {1.0, 1.188334783, 1.0, 2.013859174}, // n-pentane + hydrogen
    {1.0, 1.0, 1.0, 1.0}, // n-pentane + oxygen
    {1.0, 1.119954454, 1.0, 1.206043295}, // n-pentane + carbon monoxide
    {1.0, 0.95667731, 1.0, 0.447666011}, // n-pentane + water
    {0.984613203, 1.076539234, 0.962006651, 0.959065662}, // n-pentane + hydrogen sulfide
    {1.0, 1.0, 1.0, 1.0}, // n-pentane + helium
    {1.0, 1.0, 1.0, 1.0}, // n-pentane + argon
    {1.0, 1.001508227, 1.0, 0.999762786}, // n-hexane + n-heptane
    {1.0, 1.006268954, 1.0, 1.001633952}, // n-hexane + n-octane
    {1.0, 1.02076168, 1.0, 1.055369591}, // n-hexane + n-nonane
    {1.001516371, 1.013511439, 0.99764101, 1.028939539}, // n-hexane + n-decane
    {1.0, 1.243461678, 1.0, 3.021197546}, // n-hexane + hydrogen
    {1.0, 1.0, 1.0, 1.0}, // n-hexane + oxygen
    {1.0, 1.155145836, 1.0, 1.233272781}, // n-hexane + carbon monoxide
    {1.0, 1.170217596, 1.0, 0.569681333}, // n-hexane + water
    {0.754473958, 1.339283552, 0.985891113, 0.956075596}, // n-hexane + hydrogen sulfide
    {1.0, 1.0, 1.0, 1.0}, // n-hexane + helium
    {1.0, 1.0, 1.0, 1.0}, // n-hexane + argon
    {1.0, 1.006767176, 1.0, 0.998793111}, // n-heptane + n-octane
    {1.0, 1.001370076, 1.0, 1.001150096}, // n-heptane + n-nonane
    {1.0, 1.002972346, 1.0, 1.002229938}, // n-heptane + n-decane
    {1.0, 1.159131722, 1.0, 3.169143057}, // n-heptane + hydrogen
    {1.0, 1.0, 1.0, 1.0}, // n-heptane + oxygen
    {1.0, 1.190354273, 1.0, 1.256123503}, // n-heptane + carbon monoxide
    {1.0, 1.0, 1.0, 1.0}, // n-heptane + water
    {0.828967164, 1.087956749, 0.988937417, 1.013453092}, // n-heptane + hydrogen sulfide
    {1.0, 1.0, 1.0, 1.0}, // n-heptane + helium
    {1.0, 1.0, 1.0, 1.0}, // n-heptane + argon
    {1.0, 1.001357085, 1.0, 1.000235044}, // n-octane + n-nonane
    {1.0, 1.002553544, 1.0, 1.007186267}, // n-octane + n-decane
    {1.0, 1.305249405, 1.0, 2.191555216}, // n-octane + hydrogen
    {1.0, 1.0, 1.0, 1.0}, // n-octane + oxygen
    {1.0, 1.219206702, 1.0, 1.276565536}, // n-octane + carbon monoxide
    {1.0, 0.599484191, 1.0, 0.662072469}, // n-octane + water
    {1.0, 1.0, 1.0, 1.0}, // n-octane + hydrogen sulfide
    {1.0, 1.0, 1.0, 1.0}, // n-octane + helium
    {1.0, 1.0, 1.0, 1.0}, // n-octane + argon
    {1.0, 1.00081052, 1.0, 1.000182392}, // n-nonane + n-decane
    {1.0, 1.342647661, 1.0, 2.23435404}, // n-nonane + hydrogen
    {1.0, 1.0, 1.0, 1.0}, // n-nonane + oxygen
    {1.0, 1.252151449, 1.0, 1.294070556}, // n-nonane + carbon monoxide
    {1.0, 1.0, 1.0, 1.0}, // n-nonane + water
    {1.0, 1.082905109, 1.0, 1.086557826}, // n-nonane + hydrogen sulfide
    {1.0, 1.0, 1.0, 1.0}, // n-nonane + helium
    {1.0, 1.0, 1.0, 1.0}, // n-nonane + argon
    {1.695358382, 1.120233729, 1.064818089, 3.786003724}, // n-decane + hydrogen
    {1.0, 1.0, 1.0, 1.0}, // n-decane + oxygen
    {1.0, 0.87018496, 1.049594632, 1.803567587}, // n-decane + carbon monoxide
    {1.0, 0.551405318, 0.897162268, 0.740416402}, // n-decane + water
    {0.975187766, 1.171714677, 0.973091413, 1.103693489}, // n-decane + hydrogen sulfide
    {1.0, 1.0, 1.0, 1.0}, // n-decane + helium
    {1.0, 1.0, 1.0, 1.0}, // n-decane + argon
    {1.0, 1.0, 1.0, 1.0}, // hydrogen + oxygen
    {1.0, 1.121416201, 1.0, 1.377504607}, // hydrogen + carbon monoxide
    {1.0, 1.0, 1.0, 1.0}, // hydrogen + water
    {1.0, 1.0, 1.0, 1.0}, // hydrogen + hydrogen sulfide
    {1.0, 1.0, 1.0, 1.0}, // hydrogen + helium
    {1.0, 1.0, 1.0, 1.0}, // hydrogen + argon
    {1.0, 1.0, 1.0, 1.0}, // oxygen + carbon monoxide
    {1.0, 1.143174289, 1.0, 0.964767932}, // oxygen + water
    {1.0, 1.0, 1.0, 1.0}, // oxygen + hydrogen sulfide
    {1.0, 1.0, 1.0, 1.0}, // oxygen + helium
    {0.999746847, 0.993907223, 1.000023103, 0.990430423}, // oxygen + argon
    {1.0, 1.0, 1.0, 1.0}, // carbon monoxide + water
    {0.795660392, 1.101731308, 1.025536736, 1.022749748}, // carbon monoxide + hydrogen sulfide
    {1.0, 1.0, 1.0, 1.0}, // carbon monoxide + helium
    {1.0, 1.159720623, 1.0, 0.954215746}, // carbon monoxide + argon
    {1.0, 1.014832832, 1.0, 0.940587083}, // water + hydrogen sulfide
    {1.0, 1.0, 1.0, 1.0}, // water + helium
    {1.0, 1.038993495, 1.0, 1.070941866}, // water + argon
    {1.0, 1.0, 1.0, 1.0}, // hydrogen sulfide + helium
    {1.0, 1.0, 1.0, 1.0}, // hydrogen sulfide + argon
    {1.0, 1.0, 1.0, 1.0}, // helium + argon
}};

// Departure functions: n, d, t, eta, epsilon, beta, gamma of each term (Kunz and
// Wagner (2012), Appendix A); eta = beta = 0 marks a polynomial term.
// methane + ethane
inline constexpr std::array<DepartureTerm, 12> kDepartureMethaneEthane = {{
    {-0.00080926050298746, 3, 0.65, 0.0, 0.0, 0.0, 0.0},
    {-0.00075381925080059, 4, 1.55, 0.0, 0.0, 0.0, 0.0},
    {-0.041618768891219, 1, 3.1, 1.0, 0.5, 1.0, 0.5},
    {-0.23452173681569, 2, 5.9, 1.0, 0.5, 1.0, 0.5},
    {0.14003840584586, 2, 7.05, 1.0, 0.5, 1.0, 0.5},
    {0.063281744807738, 2, 3.35, 0.875, 0.5, 1.25, 0.5},
    {-0.034660425848809, 2, 1.2, 0.75, 0.5, 1.5, 0.5},
    {-0.23918747334251, 2, 5.8, 0.5, 0.5, 2.0, 0.5},
    {0.0019855255066891, 2, 2.7, 0.0, 0.5, 3.0, 0.5},
    {6.1777746171555, 3, 0.45, 0.0, 0.5, 3.0, 0.5},
    {-6.9575358271105, 3, 0.55, 0.0, 0.5, 3.0, 0.5},
    {1.0630185306388, 3, 1.95, 0.0, 0.5, 3.0, 0.5},
}};
// methane + propane
inline constexpr std::array<DepartureTerm, 9> kDepartureMethanePropane = {{
    {0.013746429958576, 3, 1.85, 0.0, 0.0, 0.0, 0.0},
    {-0.0074425012129552, 3, 3.95, 0.0, 0.0, 0.0, 0.0},
    {-0.0045516600213685, 4, 0.0, 0.0, 0.0, 0.0, 0.0},
    {-0.0054546603350237, 4, 1.85, 0.0, 0.0, 0.0, 0.0},
    {0.0023682016824471, 4, 3.85, 0.0, 0.0, 0.0, 0.0},
    {0.18007763721438, 1, 5.25, 0.25, 0.5, 0.75, 0.5},
    {-0.44773942932486, 1, 3.85, 0.25, 0.5, 1.0, 0.5},
    {0.0193273748882, 1, 0.2, 0.0, 0.5, 2.0, 0.5},
    {-0.30632197804624, 2, 6.5, 0.0, 0.5, 3.0, 0.5},
}};
// methane + nitrogen
inline constexpr std::array<DepartureTerm, 9> kDepartureMethaneNitrogen = {{
    {-0.0098038985517335, 1, 0.0, 0.0, 0.0, 0.0, 0.0},
    {0.00042487270143005, 4, 1.85, 0.0, 0.0, 0.0, 0.0},
    {-0.034800214576142, 1, 7.85, 1.0, 0.5, 1.0, 0.5},
    {-0.13333813013896, 2, 5.4, 1.0, 0.5, 1.0, 0.5},
    {-0.011993694974627, 2, 0.0, 0.25, 0.5, 2.5, 0.5},
    {0.069243379775168, 2, 0.75, 0.0, 0.5, 3.0, 0.5},
    {-0.31022508148249, 2, 2.8, 0.0, 0.5, 3.0, 0.5},
    {0.24495491753226, 2, 4.45, 0.0, 0.5, 3.0, 0.5},
    {0.22369816716981, 3, 4.25, 0.0, 0.5, 3.0, 0.5},
}};
// methane + carbon dioxide
inline constexpr std::array<DepartureTerm, 6> kDepartureMethaneCarbonDioxide = {{
    {-0.10859387354942, 1, 2.6, 0.0, 0.0, 0.0, 0.0},
    {0.080228576727389, 2, 1.95, 0.0, 0.0, 0.0, 0.0},
    {-0.0093303985115717, 3, 0.0, 0.0, 0.0, 0.0, 0.0},
    {0.040989274005848, 1, 3.95, 1.0, 0.5, 1.0, 0.5},
    {-0.24338019772494, 2, 7.95, 0.5, 0.5, 2.0, 0.5},
    {0.23855347281124, 3, 8.0, 0.0, 0.5, 3.0, 0.5},
}};
// nitrogen + carbon dioxide
inline constexpr std::array<DepartureTerm, 6> kDepartureNitrogenCarbonDioxide = {{
    {0.28661625028399, 2, 1.85, 0.0, 0.0, 0.0, 0.0},
    {-0.10919833861247, 3, 1.4, 0.0, 0.0, 0.0, 0.0},
    {-1.137403208227, 1, 3.2, 0.25, 0.5, 0.75, 0.5},
    {0.76580544237358, 1, 2.5, 0.25, 0.5, 1.0, 0.5},
    {0.0042638000926819, 1, 8.0, 0.0, 0.5, 2.0, 0.5},
    {0.17673538204534, 2, 3.75, 0.0, 0.5, 3.0, 0.5},
}};
// nitrogen + ethane
inline constexpr std::array<DepartureTerm, 6> kDepartureNitrogenEthane = {{
    {-0.47376518126608, 2, 0.0, 0.0, 0.0, 0.0, 0.0},
    {0.48961193461001, 2, 0.05, 0.0, 0.0, 0.0, 0.0},
    {-0.0057011062090535, 3, 0.0, 0.0, 0.0, 0.0, 0.0},
    {-0.1996682004132, 1, 3.65, 1.0, 0.5, 1.0, 0.5},
    {-0.69411103101723, 2, 4.9, 1.0, 0.5, 1.0, 0.5},
    {0.69226192739021, 2, 4.45, 0.875, 0.5, 1.25, 0.5},
}};
// methane + hydrogen
inline constexpr std::array<DepartureTerm, 4> kDepartureMethaneHydrogen = {{
    {-0.25157134971934, 1, 2.0, 0.0, 0.0, 0.0, 0.0},
    {-0.0062203841111983, 3, -1.0, 0.0, 0.0, 0.0, 0.0},
    {0.088850315184396, 3, 1.75, 0.0, 0.0, 0.0, 0.0},
    {-0.035592212573239, 4, 1.4, 0.0, 0.0, 0.0, 0.0},
}};
// generalized (alkane pairs)
inline constexpr std::array<DepartureTerm, 10> kDepartureGeneralized = {{
    {2.5574776844118, 1, 1.0, 0.0, 0.0, 0.0, 0.0},
    {-7.9846357136353, 1, 1.55, 0.0, 0.0, 0.0, 0.0},
    {4.7859131465806, 1, 1.7, 0.0, 0.0, 0.0, 0.0},
    {-0.73265392369587, 2, 0.25, 0.0, 0.0, 0.0, 0.0},
    {1.3805471345312, 2, 1.35, 0.0, 0.0, 0.0, 0.0},
    {0.28349603476365, 3, 0.0, 0.0, 0.0, 0.0, 0.0},
    {-0.49087385940425, 3, 1.25, 0.0, 0.0, 0.0, 0.0},
    {-0.10291888921447, 4, 0.0, 0.0, 0.0, 0.0, 0.0},
    {0.11836314681968, 4, 0.7, 0.0, 0.0, 0.0, 0.0},
    {5.5527385721943e-05, 4, 5.4, 0.0, 0.0, 0.0, 0.0},
}};

// The pairs with a departure function: components i < j, the factor F_ij and the
// function (index into kDepartureFunctions) (Kunz and Wagner (2012), Appendix A).
inline constexpr std::array<DeparturePair, 15> kDeparturePairs = {{
    {0, 1, 1.0, 2}, // methane + nitrogen
    {0, 2, 1.0, 3}, // methane + carbon dioxide
    {0, 3, 1.0, 0}, // methane + ethane
    {0, 4, 1.0, 1}, // methane + propane
    {0, 5, 0.771035405688, 7}, // methane + isobutane
    {0, 6, 1.0, 7}, // methane + n-butane
    {0, 14, 1.0, 6}, // methane + hydrogen
    {1, 2, 1.0, 4}, // nitrogen + carbon dioxide
    {1, 3, 1.0, 5}, // nitrogen + ethane
    {3, 4, 0.13042476515, 7}, // ethane + propane
    {3, 5, 0.260632376098, 7}, // ethane + isobutane
    {3, 6, 0.281570073085, 7}, // ethane + n-butane
    {4, 5, -0.0551609771024, 7}, // propane + isobutane
    {4, 6, 0.0312572600489, 7}, // propane + n-butane
    {5, 6, -0.0551240293009, 7}, // isobutane + n-butane
}};
// clang-format on

// The residual equation of each component: its exponents and coefficients.
struct PureEquation {
    const PureExponents* exponents;
    const double* n;
    std::size_t count;
};
template <std::size_t N>
constexpr PureEquation equation(const std::array<PureExponents, N>& e,
                                const std::array<double, N>& n) {
    return {e.data(), n.data(), N};
}
inline constexpr std::array<PureEquation, kComponents> kPureEquations = {{
    equation(kExponentsLong, kCoefficientsMethane),
    equation(kExponentsLong, kCoefficientsNitrogen),
    equation(kExponentsCarbonDioxide, kCoefficientsCarbonDioxide),
    equation(kExponentsLong, kCoefficientsEthane),
    equation(kExponentsShort, kCoefficientsPropane),
    equation(kExponentsShort, kCoefficientsIsobutane),
    equation(kExponentsShort, kCoefficientsNButane),
    equation(kExponentsShort, kCoefficientsIsopentane),
    equation(kExponentsShort, kCoefficientsNPentane),
    equation(kExponentsShort, kCoefficientsNHexane),
    equation(kExponentsShort, kCoefficientsNHeptane),
    equation(kExponentsShort, kCoefficientsNOctane),
    equation(kExponentsShort, kCoefficientsNNonane),
    equation(kExponentsShort, kCoefficientsNDecane),
    equation(kExponentsHydrogen, kCoefficientsHydrogen),
    equation(kExponentsShort, kCoefficientsOxygen),
    equation(kExponentsShort, kCoefficientsCarbonMonoxide),
    equation(kExponentsWater, kCoefficientsWater),
    equation(kExponentsShort, kCoefficientsHydrogenSulfide),
    equation(kExponentsHelium, kCoefficientsHelium),
    equation(kExponentsShort, kCoefficientsArgon),
}};

// The departure functions, indexed by DeparturePair::function.
struct DepartureFunction {
    const DepartureTerm* terms;
    std::size_t count;
};
template <std::size_t N>
constexpr DepartureFunction departure(const std::array<DepartureTerm, N>& t) {
    return {t.data(), N};
}
inline constexpr std::array<DepartureFunction, 8> kDepartureFunctions = {{
    departure(kDepartureMethaneEthane),
    departure(kDepartureMethanePropane),
    departure(kDepartureMethaneNitrogen),
    departure(kDepartureMethaneCarbonDioxide),
    departure(kDepartureNitrogenCarbonDioxide),
    departure(kDepartureNitrogenEthane),
    departure(kDepartureMethaneHydrogen),
    departure(kDepartureGeneralized),
}};

} // namespace tarvelo::realgas::gerg
