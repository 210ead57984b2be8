#include "app/ShellShortcut.h"

#include "app/PathHelpers.h"
#include "app/SystemFunctions.h"

#include <shldisp.h>

#include <cstring>

namespace {

// A deep copy in the shell's allocator; nullptr for nullptr or when out of memory.
LPITEMIDLIST CloneItemIdList(LPCITEMIDLIST list) {
    if (!list) {
        return nullptr;
    }
    size_t bytes = 0;
    for (auto item = reinterpret_cast<const BYTE*>(list);
         reinterpret_cast<const SHITEMID*>(item)->cb != 0;
         item += reinterpret_cast<const SHITEMID*>(item)->cb) {
        bytes += reinterpret_cast<const SHITEMID*>(item)->cb;
    }
    bytes += sizeof(USHORT); // the terminating empty item
    auto copy = static_cast<LPITEMIDLIST>(CoTaskMemAlloc(bytes));
    if (copy) {
        std::memcpy(copy, list, bytes);
    }
    return copy;
}

// The link object takes file names in UTF-16 of at most MAX_PATH characters
// with the terminator; a longer name must not be cut into another file's.
bool ToWideFileName(const std::string& path, wchar_t (&wide)[MAX_PATH]) {
    return MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) > 0;
}

// A text field read through a getter of the link; a failed read keeps the field.
template <typename Getter> void ReadTextField(std::string& field, Getter getter) {
    char buffer[MAX_PATH] = {};
    if (SUCCEEDED(getter(buffer, MAX_PATH))) {
        buffer[MAX_PATH - 1] = '\0';
        field = buffer;
    }
}

bool ShowShellRunFileDialog() {
    const auto runFileDlg = GetSystemFunctions().RunFileDlg;
    if (!runFileDlg) {
        return false;
    }
    runFileDlg(nullptr, nullptr, nullptr, nullptr, nullptr, 0);
    return true;
}

} // namespace

CShortcutData::CShortcutData(const CShortcutData& other)
    : path(other.path), itemIdList(CloneItemIdList(other.itemIdList.Get())),
      arguments(other.arguments), description(other.description), hotkey(other.hotkey),
      iconPath(other.iconPath), iconIndex(other.iconIndex), showCommand(other.showCommand),
      workingDirectory(other.workingDirectory) {}

CShortcutData& CShortcutData::operator=(const CShortcutData& other) {
    if (this != &other) {
        CShortcutData copy(other);
        *this = std::move(copy);
    }
    return *this;
}

bool CShortcutFile::EnsureLinkObject() {
    if (!m_creationAttempted) {
        m_creationAttempted = true;
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                       IID_IShellLinkA, m_shellLink.PutVoid())) &&
            FAILED(m_shellLink.As(m_persistFile))) {
            m_persistFile.Reset();
        }
    }
    // Both or neither: every operation needs the pair.
    return m_shellLink && m_persistFile;
}

bool CShortcutFile::CopyFrom(const CShortcutData& data) {
    if (!EnsureLinkObject()) {
        return false;
    }
    static_cast<CShortcutData&>(*this) = data;
    return true;
}

bool CShortcutFile::Load(const std::string& shortcutPath) {
    if (!EnsureLinkObject()) {
        return false;
    }
    wchar_t wide[MAX_PATH] = {};
    if (!ToWideFileName(shortcutPath, wide) || FAILED(m_persistFile->Load(wide, STGM_READ))) {
        return false;
    }
    IShellLinkA* link = m_shellLink.Get();
    ReadTextField(path, [link](char* buffer, int size) {
        WIN32_FIND_DATAA found{};
        return link->GetPath(buffer, size, &found, SLGP_UNCPRIORITY);
    });
    LPITEMIDLIST list = nullptr;
    if (SUCCEEDED(link->GetIDList(&list))) {
        itemIdList.Reset(list);
    }
    ReadTextField(workingDirectory, [link](char* buffer, int size) {
        return link->GetWorkingDirectory(buffer, size);
    });
    int index = 0;
    ReadTextField(iconPath, [link, &index](char* buffer, int size) {
        return link->GetIconLocation(buffer, size, &index);
    });
    iconIndex = index;
    ReadTextField(description,
                  [link](char* buffer, int size) { return link->GetDescription(buffer, size); });
    ReadTextField(arguments,
                  [link](char* buffer, int size) { return link->GetArguments(buffer, size); });
    WORD key = 0;
    if (SUCCEEDED(link->GetHotkey(&key))) {
        hotkey = key;
    }
    int show = 0;
    if (SUCCEEDED(link->GetShowCmd(&show))) {
        showCommand = show;
    }
    return true;
}

bool CShortcutFile::Save(const std::string& shortcutPath) {
    if (!EnsureLinkObject()) {
        return false;
    }
    wchar_t wide[MAX_PATH] = {};
    if (!ToWideFileName(shortcutPath, wide)) {
        return false;
    }
    IShellLinkA* link = m_shellLink.Get();
    if (itemIdList) {
        link->SetIDList(itemIdList.Get());
    } else {
        link->SetPath(path.c_str());
    }
    link->SetWorkingDirectory(workingDirectory.c_str());
    link->SetIconLocation(iconPath.c_str(), iconIndex);
    link->SetDescription(description.c_str());
    link->SetArguments(arguments.c_str());
    link->SetHotkey(hotkey);
    link->SetShowCmd(showCommand);
    return SUCCEEDED(m_persistFile->Save(wide, TRUE));
}

bool CShortcutFile::Resolve(HWND owner, DWORD flags) {
    return EnsureLinkObject() && SUCCEEDED(m_shellLink->Resolve(owner, flags));
}

void CreateShortcut(const std::string& shortcutPath, const std::string& target,
                    const std::string& workingDirectory, const std::string& arguments) {
    CShortcutData data;
    data.path = target;
    if (!arguments.empty()) {
        data.arguments = arguments;
    }
    data.workingDirectory = workingDirectory == "auto" ? GetFolderOfPath(target) : workingDirectory;
    CShortcutFile file;
    if (file.CopyFrom(data)) {
        file.Save(shortcutPath);
    }
}

std::string GetShortcutTarget(const std::string& shortcutPath, DWORD flags) {
    if (GetFileAttributesA(shortcutPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return std::string();
    }
    CShortcutFile file;
    if (!file.Load(shortcutPath)) {
        return std::string();
    }
    if (flags & SLR_NO_UI) {
        // The high word is the longest the resolve may search, in milliseconds.
        flags = (flags & 0xFFFF) | (2u << 16);
    }
    file.Resolve(nullptr, flags);
    return file.GetPath();
}

bool ShowRunDialog() {
    constexpr DWORD kAnyServer = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
    win::ComPtr<IShellDispatch> shell;
    if (SUCCEEDED(CoCreateInstance(CLSID_Shell, nullptr, kAnyServer, IID_IShellDispatch,
                                   shell.PutVoid())) &&
        SUCCEEDED(shell->FileRun())) {
        return true;
    }
    shell.Reset();
    return ShowShellRunFileDialog();
}
