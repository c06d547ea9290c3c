// What deriving a name depends on. A run takes its own copy when it starts,
// so its worker never reads settings the window may change meanwhile.
#pragma once

#include "settings/Settings.h"

struct NamingOptions {
    wchar_t format[130] = L"%new"; // the new-name format (see NameFormat.h)
    bool use7zip32 = true;         // ZIP archives through the archiver libraries first
    bool replaceForbidden = false; // a folder's \ / : * ? " < > | become full-width, not status 4

    static NamingOptions From(const Settings& settings);
};
