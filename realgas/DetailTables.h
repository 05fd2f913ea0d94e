// The coefficients of AGA8-DETAIL as AGA Report No. 8 (1994) publishes them
// (the same as ISO 12213-2), in its component order. Its ideal-gas part is the
// one of GERG-2008 (gerg::kIdealGas), as AGA Report No. 8 Part 1 (2017) adopts
// it.
// Cross-checked value by value against two public implementations of AGA
// Report No. 8 Part 1 (its C++ and Visual Basic versions agree on every
// value). Data only; DetailModel.cpp evaluates it.
#pragma once

#include <array>
#include <cstddef>

namespace tarvelo::realgas::aga {

inline constexpr std::size_t kComponents = 21;
inline constexpr std::size_t kTerms = 58;
// The first term with a density-dependent part (terms 1..12 are second virial
// terms only, 13..18 both).
inline constexpr std::size_t kFirstDensityTerm = 13;

// The molar gas constant of the equation [J/(mol·K)].
inline constexpr double kGasConstant = 8.31451;

struct Term {
    double a;
    int b, c, k;
    double u;
    int g, q, f, s, w;
};
struct ComponentParameters {
    double e, k, g, q, f, s, w;
};
struct BinaryParameters {
    int i, j;
    double e, u, k, g;
};

// clang-format off
// Molar masses in g/mol (AGA Report No. 8 (1994), the table of characterization parameters).
inline constexpr std::array<double, kComponents> kMolarMass = {
    16.043, // methane
    28.0135, // nitrogen
    44.01, // carbon dioxide
    30.07, // ethane
    44.097, // propane
    58.123, // isobutane
    58.123, // n-butane
    72.15, // isopentane
    72.15, // n-pentane
    86.177, // n-hexane
    100.204, // n-heptane
    114.231, // n-octane
    128.258, // n-nonane
    142.285, // n-decane
    2.0159, // hydrogen
    31.9988, // oxygen
    28.01, // carbon monoxide
    18.0153, // water
    34.082, // hydrogen sulfide
    4.0026, // helium
    39.948, // argon
};

// The 58 terms of the equation: a_n, b_n, c_n, k_n, u_n and the flags g_n, q_n,
// f_n, s_n, w_n (AGA Report No. 8 (1994), the table of equation of state parameters).
inline constexpr std::array<Term, kTerms> kTermTable = {{
    {0.1538326, 1, 0, 0, 0.0, 0, 0, 0, 0, 0}, // 1
    {1.341953, 1, 0, 0, 0.5, 0, 0, 0, 0, 0}, // 2
    {-2.998583, 1, 0, 0, 1.0, 0, 0, 0, 0, 0}, // 3
    {-0.04831228, 1, 0, 0, 3.5, 0, 0, 0, 0, 0}, // 4
    {0.3757965, 1, 0, 0, -0.5, 1, 0, 0, 0, 0}, // 5
    {-1.589575, 1, 0, 0, 4.5, 1, 0, 0, 0, 0}, // 6
    {-0.05358847, 1, 0, 0, 0.5, 0, 1, 0, 0, 0}, // 7
    {0.88659463, 1, 0, 0, 7.5, 0, 0, 0, 1, 0}, // 8
    {-0.71023704, 1, 0, 0, 9.5, 0, 0, 0, 1, 0}, // 9
    {-1.471722, 1, 0, 0, 6.0, 0, 0, 0, 0, 1}, // 10
    {1.32185035, 1, 0, 0, 12.0, 0, 0, 0, 0, 1}, // 11
    {-0.78665925, 1, 0, 0, 12.5, 0, 0, 0, 0, 1}, // 12
    {2.29129e-09, 1, 1, 3, -6.0, 0, 0, 1, 0, 0}, // 13
    {0.1576724, 1, 1, 2, 2.0, 0, 0, 0, 0, 0}, // 14
    {-0.4363864, 1, 1, 2, 3.0, 0, 0, 0, 0, 0}, // 15
    {-0.04408159, 1, 1, 2, 2.0, 0, 1, 0, 0, 0}, // 16
    {-0.003433888, 1, 1, 4, 2.0, 0, 0, 0, 0, 0}, // 17
    {0.03205905, 1, 1, 4, 11.0, 0, 0, 0, 0, 0}, // 18
    {0.02487355, 2, 0, 0, -0.5, 0, 0, 0, 0, 0}, // 19
    {0.07332279, 2, 0, 0, 0.5, 0, 0, 0, 0, 0}, // 20
    {-0.001600573, 2, 1, 2, 0.0, 0, 0, 0, 0, 0}, // 21
    {0.6424706, 2, 1, 2, 4.0, 0, 0, 0, 0, 0}, // 22
    {-0.4162601, 2, 1, 2, 6.0, 0, 0, 0, 0, 0}, // 23
    {-0.06689957, 2, 1, 4, 21.0, 0, 0, 0, 0, 0}, // 24
    {0.2791795, 2, 1, 4, 23.0, 1, 0, 0, 0, 0}, // 25
    {-0.6966051, 2, 1, 4, 22.0, 0, 1, 0, 0, 0}, // 26
    {-0.002860589, 2, 1, 4, -1.0, 0, 0, 1, 0, 0}, // 27
    {-0.008098836, 3, 0, 0, -0.5, 0, 1, 0, 0, 0}, // 28
    {3.150547, 3, 1, 1, 7.0, 1, 0, 0, 0, 0}, // 29
    {0.007224479, 3, 1, 1, -1.0, 0, 0, 1, 0, 0}, // 30
    {-0.7057529, 3, 1, 2, 6.0, 0, 0, 0, 0, 0}, // 31
    {0.5349792, 3, 1, 2, 4.0, 1, 0, 0, 0, 0}, // 32
    {-0.07931491, 3, 1, 3, 1.0, 1, 0, 0, 0, 0}, // 33
    {-1.418465, 3, 1, 3, 9.0, 1, 0, 0, 0, 0}, // 34
    {-5.99905e-17, 3, 1, 4, -13.0, 0, 0, 1, 0, 0}, // 35
    {0.1058402, 3, 1, 4, 21.0, 0, 0, 0, 0, 0}, // 36
    {0.03431729, 3, 1, 4, 8.0, 0, 1, 0, 0, 0}, // 37
    {-0.007022847, 4, 0, 0, -0.5, 0, 0, 0, 0, 0}, // 38
    {0.02495587, 4, 0, 0, 0.0, 0, 0, 0, 0, 0}, // 39
    {0.04296818, 4, 1, 2, 2.0, 0, 0, 0, 0, 0}, // 40
    {0.7465453, 4, 1, 2, 7.0, 0, 0, 0, 0, 0}, // 41
    {-0.2919613, 4, 1, 2, 9.0, 0, 1, 0, 0, 0}, // 42
    {7.294616, 4, 1, 4, 22.0, 0, 0, 0, 0, 0}, // 43
    {-9.936757, 4, 1, 4, 23.0, 0, 0, 0, 0, 0}, // 44
    {-0.005399808, 5, 0, 0, 1.0, 0, 0, 0, 0, 0}, // 45
    {-0.2432567, 5, 1, 2, 9.0, 0, 0, 0, 0, 0}, // 46
    {0.04987016, 5, 1, 2, 3.0, 0, 1, 0, 0, 0}, // 47
    {0.003733797, 5, 1, 4, 8.0, 0, 0, 0, 0, 0}, // 48
    {1.874951, 5, 1, 4, 23.0, 0, 1, 0, 0, 0}, // 49
    {0.002168144, 6, 0, 0, 1.5, 0, 0, 0, 0, 0}, // 50
    {-0.6587164, 6, 1, 2, 5.0, 1, 0, 0, 0, 0}, // 51
    {0.000205518, 7, 0, 0, -0.5, 0, 1, 0, 0, 0}, // 52
    {0.009776195, 7, 1, 2, 4.0, 0, 0, 0, 0, 0}, // 53
    {-0.02048708, 8, 1, 1, 7.0, 1, 0, 0, 0, 0}, // 54
    {0.01557322, 8, 1, 2, 3.0, 0, 0, 0, 0, 0}, // 55
    {0.006862415, 8, 1, 2, 0.0, 1, 0, 0, 0, 0}, // 56
    {-0.001226752, 9, 1, 2, 1.0, 0, 0, 0, 0, 0}, // 57
    {0.002850908, 9, 1, 2, 0.0, 0, 1, 0, 0, 0}, // 58
}};

// Characterization parameters E_i (K), K_i (m3/kmol)^(1/3), G_i, Q_i, F_i, S_i, W_i
// (AGA Report No. 8 (1994), the table of characterization parameters).
inline constexpr std::array<ComponentParameters, kComponents> kParameters = {{
    {151.3183, 0.4619255, 0.0, 0.0, 0.0, 0.0, 0.0}, // methane
    {99.73778, 0.4479153, 0.027815, 0.0, 0.0, 0.0, 0.0}, // nitrogen
    {241.9606, 0.4557489, 0.189065, 0.69, 0.0, 0.0, 0.0}, // carbon dioxide
    {244.1667, 0.5279209, 0.0793, 0.0, 0.0, 0.0, 0.0}, // ethane
    {298.1183, 0.583749, 0.141239, 0.0, 0.0, 0.0, 0.0}, // propane
    {324.0689, 0.6406937, 0.256692, 0.0, 0.0, 0.0, 0.0}, // isobutane
    {337.6389, 0.6341423, 0.281835, 0.0, 0.0, 0.0, 0.0}, // n-butane
    {365.5999, 0.6738577, 0.332267, 0.0, 0.0, 0.0, 0.0}, // isopentane
    {370.6823, 0.6798307, 0.366911, 0.0, 0.0, 0.0, 0.0}, // n-pentane
    {402.636293, 0.7175118, 0.289731, 0.0, 0.0, 0.0, 0.0}, // n-hexane
    {427.72263, 0.7525189, 0.337542, 0.0, 0.0, 0.0, 0.0}, // n-heptane
    {450.325022, 0.784955, 0.383381, 0.0, 0.0, 0.0, 0.0}, // n-octane
    {470.840891, 0.8152731, 0.427354, 0.0, 0.0, 0.0, 0.0}, // n-nonane
    {489.558373, 0.8437826, 0.469659, 0.0, 0.0, 0.0, 0.0}, // n-decane
    {26.95794, 0.3514916, 0.034369, 0.0, 1.0, 0.0, 0.0}, // hydrogen
    {122.7667, 0.4186954, 0.021, 0.0, 0.0, 0.0, 0.0}, // oxygen
    {105.5348, 0.4533894, 0.038953, 0.0, 0.0, 0.0, 0.0}, // carbon monoxide
    {514.0156, 0.3825868, 0.3325, 1.06775, 0.0, 1.5822, 1.0}, // water
    {296.355, 0.4618263, 0.0885, 0.633276, 0.0, 0.39, 0.0}, // hydrogen sulfide
    {2.610111, 0.3589888, 0.0, 0.0, 0.0, 0.0, 0.0}, // helium
    {119.6299, 0.4216551, 0.0, 0.0, 0.0, 0.0, 0.0}, // argon
}};

// Binary interaction parameters E_ij, U_ij, K_ij, G_ij that differ from 1, for i < j
// (AGA Report No. 8 (1994), the table of binary interaction parameters); every other pair has all four equal to 1.
inline constexpr std::array<BinaryParameters, 61> kBinaryParameters = {{
    {0, 1, 0.97164, 0.886106, 1.00363, 1.0}, // methane + nitrogen
    {0, 2, 0.960644, 0.963827, 0.995933, 0.807653}, // methane + carbon dioxide
    {0, 4, 0.994635, 0.990877, 1.007619, 1.0}, // methane + propane
    {0, 5, 1.01953, 1.0, 1.0, 1.0}, // methane + isobutane
    {0, 6, 0.989844, 0.992291, 0.997596, 1.0}, // methane + n-butane
    {0, 7, 1.00235, 1.0, 1.0, 1.0}, // methane + isopentane
    {0, 8, 0.999268, 1.00367, 1.002529, 1.0}, // methane + n-pentane
    {0, 9, 1.107274, 1.302576, 0.982962, 1.0}, // methane + n-hexane
    {0, 10, 0.88088, 1.191904, 0.983565, 1.0}, // methane + n-heptane
    {0, 11, 0.880973, 1.205769, 0.982707, 1.0}, // methane + n-octane
    {0, 12, 0.881067, 1.219634, 0.981849, 1.0}, // methane + n-nonane
    {0, 13, 0.881161, 1.233498, 0.980991, 1.0}, // methane + n-decane
    {0, 14, 1.17052, 1.15639, 1.02326, 1.95731}, // methane + hydrogen
    {0, 16, 0.990126, 1.0, 1.0, 1.0}, // methane + carbon monoxide
    {0, 17, 0.708218, 1.0, 1.0, 1.0}, // methane + water
    {0, 18, 0.931484, 0.736833, 1.00008, 1.0}, // methane + hydrogen sulfide
    {1, 2, 1.02274, 0.835058, 0.982361, 0.982746}, // nitrogen + carbon dioxide
    {1, 3, 0.97012, 0.816431, 1.00796, 1.0}, // nitrogen + ethane
    {1, 4, 0.945939, 0.915502, 1.0, 1.0}, // nitrogen + propane
    {1, 5, 0.946914, 1.0, 1.0, 1.0}, // nitrogen + isobutane
    {1, 6, 0.973384, 0.993556, 1.0, 1.0}, // nitrogen + n-butane
    {1, 7, 0.95934, 1.0, 1.0, 1.0}, // nitrogen + isopentane
    {1, 8, 0.94552, 1.0, 1.0, 1.0}, // nitrogen + n-pentane
    {1, 14, 1.08632, 0.408838, 1.03227, 1.0}, // nitrogen + hydrogen
    {1, 15, 1.021, 1.0, 1.0, 1.0}, // nitrogen + oxygen
    {1, 16, 1.00571, 1.0, 1.0, 1.0}, // nitrogen + carbon monoxide
    {1, 17, 0.746954, 1.0, 1.0, 1.0}, // nitrogen + water
    {1, 18, 0.902271, 0.993476, 0.942596, 1.0}, // nitrogen + hydrogen sulfide
    {2, 3, 0.925053, 0.96987, 1.00851, 0.370296}, // carbon dioxide + ethane
    {2, 4, 0.960237, 1.0, 1.0, 1.0}, // carbon dioxide + propane
    {2, 5, 0.906849, 1.0, 1.0, 1.0}, // carbon dioxide + isobutane
    {2, 6, 0.897362, 1.0, 1.0, 1.0}, // carbon dioxide + n-butane
    {2, 7, 0.726255, 1.0, 1.0, 1.0}, // carbon dioxide + isopentane
    {2, 8, 0.859764, 1.0, 1.0, 1.0}, // carbon dioxide + n-pentane
    {2, 9, 0.855134, 1.066638, 0.910183, 1.0}, // carbon dioxide + n-hexane
    {2, 10, 0.831229, 1.077634, 0.895362, 1.0}, // carbon dioxide + n-heptane
    {2, 11, 0.80831, 1.088178, 0.881152, 1.0}, // carbon dioxide + n-octane
    {2, 12, 0.786323, 1.098291, 0.86752, 1.0}, // carbon dioxide + n-nonane
    {2, 13, 0.765171, 1.108021, 0.854406, 1.0}, // carbon dioxide + n-decane
    {2, 14, 1.28179, 1.0, 1.0, 1.0}, // carbon dioxide + hydrogen
    {2, 16, 1.5, 0.9, 1.0, 1.0}, // carbon dioxide + carbon monoxide
    {2, 17, 0.849408, 1.0, 1.0, 1.67309}, // carbon dioxide + water
    {2, 18, 0.955052, 1.04529, 1.00779, 1.0}, // carbon dioxide + hydrogen sulfide
    {3, 4, 1.02256, 1.065173, 0.986893, 1.0}, // ethane + propane
    {3, 5, 1.0, 1.25, 1.0, 1.0}, // ethane + isobutane
    {3, 6, 1.01306, 1.25, 1.0, 1.0}, // ethane + n-butane
    {3, 7, 1.0, 1.25, 1.0, 1.0}, // ethane + isopentane
    {3, 8, 1.00532, 1.25, 1.0, 1.0}, // ethane + n-pentane
    {3, 14, 1.16446, 1.61666, 1.02034, 1.0}, // ethane + hydrogen
    {3, 17, 0.693168, 1.0, 1.0, 1.0}, // ethane + water
    {3, 18, 0.946871, 0.971926, 0.999969, 1.0}, // ethane + hydrogen sulfide
    {4, 6, 1.0049, 1.0, 1.0, 1.0}, // propane + n-butane
    {4, 14, 1.034787, 1.0, 1.0, 1.0}, // propane + hydrogen
    {5, 14, 1.3, 1.0, 1.0, 1.0}, // isobutane + hydrogen
    {6, 14, 1.3, 1.0, 1.0, 1.0}, // n-butane + hydrogen
    {9, 18, 1.008692, 1.028973, 0.96813, 1.0}, // n-hexane + hydrogen sulfide
    {10, 18, 1.010126, 1.033754, 0.96287, 1.0}, // n-heptane + hydrogen sulfide
    {11, 18, 1.011501, 1.038338, 0.957828, 1.0}, // n-octane + hydrogen sulfide
    {12, 18, 1.012821, 1.042735, 0.952441, 1.0}, // n-nonane + hydrogen sulfide
    {13, 18, 1.014089, 1.046966, 0.948338, 1.0}, // n-decane + hydrogen sulfide
    {14, 16, 1.1, 1.0, 1.0, 1.0}, // hydrogen + carbon monoxide
}};

// clang-format on

} // namespace tarvelo::realgas::aga
