#include "base/HandOverBlock.h"

#include <cwchar>

#include "base/Paths.h"

COPYDATASTRUCT HandOverBlockOf(const std::wstring& path) {
    return {kHandOverPathKind, static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)),
            const_cast<wchar_t*>(path.c_str())};
}

bool ReadHandOverBlock(const COPYDATASTRUCT* data, std::wstring& path) {
    if (data == nullptr || data->dwData != kHandOverPathKind || data->lpData == nullptr) return false;
    if (data->cbData % 2 != 0 || data->cbData < 2 || data->cbData > MAX_PATH * 2) return false;
    const auto* text = static_cast<const wchar_t*>(data->lpData);
    size_t units = data->cbData / 2;
    if (wmemchr(text, L'\0', units) == nullptr) return false;
    if (!IsFullPath(text)) return false;
    path = text;
    return true;
}
