// Colour texts: every accepted form, and what falls through to black.
#include <gtest/gtest.h>

#include "settings/Color.h"

namespace {

TEST(ParseColor, AcceptedForms) {
    const struct { const wchar_t* text; COLORREF color; } cases[] = {
        {L"#FF0000", RGB(255, 0, 0)},   {L"FF0000", RGB(255, 0, 0)},    {L"255,0,0", RGB(255, 0, 0)},
        {L"255", RGB(255, 0, 0)},       {L"#F00", RGB(0, 0, 0)},        {L"#00ff80", RGB(0, 255, 0x80)},
        {L"0000FF", RGB(0, 0, 255)},    {L"#12ZZ56", RGB(0, 0, 0x12)},  {L"300,0,1", RGB(300 & 0xFF, 0, 1)},
        {L"1,2,3", RGB(1, 2, 3)},       {L"red", 0},                    {L"", 0},
        {L"#CBCBFF", RGB(0xCB, 0xCB, 0xFF)}, {L"1,2", 1},               {L"#1,2,3", 0},
        {L"16777215", RGB(255, 255, 255)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.color, ParseColor(c.text)) << std::string(c.text, c.text + wcslen(c.text));
}

TEST(FormatColor, WritesHashAndUpperCaseHex) {
    wchar_t buf[8];
    FormatColor(RGB(255, 0, 0), buf, 8);
    EXPECT_STREQ(L"#FF0000", buf);
    FormatColor(RGB(0x0A, 0xBC, 0x01), buf, 8);
    EXPECT_STREQ(L"#0ABC01", buf);
    EXPECT_EQ(RGB(0x0A, 0xBC, 0x01), ParseColor(buf));
    // A buffer too small for the text gets an empty string, not a cut one.
    wchar_t small[4] = L"abc";
    FormatColor(RGB(1, 2, 3), small, 4);
    EXPECT_STREQ(L"", small);
}

} // namespace
