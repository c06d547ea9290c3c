// The main window in the test process, with a program folder and a folder
// of archives of its own; closed again after each test.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <new>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "WindowDriver.h"
#include "app/MainUi.h"
#include "app/MainWindow.h"
#include "app/ProgramSettings.h"
#include "app/WindowIdle.h"
#include "base/ProgramFolder.h"
#include "filelist/FileList.h"
#include "rename/RenameLog.h"
#include "settings/ConfigFile.h"

class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetProgramFolder(program_.path().c_str()));
        ASSERT_TRUE(RegisterMainWindowClass(GetModuleHandleW(nullptr)));
        // A fresh window state; the last test's run has been joined.
        g_ui.~MainUi();
        new (&g_ui) MainUi();
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
        LoadSettings(g_settings);
        InitLogPath();
        window_ = CreateMainWindow(GetModuleHandleW(nullptr), SW_SHOWNORMAL);
        ASSERT_NE(nullptr, window_);
    }
    // Hands path over as a second instance would, and waits for the adding.
    void HandOverAndWait(const std::wstring& path) {
        HandOver(window_, path);
        ASSERT_TRUE(PumpUntil([] { return !RunInProgress(); }));
    }

    std::wstring Make(const std::wstring& relative) {
        std::wstring path = files_ / relative;
        EXPECT_TRUE(WriteBytes(path, "x"));
        return path;
    }
    bool Idle() const { return !RunInProgress() && g_ui.deferred.empty(); }
    // The rows' paths below files_.
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        for (int i = 0; i < Files().Count(); ++i) names.push_back(Files().At(i).fullPath + files_.path().size() + 1);
        return names;
    }
    void Select(std::initializer_list<int> rows, UINT extra = 0) {
        for (int row : rows) {
            LVITEMW item = {};
            item.state = item.stateMask = LVIS_SELECTED | extra;
            SendMessageW(g_ui.listView, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
        }
    }
    std::wstring StatusPart(int part) const {
        wchar_t text[256] = L"";
        SendMessageW(g_ui.statusBar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
        return text;
    }

    TempDir program_; // Zorvel.cfg and Zorvel.log
    TempDir files_;   // the archives
    HWND window_ = nullptr;
};
