// The main window at 96, 120, 144 and 192 DPI.
//
// Wine reads the DPI from the prefix's LogPixels when a process starts, so
// the test sets it and runs itself once per DPI (DisplayScaleAt.* in the
// child); the child lays out a window from a Zorvel.cfg of 96-DPI sizes,
// measures it and reads back what it saved. Alone in the suite: a process
// started meanwhile would see another DPI.
#include "WindowFixture.h"

#include <process.h>

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

// The prefix's LogPixels (0: none) as it was before this, put back when
// this ends.
struct PrefixDpi {
    static constexpr const wchar_t* kKey = L"Control Panel\\Desktop";
    static DWORD Get() {
        DWORD dpi = 0, size = sizeof(dpi);
        return RegGetValueW(HKEY_CURRENT_USER, kKey, L"LogPixels", RRF_RT_REG_DWORD, nullptr, &dpi, &size) ? 0 : dpi;
    }
    static void Set(DWORD dpi) {
        if (dpi) RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
        else RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"LogPixels");
    }
    ~PrefixDpi() { Set(old); }
    const DWORD old = Get();
};

// This program again with only the child's tests, which see dpi; its exit code.
intptr_t RunChild(int dpi) {
    SetEnvironmentVariableW(L"ZORVEL_DPI_CHILD", std::to_wstring(dpi).c_str());
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    intptr_t code = _wspawnl(_P_WAIT, self, L"child", L"--gtest_filter=DisplayScaleAt.*", nullptr);
    SetEnvironmentVariableW(L"ZORVEL_DPI_CHILD", nullptr);
    return code;
}

TEST(DisplayScale, TheWindowIsLaidOutForEachDpi) {
    PrefixDpi restored;
    for (int dpi : {96, 120, 144, 192}) {
        PrefixDpi::Set(static_cast<DWORD>(dpi));
        EXPECT_EQ(0, RunChild(dpi)) << "at " << dpi << " DPI (its output is above)";
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

class DisplayScaleAt : public WindowFixture {
protected:
    void SetUp() override {
        const wchar_t* child = _wgetenv(L"ZORVEL_DPI_CHILD");
        dpi_ = child ? _wtoi(child) : 0;
        if (dpi_ == 0) GTEST_SKIP() << "runs in the child DisplayScale starts";
        WindowFixture::SetUp();
    }

    // Columns, type icons, toolbar and status bar as they should be at dpi.
    void ExpectLaidOutFor(int dpi) {
        for (int i = 0; i < kColumnCount; ++i)
            EXPECT_NEAR(Scaled(kStoredColumns[i], dpi), ListView_GetColumnWidth(ListView(), i), 1) << "column " << i;
        int cx = 0, cy = 0;
        ImageList_GetIconSize(ListView_GetImageList(ListView(), LVSIL_SMALL), &cx, &cy);
        EXPECT_EQ(SmallIconSize(dpi), cx) << "type icons";

        HWND toolbar = main_->ToolbarHandle();
        RECT client;
        GetClientRect(window_, &client);
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
        ExpectStatusPartsFit();
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

    int dpi_ = 0;
    MessageBoxAnswerer answer_{IDOK};
};

TEST_F(DisplayScaleAt, TheDpiTheParentSet) {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(dpi_, dpi) << "the prefix's LogPixels did not reach this process";

    Open(kStoredConfig);
    RECT rect;
    GetWindowRect(window_, &rect);
    EXPECT_NEAR(Scaled(kStoredWidth, dpi_), rect.right - rect.left, 1);
    EXPECT_NEAR(Scaled(kStoredHeight, dpi_), rect.bottom - rect.top, 1);

    for (int i = 0; i < 12; ++i) Make(L"archive " + std::to_wstring(i) + L".zip");
    HandOverAndWait(files_.path());
    Command(ID_EDIT_SELECT_ALL);
    PumpPending();
    ASSERT_NE(L"", StatusPart(1));
    ASSERT_NE(L"", StatusPart(2));
    ExpectLaidOutFor(dpi_);
    // Narrowed, the window keeps the counts whole.
    SetWindowPos(window_, nullptr, 0, 0, Scaled(400, dpi_), Scaled(300, dpi_), SWP_NOMOVE | SWP_NOZORDER);
    ExpectStatusPartsFit(1);
    SetWindowPos(window_, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top, SWP_NOMOVE | SWP_NOZORDER);

    // The eyedroppers keep their scaled size on the design page, clear of
    // every control but the group boxes they are painted in.
    SetDialogScript(IDC_OPTIONS_TABS, [&](HWND dialog) {
        HWND page = OptionsPageOf(dialog, kPageDesign);
        for (int colour = 0; colour < 2; ++colour) {
            RECT square = EyedropperSquareOf(page, colour), other, overlap;
            EXPECT_EQ(Scaled(16, dpi_), square.right - square.left);
            for (HWND control = GetWindow(page, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
                if ((GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX) continue;
                GetWindowRect(control, &other);
                MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&other), 2);
                EXPECT_FALSE(IntersectRect(&overlap, &square, &other)) << "square " << colour << " under " << GetDlgCtrlID(control);
            }
        }
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    Command(ID_TOOLS_OPTIONS);
    ClearDialogScript();

    if (dpi_ == 96) {
        // Moved to a monitor at 150 %: everything again for 144, the window
        // where the system puts it.
        RECT suggested = {30, 40, 30 + Scaled(kStoredWidth, 144), 40 + Scaled(kStoredHeight, 144)};
        SendMessageW(window_, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
        GetWindowRect(window_, &rect);
        EXPECT_TRUE(EqualRect(&rect, &suggested));
        ExpectLaidOutFor(144);
        auto icons = ListView_GetImageList(ListView(), LVSIL_SMALL);
        EXPECT_EQ(1, ImageList_GetImageCount(icons)) << "the one type's icon is made again at the new size";
    }

    // The size column dragged 20 pixels wider at the scale now in force.
    HDITEMW dragged = {};
    dragged.mask = HDI_WIDTH;
    dragged.cxy = Scaled(kStoredColumns[4] + 20, dpi_ == 96 ? 144 : dpi_);
    NMHEADERW drag = {{main_->Header(), 0, HDN_ENDTRACKW}, 4, 0, &dragged};
    SendMessageW(ListView(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&drag));

    Close();
    Settings back;
    LoadSettingsFrom((program_ / L"Zorvel.cfg").c_str(), back, 2560, 1600, nullptr, dpi_);
    EXPECT_EQ(kStoredWidth, back.Width);
    EXPECT_EQ(kStoredHeight, back.Height);
    for (int i = 0; i < kColumnCount; ++i)
        EXPECT_EQ(kStoredColumns[i] + (i == 4 ? 20 : 0), back.ColumnWidth[i]) << "column " << i;
}

} // namespace
