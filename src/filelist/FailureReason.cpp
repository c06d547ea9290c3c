#include "filelist/FailureReason.h"

FailureReason ReasonOfError(DWORD error) {
    switch (error) {
    case ERROR_ALREADY_EXISTS: case ERROR_FILE_EXISTS: return FailureReason::TargetExists;
    case ERROR_SHARING_VIOLATION: case ERROR_LOCK_VIOLATION: return FailureReason::InUse;
    case ERROR_ACCESS_DENIED: case ERROR_WRITE_PROTECT: return FailureReason::AccessDenied;
    case ERROR_FILE_NOT_FOUND: case ERROR_PATH_NOT_FOUND: return FailureReason::SourceGone;
    case ERROR_FILENAME_EXCED_RANGE: case ERROR_BUFFER_OVERFLOW: return FailureReason::PathTooLong;
    default: return FailureReason::Other;
    }
}

const wchar_t* ReasonText(FailureReason reason) {
    switch (reason) {
    case FailureReason::None: return L"";
    case FailureReason::TargetExists: return L"同じ名前のファイルがあります";
    case FailureReason::InUse: return L"使用中";
    case FailureReason::AccessDenied: return L"アクセスが拒否されました";
    case FailureReason::SourceGone: return L"ファイルがありません";
    case FailureReason::PathTooLong: return L"パスが長すぎます";
    case FailureReason::NotConfirmed: return L"新しい名前を確認できません";
    case FailureReason::Other: return L"その他のエラー";
    }
    return L"";
}

std::wstring NoteMessage(const RowNote& note) {
    if (note.error != 0) {
        wchar_t* text = nullptr;
        DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                          FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, note.error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
        std::wstring message = length > 0 && text ? std::wstring(text, length) : std::wstring();
        if (text) LocalFree(text);
        while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
            message.pop_back();
        if (!message.empty()) return message;
    }
    return ReasonText(note.reason);
}
