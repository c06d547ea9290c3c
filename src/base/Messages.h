// The main window's private messages, and the batch dialog's: every WM_APP
// number of the program, in one place.
#pragma once

#include <windows.h>

const UINT WM_APP_FOLDER_ADDED = WM_APP + 1;   // folder add ended; wParam: first new row
const UINT WM_APP_DROP_ADDED = WM_APP + 2;     // drop add ended; wParam: first new row
const UINT WM_APP_BATCH_DONE = WM_APP + 3;     // derive/rename/undo ended; wParam: rows that succeeded,
                                               // lParam: rows in the run
const UINT WM_APP_UPDATE_DONE = WM_APP + 4;    // update check ended
const UINT WM_APP_THUMBNAILS_DONE = WM_APP + 5; // thumbnail run ended
const UINT WM_APP_FILES_ADDED = WM_APP + 6;    // rows added on the window's thread; wParam: first new row
const UINT WM_APP_START_BATCH = WM_APP + 7;    // to the batch dialog: start renaming
const UINT WM_APP_IDLE = WM_APP + 8;           // a modal step ended: take up what waited
const UINT WM_APP_THUMBNAIL_READY = WM_APP + 9; // sent by a thumbnail run: wParam row, lParam its bitmap
const UINT WM_APP_RUN_PROGRESS = WM_APP + 10;  // to the batch dialog: wParam files started
const UINT WM_APP_OPTIONS_OK = WM_APP + 100;   // to each options page, in order, when OK is accepted
