// Command ids shared by the menus, the accelerators and the toolbar (their
// numbers live in resource.h with the resources), and the command dispatch.
#pragma once

#include <windows.h>

#include "app/resource.h"

enum CommandId {
    kCmdOpenFile = ID_FILE_OPEN, kCmdOpenFolder = ID_FILE_OPEN_FOLDER, kCmdExit = ID_FILE_EXIT,
    kCmdSelectAll = ID_EDIT_SELECT_ALL, kCmdDeselect = ID_EDIT_DESELECT, kCmdInvertSelection = ID_EDIT_INVERT_SELECTION,
    kCmdRemove = ID_EDIT_REMOVE, kCmdRecycle = ID_EDIT_RECYCLE, kCmdRemoveErrors = ID_EDIT_REMOVE_ERRORS, kCmdClear = ID_EDIT_CLEAR, kCmdEditName = ID_EDIT_NEW_NAME,
    kCmdAlwaysOnTop = ID_VIEW_TOPMOST, kCmdSizeInKB = ID_VIEW_SIZE_KB,
    kCmdRenameAll = ID_RENAME_ALL, kCmdRenameSelected = ID_RENAME_SELECTED, kCmdDeriveAll = ID_DERIVE_ALL, kCmdDeriveSelected = ID_DERIVE_SELECTED,
    kCmdUndoAll = ID_UNDO_ALL, kCmdUndoSelected = ID_UNDO_SELECTED,
    kCmdOptions = ID_TOOLS_OPTIONS, kCmdHomePage = ID_HELP_HOME_PAGE, kCmdUpdateCheck = ID_HELP_UPDATE_CHECK, kCmdVersionInfo = ID_HELP_VERSION,
    kCmdViewer = ID_ITEM_OPEN_VIEWER, kCmdCopyFullPath = ID_ITEM_COPY_FULL_PATH, kCmdCopyName = ID_ITEM_COPY_NAME, kCmdProperties = ID_ITEM_PROPERTIES,
    kCmdThumbnailNone = ID_THUMBNAIL_NONE, kCmdThumbnailSmall = ID_THUMBNAIL_SMALL, kCmdThumbnailNormal = ID_THUMBNAIL_NORMAL, kCmdThumbnailLarge = ID_THUMBNAIL_LARGE,
    kCmdRebuildAllThumbnails = ID_THUMBNAIL_REBUILD_ALL, kCmdRebuildThumbnails = ID_THUMBNAIL_REBUILD_SELECTED,
    kCmdColumnCurrentName = ID_COLUMN_NAME, kCmdColumnNewName = ID_COLUMN_NEW_NAME, kCmdColumnStatus = ID_COLUMN_STATUS,
    kCmdColumnDirectory = ID_COLUMN_DIRECTORY, kCmdColumnSize = ID_COLUMN_SIZE, kCmdColumnType = ID_COLUMN_TYPE, kCmdColumnLastModified = ID_COLUMN_MODIFIED,
    kCmdCancel = ID_CANCEL,
};

// Toolbar buttons.
enum ToolbarButtonId {
    kTbOpen = IDB_TB_OPEN, kTbFolder = IDB_TB_FOLDER, kTbRenameAll = IDB_TB_RENAME_ALL, kTbRename = IDB_TB_RENAME,
    kTbDerive = IDB_TB_DERIVE, kTbUndo = IDB_TB_UNDO, kTbThumbnail = IDB_TB_THUMBNAIL, kTbClear = IDB_TB_CLEAR,
    kTbOptions = IDB_TB_OPTIONS, kTbExit = IDB_TB_EXIT,
};

void OnCommand(HWND window, int id);
