#pragma once
// Small helpers shared by the unit and the end-to-end tests.
#include "win/Handle.h"
#include "win/PropSheet.h"

#include <windows.h>

#include <string>

namespace testsupport {

// Deletes the folder and everything in it, read-only files included.
inline void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA found{};
    win::UniqueFind find(::FindFirstFileA((dir + "\\*").c_str(), &found));
    if (find) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") {
                continue;
            }
            const std::string child = dir + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                ::SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileA(child.c_str());
            }
        } while (::FindNextFileA(find.Get(), &found));
    }
    ::RemoveDirectoryA(dir.c_str());
}

// A path as a program under Wine names it: Wine shows the Unix root as drive
// Z:, and every "/" becomes "\".
inline std::string WinePathOf(std::string path) {
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path;
    }
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

// The popup menu on the screen now, or nullptr.
inline HWND FindOpenMenu() {
    HWND menu = ::FindWindowA("#32768", nullptr);
    return menu != nullptr && ::IsWindowVisible(menu) ? menu : nullptr;
}

// Handles every message waiting for this thread's windows.
inline void PumpMessages() {
    MSG msg{};
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// One page in a modeless sheet of its own, as the main sheet holds it; the
// caller destroys the sheet. Null when the system would not make it.
inline HWND CreateSheetAround(win::PropertyPage& page, const char* caption) {
    PROPSHEETPAGEA record = page.Describe();
    HPROPSHEETPAGE pages[] = {::CreatePropertySheetPageA(&record)};
    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_MODELESS;
    header.hInstance = ::GetModuleHandleA(nullptr);
    header.pszCaption = caption;
    header.nPages = 1;
    header.phpage = pages;
    return reinterpret_cast<HWND>(::PropertySheetA(&header));
}

// A pixel of an icon's colour image, CLR_INVALID for no icon.
inline COLORREF IconPixel(HICON icon, int x, int y) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) {
        return CLR_INVALID;
    }
    win::UniqueBitmap colour(info.hbmColor);
    win::UniqueBitmap mask(info.hbmMask);
    win::UniqueMemoryDc memory(::CreateCompatibleDC(nullptr));
    win::SelectGuard selected(memory.Get(), colour.Get());
    return ::GetPixel(memory.Get(), x, y);
}

} // namespace testsupport
