// Why a rename or an undo failed: kept beside the row (not in its record),
// shown in a few words after the status text and, with the system's own
// message, in the row's info tip.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

enum class FailureReason : uint8_t {
    None = 0,
    TargetExists,  // a file of the new name is there
    InUse,         // another program holds the file
    AccessDenied,
    SourceGone,    // the file is no longer where the list says
    PathTooLong,
    NotConfirmed,  // moved, but not found under exactly the new name afterwards: put back
    Other,
};

// What is kept beside a row.
struct RowNote {
    FailureReason reason = FailureReason::None;
    DWORD error = 0; // the system's error code, 0 when none
};

// The reason for a system error code of a failed move.
FailureReason ReasonOfError(DWORD error);
// A few words for the status column ("使用中"); "" for None.
const wchar_t* ReasonText(FailureReason reason);
// The system's message for the note's error code (or the reason's words
// when there is none), without a trailing line break.
std::wstring NoteMessage(const RowNote& note);
