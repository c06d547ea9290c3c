// "リネーム履歴(&H)...": the runs of the rename history, newest first and the
// newest selected, and "元に戻す" for the selected run unless it was undone
// before. After an undo a message says how many files were put back and
// which were skipped, and why; the dialog stays open.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "rename/RenameHistory.h"

// restored: told of each undo's files put back, so the window can update
// the rows it lists.
void ShowHistoryDialog(HWND parent, std::function<void(const std::vector<HistoryMove>&)> restored);
