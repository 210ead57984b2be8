#pragma once
// Shortcut files (.lnk) read and written through the shell's link object, and
// the shell's Run dialog. COM must be initialised on the calling thread.
#include "win/Handle.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

// The fields of one shortcut.
class CShortcutData {
  public:
    CShortcutData() = default;
    CShortcutData(const CShortcutData& other);
    CShortcutData& operator=(const CShortcutData& other);
    CShortcutData(CShortcutData&&) noexcept = default;
    CShortcutData& operator=(CShortcutData&&) noexcept = default;
    ~CShortcutData() = default;

    std::string path;
    // Set only by a load; when held, a save stores it instead of the path.
    win::UniqueItemIdList itemIdList;
    std::string arguments;
    std::string description;
    WORD hotkey = 0;
    std::string iconPath;
    int iconIndex = 0;
    int showCommand = SW_SHOW;
    std::string workingDirectory;
};

// One shortcut file. The link object is created at the first operation; when
// it cannot be, every operation answers false and nothing is written.
class CShortcutFile : public CShortcutData {
  public:
    CShortcutFile() = default;
    CShortcutFile(const CShortcutFile&) = delete;
    CShortcutFile& operator=(const CShortcutFile&) = delete;

    bool CopyFrom(const CShortcutData& data);
    // False also when the shortcut's path does not fit MAX_PATH UTF-16 characters.
    bool Load(const std::string& shortcutPath);
    bool Save(const std::string& shortcutPath);
    bool Resolve(HWND owner, DWORD flags);
    const std::string& GetPath() const { return path; }

  private:
    bool EnsureLinkObject();

    // Declared in this order so the persist-file interface is released first.
    win::ComPtr<IShellLinkA> m_shellLink;
    win::ComPtr<IPersistFile> m_persistFile;
    bool m_creationAttempted = false;
};

// Creates or overwrites the shortcut. A working directory of exactly "auto"
// stands for the target's folder. Failures are silent.
void CreateShortcut(const std::string& shortcutPath, const std::string& target,
                    const std::string& workingDirectory, const std::string& arguments);

// The target stored in the shortcut; empty when it is missing or unreadable.
// With SLR_NO_UI in flags, the resolve may search for 2 ms at most.
std::string GetShortcutTarget(const std::string& shortcutPath, DWORD flags);

// Asks the shell for its Run dialog: through the shell's automation object, or,
// where that cannot run it (Wine), through the shell's own entry point, which
// shows the dialog modally. True when either could be asked.
bool ShowRunDialog();
