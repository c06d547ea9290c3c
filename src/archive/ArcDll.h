// CArcDll: an optional archiver library of the common archiver interface
// (7-zip32.dll, cab32.dll, unlha32.dll), loaded for one operation.
//
// Contract:
// - LoadDll(library) loads the library (false when it is missing) and
//   switches it to UTF-8 strings when it offers that. Every exported function
//   is named prefix + function ("SevenZipCheckArchive"); QueryFunctionList is
//   looked up once per load, the others on each call; a function is called
//   only when QueryFunctionList says the library offers it, except
//   ExtractMem, which is called whenever exported.
// - Paths, patterns and command lines go to the library in UTF-8 (UTF-8
//   mode) or the ANSI code page; names come back the same way, at most 260
//   UTF-16 units from the item record, whole from GetFileName.
// - Unload (and the destructor) closes an open archive and frees the library:
//   nothing stays loaded between operations.
// - No messages, no exceptions: each wrapper returns its failure value (false,
//   a null handle or -1).
// - An object belongs to one thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "archive/ArchiveKinds.h"
#include "contracts/ArchiverRecords.h"

// The buffer GetFileName(std::wstring&) hands the library, in bytes.
const int kLongNameBytes = 32768;

class CArcDll {
public:
    CArcDll() = default;
    virtual ~CArcDll();
    CArcDll(const CArcDll&) = delete;
    CArcDll& operator=(const CArcDll&) = delete;

    // A library that could not be loaded is not looked for again in this
    // process (see OptionalLibrary.h).
    bool LoadDll(const ArchiverLibrary& library);
    void Unload();
    FARPROC GetFunction(const char* name) const;
    bool Offers(int number) const;
    bool Utf8Mode() const { return utf8_; }

    bool CheckArchive(const wchar_t* path);
    HARC OpenArchive(const wchar_t* path);
    int CloseArchive();
    int FindFirst(const wchar_t* pattern, void* itemRecord);
    int FindNext(void* itemRecord);
    // The current item's whole path, however long: the library is handed a
    // buffer of kLongNameBytes, so a path over 260 units still reads whole
    // (discovery needs only its first component).
    int GetFileName(std::wstring& name);
    int GetAttribute();
    bool GetRunning();
    void SetCursorMode(bool busyCursor);
    bool GetOriginalSizeEx(int64_t* size);
    bool GetCompressedSizeEx(int64_t* size);
    int ExtractMem(const wchar_t* commandLine, void* buffer, DWORD size);
    // Extracts member of archive into buffer with the library's switches.
    int ExtractMemberToMemory(const wchar_t* archive, const wchar_t* member, void* buffer, DWORD size);

    // A name from the library (item record or GetFileName) as UTF-16; false
    // when it cannot be converted or does not fit 260 units.
    bool DecodeName(const char* bytes, wchar_t (&name)[260]) const;

private:
    std::string Encode(const wchar_t* text) const;

    const ArchiverLibrary* library_ = nullptr;
    const wchar_t* prefix_ = nullptr;
    std::string exportPrefix_;      // prefix_ in the ANSI code page, as export names are
    FARPROC query_ = nullptr;       // QueryFunctionList
    HMODULE module_ = nullptr;
    HARC archive_ = nullptr;
    bool utf8_ = false;
    std::vector<char> nameBuffer_; // GetFileName's, kLongNameBytes + 1
};
