// What the tests and the program rely on from the Wine set-up.
#include <gtest/gtest.h>

#include <windows.h>

TEST(Platform, AnsiCodePageIsJapanese) {
    // Log lines and non-UTF-8 archive names are decoded with code page 932.
    EXPECT_EQ(932u, GetACP());
}
