// Folder of a path and the trailing separator rule.
#include <gtest/gtest.h>

#include "base/Paths.h"

namespace {

TEST(DirectoryOfPath, Cases) {
    const struct { const wchar_t* path; const wchar_t* dir; } cases[] = {
        {L"C:\\a.zip", L"C:"},               // a root file gets the bare drive
        {L"C:\\x\\y\\a.zip", L"C:\\x\\y"},   // no trailing separator
        {L"\\\\server\\share\\a.zip", L"\\\\server\\share"},
        {L"x/y/a.zip", L"x/y"},              // '/' only when there is no '\'
        {L"C:\\x/y/a.zip", L"C:"},           // a '\' anywhere wins
        {L"a.zip", L"a.zip"},                // neither: the whole path
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(std::wstring(c.dir), DirectoryOfPath(c.path));
}

TEST(WithTrailingSeparator, Cases) {
    const struct { const wchar_t* path; const wchar_t* result; } cases[] = {
        {L"C:\\x", L"C:\\x\\"}, {L"C:\\x\\", L"C:\\x\\"}, {L"C:", L"C:/"},
        {L"x/y", L"x/y/"},      {L"x/y/", L"x/y/"},       {L"C:\\x/", L"C:\\x/\\"},
    };
    for (const auto& c : cases) EXPECT_EQ(std::wstring(c.result), WithTrailingSeparator(c.path));
}

} // namespace
