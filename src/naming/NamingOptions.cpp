#include "naming/NamingOptions.h"

#include "base/Text.h"

NamingOptions NamingOptions::From(const Settings& settings) {
    NamingOptions options;
    CopyText(options.format, settings.Format); // the same 130-unit field
    options.use7zip32 = settings.Use7zip32;
    options.replaceForbidden = settings.ReplaceForbidden;
    return options;
}
