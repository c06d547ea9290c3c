// "最新版を確認(&U)": the update check as the main window's run. Its work
// shows the check's texts in the status bar and its questions, messages and
// save dialog itself, from the worker's thread, with the main window as
// their owner; the completion comes as WM_APP_UPDATE_DONE, wParam 1 when an
// archive was downloaded (the window then keeps saying so in part 0, since
// the completion resets part 1).
#pragma once

void StartUpdateCheck();
