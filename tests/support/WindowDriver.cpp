#include "WindowDriver.h"

#include <shlobj.h>

#include <cstring>

namespace {

HHOOK g_hook = nullptr;
int g_answer = IDOK;
std::vector<RecordedBox> g_boxes;
int g_scriptControl = 0;
std::function<void(HWND)> g_script;

std::wstring TextOf(HWND window) {
    wchar_t buffer[1024] = L"";
    GetWindowTextW(window, buffer, 1024);
    return buffer;
}

LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        wchar_t className[32] = L"";
        GetClassNameW(window, className, 32);
        if (wcscmp(className, L"#32770") == 0 && g_script && GetDlgItem(window, g_scriptControl)) {
            g_script(window);
        } else if (wcscmp(className, L"#32770") == 0) {
            // The message text is the dialog's static control 0xFFFF.
            HWND text = GetDlgItem(window, 0xFFFF);
            g_boxes.push_back({TextOf(window), text ? TextOf(text) : L""});
            PostMessageW(window, WM_COMMAND, g_answer, 0);
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

} // namespace

MessageBoxAnswerer::MessageBoxAnswerer(int answer) {
    g_answer = answer;
    g_boxes.clear();
    g_hook = SetWindowsHookExW(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    ClearDialogScript();
    UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
}

const std::vector<RecordedBox>& MessageBoxAnswerer::boxes() const {
    return g_boxes;
}

void MessageBoxAnswerer::set_answer(int answer) {
    g_answer = answer;
}

void SetDialogScript(int controlId, std::function<void(HWND)> script) {
    g_scriptControl = controlId;
    g_script = std::move(script);
}

void ClearDialogScript() {
    g_script = nullptr;
    g_scriptControl = 0;
}

void PumpPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& done) {
    // Waits for messages, not for time: the bound only turns a hang into a failure.
    for (int rounds = 0; rounds < 6000; ++rounds) {
        PumpPending();
        if (done()) return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return false;
}

LRESULT HandOver(HWND window, const std::wstring& path) {
    COPYDATASTRUCT data = {};
    data.dwData = 1;
    data.cbData = static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t));
    data.lpData = const_cast<wchar_t*>(path.c_str());
    return SendMessageW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

HGLOBAL MakeDrop(const std::vector<std::wstring>& paths) {
    size_t units = 1;
    for (const auto& p : paths) units += p.size() + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + units * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* out = reinterpret_cast<wchar_t*>(drop + 1);
    for (const auto& p : paths) {
        memcpy(out, p.c_str(), (p.size() + 1) * sizeof(wchar_t));
        out += p.size() + 1;
    }
    GlobalUnlock(memory);
    return memory;
}

COLORREF ImageColour(HIMAGELIST images, int index) {
    if (index >= ImageList_GetImageCount(images)) return CLR_INVALID;
    int w = 0, h = 0;
    ImageList_GetIconSize(images, &w, &h);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(dc, canvas);
    ImageList_Draw(images, index, dc, 0, 0, ILD_NORMAL);
    COLORREF colour = GetPixel(dc, w / 2, h / 2);
    SelectObject(dc, old);
    DeleteObject(canvas);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return colour;
}
