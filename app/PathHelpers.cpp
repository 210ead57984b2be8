#include "app/PathHelpers.h"

#include "app/Mbcs.h"

#include <cstdio>
#include <vector>

// Every walk below steps by character: in a double-byte code page the trail
// byte of a character can have the value of "\" or of a letter.

namespace {

bool IsSlash(char c) {
    return c == '\\' || c == '/';
}

// Index of the first character equal to c at or after start, or npos.
size_t FindChar(const std::string& text, char c, size_t start = 0) {
    for (size_t i = 0; i < text.size(); i = mbcs::NextChar(text, i)) {
        if (i >= start && text[i] == c) {
            return i;
        }
    }
    return std::string::npos;
}

bool Contains(const std::string& text, char c) {
    return FindChar(text, c) != std::string::npos;
}

// "\" when the text holds one, else "/" when it holds one, else 0.
char SeparatorUsedIn(const std::string& text) {
    return Contains(text, '\\') ? '\\' : Contains(text, '/') ? '/' : 0;
}

// Index where the last character starts, or npos for an empty text.
size_t LastCharIndex(const std::string& text) {
    size_t last = std::string::npos;
    for (size_t i = 0; i < text.size(); i = mbcs::NextChar(text, i)) {
        last = i;
    }
    return last;
}

bool EndsWithChar(const std::string& text, char c) {
    const size_t last = LastCharIndex(text);
    return last != std::string::npos && text[last] == c;
}

void StripLeadingSlash(std::string& text) {
    if (!text.empty() && IsSlash(text[0])) {
        text.erase(0, 1);
    }
}

void StripTrailingBackslash(std::string& text) {
    if (EndsWithChar(text, '\\')) {
        text.pop_back();
    }
}

// FindNoCase from start, which must be where a character starts.
int FindNoCaseFrom(const std::string& text, const std::string& pattern, size_t start) {
    if (pattern.size() > text.size()) {
        return -1;
    }
    const size_t lastStart = text.size() - pattern.size();
    for (size_t i = start; i <= lastStart; i = mbcs::NextChar(text, i)) {
        if (mbcs::CompareNoCaseN(text.c_str() + i, pattern.c_str(), pattern.size()) == 0) {
            return static_cast<int>(i);
        }
        if (i == text.size()) {
            break;
        }
    }
    return -1;
}

} // namespace

std::string CommandLineToFilePath(const std::string& commandLine) {
    std::string path = ExePathFromCommandLine(commandLine);
    return path.empty() ? commandLine : path;
}

std::string ExePathFromCommandLine(const std::string& commandLine) {
    if (commandLine.size() < 2) {
        return {};
    }
    if (commandLine[0] == '"') {
        const size_t close = FindChar(commandLine, '"', 1);
        if (close == std::string::npos) {
            return {};
        }
        return commandLine.substr(1, close - 1);
    }
    static const std::string exe = ".exe";
    int found = -1;
    for (int at = FindNoCaseFrom(commandLine, exe, 0); at >= 0;
         at = FindNoCaseFrom(commandLine, exe, mbcs::NextChar(commandLine, at))) {
        found = at;
    }
    if (found < 0) {
        return {};
    }
    return commandLine.substr(0, static_cast<size_t>(found) + exe.size());
}

bool IsSamePath(const std::string& a, const std::string& b) {
    char separator = SeparatorUsedIn(a);
    if (separator == 0) {
        separator = SeparatorUsedIn(b);
    }
    std::string x = a;
    std::string y = b;
    for (std::string* text : {&x, &y}) {
        StripTrailingSlash(*text);
        StripLeadingSlash(*text);
        if (separator != 0) {
            UnifySlashes(*text, separator);
        }
    }
    return mbcs::Compare(x, y) == 0 || mbcs::CompareNoCase(x, y) == 0;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        return name;
    }
    if (name.empty()) {
        return folder;
    }
    char separator = SeparatorUsedIn(folder);
    std::string head = folder;
    std::string tail = name;
    StripTrailingSlash(head);
    StripLeadingSlash(tail);
    if (separator == 0) {
        separator = Contains(tail, '\\') ? '\\' : '/';
    }
    return head + separator + tail;
}

SplitPathParts SplitPath(const std::string& path) {
    SplitPathParts parts;
    size_t start = 0;
    if (path.size() >= 2 && path[1] == ':' && mbcs::NextChar(path, 0) == 1) {
        parts.drive = path.substr(0, 2);
        start = 2;
    }
    size_t nameStart = start;
    size_t dot = std::string::npos;
    for (size_t i = start; i < path.size(); i = mbcs::NextChar(path, i)) {
        if (IsSlash(path[i])) {
            nameStart = i + 1;
        } else if (path[i] == '.') {
            dot = i;
        }
    }
    parts.dir = path.substr(start, nameStart - start);
    if (dot != std::string::npos && dot >= nameStart) {
        parts.fname = path.substr(nameStart, dot - nameStart);
        parts.ext = path.substr(dot);
    } else {
        parts.fname = path.substr(nameStart);
    }
    return parts;
}

std::string GetNameWithoutExt(const std::string& path) {
    return SplitPath(path).fname;
}

std::string GetFileNameWithExt(const std::string& path) {
    const std::string ext = GetExtNoDot(path);
    const std::string name = SplitPath(path).fname;
    return ext.empty() ? name : name + "." + ext;
}

std::string GetExtNoDot(const std::string& path) {
    const std::string ext = SplitPath(path).ext;
    return ext.empty() ? ext : ext.substr(1);
}

std::string GetDriveOfPath(const std::string& path) {
    return SplitPath(path).drive;
}

std::string GetDirOfPath(const std::string& path) {
    const int first = FindSeparator(path, 0);
    if (first < 0 || static_cast<size_t>(first) == LastCharIndex(path)) {
        return {};
    }
    std::string trimmed = path;
    StripTrailingSlash(trimmed);
    const SplitPathParts parts = SplitPath(trimmed);
    if (parts.dir.empty()) {
        return {};
    }
    return parts.drive + parts.dir;
}

std::string GetDirNoSlash(const std::string& path) {
    std::string dir = GetDirOfPath(path);
    StripTrailingSlash(dir);
    return dir;
}

std::string GetFolderOfPath(const std::string& path) {
    if (path.empty()) {
        return {};
    }
    std::string trimmed = path;
    StripTrailingBackslash(trimmed);
    const SplitPathParts parts = SplitPath(trimmed);
    std::string folder = parts.drive + parts.dir;
    StripTrailingBackslash(folder);
    return folder;
}

void StripTrailingSlash(std::string& text) {
    const size_t last = LastCharIndex(text);
    if (last != std::string::npos && IsSlash(text[last])) {
        text.erase(last);
    }
}

void UnifySlashes(std::string& text, char separator) {
    const char from = separator == '/' ? '\\' : '/';
    const char to = separator == '/' ? '/' : '\\';
    for (size_t i = 0; i < text.size(); i = mbcs::NextChar(text, i)) {
        if (text[i] == from) {
            text[i] = to;
        }
    }
}

int FindSeparator(const std::string& text, int start) {
    const size_t from = start < 0 ? 0 : static_cast<size_t>(start);
    size_t found = FindChar(text, '\\', from);
    if (found == std::string::npos) {
        found = FindChar(text, '/', from);
    }
    return found == std::string::npos ? -1 : static_cast<int>(found);
}

int FindNoCase(const std::string& text, const std::string& pattern) {
    return FindNoCaseFrom(text, pattern, 0);
}

std::string IntToText(int32_t value) {
    return std::to_string(value);
}

std::string ULongToText(uint32_t value) {
    return std::to_string(value);
}

std::string UInt64ToText(uint64_t value) {
    return std::to_string(value);
}

std::string DoubleToText(double value, unsigned decimals) {
    const int precision = static_cast<int>(decimals > 255 ? 255 : decimals);
    const int length = std::snprintf(nullptr, 0, "%.*f", precision, value);
    if (length <= 0) {
        return {};
    }
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    std::snprintf(buffer.data(), buffer.size(), "%.*f", precision, value);
    return std::string(buffer.data(), static_cast<size_t>(length));
}
