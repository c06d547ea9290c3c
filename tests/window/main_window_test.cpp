// The main window as the program creates it: placement from the settings,
// and the settings saved with the live placement when it is closed.
#include <gtest/gtest.h>

#include "TestFiles.h"
#include "app/MainWindow.h"
#include "app/ProgramFolder.h"
#include "settings/ConfigFile.h"

namespace {

// Dispatches messages until the main window has posted its quit message.
void PumpUntilQuit() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetProgramFolder(dir_.path().c_str()));
        ASSERT_TRUE(RegisterMainWindowClass(GetModuleHandleW(nullptr)));
    }
    TempDir dir_;
};

TEST_F(MainWindowTest, OpensAtTheStoredPlacementAndSavesTheMovedOneOnClose) {
    ASSERT_TRUE(WriteUtf16(dir_ / L"Zorvel.cfg",
                           L"[WindowState]\r\nLeft=40\r\ntop=30\r\nWidth=640\r\nHeight=480\r\n"
                           L"[Other]\r\nFormat=【%new】\r\n"));
    LoadSettings();
    EXPECT_EQ(dir_ / L"Zorvel.cfg", ConfigFilePath());

    HWND window = CreateMainWindow(GetModuleHandleW(nullptr), SW_SHOWNORMAL);
    ASSERT_NE(nullptr, window);
    wchar_t title[64];
    GetWindowTextW(window, title, 64);
    EXPECT_STREQ(L"Zorvel Ver.1.39", title);
    wchar_t className[64];
    GetClassNameW(window, className, 64);
    EXPECT_STREQ(L"ZorvelWindowClass", className);
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(40, rect.left);
    EXPECT_EQ(30, rect.top);
    EXPECT_EQ(640, rect.right - rect.left);
    EXPECT_EQ(480, rect.bottom - rect.top);

    SetWindowPos(window, nullptr, 100, 120, 700, 500, SWP_NOZORDER);
    PostMessageW(window, WM_CLOSE, 0, 0);
    PumpUntilQuit();
    EXPECT_FALSE(IsWindow(window));

    Settings saved;
    LoadSettingsFrom(ConfigFilePath(), saved, 1280, 1024);
    EXPECT_EQ(100, saved.Left);
    EXPECT_EQ(120, saved.Top);
    EXPECT_EQ(700, saved.Width);
    EXPECT_EQ(500, saved.Height);
    EXPECT_FALSE(saved.Maximized);
    EXPECT_STREQ(L"【%new】", saved.Format) << "other settings are written back unchanged";
}

} // namespace
