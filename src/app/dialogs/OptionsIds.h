// Resource ids of the options dialog: its frame, its four pages, the
// placeholder menu, the eyedropper icon and the texts the pages load.
// Control ids are per page, so two pages may use the same number.
#pragma once

#define IDD_OPTIONS 160
#define IDD_OPTIONS_GENERAL 124
#define IDD_OPTIONS_DESIGN 146
#define IDD_OPTIONS_ADVANCED 152
#define IDD_OPTIONS_VERSION 127
#define IDM_PLACEHOLDERS 163
#define IDI_EYEDROPPER 148

// Frame.
#define IDC_OPTIONS_TABS 1019

// General page.
#define IDC_KIND_ZIP 1013
#define IDC_KIND_7Z 1023
#define IDC_KIND_LZH 1030
#define IDC_KIND_CAB 40069
#define IDC_KIND_RAR 40070
#define IDC_KINDS_ALL 1028
#define IDC_SMALL_SIZE 40073
#define IDC_SMALL_SIZE_SPIN 40074
#define IDC_NORMAL_SIZE 40075
#define IDC_NORMAL_SIZE_SPIN 40076
#define IDC_LARGE_SIZE 40077
#define IDC_LARGE_SIZE_SPIN 40078
#define IDC_SIZES_DEFAULT 1017
#define IDC_VIEWER_PATH 40071
#define IDC_VIEWER_BROWSE 40072
#define IDC_SHORTCUT_SENDTO 1024
#define IDC_SHORTCUT_DESKTOP 1005
#define IDC_RUN_MODE 1026

// Design page.
#define IDC_PREVIEW 1012
#define IDC_DESIGN_DEFAULT 1015
#define IDC_DESIGN_READY 1031
#define IDC_DESIGN_RENAMED 1032
#define IDC_DESIGN_FAILED 40083
#define IDC_TEXT_COLOR 40088
#define IDC_BACK_COLOR 40089
#define IDC_TEXT_COLOR_CHOOSE 1007
#define IDC_BACK_COLOR_CHOOSE 1021
#define IDC_FACE 1008
#define IDC_BOLD 40084
#define IDC_ITALIC 40085
#define IDC_UNDERLINE 40086
#define IDC_STRIKE_OUT 40087
#define IDC_FONT_SIZE 40090

// Advanced page.
#define IDC_INTERPOLATION 40000
#define IDC_MAX_LINE 1009
#define IDC_ALLOW_DUPLICATE 1003
#define IDC_CONFIRM_EXIT 1011
#define IDC_FORMAT 1006
#define IDC_FORMAT_DEFAULT 1020
#define IDC_FORMAT_PICK 1002
#define IDC_SPACING_X 1023
#define IDC_SPACING_X_SPIN 1027
#define IDC_SPACING_Y 1025
#define IDC_SPACING_Y_SPIN 1029
#define IDC_STARTUP 1014
#define IDC_USE_7ZIP32 1018
#define IDC_FIRST_FILE 1016
#define IDC_REPLACE_FORBIDDEN 1090

// Placeholder menu items: the placeholder is the item's text after its tab.
#define IDM_PLACEHOLDER_ORIG 41290
#define IDM_PLACEHOLDER_NEW 41291
#define IDM_PLACEHOLDER_DIR 41292
#define IDM_PLACEHOLDER_DATE 41293
#define IDM_PLACEHOLDER_TIME 41294

// Version page.
#define IDC_VERSION_TITLE 40080
#define IDC_HOME_LINK 40079
#define IDC_LIBRARIES 40081

// Texts (string table of options_dialog.rc). Runs of entries are loaded by
// their first id and position.
#define IDS_OPT_TAB_GENERAL 41200
#define IDS_OPT_TAB_DESIGN 41201
#define IDS_OPT_TAB_ADVANCED 41202
#define IDS_OPT_TAB_VERSION 41203
#define IDS_OPT_RUN_MODE_FIRST 41204   // four run modes, 41204..41207
#define IDS_OPT_STARTUP_FIRST 41208    // five start-up displays, 41208..41212
#define IDS_OPT_DEFAULT_ENTRY 41213
#define IDS_OPT_VIEWER_FILTER 41214
#define IDS_OPT_INTERPOLATION_FIRST 41216 // eight GDI+ modes, 41216..41223
