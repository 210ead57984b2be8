#pragma once
// Small helpers shared by the unit and the end-to-end tests.
#include "win/Handle.h"
#include "win/PropSheet.h"
#include "win/Window.h"

#include <windows.h>
#include <sddl.h>

#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// The current user's and the machine's Run key, below HKCU and HKLM.
constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

inline bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The file's bytes; empty when it cannot be read.
inline std::string ReadFileText(const std::string& path) {
    win::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, 0, nullptr));
    if (!file) {
        return {};
    }
    std::string text(::GetFileSize(file.Get(), nullptr), '\0');
    DWORD read = 0;
    ::ReadFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
    text.resize(read);
    return text;
}

// Writes the file anew with exactly these bytes.
inline bool WriteFileText(const std::string& path, const std::string& text) {
    win::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           ::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written,
                       nullptr) &&
           written == text.size();
}

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

// A value of the current user's Run key: set with its type and bytes, read
// (type REG_NONE when it is missing), deleted.
inline bool SetUserRunValue(const std::string& name, DWORD type, const std::string& data) {
    win::UniqueRegKey key;
    return ::RegCreateKeyExA(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                             key.Put(), nullptr) == ERROR_SUCCESS &&
           ::RegSetValueExA(key.Get(), name.c_str(), 0, type,
                            reinterpret_cast<const BYTE*>(data.data()),
                            static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
}

inline bool SetUserRunString(const std::string& name, const std::string& text) {
    return SetUserRunValue(name, REG_SZ, std::string(text.c_str(), text.size() + 1));
}

inline std::pair<DWORD, std::string> ReadUserRunValue(const std::string& name) {
    win::UniqueRegKey key;
    std::pair<DWORD, std::string> value{REG_NONE, std::string()};
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, key.Put()) != ERROR_SUCCESS) {
        return value;
    }
    std::string data(8192, '\0');
    DWORD size = static_cast<DWORD>(data.size());
    DWORD type = REG_NONE;
    if (::RegQueryValueExA(key.Get(), name.c_str(), nullptr, &type,
                           reinterpret_cast<BYTE*>(data.data()), &size) == ERROR_SUCCESS) {
        data.resize(size);
        value = {type, data};
    }
    return value;
}

inline void DeleteUserRunValue(const std::string& name) {
    win::UniqueRegKey key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, key.Put()) == ERROR_SUCCESS) {
        ::RegDeleteValueA(key.Get(), name.c_str());
    }
}

// The Run values a test makes, or that the program under test may make, gone
// again however the test ends (also when a check fails on the way).
class RunValues {
  public:
    RunValues() = default;
    RunValues(const RunValues&) = delete;
    RunValues& operator=(const RunValues&) = delete;
    ~RunValues() { DeleteAll(); }

    // A value someone else may make: deleted at the end.
    void Own(const std::string& name) { m_names.push_back(name); }
    bool Set(const std::string& name, const std::string& text) {
        Own(name);
        return SetUserRunString(name, text);
    }
    void DeleteAll() const {
        for (const std::string& name : m_names) {
            DeleteUserRunValue(name);
        }
    }

  private:
    std::vector<std::string> m_names;
};

// Access lists written in the system's security descriptor language, e.g.
// "D:P(A;;KR;;;WD)": everyone may read, no one may write.
class AccessList {
  public:
    explicit AccessList(const char* sddl) {
        ::ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &m_descriptor,
                                                               nullptr);
    }
    ~AccessList() { ::LocalFree(m_descriptor); }
    AccessList(const AccessList&) = delete;
    AccessList& operator=(const AccessList&) = delete;

    PSECURITY_DESCRIPTOR Descriptor() const { return m_descriptor; }
    bool SetOn(HKEY key) const {
        return m_descriptor &&
               ::RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, m_descriptor) == ERROR_SUCCESS;
    }
    bool SetOn(HANDLE object) const {
        return m_descriptor &&
               ::SetKernelObjectSecurity(object, DACL_SECURITY_INFORMATION, m_descriptor);
    }

  private:
    PSECURITY_DESCRIPTOR m_descriptor = nullptr;
};

// The popup menu on the screen now, or nullptr.
inline HWND FindOpenMenu() {
    HWND menu = ::FindWindowA("#32768", nullptr);
    return menu != nullptr && ::IsWindowVisible(menu) ? menu : nullptr;
}

// Handles every message waiting for this thread's windows; with dialogKeys,
// keys reach the open modeless dialogs as their own loop would pass them.
inline void PumpMessages(bool dialogKeys = false) {
    MSG msg{};
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!dialogKeys || !win::modeless::IsDialogMessageOfAny(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

// Types the text into an edit control key by key, each a change of its own.
inline void TypeText(HWND edit, const std::string& text) {
    for (char c : text) {
        ::SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
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
