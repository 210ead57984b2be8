// Path and command-line helpers on arbitrary bytes, in a single-byte and in a
// double-byte code page. Besides crashes it checks what callers rely on.
#include "app/Mbcs.h"
#include "app/PathHelpers.h"
#include "tests/fuzz/FuzzRequire.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool ShiftJisLead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || c >= 0xE0;
}

bool IsSlash(char c) {
    return c == '\\' || c == '/';
}

void CheckCommandLine(const std::string& line) {
    const std::string path = ExePathFromCommandLine(line);
    Require(CommandLineToFilePath(line) == (path.empty() ? line : path));
    if (path.empty()) {
        return;
    }
    if (line[0] == '"') {
        Require(line.compare(1, path.size(), path) == 0 && line[path.size() + 1] == '"');
    } else {
        Require(line.compare(0, path.size(), path) == 0 && path.size() >= 4);
        Require(FindNoCase(path.substr(path.size() - 4), ".exe") == 0);
    }
}

void CheckSplit(const std::string& path) {
    const SplitPathParts parts = SplitPath(path);
    Require(parts.drive + parts.dir + parts.fname + parts.ext == path);
    Require(parts.ext.empty() || parts.ext[0] == '.');
    Require(FindSeparator(parts.fname + parts.ext, 0) < 0);
    GetNameWithoutExt(path);
    GetFileNameWithExt(path);
    GetExtNoDot(path);
    GetDriveOfPath(path);
    GetDirNoSlash(path);
    GetFolderOfPath(path);
}

void CheckJoin(const std::string& folder, const std::string& name) {
    const std::string joined = JoinPath(folder, name);
    if (folder.empty() || name.empty()) {
        Require(joined == (folder.empty() ? name : folder));
        return;
    }
    const std::string tail = IsSlash(name[0]) ? name.substr(1) : name;
    Require(joined.size() >= tail.size() + 1);
    Require(joined.compare(joined.size() - tail.size(), tail.size(), tail) == 0);
    Require(IsSlash(joined[joined.size() - tail.size() - 1]));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) {
        return 0;
    }
    mbcs::SetLeadBytePredicateForTesting((data[0] & 1) ? &ShiftJisLead : nullptr);
    const std::string rest(reinterpret_cast<const char*>(data + 2), size - 2);
    const size_t cut = data[1] % (rest.size() + 1);
    const std::string a = rest.substr(0, cut);
    const std::string b = rest.substr(cut);

    CheckCommandLine(rest);
    CheckSplit(rest);
    CheckJoin(a, b);
    Require(IsSamePath(a, a));
    Require(IsSamePath(a, b) == IsSamePath(b, a));
    return 0;
}
