// The three ways into an archive used by folder discovery and the candidate
// list: the built-in ZIP reader, the archiver libraries (7z, CAB, LZH and,
// optionally, ZIP) and the RAR library. Each route opens the archive, reads
// what it needs and closes everything before returning.
#pragma once

#include <string>
#include <vector>

// Folder discovery: 0 with the folder in out, or an EntryStatus 6..12.
int ZipRouteFolder(const wchar_t* path, std::wstring& out);
int DllRouteFolder(const wchar_t* path, std::wstring& out);
int RarRouteFolder(const wchar_t* path, std::wstring& out);

// Candidate names, appended in the reader's order.
bool ZipRouteNames(const wchar_t* path, std::vector<std::wstring>& names);
bool DllRouteNames(const wchar_t* path, std::vector<std::wstring>& names);
bool RarRouteNames(const wchar_t* path, std::vector<std::wstring>& names);

// Appends an item's names the way every listing does: its folder first when
// its depth differs from the previous item's, then its own last component.
class CandidateNames {
public:
    explicit CandidateNames(std::vector<std::wstring>& names) : names_(names) {}
    void AddItem(const wchar_t* itemPath);
    // The first item of a library listing: its last component only.
    void AddFirstItem(const wchar_t* itemPath);
    // A RAR header: its last component only.
    void AddLastComponent(const wchar_t* itemPath);

private:
    std::vector<std::wstring>& names_;
    int previousDepth_ = 0;
};
