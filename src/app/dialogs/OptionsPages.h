// The four pages of the options dialog: child dialogs that fill their
// controls from the dialog's working copy of the settings when they open,
// store every change into it at once, and take the rest when
// WM_APP_OPTIONS_OK arrives. Each page is an object of the dialog's.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>

#include "app/dialogs/DialogObject.h"
#include "base/ScopedWin.h"
#include "settings/Settings.h"

class GeneralPage final : public DialogObject<GeneralPage> {
public:
    explicit GeneralPage(Settings& working) : working_(working) {}
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void OnInit();
    void ShowRunMode();
    void CheckAllKinds();
    void BrowseViewer();
    void OnCommand(int id, int code);
    void OnOk();

    Settings& working_;
};

// The design page's colours: the two colour boxes, the system colour
// chooser and the eyedroppers that pick a colour from anywhere on the screen.
// They edit the selected design of the working copy and say when a colour
// typed into a box changed it.
class DesignColours {
public:
    DesignColours(Settings& working, const int& selected, std::function<void()> changed)
        : working_(working), selected_(selected), changed_(std::move(changed)) {}
    void Attach(HWND page) { page_ = page; }
    // Writes the design's colours into the two colour boxes.
    void Show(const ItemDesign& design);
    // Colour box changes and the "..." choosers; true when handled.
    bool OnCommand(int id, int code);
    // The eyedroppers: painting and the mouse; true when handled.
    void Paint(HDC dc);
    bool OnMouse(UINT message, LPARAM lParam);

    struct Slot; // one colour's controls (OptionsDesignColours.cpp)

private:
    COLORREF& ColourOf(const Slot& slot);
    void Write(const Slot& slot, COLORREF colour);
    void OnBoxChanged(const Slot& slot);
    void Choose(const Slot& slot);
    void EndPick();
    void FinishPick(POINT point);

    Settings& working_;
    const int& selected_;
    std::function<void()> changed_;
    HWND page_ = nullptr;
    int picking_ = -1; // the colour an eyedropper is picking, while the mouse is captured
};

// How the list draws the rows of each status class. A preview list shows
// the four designs; the pressed status button picks the design that the
// face, style and colour controls edit. The font size is shared.
class DesignPage final : public DialogObject<DesignPage> {
public:
    explicit DesignPage(Settings& working)
        : working_(working), colours_(working, selected_, [this] { RefreshPreview(selected_); }) {}
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Rebuilds that design's preview font from the working copy and redraws
    // the preview rows.
    void RefreshPreview(int design);

private:
    int SharedSize() const { return working_.Design[kDesignDefault].FontSize; }
    void RemakePreviewFonts();
    void FillFaces();
    void FillSizes();
    void SelectFace(const wchar_t* face);
    void SelectSize(int size);
    void ShowDesign(int design);
    void SetPreviewFont();
    void CreatePreview();
    void OnInit();
    void OnFaceChosen();
    void OnSizeChosen();
    void OnStyleClicked();
    void OnCommand(int id, int code);
    LRESULT OnPreviewDraw(NMLVCUSTOMDRAW* draw);
    void OnPaint();

    Settings& working_;
    int selected_ = kDesignDefault; // before colours_, which refers to it
    DesignColours colours_;
    ScopedFont previewFonts_[kDesignCount];
};

class AdvancedPage final : public DialogObject<AdvancedPage> {
public:
    explicit AdvancedPage(Settings& working) : working_(working) {}
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct MenuTraits {
        static HMENU invalid() { return nullptr; }
        static void close(HMENU h) { DestroyMenu(h); }
    };
    void OnInit();
    void ShowPlaceholderMenu();
    void AppendPlaceholder(int item);
    void OnCommand(int id, int code);
    void OnOk();

    Settings& working_;
    UniqueHandle<HMENU, MenuTraits> placeholders_; // the menu resource; its first sub-menu is shown
};

class VersionPage final : public DialogObject<VersionPage> {
public:
    VersionPage() = default;
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void OnInit();
    void MakeLinkFont();
    void OpenLink();
    void OnPaint();
    INT_PTR OnColour(HDC dc, HWND control);

    ScopedFont linkFont_; // the dialog font, underlined
};
