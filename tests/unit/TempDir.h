#pragma once
// A fresh directory for one test (under the system's temporary folder unless
// another parent is given), removed with everything in it afterwards; and
// whole-file reads and writes for checks that must see the bytes on the disk.
#include "tests/helpers/TestSupport.h"

#include <windows.h>

#include <string>

class TempDir {
  public:
    // In the system's temporary folder, or in parent (the program's own data
    // files live beside it).
    explicit TempDir(const std::string& parent = std::string()) {
        static unsigned counter = 0;
        char base[MAX_PATH] = {};
        if (parent.empty()) {
            GetTempPathA(MAX_PATH, base);
        }
        m_path = (parent.empty() ? std::string(base) : parent + "\\") + "orv-test-" +
                 std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
        RemoveTree(m_path);
        CreateDirectoryA(m_path.c_str(), nullptr);
    }
    ~TempDir() { RemoveTree(m_path); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "\\" + name; }

    static void RemoveTree(const std::string& dir) { testsupport::RemoveTree(dir); }

  private:
    std::string m_path;
};

using testsupport::ReadFileText;
using testsupport::WriteFileText;
