// The main window and the options dialog at 96, 120, 144 and 192 DPI.
//
// Wine reads the DPI from the prefix's LogPixels when a process starts, so
// the test sets it and runs itself once per DPI (DisplayScaleAt.* in the
// child); the child lays out a window from a Zorvel.cfg of 96-DPI sizes and
// measures it. The 144-DPI child keeps the file its window saved; the 96-DPI
// child opens a window from that file. Alone in the suite: a process started
// meanwhile would see another DPI.
#include "WindowFixture.h"

#include <cstdlib>

#include "app/Dpi.h"
#include "app/dialogs/OptionsDialog.h"
#include "app/dialogs/OptionsIds.h"

namespace {

const int kStoredWidth = 900, kStoredHeight = 600;
const int kStoredColumns[kColumnCount] = {180, 220, 200, 0, 100, 0, 130};
const wchar_t kStoredConfig[] =
    L"[WindowState]\r\nLeft=20\r\nTop=20\r\nWidth=900\r\nHeight=600\r\n"
    L"[ListViewColumn]\r\nCurrentFileNameWidth=180\r\nNewFileNameWidth=220\r\nStatusWidth=200\r\n"
    L"DirectoryWidth=0\r\nSizeWidth=100\r\nTypeWidth=0\r\nLastModifiedWidth=130\r\n"
    L"[Thumbnail]\r\nStartup=0\r\n[Other]\r\nConfirmExit=0\r\n";

std::wstring Environment(const wchar_t* name) {
    wchar_t value[MAX_PATH] = L"";
    DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? value : L"";
}

// The prefix's LogPixels for as long as this lives; the old value after.
class PrefixDpi {
public:
    explicit PrefixDpi(DWORD dpi) {
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        &key_, nullptr);
        DWORD size = sizeof(old_);
        had_ = RegQueryValueExW(key_, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&old_), &size) ==
               ERROR_SUCCESS;
        Set(dpi);
    }
    ~PrefixDpi() {
        if (had_) Set(old_);
        else RegDeleteValueW(key_, L"LogPixels");
        RegCloseKey(key_);
    }
    void Set(DWORD dpi) {
        RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi));
    }

private:
    HKEY key_ = nullptr;
    DWORD old_ = 0;
    bool had_ = false;
};

// This program again with only the child's tests; its exit code.
DWORD RunChild(int dpi, const std::wstring& savedConfig) {
    SetEnvironmentVariableW(L"ZORVEL_DPI_CHILD", std::to_wstring(dpi).c_str());
    SetEnvironmentVariableW(L"ZORVEL_DPI_CONFIG", savedConfig.c_str());
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_filter=DisplayScaleAt.*";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(self, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return static_cast<DWORD>(-1);
    WaitForSingleObject(process.hProcess, 180000);
    DWORD code = static_cast<DWORD>(-1);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    SetEnvironmentVariableW(L"ZORVEL_DPI_CHILD", nullptr);
    return code;
}

TEST(DisplayScale, TheWindowIsLaidOutForEachDpi) {
    TempDir shared;
    std::wstring saved = shared / L"saved-at-144.cfg";
    PrefixDpi prefix(96);
    for (int dpi : {144, 96, 120, 192}) { // 144 first: the 96-DPI child opens what it saved
        prefix.Set(static_cast<DWORD>(dpi));
        EXPECT_EQ(0u, RunChild(dpi, saved)) << "at " << dpi << " DPI (its output is above)";
    }
}

int TextWidth(HWND control, const std::wstring& text) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return extent.cx;
}

RECT RectIn(HWND parent, HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

class DisplayScaleAt : public WindowFixture {
protected:
    void SetUp() override {
        dpi_ = _wtoi(Environment(L"ZORVEL_DPI_CHILD").c_str());
        if (dpi_ == 0) GTEST_SKIP() << "runs in the child DisplayScale starts";
        WindowFixture::SetUp();
    }

    void ExpectToolbarFits(int dpi) {
        HWND toolbar = main_->ToolbarHandle();
        RECT client;
        GetClientRect(window_, &client);
        int cx = 0, cy = 0;
        ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0)), &cx, &cy);
        EXPECT_EQ(Scaled(32, dpi), cx) << "toolbar images";
        int buttons = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
        for (int i = 0; i < buttons; ++i) {
            TBBUTTON button = {};
            SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
            if (button.fsStyle & BTNS_SEP) continue;
            wchar_t label[64] = L"";
            SendMessageW(toolbar, TB_GETBUTTONTEXTW, button.idCommand, reinterpret_cast<LPARAM>(label));
            RECT rect;
            SendMessageW(toolbar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect));
            MapWindowPoints(toolbar, window_, reinterpret_cast<POINT*>(&rect), 2);
            EXPECT_GE(rect.right - rect.left, TextWidth(toolbar, label)) << label;
            EXPECT_LE(rect.right, client.right) << label << " lies outside the window";
        }
    }

    // From part first: part 0 takes what the counts leave it.
    void ExpectStatusPartsFit(int first = 0) {
        HWND bar = main_->StatusBarHandle();
        for (int part = first; part < 3; ++part) {
            std::wstring text = StatusPart(part);
            RECT rect;
            SendMessageW(bar, SB_GETRECT, part, reinterpret_cast<LPARAM>(&rect));
            EXPECT_GE(rect.right - rect.left, TextWidth(bar, text)) << "part " << part << ": " << text;
        }
    }

    void ExpectColumnsAt(int dpi) {
        for (int i = 0; i < kColumnCount; ++i) {
            int width = static_cast<int>(SendMessageW(ListView(), LVM_GETCOLUMNWIDTH, i, 0));
            EXPECT_NEAR(Scaled(kStoredColumns[i], dpi), width, 1) << "column " << i;
        }
    }

    void ExpectTypeIconsOf(int size) {
        auto icons = reinterpret_cast<HIMAGELIST>(SendMessageW(ListView(), LVM_GETIMAGELIST, LVSIL_SMALL, 0));
        int cx = 0, cy = 0;
        ImageList_GetIconSize(icons, &cx, &cy);
        EXPECT_EQ(size, cx);
        EXPECT_EQ(size, cy);
    }

    // The eyedroppers lie on the design page, clear of every control but
    // the group boxes they are painted in.
    void ExpectEyedroppersClear() {
        SetDialogScript(IDC_OPTIONS_TABS, [&](HWND dialog) {
            HWND page = OptionsPageOf(dialog, kPageDesign);
            RECT client;
            GetClientRect(page, &client);
            for (int colour = 0; colour < 2; ++colour) {
                RECT square = EyedropperSquareOf(page, colour), overlap;
                EXPECT_EQ(Scaled(16, dpi_), square.right - square.left);
                EXPECT_TRUE(IntersectRect(&overlap, &square, &client) && EqualRect(&overlap, &square))
                    << "square " << colour << " leaves the page";
                for (HWND control = GetWindow(page, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
                    if ((GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX) continue;
                    RECT rect = RectIn(page, control);
                    EXPECT_FALSE(IntersectRect(&overlap, &square, &rect))
                        << "square " << colour << " lies under control " << GetDlgCtrlID(control);
                }
            }
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        SendMessageW(window_, WM_COMMAND, ID_TOOLS_OPTIONS, 0);
        ClearDialogScript();
        PumpPending();
    }

    int dpi_ = 0;
    MessageBoxAnswerer answer_{IDOK};
};

TEST_F(DisplayScaleAt, TheDpiTheParentSet) {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(dpi_, dpi) << "the prefix's LogPixels did not reach this process";

    std::wstring savedAt144 = Environment(L"ZORVEL_DPI_CONFIG");
    std::string saved = ReadBytes(savedAt144);
    bool fromSaved = dpi_ == 96;
    if (fromSaved) {
        ASSERT_FALSE(saved.empty()) << "the 144-DPI child saved nothing";
        ASSERT_TRUE(WriteBytes(program_ / L"Zorvel.cfg", saved));
        Open();
    } else {
        Open(kStoredConfig);
    }

    RECT rect;
    GetWindowRect(window_, &rect);
    EXPECT_NEAR(Scaled(kStoredWidth, dpi_), rect.right - rect.left, 1);
    EXPECT_NEAR(Scaled(kStoredHeight, dpi_), rect.bottom - rect.top, 1);
    ExpectColumnsAt(dpi_);
    ExpectToolbarFits(dpi_);
    ExpectTypeIconsOf(SmallIconSize(dpi_));

    for (int i = 0; i < 12; ++i) HandOverAndWait(Make(L"archive " + std::to_wstring(i) + L".zip"));
    Command(ID_EDIT_SELECT_ALL);
    PumpPending();
    ASSERT_NE(L"", StatusPart(1));
    ASSERT_NE(L"", StatusPart(2));
    ExpectStatusPartsFit();
    RECT before;
    GetWindowRect(window_, &before);
    SetWindowPos(window_, nullptr, 0, 0, Scaled(400, dpi_), Scaled(300, dpi_), SWP_NOMOVE | SWP_NOZORDER);
    ExpectStatusPartsFit(1);
    SetWindowPos(window_, nullptr, 0, 0, before.right - before.left, before.bottom - before.top,
                 SWP_NOMOVE | SWP_NOZORDER);
    ExpectEyedroppersClear();

    if (dpi_ == 96) {
        // Moved to a monitor at 150 %: everything again for 144, the window
        // where the system puts it.
        RECT suggested = {30, 40, 30 + Scaled(kStoredWidth, 144), 40 + Scaled(kStoredHeight, 144)};
        SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
        GetWindowRect(window_, &rect);
        EXPECT_TRUE(EqualRect(&rect, &suggested));
        ExpectColumnsAt(144);
        ExpectToolbarFits(144);
        ExpectTypeIconsOf(SmallIconSize(144));
        ExpectStatusPartsFit();
        auto icons = reinterpret_cast<HIMAGELIST>(SendMessageW(ListView(), LVM_GETIMAGELIST, LVSIL_SMALL, 0));
        EXPECT_EQ(1, ImageList_GetImageCount(icons)) << "the one type's icon is made again at the new size";
    }

    Close();
    Settings back;
    LoadSettingsFrom((program_ / L"Zorvel.cfg").c_str(), back, 2560, 1600, nullptr, dpi_);
    EXPECT_EQ(kStoredWidth, back.Width);
    EXPECT_EQ(kStoredHeight, back.Height);
    for (int i = 0; i < kColumnCount; ++i) EXPECT_EQ(kStoredColumns[i], back.ColumnWidth[i]) << "column " << i;
    if (dpi_ == 144) ASSERT_TRUE(WriteBytes(savedAt144, ReadBytes(program_ / L"Zorvel.cfg")));
}

} // namespace
