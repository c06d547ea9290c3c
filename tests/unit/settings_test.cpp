// Zorvel.cfg: defaults, load corrections, write order and round trips.
#include <gtest/gtest.h>

#include <string>

#include "TestFiles.h"
#include "settings/ConfigFile.h"

namespace {

const int kScreenW = 1280, kScreenH = 1024;

Settings LoadText(const TempDir& dir, const std::wstring& text) {
    std::wstring path = dir / L"Zorvel.cfg";
    EXPECT_TRUE(WriteUtf16(path, text));
    Settings s;
    LoadSettingsFrom(path.c_str(), s, kScreenW, kScreenH);
    return s;
}

WINDOWPLACEMENT Placement(int left, int top, int width, int height, UINT show = SW_SHOWNORMAL, UINT flags = 0) {
    WINDOWPLACEMENT p = {};
    p.length = sizeof(p);
    p.showCmd = show;
    p.flags = flags;
    p.rcNormalPosition = {left, top, left + width, top + height};
    return p;
}

TEST(SettingsDefaults, NoFileGivesEveryDefault) {
    TempDir dir;
    Settings s;
    LoadSettingsFrom((dir / L"missing.cfg").c_str(), s, kScreenW, kScreenH);

    EXPECT_FALSE(s.Maximized);
    EXPECT_EQ(900, s.Width);
    EXPECT_EQ(450, s.Height);
    EXPECT_EQ((kScreenW - 900) / 2, s.Left);
    EXPECT_EQ((kScreenH - 450) / 2, s.Top);
    for (int i = 0; i < kColumnCount; ++i) EXPECT_EQ(i, s.Order[i]);
    const int widths[kColumnCount] = {180, 220, 220, 0, 100, 0, 130};
    for (int i = 0; i < kColumnCount; ++i) EXPECT_EQ(widths[i], s.ColumnWidth[i]) << "column " << i;
    const bool kinds[kArchiveKindCount] = {true, true, false, false, true};
    for (int i = 0; i < kArchiveKindCount; ++i) EXPECT_EQ(kinds[i], s.EnableKind[i]) << "kind " << i;
    EXPECT_EQ(128, s.SmallSize);
    EXPECT_EQ(192, s.NormalSize);
    EXPECT_EQ(256, s.LargeSize);
    EXPECT_EQ(30, s.SpacingX);
    EXPECT_EQ(60, s.SpacingY);
    EXPECT_EQ(2, StartupDisplay(s.Startup));
    EXPECT_TRUE(s.FirstFile);
    EXPECT_EQ(1, s.InterpolationMode);
    EXPECT_STREQ(L"", s.Design[kDesignDefault].Font);
    EXPECT_EQ(RGB(0xFF, 0xFF, 0xFF), s.Design[kDesignDefault].BackColor);
    EXPECT_EQ(RGB(0xEF, 0xEF, 0xF3), s.Design[kDesignDefault].OutlineColor);
    EXPECT_EQ(RGB(0xCB, 0xCB, 0xFF), s.Design[kDesignReady].BackColor);
    EXPECT_EQ(RGB(0xCB, 0xFF, 0xCB), s.Design[kDesignRenamed].BackColor);
    EXPECT_EQ(RGB(0xFF, 0xCB, 0xCB), s.Design[kDesignFailed].BackColor);
    EXPECT_EQ(RGB(0, 0, 0), s.Design[kDesignFailed].TextColor);
    EXPECT_STREQ(L"", s.Path);
    EXPECT_FALSE(s.SendTo);
    EXPECT_FALSE(s.Desktop);
    EXPECT_EQ(0, s.Options);
    EXPECT_EQ(0, s.MaxLine);
    EXPECT_TRUE(s.Use7zip32);
    EXPECT_FALSE(s.AllowDuplicate);
    EXPECT_TRUE(s.ConfirmExit);
    EXPECT_STREQ(L"%new", s.Format);
}

TEST(SettingsDefaults, CentringRoundsDownOnASmallScreen) {
    // (800 - 900) / 2 and (301 - 450) / 2 round towards minus infinity.
    Settings s;
    LoadSettingsFrom(nullptr, s, 800, 301);
    EXPECT_EQ(-50, s.Left);
    EXPECT_EQ(-75, s.Top);
    // The centre follows the stored size when only the position is missing.
    TempDir dir;
    s = LoadText(dir, L"[WindowState]\r\nWidth=1000\r\nHeight=500\r\n");
    EXPECT_EQ(140, s.Left);
    EXPECT_EQ(262, s.Top);
}

struct OrderCase {
    const wchar_t* value;
    const wchar_t* loaded;
};

TEST(SettingsLoad, OrderIsSevenDistinctDigitsOrTheDefault) {
    const OrderCase cases[] = {
        {L"6543210", L"6543210"}, {L"0123465", L"0123465"}, {L"0123455", L"0123456"},
        {L"012345", L"0123456"},  {L"01234567", L"0123456"}, {L"0123457", L"0123456"},
        {L"", L"0123456"},        {L"a123456", L"0123456"},  {L"0123456012345", L"0123456"},
    };
    TempDir dir;
    for (const OrderCase& c : cases) {
        Settings s = LoadText(dir, std::wstring(L"[ListViewColumn]\r\nOrder=") + c.value + L"\r\n");
        std::wstring order;
        for (int digit : s.Order) order += static_cast<wchar_t>(L'0' + digit);
        EXPECT_EQ(std::wstring(c.loaded), order) << "value \"" << std::string(c.value, c.value + wcslen(c.value)) << "\"";
    }
}

struct IntCase {
    const wchar_t* section;
    const wchar_t* key;
    const wchar_t* value;
    int expected;
    int Settings::*field;
};

TEST(SettingsLoad, IntegerCorrections) {
    const IntCase cases[] = {
        {L"Thumbnail", L"SmallSize", L"49", 128, &Settings::SmallSize},
        {L"Thumbnail", L"SmallSize", L"50", 50, &Settings::SmallSize},
        {L"Thumbnail", L"SmallSize", L"512", 512, &Settings::SmallSize},
        {L"Thumbnail", L"NormalSize", L"513", 192, &Settings::NormalSize},
        {L"Thumbnail", L"LargeSize", L"0", 256, &Settings::LargeSize},
        {L"Thumbnail", L"SpacingX", L"-1", -1, &Settings::SpacingX},
        {L"Thumbnail", L"SpacingX", L"-2", 30, &Settings::SpacingX},
        {L"Thumbnail", L"SpacingY", L"600", 60, &Settings::SpacingY},
        {L"Thumbnail", L"InterpolationMode", L"7", 7, &Settings::InterpolationMode},
        {L"Log", L"MaxLine", L"-5", -1, &Settings::MaxLine},
        {L"Log", L"MaxLine", L"3", 3, &Settings::MaxLine},
        {L"Log", L"MaxLine", L"12lines", 12, &Settings::MaxLine},
        {L"Log", L"MaxLine", L"lines", 0, &Settings::MaxLine},
        {L"WindowState", L"Width", L"-3", -3, &Settings::Width},
        {L"Shortcut", L"Options", L"3", 3, &Settings::Options},
    };
    TempDir dir;
    for (const IntCase& c : cases) {
        Settings s = LoadText(dir, std::wstring(L"[") + c.section + L"]\r\n" + c.key + L"=" + c.value + L"\r\n");
        EXPECT_EQ(c.expected, s.*c.field) << std::string(c.key, c.key + wcslen(c.key)) << "="
                                          << std::string(c.value, c.value + wcslen(c.value));
    }
}

TEST(SettingsLoad, ColumnWidthsTakeAbsoluteValuesButTheFirstColumnCannotHide) {
    TempDir dir;
    Settings s = LoadText(dir, L"[ListViewColumn]\r\nCurrentFileNameWidth=-150\r\nDirectoryWidth=-80\r\n"
                               L"TypeWidth=0\r\nLastModifiedWidth=-80\r\n");
    EXPECT_EQ(150, s.ColumnWidth[kColCurrentName]);
    EXPECT_EQ(80, s.ColumnWidth[kColDirectory]);
    EXPECT_EQ(0, s.ColumnWidth[kColType]);
    EXPECT_EQ(-80, s.ColumnWidth[kColLastModified]);
    s = LoadText(dir, L"[ListViewColumn]\r\nCurrentFileNameWidth=0\r\n");
    EXPECT_EQ(180, s.ColumnWidth[kColCurrentName]);
}

TEST(SettingsLoad, FontSizeBooleansAndTexts) {
    TempDir dir;
    Settings s = LoadText(dir, L"[DefaultItemDesign]\r\nFontSize=21\r\n[Other]\r\nFormat=\r\nConfirmExit=0\r\n"
                               L"AllowDuplicate=2\r\n[EnableFileType]\r\nZip=0\r\nLzh=-1\r\n");
    EXPECT_EQ(0, s.Design[kDesignDefault].FontSize);
    EXPECT_STREQ(L"%new", s.Format);
    EXPECT_FALSE(s.ConfirmExit);
    EXPECT_TRUE(s.AllowDuplicate);
    EXPECT_FALSE(s.EnableKind[kKindZip]);
    EXPECT_TRUE(s.EnableKind[kKindLzh]);
    s = LoadText(dir, L"[DefaultItemDesign]\r\nFontSize=20\r\n");
    EXPECT_EQ(20, s.Design[kDesignDefault].FontSize);
}

TEST(SettingsLoad, OverlongTextsAreCutToTheirBuffers) {
    TempDir dir;
    std::wstring longText(300, L'x');
    Settings s = LoadText(dir, L"[DefaultItemDesign]\r\nFont=" + longText + L"\r\n[Viewer]\r\nPath=" + longText +
                                   L"\r\n[Other]\r\nFormat=" + longText + L"\r\n");
    EXPECT_EQ(127u, wcslen(s.Design[kDesignDefault].Font));
    EXPECT_EQ(259u, wcslen(s.Path));
    EXPECT_EQ(129u, wcslen(s.Format));
}

TEST(SettingsLoad, KeyAndSectionNamesIgnoreCase) {
    TempDir dir;
    EXPECT_EQ(77, LoadText(dir, L"[WindowState]\r\nTop=77\r\n").Top);
    EXPECT_EQ(78, LoadText(dir, L"[WindowState]\r\ntop=78\r\n").Top);
    EXPECT_EQ(79, LoadText(dir, L"[windowstate]\r\nTOP=79\r\n").Top);
}

TEST(SettingsLoad, StartupKeepsTheRememberedDisplay) {
    TempDir dir;
    struct { const wchar_t* value; int choice; int display; } cases[] = {
        {L"0", 0, 0}, {L"3", 3, 3}, {L"4", 4, 2}, {L"10", 4, 0}, {L"13", 4, 3},
        {L"5", 2, 2}, {L"14", 2, 2}, {L"-1", 2, 2},
    };
    for (const auto& c : cases) {
        Settings s = LoadText(dir, std::wstring(L"[Thumbnail]\r\nStartup=") + c.value + L"\r\n");
        EXPECT_EQ(c.choice, StartupChoice(s.Startup)) << s.Startup;
        EXPECT_EQ(c.display, StartupDisplay(s.Startup)) << s.Startup;
    }
    // Choosing "as at the last exit" and closing with large thumbnails starts
    // large next time; a fixed choice ignores the display at exit.
    EXPECT_EQ(3, StartupDisplay(StartupAtExit(StartupFromChoice(4, 1), 3)));
    EXPECT_EQ(1, StartupDisplay(StartupAtExit(StartupFromChoice(1, 2), 3)));
}

TEST(SettingsSave, WritesSectionsAndKeysInOrderAsUtf16) {
    TempDir dir;
    Settings s;
    LoadSettingsFrom(nullptr, s, kScreenW, kScreenH);
    std::wstring path = dir / L"Zorvel.cfg";
    ASSERT_TRUE(SaveSettingsTo(path.c_str(), s, Placement(10, 20, 700, 400)));
    std::wstring text = ReadUtf16(path);
    ASSERT_FALSE(text.empty()) << "not UTF-16LE with a byte-order mark";

    const wchar_t* inOrder[] = {
        L"[WindowState]\r\nMaximized=0\r\nLeft=10\r\ntop=20\r\nHeight=400\r\nWidth=700\r\n",
        L"[ListViewColumn]\r\nOrder=0123456\r\nCurrentFileNameWidth=180\r\n",
        L"[EnableFileType]\r\nZip=1\r\n7z=1\r\nCab=0\r\nLzh=0\r\nRar=1\r\n",
        L"[Thumbnail]\r\nSmallSize=128\r\n",
        L"[DefaultItemDesign]\r\nFont=\r\nFontSize=0\r\nFontStyle=0\r\nTextColor=#000000\r\n"
        L"BackColor=#FFFFFF\r\nOutlineColor=#EFEFF3\r\n",
        L"[ReadyItemDesign]\r\nFont=\r\nFontStyle=0\r\nTextColor=#000000\r\nBackColor=#CBCBFF\r\n",
        L"[RenamedItemDesign]\r\n",
        L"[FailedItemDesign]\r\n",
        L"[Viewer]\r\nPath=\r\n",
        L"[Shortcut]\r\nSendTo=0\r\nDesktop=0\r\nOptions=0\r\n",
        L"[Log]\r\nMaxLine=0\r\n",
        L"[GetFileName]\r\nUse7zip32=1\r\n",
        L"[Other]\r\nAllowDuplicate=0\r\nConfirmExit=1\r\nFormat=%new\r\n",
    };
    size_t at = 0;
    for (const wchar_t* part : inOrder) {
        size_t found = text.find(part, at);
        EXPECT_NE(std::wstring::npos, found) << "missing or out of order: "
                                             << std::string(part, part + wcslen(part));
        if (found != std::wstring::npos) at = found;
    }
    EXPECT_FALSE(FileExists(path + L".tmp"));
}

TEST(SettingsSave, MaximizedComesFromTheLivePlacement) {
    TempDir dir;
    Settings s;
    LoadSettingsFrom(nullptr, s, kScreenW, kScreenH);
    std::wstring path = dir / L"Zorvel.cfg";
    const struct { UINT show; UINT flags; bool maximized; } cases[] = {
        {SW_SHOWMAXIMIZED, 0, true},
        {SW_SHOWMINIMIZED, WPF_RESTORETOMAXIMIZED, true},
        {SW_SHOWMINIMIZED, 0, false},
        {SW_SHOWNORMAL, 0, false},
    };
    for (const auto& c : cases) {
        s.Maximized = !c.maximized; // the record's own value must not count
        ASSERT_TRUE(SaveSettingsTo(path.c_str(), s, Placement(0, 0, 800, 600, c.show, c.flags)));
        Settings back;
        LoadSettingsFrom(path.c_str(), back, kScreenW, kScreenH);
        EXPECT_EQ(c.maximized, back.Maximized) << "show " << c.show << " flags " << c.flags;
    }
}

TEST(SettingsSave, EveryFieldSurvivesARoundTripWithJapaneseTexts) {
    TempDir dir;
    Settings s;
    LoadSettingsFrom(nullptr, s, kScreenW, kScreenH);
    const int order[kColumnCount] = {6, 0, 5, 1, 4, 2, 3};
    for (int i = 0; i < kColumnCount; ++i) {
        s.Order[i] = order[i];
        s.ColumnWidth[i] = 11 + i;
    }
    for (int i = 0; i < kArchiveKindCount; ++i) s.EnableKind[i] = i % 2 == 0;
    s.SmallSize = 60; s.NormalSize = 70; s.LargeSize = 80; s.SpacingX = -1; s.SpacingY = 5;
    s.Startup = StartupFromChoice(4, 3);
    s.FirstFile = false; s.InterpolationMode = 7;
    const wchar_t* faces[kDesignCount] = {L"ＭＳ Ｐゴシック", L"IPAゴシック", L"メイリオ", L"游明朝 Demibold"};
    for (int d = 0; d < kDesignCount; ++d) {
        wcscpy(s.Design[d].Font, faces[d]);
        s.Design[d].FontStyle = d + 1;
        s.Design[d].TextColor = RGB(d, 2 * d, 3 * d);
        s.Design[d].BackColor = RGB(200 + d, 100, 50);
    }
    s.Design[kDesignDefault].FontSize = 14;
    s.Design[kDesignDefault].OutlineColor = RGB(1, 2, 3);
    wcscpy(s.Path, L"C:\\ツール\\画像ビューア.exe");
    s.SendTo = true; s.Desktop = true; s.Options = 3; s.MaxLine = -1;
    s.Use7zip32 = false; s.AllowDuplicate = true; s.ConfirmExit = false;
    wcscpy(s.Format, L"【%new】_%date");

    std::wstring path = dir / L"Zorvel.cfg";
    ASSERT_TRUE(SaveSettingsTo(path.c_str(), s, Placement(-20, 30, 1024, 700)));
    Settings b;
    LoadSettingsFrom(path.c_str(), b, kScreenW, kScreenH);

    EXPECT_EQ(-20, b.Left);
    EXPECT_EQ(30, b.Top);
    EXPECT_EQ(1024, b.Width);
    EXPECT_EQ(700, b.Height);
    for (int i = 0; i < kColumnCount; ++i) {
        EXPECT_EQ(s.Order[i], b.Order[i]);
        EXPECT_EQ(s.ColumnWidth[i], b.ColumnWidth[i]);
    }
    for (int i = 0; i < kArchiveKindCount; ++i) EXPECT_EQ(s.EnableKind[i], b.EnableKind[i]);
    EXPECT_EQ(60, b.SmallSize);
    EXPECT_EQ(70, b.NormalSize);
    EXPECT_EQ(80, b.LargeSize);
    EXPECT_EQ(-1, b.SpacingX);
    EXPECT_EQ(5, b.SpacingY);
    EXPECT_EQ(4, StartupChoice(b.Startup));
    EXPECT_EQ(3, StartupDisplay(b.Startup));
    EXPECT_FALSE(b.FirstFile);
    EXPECT_EQ(7, b.InterpolationMode);
    for (int d = 0; d < kDesignCount; ++d) {
        EXPECT_STREQ(faces[d], b.Design[d].Font);
        EXPECT_EQ(d + 1, b.Design[d].FontStyle);
        EXPECT_EQ(s.Design[d].TextColor, b.Design[d].TextColor);
        EXPECT_EQ(s.Design[d].BackColor, b.Design[d].BackColor);
    }
    EXPECT_EQ(14, b.Design[kDesignDefault].FontSize);
    EXPECT_EQ(RGB(1, 2, 3), b.Design[kDesignDefault].OutlineColor);
    EXPECT_STREQ(s.Path, b.Path);
    EXPECT_TRUE(b.SendTo);
    EXPECT_TRUE(b.Desktop);
    EXPECT_EQ(3, b.Options);
    EXPECT_EQ(-1, b.MaxLine);
    EXPECT_FALSE(b.Use7zip32);
    EXPECT_TRUE(b.AllowDuplicate);
    EXPECT_FALSE(b.ConfirmExit);
    EXPECT_STREQ(L"【%new】_%date", b.Format);
}

TEST(SettingsSave, AFailedSaveLeavesTheOldFileWhole) {
    TempDir dir;
    std::wstring path = dir / L"Zorvel.cfg";
    const std::wstring old = L"[Other]\r\nFormat=old %new\r\n";
    ASSERT_TRUE(WriteUtf16(path, old));
    // The temporary file cannot be created where a folder of its name stands.
    ASSERT_TRUE(CreateDirectoryW((path + L".tmp").c_str(), nullptr));
    Settings s;
    LoadSettingsFrom(path.c_str(), s, kScreenW, kScreenH);
    wcscpy(s.Format, L"new");
    EXPECT_FALSE(SaveSettingsTo(path.c_str(), s, Placement(0, 0, 900, 450)));
    EXPECT_EQ(old, ReadUtf16(path));

    // A folder that does not exist: nothing is created anywhere.
    std::wstring nowhere = dir / L"no such folder\\Zorvel.cfg";
    EXPECT_FALSE(SaveSettingsTo(nowhere.c_str(), s, Placement(0, 0, 900, 450)));
    EXPECT_FALSE(FileExists(nowhere));
    EXPECT_FALSE(FileExists(nowhere + L".tmp"));
}

} // namespace
