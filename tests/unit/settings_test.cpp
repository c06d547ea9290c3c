// Zorvel.cfg: load corrections, write order and round trips.
#include <gtest/gtest.h>

#include <string>

#include "TestFiles.h"
#include "settings/ConfigFile.h"

namespace {

const int kScreenW = 1280, kScreenH = 1024;

WINDOWPLACEMENT Placement(int left, int top, int width, int height, UINT show = SW_SHOWNORMAL, UINT flags = 0) {
    WINDOWPLACEMENT p = {};
    p.length = sizeof(p);
    p.showCmd = show;
    p.flags = flags;
    p.rcNormalPosition = {left, top, left + width, top + height};
    return p;
}

class SettingsTest : public ::testing::Test {
protected:
    Settings Load(const std::wstring& text) {
        EXPECT_TRUE(WriteUtf16(path_, text));
        Settings s;
        LoadSettingsFrom(path_.c_str(), s, kScreenW, kScreenH);
        return s;
    }
    std::wstring Save(const Settings& s, const WINDOWPLACEMENT& placement = Placement(10, 20, 700, 400)) {
        EXPECT_TRUE(SaveSettingsTo(path_.c_str(), s, placement));
        EXPECT_FALSE(FileExists(path_ + L".tmp"));
        return ReadUtf16(path_);
    }
    TempDir dir_;
    std::wstring path_ = dir_ / L"Zorvel.cfg";
};

// What a value in the file becomes, seen in the file written back.
TEST_F(SettingsTest, LoadCorrectsValuesOutOfRange) {
    const std::wstring x300(300, L'x');
    const wchar_t *columns = L"ListViewColumn", *thumbnail = L"Thumbnail", *design = L"DefaultItemDesign";
    const struct { const wchar_t* section; std::wstring text, written; } cases[] = {
        // A permutation of the seven columns is kept; anything else gives the default order.
        {columns, L"Order=6543210", L"Order=6543210"}, {columns, L"Order=0123455", L"Order=0123456"},
        {columns, L"Order=012345", L"Order=0123456"},  {columns, L"Order=01234567", L"Order=0123456"},
        {columns, L"Order=0123457", L"Order=0123456"},
        {columns, L"CurrentFileNameWidth=-150", L"CurrentFileNameWidth=150"},
        {columns, L"CurrentFileNameWidth=0", L"CurrentFileNameWidth=180"}, // cannot hide
        {columns, L"TypeWidth=0", L"TypeWidth=0"}, {columns, L"LastModifiedWidth=-80", L"LastModifiedWidth=-80"},
        {thumbnail, L"SmallSize=49", L"SmallSize=128"},   {thumbnail, L"SmallSize=50", L"SmallSize=50"},
        {thumbnail, L"NormalSize=513", L"NormalSize=192"}, {thumbnail, L"SpacingX=-1", L"SpacingX=-1"},
        {thumbnail, L"Startup=0", L"Startup=0"},          {thumbnail, L"Startup=13", L"Startup=13"},
        {thumbnail, L"Startup=4", L"Startup=12"}, // "as at the last exit", nothing remembered
        {thumbnail, L"Startup=5", L"Startup=2"},          {thumbnail, L"Startup=14", L"Startup=2"},
        {L"Log", L"MaxLine=-5", L"MaxLine=-1"},           {design, L"FontSize=21", L"FontSize=0"},
        {design, L"Font=" + x300, L"Font=" + std::wstring(127, L'x')},
        {L"Viewer", L"Path=" + x300, L"Path=" + std::wstring(259, L'x')},
        {L"Other", L"Format=" + x300, L"Format=" + std::wstring(129, L'x')},
        {L"Other", L"Format=", L"Format=%new"},           {L"Other", L"AllowDuplicate=2", L"AllowDuplicate=1"},
        // Regression: hostile values were kept and written back: a width that
        // stayed negative, a format every rename with it failed on.
        {columns, L"StatusWidth=-2147483648", L"StatusWidth=1280"}, // no wider than the desktop
        {columns, L"LastModifiedWidth=-99999", L"LastModifiedWidth=-1280"},
        {L"Other", L"Format=a\xD800" L"b", L"Format=%new"},
        // A value cut at its buffer never keeps half of a surrogate pair.
        {L"Other", L"Format=" + std::wstring(128, L'x') + L"\U0001F600", L"Format=" + std::wstring(128, L'x')},
        // Colours typed by hand: "r,g,b" and lower-case hex are read.
        {L"ReadyItemDesign", L"BackColor=255,0,0", L"BackColor=#FF0000"},
        {design, L"TextColor=#00ff80", L"TextColor=#00FF80"},
    };
    for (const auto& c : cases) {
        const std::wstring text = Save(Load(L"[" + std::wstring(c.section) + L"]\r\n" + c.text + L"\r\n"));
        EXPECT_NE(std::wstring::npos, text.find(L"\n" + c.written + L"\r\n")) << Utf8(c.text);
    }
}

// The window is centred unless placed, and at least half of it on the desktop.
TEST_F(SettingsTest, TheWindowIsCentredOnTheScreenUnlessPlaced) {
    // (1279 - 900) / 2 and (451 - 450) / 2 round down.
    Settings s;
    LoadSettingsFrom(nullptr, s, 1279, 451);
    EXPECT_EQ(189, s.Left);
    EXPECT_EQ(0, s.Top);
    const struct { std::wstring text; RECT place; } cases[] = {
        // The centre follows the stored size when only the position is missing.
        {L"Width=1000\r\nHeight=500", {140, 262, 1140, 762}},
        {L"TOP=79\r\nWidth=-3", {190, 79, 1090, 529}}, // names ignore case; no size is the default one
        // Regression: a Width near 2^31 without Left put the window at
        // x = -1,073,741,184; any number is bounded by the desktop.
        {L"Width=2147483000", {0, 287, 1280, 737}},
        {L"Left=2147483000\r\ntop=-2147483000\r\nHeight=2000", {830, -512, 1730, 512}},
        {L"Left=-2147483648\r\nWidth=-2147483648\r\nHeight=0", {-450, 287, 450, 737}},
    };
    for (const auto& c : cases) {
        s = Load(L"[WindowState]\r\n" + c.text + L"\r\n");
        RECT place = {s.Left, s.Top, s.Left + s.Width, s.Top + s.Height};
        EXPECT_TRUE(EqualRect(&c.place, &place)) << Utf8(c.text) << ": " << s.Left << "," << s.Top << " " << s.Width
                                                 << "x" << s.Height;
    }
    // A desktop of two monitors bounds the window, not the primary screen alone.
    const RECT desktop = {-1920, 0, 1280, 1024};
    EXPECT_TRUE(WriteUtf16(path_, L"[WindowState]\r\nLeft=-1900\r\nWidth=3000\r\n"));
    LoadSettingsFrom(path_.c_str(), s, kScreenW, kScreenH, &desktop);
    EXPECT_EQ(-1900, s.Left);
    EXPECT_EQ(3000, s.Width);
}

// Every field away from its default, Japanese texts included, survives a save and a load.
TEST_F(SettingsTest, EveryFieldSurvivesARoundTrip) {
    Settings s;
    LoadSettingsFrom(nullptr, s, kScreenW, kScreenH);
    const int order[kColumnCount] = {6, 0, 5, 1, 4, 2, 3};
    for (int i = 0; i < kColumnCount; ++i) {
        s.Order[i] = order[i];
        s.ColumnWidth[i] = 11 + i;
    }
    for (int i = 0; i < kArchiveKindCount; ++i) s.EnableKind[i] = i % 2 == 0;
    s.SmallSize = 60; s.NormalSize = 70; s.LargeSize = 80; s.SpacingX = -1; s.SpacingY = 5;
    s.Startup = 13; s.FirstFile = false; s.InterpolationMode = 7;
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

    std::wstring text = Save(s, Placement(-20, 30, 1024, 700));
    Settings back;
    LoadSettingsFrom(path_.c_str(), back, kScreenW, kScreenH);
    EXPECT_EQ(text, Save(back, Placement(-20, 30, 1024, 700)));
    EXPECT_EQ(-20, back.Left);
    EXPECT_EQ(700, back.Height);
    for (const wchar_t* written : {L"Order=6051423", L"Startup=13", L"Font=游明朝 Demibold", L"MaxLine=-1",
                                   L"Path=C:\\ツール\\画像ビューア.exe", L"Format=【%new】_%date", L"FirstFile=0"})
        EXPECT_NE(std::wstring::npos, text.find(written)) << Utf8(written);
}

TEST_F(SettingsTest, AFailedSaveLeavesTheOldFileWhole) {
    const std::wstring old = L"[Other]\r\nFormat=old %new\r\n";
    Settings s = Load(old);
    // The temporary file cannot be created where a folder of its name stands.
    ASSERT_TRUE(CreateDirectoryW((path_ + L".tmp").c_str(), nullptr));
    wcscpy(s.Format, L"new");
    EXPECT_FALSE(SaveSettingsTo(path_.c_str(), s, Placement(0, 0, 900, 450)));
    EXPECT_EQ(old, ReadUtf16(path_));
}

} // namespace
