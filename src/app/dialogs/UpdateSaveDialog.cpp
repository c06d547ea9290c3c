#include "app/dialogs/UpdateSaveDialog.h"

#include <commdlg.h>

#include <string>

#include "app/dialogs/FileDialogs.h"
#include "app/resource.h"
#include "app/Texts.h"

bool ChooseUpdateSavePath(HWND parent, wchar_t (&path)[MAX_PATH]) {
    std::wstring filter = DialogFilter(LoadText(IDS_UPDATE_SAVE_FILTER));
    std::wstring title = LoadText(IDS_UPDATE_SAVE_TITLE);
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = parent;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = title.c_str();
    dialog.lpstrDefExt = L"zip";
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    if (GetSaveFileNameW(&dialog)) return true;
    ShowDialogError(parent, CommDlgExtendedError());
    path[0] = L'\0';
    return false;
}
