#include "app/SettingsStore.h"

#include "app/DataFile.h"

#include "app/Mbcs.h"
#include "app/PathHelpers.h"
#include "app/SafeFile.h"
#include "app/SystemHelpers.h"

#include <windows.h>

namespace {

constexpr DWORD kNameListSize = 16384;
// One character less than the buffer is kept: 2046 characters a value.
constexpr DWORD kValueBufferSize = 2047;

// Splits the "name\0name\0\0" list the private-profile functions return.
std::vector<std::string> SplitNameList(const std::vector<char>& buffer, DWORD length) {
    std::vector<std::string> names;
    size_t start = 0;
    for (size_t i = 0; i < length; ++i) {
        if (buffer[i] == '\0') {
            if (i > start) {
                names.emplace_back(&buffer[start], i - start);
            }
            start = i + 1;
        }
    }
    if (start < length) {
        names.emplace_back(&buffer[start], length - start);
    }
    return names;
}

} // namespace

std::vector<std::string> CIniFile::ReadSectionNames() const {
    std::vector<char> buffer(kNameListSize);
    const DWORD length =
        GetPrivateProfileSectionNamesA(buffer.data(), kNameListSize, m_path.c_str());
    return SplitNameList(buffer, length);
}

std::vector<std::string> CIniFile::ReadKeyNames(const std::string& section) const {
    std::vector<char> buffer(kNameListSize);
    const DWORD length = GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(),
                                                  kNameListSize, m_path.c_str());
    return SplitNameList(buffer, length);
}

std::string CIniFile::ReadValue(const std::string& section, const std::string& key) const {
    char buffer[kValueBufferSize] = {};
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer,
                                                  kValueBufferSize, m_path.c_str());
    return std::string(buffer, std::min<DWORD>(length, kValueBufferSize - 1));
}

bool CIniFile::WriteValue(const std::string& section, const std::string& key,
                          const std::string& value) const {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                      m_path.c_str()) != FALSE;
}

void CIniFile::Flush() const {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, m_path.c_str());
}

void CSettingsSection::Set(const std::string& key, const std::string& value) {
    for (auto& entry : m_values) {
        if (entry.first == key) {
            entry.second = value;
            return;
        }
    }
    m_values.emplace_back(key, value);
}

CSettingsStore::CSettingsStore(const std::string& iniPath) : m_file(iniPath) {
    Load();
}

CSettingsStore::~CSettingsStore() {
    if (m_saveAtExit) {
        Save();
    }
}

CSettingsSection* CSettingsStore::FindSection(const std::string& name) {
    for (CSettingsSection& section : m_sections) {
        if (mbcs::CompareNoCase(section.Name(), name) == 0) {
            return &section;
        }
    }
    return nullptr;
}

void CSettingsStore::SetString(const std::string& section, const std::string& key,
                               const std::string& value) {
    CSettingsSection* found = FindSection(section);
    if (!found) {
        found = &m_sections.emplace_back(section);
    }
    found->Set(key, value);
}

std::string CSettingsStore::GetString(const std::string& section, const std::string& key,
                                      const std::string& defaultValue) {
    std::string value;
    return Lookup(section, key, value) ? value : defaultValue;
}

bool CSettingsStore::Lookup(const std::string& section, const std::string& key,
                            std::string& value) {
    const CSettingsSection* found = FindSection(section);
    if (!found) {
        return false;
    }
    for (const auto& entry : found->Values()) {
        if (entry.first == key || mbcs::CompareNoCase(entry.first, key) == 0) {
            value = entry.second;
            return true;
        }
    }
    return false;
}

void CSettingsStore::SetText(const std::string& section, const std::string& key,
                             const std::string& text) {
    SetString(section, key, EscapeSettingsText(text));
}

std::string CSettingsStore::GetText(const std::string& section, const std::string& key,
                                    const std::string& defaultValue) {
    return UnescapeSettingsText(GetString(section, key, defaultValue));
}

void CSettingsStore::SetBool(const std::string& section, const std::string& key, bool value) {
    SetString(section, key, value ? "1" : "0");
}

void CSettingsStore::SetInt(const std::string& section, const std::string& key, int32_t value) {
    SetString(section, key, IntToText(value));
}

void CSettingsStore::SetInt64(const std::string& section, const std::string& key, int64_t value) {
    SetString(section, key, FormatSettingsInt64(value));
}

void CSettingsStore::SetDateTime(const std::string& section, const std::string& key,
                                 const SettingsDateTime& value) {
    SetString(section, key, FormatSettingsDateTime(value));
}

void CSettingsStore::SetRect(const std::string& section, const std::string& key,
                             const SettingsRect& rect) {
    SetString(section, key, FormatSettingsRect(rect));
}

bool CSettingsStore::GetRect(const std::string& section, const std::string& key,
                             SettingsRect& rect) {
    return ParseSettingsRect(GetString(section, key, ""), rect);
}

int32_t CSettingsStore::GetInt(const std::string& section, const std::string& key,
                               int32_t defaultValue) {
    return ParseSettingsInt(GetString(section, key, ""), defaultValue);
}

bool CSettingsStore::GetBool(const std::string& section, const std::string& key,
                             bool defaultValue) {
    return ParseSettingsBool(GetString(section, key, ""), defaultValue);
}

int64_t CSettingsStore::GetInt64(const std::string& section, const std::string& key,
                                 int64_t defaultValue) {
    return ParseSettingsInt64(GetString(section, key, ""), defaultValue);
}

void CSettingsStore::Load() {
    m_sections.clear();
    for (const std::string& section : m_file.ReadSectionNames()) {
        for (const std::string& key : m_file.ReadKeyNames(section)) {
            SetString(section, key, m_file.ReadValue(section, key));
        }
    }
}

// The new file is completed under a temporary name and only then renamed over
// the old one: a crash or a full disk while writing leaves the old settings.
bool CSettingsStore::Save() {
    const std::string& target = m_file.Path();
    const CIniFile temporary(TemporaryPathFor(target));
    DeleteFileA(temporary.Path().c_str());
    bool complete = true;
    for (const CSettingsSection& section : m_sections) {
        for (const auto& [key, value] : section.Values()) {
            complete = complete && temporary.WriteValue(section.Name(), key, value);
        }
    }
    // Systems that cache profile files put the text on the disk before the rename.
    temporary.Flush();
    if (!complete) {
        DeleteFileA(temporary.Path().c_str());
        return false;
    }
    if (!FileExists(temporary.Path())) {
        // Nothing to write: an empty store is no file at all.
        DeleteFileA(target.c_str());
        return !FileExists(target);
    }
    // Settings that did not change leave the file alone, read-only or not.
    std::string written, present;
    if (ReadDataFile(temporary.Path(), written) && ReadDataFile(target, present) &&
        written == present) {
        DeleteFileA(temporary.Path().c_str());
        return true;
    }
    if (!ReplaceWithTemporary(temporary.Path(), target)) {
        DeleteFileA(temporary.Path().c_str());
        return false;
    }
    return true;
}

namespace {

CSettingsStore* g_settings = nullptr;

// Owns the process-wide store; its destruction at normal exit saves it.
struct SettingsOwner {
    SettingsOwner() : store(GetExeDir() + "\\settings.ini") { g_settings = &store; }
    ~SettingsOwner() { g_settings = nullptr; }
    CSettingsStore store;
};

} // namespace

CSettingsStore& GetSettings() {
    static SettingsOwner owner;
    owner.store.SetSaveAtExit(true);
    return owner.store;
}

bool SaveSettingsNow() {
    return g_settings == nullptr || g_settings->Save();
}
