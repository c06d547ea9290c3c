// Owning wrappers for Win32 handles. Every wrapper is move-only: a copy would
// close the handle twice. An early return releases what was acquired.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <utility>

template <typename T, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(T h) : h_(h) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    T get() const { return h_; }
    bool valid() const { return h_ != Traits::invalid(); }
    explicit operator bool() const { return valid(); }

    T release() {
        T h = h_;
        h_ = Traits::invalid();
        return h;
    }
    void reset(T h = Traits::invalid()) {
        if (h_ != Traits::invalid()) Traits::close(h_);
        h_ = h;
    }

private:
    T h_ = Traits::invalid();
};

struct FileHandleTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { CloseHandle(h); }
};
struct KernelHandleTraits {
    static HANDLE invalid() { return nullptr; }
    static void close(HANDLE h) { CloseHandle(h); }
};
struct FindHandleTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { FindClose(h); }
};
struct ModuleTraits {
    static HMODULE invalid() { return nullptr; }
    static void close(HMODULE h) { FreeLibrary(h); }
};
struct IconTraits {
    static HICON invalid() { return nullptr; }
    static void close(HICON h) { DestroyIcon(h); }
};
struct ImageListTraits {
    static HIMAGELIST invalid() { return nullptr; }
    static void close(HIMAGELIST h) { ImageList_Destroy(h); }
};
struct GlobalMemTraits {
    static HGLOBAL invalid() { return nullptr; }
    static void close(HGLOBAL h) { GlobalFree(h); }
};
struct HookTraits {
    static HHOOK invalid() { return nullptr; }
    static void close(HHOOK h) { UnhookWindowsHookEx(h); }
};
template <typename T>
struct GdiObjectTraits {
    static T invalid() { return nullptr; }
    static void close(T h) { DeleteObject(h); }
};

using ScopedFile = UniqueHandle<HANDLE, FileHandleTraits>;     // CreateFileW
using ScopedHandle = UniqueHandle<HANDLE, KernelHandleTraits>; // threads, events
using ScopedFind = UniqueHandle<HANDLE, FindHandleTraits>;
using ScopedModule = UniqueHandle<HMODULE, ModuleTraits>;
using ScopedIcon = UniqueHandle<HICON, IconTraits>;
using ScopedImageList = UniqueHandle<HIMAGELIST, ImageListTraits>;
using ScopedGlobal = UniqueHandle<HGLOBAL, GlobalMemTraits>;
using ScopedHook = UniqueHandle<HHOOK, HookTraits>;
using ScopedFont = UniqueHandle<HFONT, GdiObjectTraits<HFONT>>;
using ScopedBitmap = UniqueHandle<HBITMAP, GdiObjectTraits<HBITMAP>>;

struct MemoryDcTraits {
    static HDC invalid() { return nullptr; }
    static void close(HDC h) { DeleteDC(h); }
};
using ScopedMemoryDC = UniqueHandle<HDC, MemoryDcTraits>; // CreateCompatibleDC

template <typename T>
struct ComTraits {
    static T* invalid() { return nullptr; }
    static void close(T* p) { p->Release(); }
};
template <typename T>
using ScopedCom = UniqueHandle<T*, ComTraits<T>>; // an owned reference to a COM object

// COM for the current thread, released when the scope ends if it was taken.
class ScopedCoInit {
public:
    explicit ScopedCoInit(DWORD model = COINIT_APARTMENTTHREADED)
        : hr_(CoInitializeEx(nullptr, model)) {}
    ~ScopedCoInit() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ScopedCoInit(const ScopedCoInit&) = delete;
    ScopedCoInit& operator=(const ScopedCoInit&) = delete;

private:
    HRESULT hr_;
};

// Holds a critical section entered for the lifetime of the scope.
// A global memory block locked for the object's lifetime.
class ScopedGlobalLock {
public:
    explicit ScopedGlobalLock(HGLOBAL memory) : memory_(memory), data_(GlobalLock(memory)) {}
    ~ScopedGlobalLock() {
        if (data_) GlobalUnlock(memory_);
    }
    ScopedGlobalLock(const ScopedGlobalLock&) = delete;
    ScopedGlobalLock& operator=(const ScopedGlobalLock&) = delete;
    void* get() const { return data_; }
    explicit operator bool() const { return data_ != nullptr; }

private:
    HGLOBAL memory_;
    void* data_;
};

class ScopedCritSec {
public:
    explicit ScopedCritSec(CRITICAL_SECTION& cs) : cs_(cs) { EnterCriticalSection(&cs_); }
    ~ScopedCritSec() { LeaveCriticalSection(&cs_); }
    ScopedCritSec(const ScopedCritSec&) = delete;
    ScopedCritSec& operator=(const ScopedCritSec&) = delete;

private:
    CRITICAL_SECTION& cs_;
};
