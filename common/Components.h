// The components the project knows, in one table: the 60 of ISO 6976:2016's
// Table A.2, in its order, each with its name, its formula label, the
// spellings engineers and gas chromatographs use for it, and which of the
// project's models has it (the kernel's sixteen, the 21 of the equations of
// state). Every command, the batch header, the window and the libraries find
// a component here and nowhere else. Standard library only.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tarvelo::components {

// The number of components: ISO 6976's Table A.2.
inline constexpr std::size_t kCount = 60;

// The number of components of the equations of state (GERG-2008 and
// AGA8-DETAIL share them, in one published order).
inline constexpr std::size_t kEosCount = 21;

// The index of a model that lacks a component.
inline constexpr int kNone = -1;

struct Component {
    std::string_view name;  // as in Table A.2: "methane", "2-methylpropane"
    std::string_view label; // formula label: "CH4", "ISO-C4H10", "H2S"; empty where
                            // isomers of the table share the formula
    int kernel;             // the kernel's component index (0..15), or kNone
    int eos;                // the equations of state's index (0..20), or kNone
};

// Table A.2 of ISO 6976:2016 (names, in its order) with the formula labels.
// The kernel's index is its input order, the order of the window's sixteen
// fields, whose labels are the labels here; the equations of state's is the published order of
// GERG-2008 (Kunz and Wagner 2012, Table 1) and AGA8-DETAIL (AGA Report No. 8, Table 1).
// clang-format off
inline constexpr std::array<Component, kCount> kTable = {{
    {"methane", "CH4", 0, 0},
    {"ethane", "C2H6", 1, 3},
    {"propane", "C3H8", 2, 4},
    {"n-butane", "N-C4H10", 4, 6},
    {"2-methylpropane", "ISO-C4H10", 3, 5},
    {"n-pentane", "C5H12", 5, 8},
    {"2-methylbutane", "ISO-C5H12", kNone, 7},
    {"2,2-dimethylpropane", "NEO-C5H12", kNone, kNone},
    {"n-hexane", "C6H14", 6, 9},
    {"2-methylpentane", "", kNone, kNone},
    {"3-methylpentane", "", kNone, kNone},
    {"2,2-dimethylbutane", "", kNone, kNone},
    {"2,3-dimethylbutane", "", kNone, kNone},
    {"n-heptane", "C7H16", 7, 10},
    {"n-octane", "C8H18", kNone, 11},
    {"n-nonane", "C9H20", kNone, 12},
    {"n-decane", "C10H22", kNone, 13},
    {"ethene", "C2H4", 9, kNone},
    {"propene", "C3H6", kNone, kNone},
    {"1-butene", "", kNone, kNone},
    {"cis-2-butene", "", kNone, kNone},
    {"trans-2-butene", "", kNone, kNone},
    {"2-methylpropene", "", kNone, kNone},
    {"1-pentene", "", kNone, kNone},
    {"propadiene", "C3H4", kNone, kNone},
    {"1,2-butadiene", "", kNone, kNone},
    {"1,3-butadiene", "", kNone, kNone},
    {"ethyne", "C2H2", 8, kNone},
    {"cyclopentane", "", kNone, kNone},
    {"methylcyclopentane", "", kNone, kNone},
    {"ethylcyclopentane", "", kNone, kNone},
    {"cyclohexane", "", kNone, kNone},
    {"methylcyclohexane", "", kNone, kNone},
    {"ethylcyclohexane", "C8H16", kNone, kNone},
    {"benzene", "C6H6", kNone, kNone},
    {"toluene", "C7H8", kNone, kNone},
    {"ethylbenzene", "", kNone, kNone},
    {"o-xylene", "", kNone, kNone},
    {"methanol", "CH3OH", kNone, kNone},
    {"methanethiol", "CH3SH", kNone, kNone},
    {"hydrogen", "H2", 10, 14},
    {"water", "H2O", 15, 17},
    {"hydrogen sulfide", "H2S", kNone, 18},
    {"ammonia", "NH3", kNone, kNone},
    {"hydrogen cyanide", "HCN", kNone, kNone},
    {"carbon monoxide", "CO", 11, 16},
    {"carbonyl sulfide", "COS", kNone, kNone},
    {"carbon disulfide", "CS2", kNone, kNone},
    {"helium", "He", kNone, 19},
    {"neon", "Ne", kNone, kNone},
    {"argon", "Ar", kNone, 20},
    {"nitrogen", "N2", 13, 1},
    {"oxygen", "O2", 14, 15},
    {"carbon dioxide", "CO2", 12, 2},
    {"sulfur dioxide", "SO2", kNone, kNone},
    {"n-undecane", "C11H24", kNone, kNone},
    {"n-dodecane", "C12H26", kNone, kNone},
    {"n-tridecane", "C13H28", kNone, kNone},
    {"n-tetradecane", "C14H30", kNone, kNone},
    {"n-pentadecane", "C15H32", kNone, kNone},
}};
// clang-format on

// Component `index` (0..59). Throws std::out_of_range beyond.
const Component& component(std::size_t index);

// The index (0..59) of the component that `text` names: its Table A.2 name,
// its formula label, or a synonym ("isobutane", "i-C4H10", "iC4", "nC5",
// "neoC5", "pentane", "water vapour", "water vapor", "ethylene",
// "hydrogen sulphide", ...). Case does not matter; blanks around the text
// are not allowed. Nothing for any other text.
std::optional<std::size_t> find(std::string_view text) noexcept;

// The component of the kernel's index `kernelIndex` (0..15).
std::size_t ofKernel(int kernelIndex);

// The component of the equations of state's index `eosIndex` (0..20).
std::size_t ofEos(int eosIndex);

// For a message about a text that names nothing: up to three known
// spellings nearest to it, as "did you mean 'a', 'b' or 'c'?", or an empty
// string when nothing is near.
std::string suggestion(std::string_view text);

} // namespace tarvelo::components
