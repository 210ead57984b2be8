#pragma once
// Text and path helpers with no system dependency. Paths accept "\" and "/";
// none of these report errors: they return an empty text, -1 or false.
#include <cstdint>
#include <string>

// The file a command line from an autostart entry names, or the whole command
// line when no executable can be picked out of it.
std::string CommandLineToFilePath(const std::string& commandLine);
std::string ExePathFromCommandLine(const std::string& commandLine);

bool IsSamePath(const std::string& a, const std::string& b);
std::string JoinPath(const std::string& folder, const std::string& name);

std::string GetNameWithoutExt(const std::string& path);
std::string GetFileNameWithExt(const std::string& path);
std::string GetExtNoDot(const std::string& path);
std::string GetDriveOfPath(const std::string& path);
std::string GetDirOfPath(const std::string& path);
std::string GetDirNoSlash(const std::string& path);
std::string GetFolderOfPath(const std::string& path);

void StripTrailingSlash(std::string& text);
void UnifySlashes(std::string& text, char separator);
// Index of the first "\" at or after start; when none, of the first "/"; else -1.
int FindSeparator(const std::string& text, int start);
// Position of the pattern compared without case, or -1.
int FindNoCase(const std::string& text, const std::string& pattern);

// The four parts _splitpath gives: drive ("C:"), directory (ending in a
// separator), file name and extension (with its dot).
struct SplitPathParts {
    std::string drive, dir, fname, ext;
};
SplitPathParts SplitPath(const std::string& path);

std::string IntToText(int32_t value);
std::string ULongToText(uint32_t value);
std::string UInt64ToText(uint64_t value);
std::string DoubleToText(double value, unsigned decimals);
