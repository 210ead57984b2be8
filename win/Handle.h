#pragma once
// Move-only owners for Win32 handles: each handle has exactly one owner, which
// releases it when it goes out of scope. Never wrap stock objects or shared icons.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <utility>

namespace win {

template <typename Traits> class Unique {
  public:
    using Type = typename Traits::Type;

    Unique() = default;
    explicit Unique(Type handle) : m_handle(handle) {}
    ~Unique() { Reset(); }
    Unique(Unique&& other) noexcept : m_handle(other.Release()) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;

    Type Get() const { return m_handle; }
    bool IsValid() const { return m_handle != Traits::Invalid(); }
    explicit operator bool() const { return IsValid(); }

    // For out-parameters of creating calls: releases what was held first.
    Type* Put() {
        Reset();
        return &m_handle;
    }
    Type Release() { return std::exchange(m_handle, Traits::Invalid()); }
    void Reset(Type handle = Traits::Invalid()) {
        if (m_handle != Traits::Invalid()) {
            Traits::Close(m_handle);
        }
        m_handle = handle;
    }

  private:
    Type m_handle = Traits::Invalid();
};

// A handle kind whose "no handle" value is NULL, released by Release.
template <typename T, auto Release> struct NullInvalidTraits {
    using Type = T;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { Release(h); }
};
// CreateFile, FindFirstFile and CreateToolhelp32Snapshot fail with
// INVALID_HANDLE_VALUE, not NULL.
template <auto Release> struct InvalidValueTraits {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { Release(h); }
};

inline void CloseKernelHandle(HANDLE h) {
    ::CloseHandle(h);
}
inline void CloseFind(HANDLE h) {
    ::FindClose(h);
}
inline void CloseChangeNotification(HANDLE h) {
    ::FindCloseChangeNotification(h);
}
inline void CloseRegKey(HKEY h) {
    ::RegCloseKey(h);
}
inline void DestroyIconHandle(HICON h) {
    ::DestroyIcon(h);
}
inline void DestroyCursorHandle(HCURSOR h) {
    ::DestroyCursor(h);
}
inline void DeleteGdiObject(HGDIOBJ h) {
    ::DeleteObject(h);
}
inline void DeleteMemoryDc(HDC h) {
    ::DeleteDC(h);
}
inline void DestroyMenuHandle(HMENU h) {
    ::DestroyMenu(h);
}
inline void FreeLibraryHandle(HMODULE h) {
    ::FreeLibrary(h);
}
inline void FreeItemIdList(LPITEMIDLIST h) {
    ::CoTaskMemFree(h);
}
inline void FreeGlobal(HGLOBAL h) {
    ::GlobalFree(h);
}
inline void CloseServiceHandleOf(SC_HANDLE h) {
    ::CloseServiceHandle(h);
}

using KernelHandleTraits = NullInvalidTraits<HANDLE, CloseKernelHandle>;
using FileHandleTraits = InvalidValueTraits<CloseKernelHandle>;
using FindHandleTraits = InvalidValueTraits<CloseFind>;
using RegKeyTraits = NullInvalidTraits<HKEY, CloseRegKey>;
using ChangeNotificationTraits = InvalidValueTraits<CloseChangeNotification>;
using IconTraits = NullInvalidTraits<HICON, DestroyIconHandle>;
using CursorTraits = NullInvalidTraits<HCURSOR, DestroyCursorHandle>;
template <typename T> using GdiObjectTraits = NullInvalidTraits<T, DeleteGdiObject>;
using MemoryDcTraits = NullInvalidTraits<HDC, DeleteMemoryDc>;
using MenuTraits = NullInvalidTraits<HMENU, DestroyMenuHandle>;
using LibraryTraits = NullInvalidTraits<HMODULE, FreeLibraryHandle>;
using ItemIdListTraits = NullInvalidTraits<LPITEMIDLIST, FreeItemIdList>;
using GlobalMemoryTraits = NullInvalidTraits<HGLOBAL, FreeGlobal>;
using ServiceHandleTraits = NullInvalidTraits<SC_HANDLE, CloseServiceHandleOf>;

using UniqueHandle = Unique<KernelHandleTraits>;
using UniqueFile = Unique<FileHandleTraits>;
using UniqueFind = Unique<FindHandleTraits>;
using UniqueRegKey = Unique<RegKeyTraits>;
using UniqueChangeNotification = Unique<ChangeNotificationTraits>;
using UniqueIcon = Unique<IconTraits>;
using UniqueCursor = Unique<CursorTraits>;
using UniqueBitmap = Unique<GdiObjectTraits<HBITMAP>>;
using UniqueBrush = Unique<GdiObjectTraits<HBRUSH>>;
using UniquePen = Unique<GdiObjectTraits<HPEN>>;
using UniqueFont = Unique<GdiObjectTraits<HFONT>>;
using UniqueMemoryDc = Unique<MemoryDcTraits>;
using UniqueMenu = Unique<MenuTraits>;
using UniqueLibrary = Unique<LibraryTraits>;
using UniqueItemIdList = Unique<ItemIdListTraits>;
using UniqueGlobal = Unique<GlobalMemoryTraits>;
// The service control manager's or one service's handle.
using UniqueServiceHandle = Unique<ServiceHandleTraits>;

// A window's device context, released to that window.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : m_window(window), m_dc(::GetDC(window)) {}
    ~WindowDc() {
        if (m_dc) {
            ::ReleaseDC(m_window, m_dc);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const { return m_dc; }

  private:
    HWND m_window;
    HDC m_dc;
};

// Selects an object into a DC and puts the previous one back on scope exit,
// so the owner can delete its object afterwards.
class SelectGuard {
  public:
    SelectGuard(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
    ~SelectGuard() {
        if (m_previous) {
            ::SelectObject(m_dc, m_previous);
        }
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

  private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// Holds a critical section for its scope.
class CriticalSectionLock {
  public:
    explicit CriticalSectionLock(CRITICAL_SECTION& lock) : m_lock(lock) {
        ::EnterCriticalSection(&m_lock);
    }
    ~CriticalSectionLock() { ::LeaveCriticalSection(&m_lock); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

  private:
    CRITICAL_SECTION& m_lock;
};

// An owned COM interface pointer.
template <typename T> class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(ComPtr&& other) noexcept : m_ptr(std::exchange(other.m_ptr, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            m_ptr = std::exchange(other.m_ptr, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    T* Get() const { return m_ptr; }
    T* operator->() const { return m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }
    T** Put() {
        Reset();
        return &m_ptr;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    void Reset() {
        if (m_ptr) {
            m_ptr->Release();
            m_ptr = nullptr;
        }
    }
    template <typename U> HRESULT As(ComPtr<U>& other) const {
        return m_ptr ? m_ptr->QueryInterface(__uuidof(U), other.PutVoid()) : E_POINTER;
    }

  private:
    T* m_ptr = nullptr;
};

} // namespace win
