// The options dialog driven by messages inside the real main window: the
// clamped number boxes, the format check, the colours, Cancel, the
// shortcuts it keeps and the library versions it shows.
#include "WindowFixture.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "Libraries.h"
#include "app/dialogs/OptionsDialog.h"
#include "app/dialogs/OptionsIds.h"
#include "app/WindowSettings.h"
#include "ZorvelVersion.h"
#include "archive/LibraryVersion.h"
#include "base/ScopedCom.h"
#include "naming/NameFormat.h"
#include "settings/Shortcuts.h"

namespace {

void Click(HWND page, int id, bool checked = true) {
    CheckDlgButton(page, id, checked ? BST_CHECKED : BST_UNCHECKED);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

void Choose(HWND page, int id, int entry) {
    SendDlgItemMessageW(page, id, CB_SETCURSEL, entry, 0);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

// A shortcut's target, arguments and working folder; all empty when it
// cannot be read.
struct Link {
    std::wstring target, arguments, directory;
};

Link ReadLink(const std::wstring& path) {
    ScopedCoInit com;
    ScopedComPtr<IShellLinkW> shell;
    ScopedComPtr<IPersistFile> file;
    wchar_t target[MAX_PATH] = L"", arguments[MAX_PATH] = L"", directory[MAX_PATH] = L"";
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, shell.receive())) &&
        SUCCEEDED(shell->QueryInterface(IID_IPersistFile, file.receive())) &&
        SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
        shell->GetPath(target, MAX_PATH, nullptr, 0);
        shell->GetArguments(arguments, MAX_PATH);
        shell->GetWorkingDirectory(directory, MAX_PATH);
    }
    return {target, arguments, directory};
}

class OptionsTest : public WindowFixture {
protected:
    void SetUp() override {
        WindowFixture::SetUp();
        // Never the real Send To folder or desktop.
        OverrideShortcutFolders(sendTo_.path().c_str(), desktop_.path().c_str());
    }
    void TearDown() override {
        WindowFixture::TearDown();
        OverrideShortcutFolders(nullptr, nullptr);
    }
    // Opens the dialog with command; script gets the dialog each time it is
    // activated and must end it.
    void Run(int command, const std::function<void(HWND)>& script) {
        SetDialogScript(IDC_OPTIONS_TABS, [&](HWND dialog) {
            dialog_ = dialog;
            script(dialog);
        });
        Command(command);
        ClearDialogScript();
        PumpPending();
    }
    // Runs the dialog, lets edit change the pages, then presses button.
    void Edit(const std::function<void()>& edit, int button = IDOK) {
        Run(ID_TOOLS_OPTIONS, [&](HWND dialog) {
            edit();
            PostMessageW(dialog, WM_COMMAND, button, 0);
        });
    }
    // A page of the open dialog, and the copy of the settings it edits.
    HWND Page(int index) const { return OptionsPageOf(dialog_, index); }
    Settings& WorkingCopy() const { return OptionsWorkingCopyOf(dialog_); }
    std::wstring SendToLink() const { return sendTo_ / L"Zorvel.lnk"; }
    std::wstring DesktopLink() const { return desktop_ / L"Zorvel.lnk"; }

    TempDir sendTo_, desktop_;
    MessageBoxAnswerer answer_{IDOK};
    HWND dialog_ = nullptr;
};

TEST(LibraryVersion, OtherBuildsAndMissingLibraries) {
    // Our libraries pin themselves once loaded, and a loaded library is found
    // by its name: this runs before the tests that load ours.
    ASSERT_EQ(nullptr, GetModuleHandleW(L"7-zip32.dll"));
    LibraryFolder other(BuildFolder(L"doubles\\plain"));
    EXPECT_EQ(L"OK          ", LibraryVersionText(L"7-zip32.dll")) << "a library without a version resource";
    EXPECT_EQ(L"------------", LibraryVersionText(L"nosuch32.dll"));
}

// The boxes with arrows clamp what is typed and step within their range;
// the log's length is taken at OK and saved at once.
TEST_F(OptionsTest, NumberBoxesClampWhatIsTypedAndStepWithinTheirRange) {
    Open();
    const struct {
        int page, box, upDown;
        const wchar_t* typed;
        int delta; // 0: typed only
        int expected;
        int Settings::*field;
    } rows[] = {
        {kPageGeneral, IDC_SMALL_SIZE, IDC_SMALL_SIZE_SPIN, L"600", 0, 512, &Settings::SmallSize},
        {kPageGeneral, IDC_SMALL_SIZE, IDC_SMALL_SIZE_SPIN, L"512", +1, 512, &Settings::SmallSize},
        {kPageGeneral, IDC_SMALL_SIZE, IDC_SMALL_SIZE_SPIN, L"20", +1, 51, &Settings::SmallSize}, // from the clamped 50
        {kPageAdvanced, IDC_SPACING_X, IDC_SPACING_X_SPIN, L"-1", -1, -1, &Settings::SpacingX},
        {kPageAdvanced, IDC_SPACING_Y, IDC_SPACING_Y_SPIN, L"99999999999999999", +1, 512, &Settings::SpacingY},
    };
    Edit([&] {
        for (const auto& row : rows) {
            HWND page = Page(row.page);
            SetDlgItemTextW(page, row.box, row.typed);
            if (row.delta) { // a click on the arrows
                HWND arrows = GetDlgItem(page, row.upDown);
                NMUPDOWN click = {{arrows, static_cast<UINT_PTR>(row.upDown), UDN_DELTAPOS}, 0, row.delta};
                SendMessageW(page, WM_NOTIFY, row.upDown, reinterpret_cast<LPARAM>(&click));
                EXPECT_EQ(std::to_wstring(row.expected), ControlText(page, row.box));
            }
            EXPECT_EQ(row.expected, WorkingCopy().*row.field) << row.typed << " " << row.delta;
        }
        SetDlgItemTextW(Page(kPageAdvanced), IDC_MAX_LINE, L"40000");
    });
    EXPECT_EQ(32767, settings_.MaxLine);
    EXPECT_NE(std::wstring::npos, ReadUtf16(program_ / L"Zorvel.cfg").find(L"MaxLine=32767"));
}

// Placeholders go at the end; one that would outgrow the box's 128
// characters is refused instead of cutting the format (it used to be cut to
// 119 characters first). At OK, a format with a colon is refused and the
// dialog stays open with the edit; an empty one saves as %new.
TEST_F(OptionsTest, PlaceholdersAndTheFormatCheck) {
    Open();
    const struct {
        std::wstring before;
        int item;
        std::wstring after;
    } rows[] = {
        {L"%new_", IDM_PLACEHOLDER_DATE, L"%new_%date"},
        {std::wstring(123, L'a'), IDM_PLACEHOLDER_TIME, std::wstring(123, L'a') + L"%time"},
        {std::wstring(124, L'a'), IDM_PLACEHOLDER_TIME, std::wstring(124, L'a')},
    };
    int activations = 0;
    Run(ID_TOOLS_OPTIONS, [&](HWND dialog) {
        HWND page = Page(kPageAdvanced);
        if (activations++ == 0) {
            for (const auto& row : rows) {
                SetDlgItemTextW(page, IDC_FORMAT, row.before.c_str());
                SendMessageW(page, WM_COMMAND, row.item, 0);
                EXPECT_EQ(row.after, ControlText(page, IDC_FORMAT));
            }
            SetDlgItemTextW(page, IDC_FORMAT, L"a:b");
        } else {
            EXPECT_EQ(L"a:b", ControlText(page, IDC_FORMAT)) << "the edit is kept";
            SetDlgItemTextW(page, IDC_FORMAT, L"");
        }
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    ASSERT_EQ(1u, answer_.boxes().size());
    EXPECT_EQ(std::wstring(kFormatCaption), answer_.boxes()[0].caption);
    EXPECT_EQ(std::wstring(kForbiddenInFormatMessage), answer_.boxes()[0].text);
    EXPECT_EQ(2, activations);
    EXPECT_STREQ(L"%new", settings_.Format);
}

// A colour changes only once its text is whole. A face that is not
// installed shows as "<default>" but stays in the setting until another
// face is chosen: colour and style edits used to replace it with what the
// list shows.
TEST_F(OptionsTest, ColoursFacesAndTheSharedSize) {
    Open(L"[DefaultItemDesign]\r\nFont=NoSuchFace\r\nFontSize=12\r\n");
    const std::pair<const wchar_t*, COLORREF> rows[] = {
        {L"#12ABEF", RGB(0x12, 0xAB, 0xEF)}, {L"#12AB", RGB(0x12, 0xAB, 0xEF)}, {L"000000", RGB(0, 0, 0)},
        {L"18,171,239", RGB(18, 171, 239)},  {L"18,17", RGB(18, 171, 239)},
    };
    Edit([&] {
        HWND page = Page(kPageDesign);
        const ItemDesign& design = WorkingCopy().Design[kDesignDefault];
        for (const auto& row : rows) {
            SetDlgItemTextW(page, IDC_TEXT_COLOR, row.first);
            EXPECT_EQ(row.second, design.TextColor) << row.first;
        }
        Click(page, IDC_BOLD);
        EXPECT_STREQ(L"NoSuchFace", design.Font);
        EXPECT_EQ(kFontBold, design.FontStyle);
        EXPECT_EQ(L"12", ControlText(page, IDC_FONT_SIZE));
        Choose(page, IDC_FONT_SIZE, 0);
        HWND faces = GetDlgItem(page, IDC_FACE);
        Choose(page, IDC_FACE, static_cast<int>(SendMessageW(faces, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(L"<デフォルト>"))));
        // The Ready design's back colour, and the list's own background.
        Click(page, IDC_DESIGN_READY);
        SetDlgItemTextW(page, IDC_BACK_COLOR, L"#102030");
        Click(page, IDC_DESIGN_DEFAULT);
        EXPECT_EQ(L"#FFFFFF", ControlText(page, IDC_BACK_COLOR));
        SetDlgItemTextW(page, IDC_BACK_COLOR, L"#FFEEDD");
    });
    EXPECT_STREQ(L"", settings_.Design[kDesignDefault].Font);
    EXPECT_EQ(0, settings_.Design[kDesignDefault].FontSize);
    EXPECT_EQ(RGB(0x10, 0x20, 0x30), settings_.Design[kDesignReady].BackColor);
    EXPECT_EQ(RGB(0xFF, 0xEE, 0xDD), static_cast<COLORREF>(SendMessageW(ListView(), LVM_GETBKCOLOR, 0, 0)));
}

TEST_F(OptionsTest, CancelLeavesTheFileAndTheLiveSettingsAsTheyWere) {
    Open(L"[Other]\r\nConfirmExit=0\r\n");
    SaveSettingsOfWindow(settings_, window_, USER_DEFAULT_SCREEN_DPI);
    std::string file = ReadBytes(program_ / L"Zorvel.cfg");
    Settings before = settings_;
    Edit([&] {
        Click(Page(kPageGeneral), IDC_KIND_CAB);
        SetDlgItemTextW(Page(kPageGeneral), IDC_LARGE_SIZE, L"300");
        SetDlgItemTextW(Page(kPageDesign), IDC_TEXT_COLOR, L"#123456");
        SetDlgItemTextW(Page(kPageAdvanced), IDC_FORMAT, L"%orig_%new");
        Click(Page(kPageAdvanced), IDC_CONFIRM_EXIT);
    }, IDCANCEL);
    EXPECT_EQ(file, ReadBytes(program_ / L"Zorvel.cfg"));
    EXPECT_EQ(0, memcmp(&before, &settings_, sizeof(Settings)));
}

// A file with every value oversized (long texts, numbers past any range)
// goes through the dialog; a format at the box's limit is taken whole.
TEST_F(OptionsTest, AFileOfOversizedValuesGoesThroughTheDialog) {
    Open();
    Close(); // a file with every key
    const std::wstring text = ReadUtf16(program_ / L"Zorvel.cfg");
    const std::wstring values[] = {std::wstring(5000, L'\u5199'), L"99999999999999999999", L"-2147483649"};
    std::wstring config;
    int n = 0;
    for (size_t start = 0, end; start < text.size(); start = end + 2) {
        end = std::min(text.find(L"\r\n", start), text.size());
        std::wstring line = text.substr(start, end - start);
        size_t equals = line.find(L'=');
        config += (equals == std::wstring::npos ? line : line.substr(0, equals + 1) + values[n++ % 3]) + L"\r\n";
    }
    Open(config);
    const std::wstring full(128, L'a');
    Edit([&] { SetDlgItemTextW(Page(kPageAdvanced), IDC_FORMAT, full.c_str()); });
    EXPECT_EQ(full, settings_.Format);
    EXPECT_NE(std::wstring::npos, ReadUtf16(program_ / L"Zorvel.cfg").find(L"Format=" + full + L"\r\n"));
}

// Run mode 7 is unknown: no switch, as for run mode 1. A link that cannot
// be saved (its folder is missing) turns its setting off.
TEST_F(OptionsTest, ShortcutsFollowTheSettingsAndTheRunMode) {
    Open(L"[Shortcut]\r\nSendTo=1\r\nDesktop=1\r\nOptions=7\r\n");
    OverrideShortcutFolders(sendTo_.path().c_str(), (desktop_ / L"missing").c_str());
    Edit([&] { EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(Page(kPageGeneral), IDC_SHORTCUT_DESKTOP)); });
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring program = self;
    const Link link = ReadLink(SendToLink());
    EXPECT_EQ(program, link.target);
    EXPECT_EQ(L"", link.arguments);
    EXPECT_EQ(program.substr(0, program.find_last_of(L'\\')), link.directory);
    EXPECT_FALSE(settings_.Desktop);
    EXPECT_NE(std::wstring::npos, ReadUtf16(program_ / L"Zorvel.cfg").find(L"Desktop=0"));

    // OK with another run mode rewrites both links.
    OverrideShortcutFolders(sendTo_.path().c_str(), desktop_.path().c_str());
    Edit([&] {
        Click(Page(kPageGeneral), IDC_SHORTCUT_DESKTOP);
        Choose(Page(kPageGeneral), IDC_RUN_MODE, 3);
    });
    for (const std::wstring& path : {SendToLink(), DesktopLink()})
        EXPECT_EQ(L"/verysilent", ReadLink(path).arguments) << path;

    // Turned off, the Send To link goes; opening, even to cancel, makes the
    // links that are on and only those.
    Edit([&] { Click(Page(kPageGeneral), IDC_SHORTCUT_SENDTO, false); });
    EXPECT_FALSE(FileExists(SendToLink()));
    ASSERT_TRUE(DeleteFileW(DesktopLink().c_str()));
    Edit([&] {}, IDCANCEL);
    EXPECT_FALSE(FileExists(SendToLink()));
    EXPECT_TRUE(FileExists(DesktopLink()));
}

TEST_F(OptionsTest, AboutOpensTheVersionPageWithTheLibrariesWeShip) {
    Open();
    LibraryFolder ours(BuildFolder(L"bin"));
    // Our libraries carry the program's version ("1.03.9.00" for 1.3.9.0).
    const unsigned v[] = {ZORVEL_VERSION_BINARY};
    wchar_t ver[32];
    swprintf(ver, 32, L"%u.%02u.%u.%02u   \r\n", v[0], v[1], v[2], v[3]);
    const std::wstring shipped = std::wstring(L"7-zip32.dll     \t") + ver + L"cab32.dll       \t" + ver +
                                 L"unlha32.dll     \t" + ver + L"unrar.dll       \t" + ver;
    // The menu's Options and About, and the toolbar's button.
    const struct {
        int command, tab;
    } rows[] = {{ID_TOOLS_OPTIONS, kPageGeneral}, {ID_HELP_VERSION, kPageVersion}, {IDB_TB_OPTIONS, kPageGeneral}};
    for (const auto& row : rows) {
        std::wstring libraries;
        Run(row.command, [&](HWND dialog) {
            EXPECT_EQ(row.tab, SendDlgItemMessageW(dialog, IDC_OPTIONS_TABS, TCM_GETCURSEL, 0, 0));
            for (int i = 0; i < kPageCount; ++i)
                EXPECT_EQ(i == row.tab, (GetWindowLongPtrW(Page(i), GWL_STYLE) & WS_VISIBLE) != 0);
            libraries = ControlText(Page(kPageVersion), IDC_LIBRARIES);
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        EXPECT_EQ(shipped, libraries) << row.command;
    }
}

// Ctrl+Tab and Ctrl+Shift+Tab, pressed in a control of a page, reach the
// dialog through its own message loop and turn the pages, round. A timer
// presses them: each tick after the first sees the page the press before it
// showed, then presses the next or ends the dialog.
std::function<void(UINT_PTR)> g_tick;
void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) { g_tick(timer); }

TEST_F(OptionsTest, CtrlTabTurnsThePages) {
    Open();
    const bool shifted[] = {true, false, false};
    size_t pressed = 0;
    std::vector<int> shown;
    g_tick = [&](UINT_PTR timer) {
        if (pressed > 0) {
            int page = static_cast<int>(SendDlgItemMessageW(dialog_, IDC_OPTIONS_TABS, TCM_GETCURSEL, 0, 0));
            shown.push_back(page);
            EXPECT_TRUE(page >= 0 && page < kPageCount && IsWindowVisible(Page(page))) << page;
        }
        BYTE keys[256] = {};
        if (pressed == std::size(shifted)) {
            KillTimer(nullptr, timer);
            SetKeyboardState(keys);
            PostMessageW(dialog_, WM_COMMAND, IDCANCEL, 0);
            return;
        }
        keys[VK_CONTROL] = 0x80;
        keys[VK_SHIFT] = shifted[pressed++] ? 0x80 : 0;
        SetKeyboardState(keys);
        PostMessageW(GetDlgItem(Page(kPageGeneral), IDC_VIEWER_PATH), WM_KEYDOWN, VK_TAB, 0);
    };
    UINT_PTR timer = 0;
    Run(ID_TOOLS_OPTIONS, [&](HWND) {
        if (!timer) timer = SetTimer(nullptr, 0, 100, Tick); // not again when activated again
    });
    g_tick = nullptr;
    EXPECT_EQ((std::vector<int>{kPageVersion, kPageGeneral, kPageDesign}), shown);
}

} // namespace
