#pragma once
// The program's settings: "settings.ini" beside the executable, loaded whole on
// first use, answered from memory, written back whole at exit.
#include "app/TextEscape.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Reads and writes one INI file through the platform's private-profile functions.
class CIniFile {
  public:
    explicit CIniFile(std::string path) : m_path(std::move(path)) {}
    const std::string& Path() const { return m_path; }
    std::vector<std::string> ReadSectionNames() const;
    std::vector<std::string> ReadKeyNames(const std::string& section) const;
    std::string ReadValue(const std::string& section, const std::string& key) const;
    bool WriteValue(const std::string& section, const std::string& key,
                    const std::string& value) const;
    // Puts a cached copy of the file (Windows 9x caches profile files) on the disk.
    void Flush() const;

  private:
    std::string m_path;
};

class CSettingsSection {
  public:
    explicit CSettingsSection(std::string name) : m_name(std::move(name)) {}
    virtual ~CSettingsSection() = default;
    virtual void Set(const std::string& key, const std::string& value);
    const std::string& Name() const { return m_name; }
    // Entries in iteration order; a key spelled differently is another entry.
    const std::vector<std::pair<std::string, std::string>>& Values() const { return m_values; }

  private:
    std::string m_name;
    std::vector<std::pair<std::string, std::string>> m_values;
};

class CSettingsStore {
  public:
    explicit CSettingsStore(const std::string& iniPath);
    virtual ~CSettingsStore();
    CSettingsStore(const CSettingsStore&) = delete;
    CSettingsStore& operator=(const CSettingsStore&) = delete;

    virtual void SetString(const std::string& section, const std::string& key,
                           const std::string& value);
    virtual std::string GetString(const std::string& section, const std::string& key,
                                  const std::string& defaultValue);
    virtual bool Lookup(const std::string& section, const std::string& key, std::string& value);
    virtual void SetText(const std::string& section, const std::string& key,
                         const std::string& text);
    virtual std::string GetText(const std::string& section, const std::string& key,
                                const std::string& defaultValue);
    virtual void SetBool(const std::string& section, const std::string& key, bool value);
    virtual void SetInt(const std::string& section, const std::string& key, int32_t value);
    virtual void SetInt64(const std::string& section, const std::string& key, int64_t value);
    virtual void SetDateTime(const std::string& section, const std::string& key,
                             const SettingsDateTime& value);
    virtual void SetRect(const std::string& section, const std::string& key,
                         const SettingsRect& rect);
    virtual bool GetRect(const std::string& section, const std::string& key, SettingsRect& rect);

    int32_t GetInt(const std::string& section, const std::string& key, int32_t defaultValue);
    bool GetBool(const std::string& section, const std::string& key, bool defaultValue);
    int64_t GetInt64(const std::string& section, const std::string& key, int64_t defaultValue);

    // Rewrites the whole file crash-safely; false when it could not be replaced
    // (the old file is then left as it was).
    bool Save();
    void Load();
    void SetSaveAtExit(bool save) { m_saveAtExit = save; }
    const std::vector<CSettingsSection>& Sections() const { return m_sections; }

  private:
    CSettingsSection* FindSection(const std::string& name);

    std::vector<CSettingsSection> m_sections;
    CIniFile m_file;
    uint32_t m_saveAtExit = 0;
};

// The process-wide store bound to "settings.ini" beside the executable; saved
// when the process ends normally, or earlier through SaveSettingsNow.
CSettingsStore& GetSettings();
// Writes the store now if it exists (at Exit, or when the session is ending and
// there will be no normal exit); false when the file could not be written.
bool SaveSettingsNow();
