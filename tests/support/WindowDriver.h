// Drives the real main window inside the test process: creation with a
// temporary program folder, message pumping until a condition holds, and
// message boxes answered (and recorded) instead of waiting for a user.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

struct RecordedBox {
    std::wstring caption;
    std::wstring text;
};

// Answers every message box shown on this thread with `answer` (IDYES,
// IDNO, IDOK...) while it lives, and records what each one said.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(int answer);
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;
    const std::vector<RecordedBox>& boxes() const;
    void set_answer(int answer);
};

// While a MessageBoxAnswerer lives: a dialog holding a control with this id
// is handed to script (each time it is activated) instead of being answered.
void SetDialogScript(int controlId, std::function<void(HWND)> script);
void ClearDialogScript();

// Dispatches messages until done() holds or the window is gone; false when
// the wait gave up (after a generous bound, so a broken run fails instead of
// hanging the suite).
bool PumpUntil(const std::function<bool()>& done);
void PumpPending();

// A WM_COPYDATA hand-over of path as a second instance sends it.
LRESULT HandOver(HWND window, const std::wstring& path);

// An HDROP holding paths, as the shell builds it for a drop.
HGLOBAL MakeDrop(const std::vector<std::wstring>& paths);

// The colour in the middle of image index as drawn.
COLORREF ImageColour(HIMAGELIST images, int index);
