// Renames and undoes folders of archives while the files change under the
// run, and checks that nothing is lost: after every run the files on disk
// hold the same contents as before (names aside), no file was overwritten,
// and every attempt has its status and its log line.
//
//   wine build/bench/rename_faults.exe [rounds] [seed]   (defaults 200 and 1)
//
// Each round makes up to 12 ZIP archives in a fresh folder (several share a
// folder name, so their targets collide) and, between deriving and renaming,
// injects faults at random: a file already at the target, a source that
// vanishes or becomes a folder, a read-only source, a source held open
// without sharing, a log held open for a while. Between renaming and
// undoing: a file at the original name, a renamed file held open. It prints
// the faults injected per kind and the files lost, overwritten or without a
// status or log line, and exits 1 unless all of those are 0.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "ZipBuilder.h"
#include "base/ProgramFolder.h"
#include "base/ScopedWin.h"
#include "filelist/FileList.h"
#include "naming/NameFormat.h"
#include "rename/RenameEntry.h"
#include "rename/RenameLog.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"

namespace {

class Random {
public:
    explicit Random(uint32_t seed) : state_(seed ? seed : 1) {}
    size_t Below(size_t n) {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return n ? state_ % n : 0;
    }

private:
    uint32_t state_;
};

enum Fault { kTargetExists, kSourceGone, kSourceIsFolder, kReadOnly, kLocked, kLogHeld, kUndoTargetExists,
             kRenamedLocked, kFaultCount };
const char* const kFaultNames[kFaultCount] = {
    "a file at the target", "source vanished", "source became a folder", "read-only source",
    "source held open", "log held open for 0.3 s", "a file at the original name", "renamed file held open",
};

struct Totals {
    long long faults[kFaultCount] = {};
    long long attempts = 0, renamed = 0, undone = 0;
    long long lost = 0, overwritten = 0, noStatus = 0, noLogLine = 0;
};

// The contents of every file in folder (not below it), counted.
std::map<std::string, int> Contents(const std::wstring& folder) {
    std::map<std::string, int> contents;
    WIN32_FIND_DATAW data;
    ScopedFind find(FindFirstFileW((folder + L"\\*").c_str(), &data));
    if (!find) return contents;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++contents[ReadBytes(folder + L"\\" + data.cFileName)];
    } while (FindNextFileW(find.get(), &data));
    return contents;
}

// Compares the contents after a run with those before: a content gone is a
// lost file, a content that came from nowhere means one was overwritten.
void CompareContents(const std::map<std::string, int>& before, const std::map<std::string, int>& after,
                     Totals& totals, int round, const char* step) {
    for (const auto& [content, count] : before) {
        auto found = after.find(content);
        int now = found == after.end() ? 0 : found->second;
        if (now < count) {
            totals.lost += count - now;
            fprintf(stderr, "round %d, %s: a file was lost\n", round, step);
        }
    }
    for (const auto& [content, count] : after)
        if (before.find(content) == before.end()) {
            totals.overwritten += count;
            fprintf(stderr, "round %d, %s: a file appeared or was overwritten\n", round, step);
        }
}

// Holds a file open without sharing until the object goes, or for a while
// on a thread of its own.
ScopedFile HoldOpen(const std::wstring& path) {
    return ScopedFile(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
}

DWORD WINAPI ReleaseLater(LPVOID handle) {
    Sleep(300);
    CloseHandle(static_cast<HANDLE>(handle));
    return 0;
}

int LogLinesWith(const std::string& log, const std::string& result, const std::string& path) {
    int lines = 0;
    for (size_t at = 0; (at = log.find("," + result + "," + path + ",", at)) != std::string::npos; ++at) ++lines;
    return lines;
}

void RunRound(int round, Random& random, Totals& totals) {
    TempDir dir;
    const std::wstring folder = dir / L"files";
    CreateDirectoryW(folder.c_str(), nullptr);
    SetProgramFolder(dir.path().c_str());
    InitLogPath();

    FileList list;
    const int files = 2 + static_cast<int>(random.Below(11));
    for (int i = 0; i < files; ++i) {
        ZipMember member;
        member.name = "Folder" + std::to_string(random.Below(4)) + "/a.jpg";
        member.data = "round " + std::to_string(round) + " file " + std::to_string(i);
        std::wstring path = folder + L"\\a" + std::to_wstring(i) + L".zip";
        WriteZip(path, {member});
        list.AddFileEntry(path.c_str());
    }
    const RenameOptions options; // every line stays: MaxLine 0
    for (int i = 0; i < list.Count(); ++i) DeriveNewName(list, i, options.naming);

    // Faults between listing and renaming; the files made or removed here
    // are part of the expected picture.
    std::vector<std::wstring> toHold; // opened once the contents are counted
    std::vector<ScopedFile> held;
    for (int i = 0; i < list.Count(); ++i) {
        const FileEntry& e = list.At(i);
        switch (random.Below(kFaultCount + 3)) { // most files are left alone
        case kTargetExists:
            if (e.status == kStatusReady && !FileExists(e.newFullPath)) {
                WriteBytes(e.newFullPath, "already there " + std::to_string(i));
                ++totals.faults[kTargetExists];
            }
            break;
        case kSourceGone:
            DeleteFileW(e.fullPath);
            ++totals.faults[kSourceGone];
            break;
        case kSourceIsFolder:
            DeleteFileW(e.fullPath);
            CreateDirectoryW(e.fullPath, nullptr);
            ++totals.faults[kSourceIsFolder];
            break;
        case kReadOnly:
            SetFileAttributesW(e.fullPath, FILE_ATTRIBUTE_READONLY);
            ++totals.faults[kReadOnly];
            break;
        case kLocked:
            toHold.push_back(e.fullPath);
            ++totals.faults[kLocked];
            break;
        case kLogHeld: {
            HANDLE log = CreateFileW(LogPath(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
            if (log != INVALID_HANDLE_VALUE) {
                CloseHandle(CreateThread(nullptr, 0, ReleaseLater, log, 0, nullptr));
                ++totals.faults[kLogHeld];
            }
            break;
        }
        default: break;
        }
    }

    std::map<std::string, int> before = Contents(folder);
    for (const std::wstring& path : toHold) held.push_back(HoldOpen(path));
    toHold.clear();
    std::vector<std::wstring> sources;
    for (int i = 0; i < list.Count(); ++i) sources.push_back(list.At(i).fullPath);
    for (int i = 0; i < list.Count(); ++i) {
        ++totals.attempts;
        if (RenameEntry(list, i, options)) ++totals.renamed;
    }
    held.clear();
    CompareContents(before, Contents(folder), totals, round, "renaming");

    const std::string log = ReadBytes(LogPath());
    for (int i = 0; i < list.Count(); ++i) {
        const FileEntry& e = list.At(i);
        const char* result = e.status == kStatusRenamed ? "Success"
                             : e.status == kStatusRenameFailed ? "Failure"
                             : IsErrorStatus(e.status) ? "Error" : nullptr;
        if (result == nullptr) {
            ++totals.noStatus;
            fprintf(stderr, "round %d: row %d ended with status %d\n", round, i, e.status);
        } else if (LogLinesWith(log, result, Narrow(sources[i], CP_ACP)) != 1) {
            ++totals.noLogLine;
            fprintf(stderr, "round %d: row %d has no %s line\n", round, i, result);
        }
    }

    // Faults between renaming and undoing.
    for (int i = 0; i < list.Count(); ++i) {
        const FileEntry& e = list.At(i);
        if (e.status != kStatusRenamed) continue;
        switch (random.Below(4)) {
        case 0:
            if (!FileExists(e.undoPath)) {
                WriteBytes(e.undoPath, "back there " + std::to_string(i));
                ++totals.faults[kUndoTargetExists];
            }
            break;
        case 1:
            toHold.push_back(e.fullPath);
            ++totals.faults[kRenamedLocked];
            break;
        default: break;
        }
    }
    before = Contents(folder);
    for (const std::wstring& path : toHold) held.push_back(HoldOpen(path));
    for (int i = 0; i < list.Count(); ++i) {
        bool wasRenamed = list.At(i).status == kStatusRenamed;
        if (UndoRename(list, i, options)) ++totals.undone;
        else if (wasRenamed && list.At(i).status != kStatusRenameFailed) ++totals.noStatus;
    }
    held.clear();
    CompareContents(before, Contents(folder), totals, round, "undoing");

    // Read-only files and folders must not keep the folder from going.
    for (int i = 0; i < list.Count(); ++i) SetFileAttributesW(list.At(i).fullPath, FILE_ATTRIBUTE_NORMAL);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    int rounds = argc > 1 ? _wtoi(argv[1]) : 200;
    uint32_t seed = argc > 2 ? static_cast<uint32_t>(_wtoi(argv[2])) : 1;
    if (rounds <= 0) rounds = 200;
    Random random(seed);
    Totals totals;
    for (int round = 0; round < rounds; ++round) RunRound(round, random, totals);

    long long injected = 0;
    for (long long n : totals.faults) injected += n;
    printf("%d rounds from seed %u: %lld rename attempts (%lld renamed, %lld undone), %lld faults injected\n",
           rounds, seed, totals.attempts, totals.renamed, totals.undone, injected);
    for (int f = 0; f < kFaultCount; ++f) printf("  %-28s %6lld\n", kFaultNames[f], totals.faults[f]);
    printf("files lost: %lld, overwritten: %lld, attempts without a status: %lld, without their log line: %lld\n",
           totals.lost, totals.overwritten, totals.noStatus, totals.noLogLine);
    return totals.lost == 0 && totals.overwritten == 0 && totals.noStatus == 0 && totals.noLogLine == 0 ? 0 : 1;
}
