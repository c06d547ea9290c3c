// Resource identifiers of Zorvel.exe.
//
// A command's number is also the number of its status-bar help string, so
// the window code can load the help text with the id it got in WM_MENUSELECT.
// A few toolbar texts and tips share numbers with column toggles; menus and
// strings are separate resource types, so that does not clash.
#pragma once

// Program icon.
#define IDI_ZORVEL 109
// The empty square of a thumbnail not made (yet).
#define IDI_PLACEHOLDER 161

// Menus and accelerators.
#define IDM_MAIN 104
#define IDA_MAIN 105
// Pop-up menus: each menu resource's first sub-menu is the pop-up itself.
#define IDM_POPUP_LIST 106
#define IDM_POPUP_ITEM 107
#define IDM_POPUP_THUMBNAIL 116
#define IDM_POPUP_HEADER 150
#define IDM_POPUP_DERIVE 162
#define IDM_POPUP_UNDO 164

// Toolbar icons.
#define IDI_TB_OPEN 110
#define IDI_TB_FOLDER 111
#define IDI_TB_RENAME 112
#define IDI_TB_UNDO 114
#define IDI_TB_THUMBNAIL 115
#define IDI_TB_EXIT 117
#define IDI_TB_OPTIONS 129
#define IDI_TB_RENAME_ALL 131
#define IDI_TB_CLEAR 137
#define IDI_TB_DERIVE 140

// Toolbar buttons, left to right.
#define IDB_TB_OPEN 1001
#define IDB_TB_FOLDER 1002
#define IDB_TB_RENAME_ALL 1003
#define IDB_TB_RENAME 1004
#define IDB_TB_DERIVE 1005
#define IDB_TB_UNDO 1006
#define IDB_TB_THUMBNAIL 1007
#define IDB_TB_CLEAR 1008
#define IDB_TB_OPTIONS 1009
#define IDB_TB_EXIT 1010

// File menu.
#define ID_FILE_OPEN 40064
#define ID_FILE_OPEN_FOLDER 40047
#define ID_FILE_EXIT 40048

// Edit menu.
#define ID_EDIT_SELECT_ALL 40060
#define ID_EDIT_DESELECT 40013
#define ID_EDIT_INVERT_SELECTION 40061
#define ID_EDIT_REMOVE 40051
#define ID_EDIT_RECYCLE 40052
#define ID_EDIT_REMOVE_ERRORS 40041
#define ID_EDIT_CLEAR 40043
#define ID_EDIT_NEW_NAME 40062

// View menu.
#define ID_VIEW_TOPMOST 40056
#define ID_VIEW_SIZE_KB 40046

// Rename menu.
#define ID_RENAME_ALL 40054
#define ID_RENAME_SELECTED 40055
#define ID_DERIVE_ALL 40042
#define ID_DERIVE_SELECTED 40053
#define ID_UNDO_ALL 40045
#define ID_UNDO_SELECTED 40050

// Tools and Help menus.
#define ID_TOOLS_OPTIONS 40057
#define ID_HELP_HOME_PAGE 40058
#define ID_HELP_UPDATE_CHECK 40091
#define ID_HELP_VERSION 40059

// List item pop-up.
#define ID_ITEM_OPEN_VIEWER 40006
#define ID_ITEM_COPY_FULL_PATH 40007
#define ID_ITEM_COPY_NAME 40021
#define ID_ITEM_PROPERTIES 40049

// Thumbnail size; the rebuild items are added to the menu at run time.
#define ID_THUMBNAIL_NONE 40065
#define ID_THUMBNAIL_SMALL 40066
#define ID_THUMBNAIL_NORMAL 40067
#define ID_THUMBNAIL_LARGE 40068
#define ID_THUMBNAIL_REBUILD_ALL 40088
#define ID_THUMBNAIL_REBUILD_SELECTED 40087

// Column toggles of the header pop-up.
#define ID_COLUMN_NAME 40000
#define ID_COLUMN_NEW_NAME 40010
#define ID_COLUMN_STATUS 40014
#define ID_COLUMN_DIRECTORY 40017
#define ID_COLUMN_SIZE 40022
#define ID_COLUMN_TYPE 40025
#define ID_COLUMN_MODIFIED 40029

// Esc: cancels the work in progress.
#define ID_CANCEL 40044

// Strings that are not command help texts.
#define IDS_TIP_OPEN 40000
#define IDS_TIP_FOLDER 40001
#define IDS_TIP_RENAME 40002
#define IDS_TIP_UNDO 40003
#define IDS_TIP_THUMBNAIL 40004
#define IDS_TB_OPEN 40008
#define IDS_TB_FOLDER 40009
#define IDS_TB_RENAME_ALL 40010
#define IDS_TIP_RENAME_ALL 40011
#define IDS_TB_RENAME 40012
#define IDS_TB_UNDO 40014
#define IDS_TB_THUMBNAIL 40015
#define IDS_TB_EXIT 40016
#define IDS_TIP_EXIT 40017
#define IDS_TB_OPTIONS 40018
#define IDS_TIP_OPTIONS 40019
#define IDS_APP_NAME 40020
#define IDS_HOME_PAGE 40022
#define IDS_TIP_DERIVE 40023
#define IDS_TIP_CLEAR 40024
#define IDS_TB_DERIVE 40025
#define IDS_TB_CLEAR 40026

// Progress dialog of the command-line batch.
#define IDD_BATCH 108
#define IDC_BATCH_PROGRESS 1022
#define IDC_BATCH_PATH 40063
#define IDC_BATCH_CANCEL 1001

// New-name edit dialog.
#define IDD_EDIT_NAME 132
#define IDC_EDIT_NAME 1000
#define IDC_EDIT_CANDIDATES 40082
#define IDC_EDIT_COUNTER 1004

// Texts of the window and its dialogs (string table, 41000 on).
#define IDS_ADDING_FILES 41000
#define IDS_ESC_CANCELS 41001
#define IDS_VIEWER_FILTER 41002
#define IDS_VIEWER_TITLE 41003
#define IDS_SELECT_FAILED 41004
#define IDS_UPDATING_ICONS 41005
#define IDS_RENAMING 41006
#define IDS_UNDOING 41007
#define IDS_DERIVING 41008
#define IDS_CONFIRM_EXIT 41009
#define IDS_CONFIRM_EXIT_CAPTION 41010
#define IDS_CONFIRM_CLEAR 41011
#define IDS_CONFIRM_CLEAR_CAPTION 41012
#define IDS_CONFIRM_RECYCLE_ONE 41013
#define IDS_CONFIRM_RECYCLE_ONE_CAPTION 41014
#define IDS_CONFIRM_RECYCLE_MANY 41015
#define IDS_CONFIRM_RECYCLE_MANY_CAPTION 41016
#define IDS_COLUMN_CURRENT_NAME 41017
#define IDS_COLUMN_NEW_NAME 41018
#define IDS_COLUMN_STATUS 41019
#define IDS_COLUMN_DIRECTORY 41020
#define IDS_COLUMN_SIZE 41021
#define IDS_COLUMN_TYPE 41022
#define IDS_COLUMN_LAST_MODIFIED 41023
#define IDS_RUN_DONE 41024
#define IDS_EDIT_CAPTION 41025
#define IDS_NAME_TOO_LONG 41026
#define IDS_BATCH_RENAMING 41027
#define IDS_BATCH_ALL_FAILED 41028
#define IDS_BATCH_DONE 41029
#define IDS_BATCH_DONE_CAPTION 41030
#define IDS_TOO_MANY_FILES 41031
#define IDS_ARCHIVE_FILTER 41032
#define IDS_SELECT_FILES_TITLE 41033
#define IDS_SELECT_FOLDER_TITLE 41034
#define IDS_REBUILD_ALL_THUMBNAILS 41035
#define IDS_REBUILD_THUMBNAILS 41036
#define IDS_THUMBNAIL_MENU 41037
#define IDS_OUT_OF_MEMORY 41038
#define IDS_DROP_HERE 41039
#define IDS_TOTAL_FILES 41040
#define IDS_SELECTED_FILES 41041

// Thumbnail runs (41100 on).
#define IDS_MAKING_THUMBNAILS 41100
#define IDS_REMAKING_THUMBNAILS 41101
