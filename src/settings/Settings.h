// The settings record. The program loads it once at start from Zorvel.cfg
// in the program folder and writes it back whole when the main window closes
// or the options dialog is confirmed; it is read and written by the window
// layer only. A run gets a copy of what it needs when it starts.
#pragma once

#include <windows.h>

#include "archive/ArchiveKinds.h"

enum DesignIndex { kDesignDefault = 0, kDesignReady, kDesignRenamed, kDesignFailed, kDesignCount };
enum ColumnIndex {
    kColCurrentName = 0, kColNewName, kColStatus, kColDirectory, kColSize, kColType, kColLastModified,
    kColumnCount
};

// Font style bits of a row design.
enum FontStyleBits { kFontBold = 1, kFontItalic = 2, kFontUnderline = 4, kFontStrikeOut = 8 };

struct ItemDesign {
    wchar_t Font[128];   // face name; empty = the system's message font
    int FontSize;        // cell height in pixels; 0 = message font's. Only Default's is used
    int FontStyle;       // FontStyleBits
    COLORREF TextColor;
    COLORREF BackColor;
    COLORREF OutlineColor; // only Default's is used: the list view's outline colour
};

struct Settings {
    // window
    bool Maximized;
    int Width, Height;
    int Left, Top;
    // columns
    int Order[kColumnCount];
    int ColumnWidth[kColumnCount];
    // archive kinds, in ArchiveKindIndex order
    bool EnableKind[kArchiveKindCount];
    // thumbnails
    int SmallSize, NormalSize, LargeSize;
    int SpacingX, SpacingY;
    int Startup;   // see CorrectStartup below
    bool FirstFile;
    int InterpolationMode;
    // row designs, in DesignIndex order
    ItemDesign Design[kDesignCount];
    // viewer
    wchar_t Path[260];
    // shortcuts
    bool SendTo;
    bool Desktop;
    int Options; // the switch written into the shortcuts: 0 /showwindow, 1 none, 2 /silent, 3 /verysilent
    // log
    int MaxLine; // 0 = no limit, -1 = no log
    // name discovery
    bool Use7zip32;
    bool ReplaceForbidden; // \ / : * ? " < > | in a derived name become their full-width forms
    // other
    bool AllowDuplicate;
    bool ConfirmExit;
    wchar_t Format[130];
};


// The thumbnail display at start is kept in Startup as follows:
//   0..3    the options dialog chose that display (none, small, normal, large);
//   10..13  the dialog chose "the display at the last exit", which was 0..3.
// A loaded value outside these is corrected.
int CorrectStartup(int loaded);

// The kinds switched on in settings.
inline KindFilter KindsOf(const Settings& settings) {
    KindFilter kinds;
    for (int i = 0; i < kArchiveKindCount; ++i) kinds.enabled[i] = settings.EnableKind[i];
    return kinds;
}
