#include "Windows1252.h"

#include <iterator>
#include <string>

#include <gtest/gtest.h>

using tarvelo::toWindows1252;

namespace {

TEST(Windows1252, keepsLatin1AndTheWindowsCharacters) {
    EXPECT_EQ(toWindows1252("Erdgas H 2024"), "Erdgas H 2024");
    EXPECT_EQ(toWindows1252("Grüße é\u00A0\u00FF"), "Gr\xFC\xDF\x65 \xE9\xA0\xFF");

    const char32_t windows[] = U"€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ";
    const unsigned char bytes[] = {0x80, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89,
                                   0x8A, 0x8B, 0x8C, 0x8E, 0x91, 0x92, 0x93, 0x94, 0x95,
                                   0x96, 0x97, 0x98, 0x99, 0x9A, 0x9B, 0x9C, 0x9E, 0x9F};
    ASSERT_EQ(std::size(windows) - 1, std::size(bytes));
    for (std::size_t i = 0; i < std::size(bytes); ++i)
        EXPECT_EQ(static_cast<unsigned char>(tarvelo::windows1252Byte(windows[i])), bytes[i]) << i;
}

TEST(Windows1252, convertsUtf8AndMarksWhatTheCodePageLacks) {
    EXPECT_EQ(toWindows1252("Erdgas S\xC3\xBC"
                            "d"),
              "Erdgas S\xFC"
              "d");
    EXPECT_EQ(toWindows1252("\xE2\x82\xAC 5"), "\x80 5"); // euro sign
    EXPECT_EQ(toWindows1252("\xE2\x80\x93"), "\x96");     // en dash
    EXPECT_EQ(toWindows1252("\xE6\x97\xA5"), "?");        // a CJK character
    EXPECT_EQ(toWindows1252("a\xFC"
                            "b"),
              "a?b");                                    // not UTF-8
    EXPECT_EQ(toWindows1252("\xC0\xAF"), "??");          // overlong '/'
    EXPECT_EQ(toWindows1252("\xF0\x9F\x94\xA5!"), "?!"); // outside the BMP
}

} // namespace
