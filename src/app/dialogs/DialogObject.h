// A dialog (or an options page) whose procedure finds its C++ object: the
// object's address comes as WM_INITDIALOG's lParam (DialogBoxParamW,
// CreateDialogParamW) and is kept in DWLP_USER; every message after it goes
// to T::HandleMessage, which answers as a dialog procedure does. Before
// T::HandleMessage sees WM_INITDIALOG or a DPI change, the dialog's
// controls are given the message font for its DPI.
#pragma once

#include <windows.h>

#include "app/Dpi.h"
#include "app/dialogs/DialogFont.h"
#include "base/ScopedWin.h"

template <class T>
class DialogObject {
public:
    HWND Dialog() const { return dialog_; }

    // The procedure to create the dialog with, the object as its lParam.
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) {
            auto* self = reinterpret_cast<T*>(lParam);
            self->dialog_ = dialog;
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        }
        auto* self = reinterpret_cast<T*>(GetWindowLongPtrW(dialog, DWLP_USER));
        if (self == nullptr) return FALSE;
        if (message == WM_INITDIALOG || message == kDpiChangedAfterParent)
            UseMessageFont(dialog, WindowDpi(dialog), self->font_);
        if (message == WM_DPICHANGED) UseMessageFont(dialog, LOWORD(wParam), self->font_);
        INT_PTR result = self->HandleMessage(message, wParam, lParam);
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(dialog, DWLP_USER, 0);
            self->dialog_ = nullptr;
            self->font_.reset();
        }
        return result;
    }

protected:
    DialogObject() = default;
    ~DialogObject() = default;
    DialogObject(const DialogObject&) = delete;
    DialogObject& operator=(const DialogObject&) = delete;

    HWND dialog_ = nullptr;

private:
    ScopedFont font_; // the message font the controls show
};
