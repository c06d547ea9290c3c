#include "settings/ConfigFile.h"

#include <climits>
#include <cwchar>
#include <cstdlib>
#include <string>

#include "base/AtomicFile.h"
#include "base/ProgramFolder.h"
#include "base/Text.h"
#include "base/Unicode.h"
#include "settings/Color.h"

namespace {

wchar_t g_configPath[MAX_PATH];

const int kDefaultWidth = 900, kDefaultHeight = 450;

enum class Kind { Bool, Int, Color, Text, Order };

// What LoadSettings does to a value after reading it.
enum class Fix {
    None,
    Abs,          // absolute value
    AbsNotZero,   // absolute value, then 0 becomes the default
    Range,        // outside lo..hi becomes the default
    NoLog,        // any negative value becomes -1
    Startup,      // see CorrectStartup
    NameFormat,   // an empty text, or one that is not well-formed UTF-16, becomes the default
    CentreX,      // default: centred horizontally on the screen
    CentreY,      // default: centred vertically on the screen
};

using FieldOf = void* (*)(Settings&);
#define FIELD(member) [](Settings& s) -> void* { return &s.member; }

struct Key {
    const wchar_t* section;
    const wchar_t* name;
    Kind kind;
    FieldOf field;
    int number;          // default of Bool and Int keys
    const wchar_t* text; // default of Color, Text and Order keys
    size_t capacity;     // buffer for Text keys (units, with terminator)
    Fix fix;
    int lo, hi;
};

// Every key in the order SaveSettings writes it.
const Key kKeys[] = {
    {L"WindowState", L"Maximized", Kind::Bool, FIELD(Maximized), 0, nullptr, 0, Fix::None, 0, 0},
    {L"WindowState", L"Left", Kind::Int, FIELD(Left), 0, nullptr, 0, Fix::CentreX, 0, 0},
    // Written as "top"; the reader's lookup ignores case.
    {L"WindowState", L"top", Kind::Int, FIELD(Top), 0, nullptr, 0, Fix::CentreY, 0, 0},
    {L"WindowState", L"Height", Kind::Int, FIELD(Height), kDefaultHeight, nullptr, 0, Fix::None, 0, 0},
    {L"WindowState", L"Width", Kind::Int, FIELD(Width), kDefaultWidth, nullptr, 0, Fix::None, 0, 0},
    {L"ListViewColumn", L"Order", Kind::Order, FIELD(Order), 0, L"0123456", 12, Fix::None, 0, 0},
    {L"ListViewColumn", L"CurrentFileNameWidth", Kind::Int, FIELD(ColumnWidth[kColCurrentName]), 180, nullptr, 0, Fix::AbsNotZero, 0, 0},
    {L"ListViewColumn", L"NewFileNameWidth", Kind::Int, FIELD(ColumnWidth[kColNewName]), 220, nullptr, 0, Fix::Abs, 0, 0},
    {L"ListViewColumn", L"StatusWidth", Kind::Int, FIELD(ColumnWidth[kColStatus]), 220, nullptr, 0, Fix::Abs, 0, 0},
    {L"ListViewColumn", L"DirectoryWidth", Kind::Int, FIELD(ColumnWidth[kColDirectory]), 0, nullptr, 0, Fix::Abs, 0, 0},
    {L"ListViewColumn", L"SizeWidth", Kind::Int, FIELD(ColumnWidth[kColSize]), 100, nullptr, 0, Fix::Abs, 0, 0},
    {L"ListViewColumn", L"TypeWidth", Kind::Int, FIELD(ColumnWidth[kColType]), 0, nullptr, 0, Fix::Abs, 0, 0},
    {L"ListViewColumn", L"LastModifiedWidth", Kind::Int, FIELD(ColumnWidth[kColLastModified]), 130, nullptr, 0, Fix::None, 0, 0},
    {L"EnableFileType", L"Zip", Kind::Bool, FIELD(EnableKind[kKindZip]), 1, nullptr, 0, Fix::None, 0, 0},
    {L"EnableFileType", L"7z", Kind::Bool, FIELD(EnableKind[kKind7z]), 1, nullptr, 0, Fix::None, 0, 0},
    {L"EnableFileType", L"Cab", Kind::Bool, FIELD(EnableKind[kKindCab]), 0, nullptr, 0, Fix::None, 0, 0},
    {L"EnableFileType", L"Lzh", Kind::Bool, FIELD(EnableKind[kKindLzh]), 0, nullptr, 0, Fix::None, 0, 0},
    {L"EnableFileType", L"Rar", Kind::Bool, FIELD(EnableKind[kKindRar]), 1, nullptr, 0, Fix::None, 0, 0},
    {L"Thumbnail", L"SmallSize", Kind::Int, FIELD(SmallSize), 128, nullptr, 0, Fix::Range, 50, 512},
    {L"Thumbnail", L"NormalSize", Kind::Int, FIELD(NormalSize), 192, nullptr, 0, Fix::Range, 50, 512},
    {L"Thumbnail", L"LargeSize", Kind::Int, FIELD(LargeSize), 256, nullptr, 0, Fix::Range, 50, 512},
    {L"Thumbnail", L"SpacingX", Kind::Int, FIELD(SpacingX), 30, nullptr, 0, Fix::Range, -1, 512},
    {L"Thumbnail", L"SpacingY", Kind::Int, FIELD(SpacingY), 60, nullptr, 0, Fix::Range, -1, 512},
    {L"Thumbnail", L"Startup", Kind::Int, FIELD(Startup), 2, nullptr, 0, Fix::Startup, 0, 0},
    {L"Thumbnail", L"FirstFile", Kind::Bool, FIELD(FirstFile), 1, nullptr, 0, Fix::None, 0, 0},
    {L"Thumbnail", L"InterpolationMode", Kind::Int, FIELD(InterpolationMode), 1, nullptr, 0, Fix::None, 0, 0},
    {L"DefaultItemDesign", L"Font", Kind::Text, FIELD(Design[kDesignDefault].Font), 0, L"", 128, Fix::None, 0, 0},
    {L"DefaultItemDesign", L"FontSize", Kind::Int, FIELD(Design[kDesignDefault].FontSize), 0, nullptr, 0, Fix::Range, 0, 20},
    {L"DefaultItemDesign", L"FontStyle", Kind::Int, FIELD(Design[kDesignDefault].FontStyle), 0, nullptr, 0, Fix::None, 0, 0},
    {L"DefaultItemDesign", L"TextColor", Kind::Color, FIELD(Design[kDesignDefault].TextColor), 0, L"#000000", 0, Fix::None, 0, 0},
    {L"DefaultItemDesign", L"BackColor", Kind::Color, FIELD(Design[kDesignDefault].BackColor), 0, L"#FFFFFF", 0, Fix::None, 0, 0},
    {L"DefaultItemDesign", L"OutlineColor", Kind::Color, FIELD(Design[kDesignDefault].OutlineColor), 0, L"#EFEFF3", 0, Fix::None, 0, 0},
    {L"ReadyItemDesign", L"Font", Kind::Text, FIELD(Design[kDesignReady].Font), 0, L"", 128, Fix::None, 0, 0},
    {L"ReadyItemDesign", L"FontStyle", Kind::Int, FIELD(Design[kDesignReady].FontStyle), 0, nullptr, 0, Fix::None, 0, 0},
    {L"ReadyItemDesign", L"TextColor", Kind::Color, FIELD(Design[kDesignReady].TextColor), 0, L"#000000", 0, Fix::None, 0, 0},
    {L"ReadyItemDesign", L"BackColor", Kind::Color, FIELD(Design[kDesignReady].BackColor), 0, L"#CBCBFF", 0, Fix::None, 0, 0},
    {L"RenamedItemDesign", L"Font", Kind::Text, FIELD(Design[kDesignRenamed].Font), 0, L"", 128, Fix::None, 0, 0},
    {L"RenamedItemDesign", L"FontStyle", Kind::Int, FIELD(Design[kDesignRenamed].FontStyle), 0, nullptr, 0, Fix::None, 0, 0},
    {L"RenamedItemDesign", L"TextColor", Kind::Color, FIELD(Design[kDesignRenamed].TextColor), 0, L"#000000", 0, Fix::None, 0, 0},
    {L"RenamedItemDesign", L"BackColor", Kind::Color, FIELD(Design[kDesignRenamed].BackColor), 0, L"#CBFFCB", 0, Fix::None, 0, 0},
    {L"FailedItemDesign", L"Font", Kind::Text, FIELD(Design[kDesignFailed].Font), 0, L"", 128, Fix::None, 0, 0},
    {L"FailedItemDesign", L"FontStyle", Kind::Int, FIELD(Design[kDesignFailed].FontStyle), 0, nullptr, 0, Fix::None, 0, 0},
    {L"FailedItemDesign", L"TextColor", Kind::Color, FIELD(Design[kDesignFailed].TextColor), 0, L"#000000", 0, Fix::None, 0, 0},
    {L"FailedItemDesign", L"BackColor", Kind::Color, FIELD(Design[kDesignFailed].BackColor), 0, L"#FFCBCB", 0, Fix::None, 0, 0},
    {L"Viewer", L"Path", Kind::Text, FIELD(Path), 0, L"", 260, Fix::None, 0, 0},
    {L"Shortcut", L"SendTo", Kind::Bool, FIELD(SendTo), 0, nullptr, 0, Fix::None, 0, 0},
    {L"Shortcut", L"Desktop", Kind::Bool, FIELD(Desktop), 0, nullptr, 0, Fix::None, 0, 0},
    {L"Shortcut", L"Options", Kind::Int, FIELD(Options), 0, nullptr, 0, Fix::None, 0, 0},
    {L"Log", L"MaxLine", Kind::Int, FIELD(MaxLine), 0, nullptr, 0, Fix::NoLog, 0, 0},
    {L"GetFileName", L"Use7zip32", Kind::Bool, FIELD(Use7zip32), 1, nullptr, 0, Fix::None, 0, 0},
    {L"GetFileName", L"ReplaceForbidden", Kind::Bool, FIELD(ReplaceForbidden), 0, nullptr, 0, Fix::None, 0, 0},
    {L"Other", L"AllowDuplicate", Kind::Bool, FIELD(AllowDuplicate), 0, nullptr, 0, Fix::None, 0, 0},
    {L"Other", L"ConfirmExit", Kind::Bool, FIELD(ConfirmExit), 1, nullptr, 0, Fix::None, 0, 0},
    {L"Other", L"Format", Kind::Text, FIELD(Format), 0, L"%new", 130, Fix::NameFormat, 0, 0},
};

#undef FIELD

// Returned by the profile lookup for a key that is not in the file; no value
// written by SaveSettings can begin with it.
const wchar_t kMissing[] = L"\x01";

int FloorHalf(int value) {
    return value >= 0 ? value / 2 : -((-value + 1) / 2);
}

// Seven distinct digits 0..6 and nothing else.
bool ParseOrder(const wchar_t* text, int order[kColumnCount]) {
    bool seen[kColumnCount] = {};
    for (int i = 0; i < kColumnCount; ++i) {
        wchar_t c = text[i];
        if (c < L'0' || c > L'6' || seen[c - L'0']) return false;
        seen[c - L'0'] = true;
        order[i] = c - L'0';
    }
    return text[kColumnCount] == L'\0';
}

int Abs(int value) {
    return value == INT_MIN ? INT_MAX : value < 0 ? -value : value;
}

int ApplyFix(const Key& key, int value) {
    switch (key.fix) {
    case Fix::Abs: return Abs(value);
    case Fix::AbsNotZero:
        value = Abs(value);
        return value == 0 ? key.number : value;
    case Fix::Range: return (value < key.lo || value > key.hi) ? key.number : value;
    case Fix::NoLog: return value < 0 ? -1 : value;
    case Fix::Startup: return CorrectStartup(value);
    default: return value;
    }
}

// Reads one key into its field; path is null when there is no file to read.
void LoadKey(const Key& key, const wchar_t* path, Settings& settings, bool& missing) {
    void* field = key.field(settings);
    if (key.kind == Kind::Text) {
        auto* buffer = static_cast<wchar_t*>(field);
        CopyText(buffer, key.capacity, key.text);
        if (path) {
            DWORD length =
                GetPrivateProfileStringW(key.section, key.name, key.text, buffer, static_cast<DWORD>(key.capacity), path);
            // A value cut to the buffer never ends in half of a surrogate pair.
            if (length > 0 && length == key.capacity - 1 && IsHighSurrogate(buffer[length - 1])) buffer[length - 1] = L'\0';
        }
        if (key.fix == Fix::NameFormat && (buffer[0] == L'\0' || !IsWellFormedUtf16(buffer)))
            CopyText(buffer, key.capacity, key.text);
        missing = false;
        return;
    }

    wchar_t raw[64];
    size_t capacity = key.kind == Kind::Order ? key.capacity : sizeof(raw) / sizeof(raw[0]);
    CopyText(raw, kMissing);
    if (path) GetPrivateProfileStringW(key.section, key.name, kMissing, raw, static_cast<DWORD>(capacity), path);
    missing = wcscmp(raw, kMissing) == 0;

    switch (key.kind) {
    case Kind::Order: {
        int* order = static_cast<int*>(field);
        if (missing || !ParseOrder(raw, order)) ParseOrder(key.text, order);
        break;
    }
    case Kind::Color:
        *static_cast<COLORREF*>(field) = ParseColor(missing ? key.text : raw);
        break;
    case Kind::Bool:
        *static_cast<bool*>(field) = (missing ? key.number : wcstol(raw, nullptr, 10)) != 0;
        break;
    case Kind::Int:
        *static_cast<int*>(field) = missing ? key.number : ApplyFix(key, static_cast<int>(wcstol(raw, nullptr, 10)));
        break;
    case Kind::Text: break;
    }
}

void AppendValue(std::wstring& out, const Key& key, Settings& settings) {
    void* field = key.field(settings);
    wchar_t number[32];
    switch (key.kind) {
    case Kind::Bool:
        out += *static_cast<bool*>(field) ? L"1" : L"0";
        break;
    case Kind::Int:
        swprintf(number, 32, L"%d", *static_cast<int*>(field));
        out += number;
        break;
    case Kind::Color:
        FormatColor(*static_cast<COLORREF*>(field), number, 32);
        out += number;
        break;
    case Kind::Text:
        out += static_cast<const wchar_t*>(field);
        break;
    case Kind::Order:
        for (int i = 0; i < kColumnCount; ++i) {
            swprintf(number, 32, L"%d", static_cast<int*>(field)[i]);
            out += number;
        }
        break;
    }
}


// value within lo..hi (lo when the range is empty).
int Clamp(int value, int lo, int hi) {
    return value > hi ? (hi < lo ? lo : hi) : value < lo ? lo : value;
}

// A position that keeps at least half of a window of that size on the
// desktop between lo and hi.
int Position(int value, int size, LONG lo, LONG hi) {
    return Clamp(value, lo - size / 2, hi - size / 2);
}

// A hand-written Zorvel.cfg may hold any numbers: the window is no larger
// than the desktop and at least half of it lies on the desktop, and no
// column is wider than the desktop, so nothing is placed where no screen
// shows it and no size overflows when added to a position. Sizes are kept
// at 96 DPI and shown at dpi; positions are the screen's.
void BoundGeometry(Settings& settings, const RECT& desktop, int dpi) {
    const int desktopWidth = MulDiv(desktop.right - desktop.left, USER_DEFAULT_SCREEN_DPI, dpi);
    const int desktopHeight = MulDiv(desktop.bottom - desktop.top, USER_DEFAULT_SCREEN_DPI, dpi);
    settings.Width = Clamp(settings.Width <= 0 ? kDefaultWidth : settings.Width, 1, desktopWidth);
    settings.Height = Clamp(settings.Height <= 0 ? kDefaultHeight : settings.Height, 1, desktopHeight);
    settings.Left = Position(settings.Left, MulDiv(settings.Width, dpi, USER_DEFAULT_SCREEN_DPI), desktop.left, desktop.right);
    settings.Top = Position(settings.Top, MulDiv(settings.Height, dpi, USER_DEFAULT_SCREEN_DPI), desktop.top, desktop.bottom);
    for (int& width : settings.ColumnWidth) width = Clamp(width, -desktopWidth, desktopWidth);
}

} // namespace

const wchar_t* ConfigFilePath() {
    return g_configPath;
}

void LoadSettingsFrom(const wchar_t* path, Settings& settings, int screenWidth, int screenHeight,
                      const RECT* desktop, int dpi) {
    if (dpi <= 0) dpi = USER_DEFAULT_SCREEN_DPI;
    settings = Settings{};
    bool leftMissing = false, topMissing = false;
    for (const Key& key : kKeys) {
        bool missing = false;
        LoadKey(key, path, settings, missing);
        if (key.fix == Fix::CentreX) leftMissing = missing;
        if (key.fix == Fix::CentreY) topMissing = missing;
    }
    const RECT primary = {0, 0, screenWidth, screenHeight};
    const RECT& bounds = desktop ? *desktop : primary;
    // The sizes first: a missing position is centred with the bounded size.
    BoundGeometry(settings, bounds, dpi);
    const int width = MulDiv(settings.Width, dpi, USER_DEFAULT_SCREEN_DPI), height = MulDiv(settings.Height, dpi, USER_DEFAULT_SCREEN_DPI);
    if (leftMissing) settings.Left = Position(FloorHalf(screenWidth - width), width, bounds.left, bounds.right);
    if (topMissing) settings.Top = Position(FloorHalf(screenHeight - height), height, bounds.top, bounds.bottom);
}

void LoadSettings(Settings& settings) {
    std::wstring path = std::wstring(ProgramFolder()) + L"\\Zorvel.cfg";
    // No program folder, or a path too long for the buffer: defaults, and no
    // save (never a file somewhere else).
    if (ProgramFolder()[0] == L'\0' || !CopyText(g_configPath, path.c_str())) g_configPath[0] = L'\0';
    RECT desktop = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
    desktop.right = desktop.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    desktop.bottom = desktop.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : USER_DEFAULT_SCREEN_DPI;
    if (screen) ReleaseDC(nullptr, screen);
    LoadSettingsFrom(g_configPath[0] ? g_configPath : nullptr, settings, GetSystemMetrics(SM_CXSCREEN),
                     GetSystemMetrics(SM_CYSCREEN), desktop.right > desktop.left ? &desktop : nullptr, dpi);
}

bool SaveSettingsTo(const wchar_t* path, const Settings& settings, const WINDOWPLACEMENT& placement) {
    Settings values = settings;
    values.Maximized = placement.showCmd == SW_SHOWMAXIMIZED || (placement.flags & WPF_RESTORETOMAXIMIZED);
    values.Left = placement.rcNormalPosition.left;
    values.Top = placement.rcNormalPosition.top;
    values.Width = placement.rcNormalPosition.right - placement.rcNormalPosition.left;
    values.Height = placement.rcNormalPosition.bottom - placement.rcNormalPosition.top;

    std::wstring text(1, L'\xFEFF');
    const wchar_t* section = nullptr;
    for (const Key& key : kKeys) {
        if (section == nullptr || wcscmp(section, key.section) != 0) {
            if (section != nullptr) text += L"\r\n";
            section = key.section;
            text += L"[";
            text += section;
            text += L"]\r\n";
        }
        text += key.name;
        text += L"=";
        AppendValue(text, key, values);
        text += L"\r\n";
    }
    return WriteFileAtomically(path, text.data(), text.size() * sizeof(wchar_t));
}

bool SaveSettings(const Settings& settings, const WINDOWPLACEMENT& placement) {
    if (g_configPath[0] == L'\0') return false;
    return SaveSettingsTo(g_configPath, settings, placement);
}
