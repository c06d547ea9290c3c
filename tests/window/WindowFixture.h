// The main window in the test process, with a program folder and a folder
// of archives of its own; closed again after each test.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "WindowDriver.h"
#include "ZipBuilder.h"
#include "app/MainWindow.h"
#include "app/resource.h"
#include "base/Messages.h"
#include "base/ProgramFolder.h"
#include "filelist/FileList.h"
#include "rename/RenameLog.h"
#include "settings/ConfigFile.h"

class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetProgramFolder(program_.path().c_str()));
        ASSERT_TRUE(MainWindow::RegisterWindowClass(GetModuleHandleW(nullptr)));
    }
    void TearDown() override {
        Close();
        PumpPending();
    }
    // Loads the settings (from config when given) and opens a new window.
    void Open(const std::wstring& config = L"") {
        main_.reset();
        if (!config.empty()) {
            ASSERT_TRUE(WriteUtf16(program_ / L"Zorvel.cfg", config));
        }
        LoadSettings(settings_);
        InitLogPath();
        main_ = std::make_unique<MainWindow>(settings_);
        ASSERT_TRUE(main_->Create(GetModuleHandleW(nullptr), SW_SHOWNORMAL));
        window_ = main_->Window();
    }
    // Closes the window as a user would; a close during a run waits for it.
    void Close() {
        if (window_ && IsWindow(window_)) {
            settings_.ConfirmExit = false;
            SendMessageW(window_, WM_CLOSE, 0, 0);
            EXPECT_TRUE(PumpUntil([this] { return !IsWindow(window_); }));
        }
        main_.reset();
    }
    // Hands path over as a second instance would, and waits for the adding.
    void HandOverAndWait(const std::wstring& path) {
        HandOver(window_, path);
        ASSERT_TRUE(PumpUntil([this] { return Idle(); }));
    }
    void Command(int id) { SendMessageW(window_, WM_COMMAND, id, 0); }

    std::wstring Make(const std::wstring& relative) {
        std::wstring path = files_ / relative;
        EXPECT_TRUE(WriteBytes(path, "x"));
        return path;
    }
    // Writes a ZIP of members below files_ and adds it to the list.
    std::wstring AddZip(const std::wstring& relative, const std::vector<ZipMember>& members) {
        std::wstring path = files_ / relative;
        EXPECT_TRUE(WriteZip(path, members));
        HandOverAndWait(path);
        return path;
    }
    FileList& Files() const { return main_->Files(); }
    HWND ListView() const { return main_->ListView(); }
    bool RunInProgress() const { return main_->Runs().InProgress(); }
    bool Idle() const { return !RunInProgress() && !main_->Runs().HasDeferred(); }
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
            SendMessageW(ListView(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
        }
    }
    static std::wstring ControlText(HWND dialog, int id) {
        wchar_t text[300] = L"";
        GetDlgItemTextW(dialog, id, text, 300);
        return text;
    }
    std::wstring StatusPart(int part) const {
        wchar_t text[256] = L"";
        SendMessageW(main_->StatusBarHandle(), SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text));
        return text;
    }

    TempDir program_; // Zorvel.cfg and Zorvel.log
    TempDir files_;   // the archives
    Settings settings_;
    std::unique_ptr<MainWindow> main_;
    HWND window_ = nullptr;
};
