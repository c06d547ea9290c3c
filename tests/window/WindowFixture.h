// The main window in the test process, with a program folder and a folder
// of archives of its own; closed again after each test.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "TestFiles.h"
#include "WindowDriver.h"
#include "app/MainUi.h"
#include "app/MainWindow.h"
#include "base/ProgramFolder.h"
#include "filelist/RunState.h"
#include "rename/RenameLog.h"
#include "settings/ConfigFile.h"

class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetProgramFolder(program_.path().c_str()));
        ASSERT_TRUE(RegisterMainWindowClass(GetModuleHandleW(nullptr)));
        WorkActive = false;
        WorkerRunning = false;
        g_ui = MainUi();
    }
    void TearDown() override {
        if (window_ && IsWindow(window_)) {
            g_settings.ConfirmExit = false;
            SendMessageW(window_, WM_CLOSE, 0, 0);
            // A close during a run waits for the run to stop.
            EXPECT_TRUE(PumpUntil([this] { return !IsWindow(window_); }));
        }
        PumpPending();
    }
    // Loads the settings (from config when given) and opens the window.
    void Open(const std::wstring& config = L"") {
        if (!config.empty()) {
            ASSERT_TRUE(WriteUtf16(program_ / L"Zorvel.cfg", config));
        }
        LoadSettings();
        InitLogPath();
        window_ = CreateMainWindow(GetModuleHandleW(nullptr), SW_SHOWNORMAL);
        ASSERT_NE(nullptr, window_);
    }
    // Hands path over as a second instance would, and waits for the adding.
    void HandOverAndWait(const std::wstring& path) {
        HandOver(window_, path);
        ASSERT_TRUE(PumpUntil([] { return !RunInProgress(); }));
    }

    TempDir program_; // Zorvel.cfg and Zorvel.log
    TempDir files_;   // the archives
    HWND window_ = nullptr;
};
