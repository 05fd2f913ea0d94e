#include "ReportNames.h"

#include <gtest/gtest.h>

using namespace tarvelo::batch;

namespace {

TEST(SafeFileStem, keepsHarmlessCharactersAndReplacesRunsOfOthers) {
    const std::pair<const char*, const char*> cases[] = {
        {"Erdgas-H_2.1", "Erdgas-H_2.1"},
        {"Erdgas H, Nord", "Erdgas_H_Nord"},
        {"a/b\\c:d*e?f\"g<h>i|j", "a_b_c_d_e_f_g_h_i_j"},
        {"../../etc/passwd", "etc_passwd"},
        {".hidden", "hidden"},
        {"-rf", "rf"},
        {"trailing. ", "trailing"},
        {"S\xC3\xBC"
         "d Ost",
         "S\xC3\xBC"
         "d_Ost"},
        {"bad\xFFutf8", "bad_utf8"},
        {"over\xE0\x80\xAFlong", "over_long"}, // an overlong '/' is no character
        {"tab\there", "tab_here"},
        {"CON", "CON_"},
        {"nul.txt", "nul.txt_"},
        {"com1", "com1_"},
        {"COM10", "COM10"},
        {"console", "console"},
        {"", ""},
        {"///", ""},
        {"...", ""},
    };
    for (const auto& [name, stem] : cases)
        EXPECT_EQ(safeFileStem(name), stem) << "'" << name << "'";
}

TEST(SafeFileStem, cutsLongNamesAtACharacterBoundary) {
    std::string name(99, 'a');
    name += "\xC3\xBC\xC3\xBC"; // two two-byte characters: only the first would still fit
    const std::string stem = safeFileStem(name);
    EXPECT_EQ(stem, std::string(99, 'a'));
    EXPECT_EQ(safeFileStem(std::string(300, 'b')).size(), 100u);
}

TEST(ReportNames, makesEveryNameUniqueWithinTheRun) {
    ReportNames names;
    EXPECT_EQ(names.next("gas", 1), "gas.htm");
    EXPECT_EQ(names.next("gas", 2), "gas-2.htm");
    EXPECT_EQ(names.next("GAS", 3), "GAS-3.htm"); // one file on a case-insensitive disk
    EXPECT_EQ(names.next("gas-2", 4), "gas-2-2.htm");
    EXPECT_EQ(names.next("gas/", 5), "gas-4.htm");
    EXPECT_EQ(names.next("", 6), "row-6.htm");
    EXPECT_EQ(names.next("??", 7), "row-7.htm");
    EXPECT_EQ(names.next("row-6", 8), "row-6-2.htm");
}

} // namespace
