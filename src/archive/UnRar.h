// CUnRar: the optional RAR library (unrar.dll), loaded for one operation.
//
// Contract:
// - The constructor loads the library and its eight functions; Loaded() is
//   true only when all were found. Without it every operation fails.
// - Open(path, listOnly) opens one archive by its UTF-16 path; ReadHeader
//   fills Header() with the next item; SkipCurrent passes over its data;
//   TestCurrent lets the library unpack it, each data block going to the data
//   sink. No password is ever given: encrypted items fail.
// - The destructor closes the archive and frees the library.
// - One object belongs to one thread; the library's callback runs inside
//   TestCurrent on that thread.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <cstdint>

#include "contracts/UnrarRecords.h"

class CUnRar {
public:
    CUnRar();
    virtual ~CUnRar();
    CUnRar(const CUnRar&) = delete;
    CUnRar& operator=(const CUnRar&) = delete;

    bool Loaded() const { return loaded_; }
    int Version() const { return version_; }
    bool Open(const wchar_t* path, bool listOnly);
    void Close();
    bool ReadHeader();
    const RARHeaderDataEx& Header() const { return header_; }
    unsigned int ArchiveFlags() const { return open_.Flags; }
    // Multi-volume, solid and header-encrypted archives are not read: their
    // items cannot be listed or unpacked one by one.
    bool RefusesArchive() const { return (open_.Flags & (kRarVolume | kRarSolid | kRarEncryptedHeaders)) != 0; }
    int LastResult() const { return lastResult_; }
    void SetDataSink(IStream* sink) { sink_ = sink; }

    // True when the current header is a directory for this library version.
    bool IsDirectory() const;

    virtual bool TestCurrent();
    virtual bool SkipCurrent();
    virtual bool SkipItems(uint64_t count);
    virtual int OnCallback(UINT message, LPARAM p1, LPARAM p2);
    virtual int OnProcessData(const void* data, size_t size);

private:
    static int CALLBACK Callback(UINT message, LPARAM userData, LPARAM p1, LPARAM p2);

    bool loaded_ = false;
    int version_ = 0;
    HMODULE module_ = nullptr;
    HANDLE archive_ = nullptr;
    RARHeaderDataEx header_;
    RAROpenArchiveDataEx open_;
    int lastResult_ = 0;
    IStream* sink_ = nullptr; // not owned

    RarOpenArchiveExFn openArchiveEx_ = nullptr;
    RarCloseArchiveFn closeArchive_ = nullptr;
    RarReadHeaderExFn readHeaderEx_ = nullptr;
    RarProcessFileFn processFile_ = nullptr;
    RarProcessFileWFn processFileW_ = nullptr;
    RarSetCallbackFn setCallback_ = nullptr;
    RarSetPasswordFn setPassword_ = nullptr; // looked up, never called: no password is ever given
    RarGetDllVersionFn getDllVersion_ = nullptr;
};
