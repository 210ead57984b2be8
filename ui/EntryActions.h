#pragma once
// The actions both list pages and the warning window offer for a file: its
// shell properties, its page on the maker's web site, its folder in the file
// explorer. None of them reports a failure.
#include <windows.h>

#include <string>
#include <vector>

// The shell's properties sheet of the file, owned by the main window.
void ShowShellProperties(const std::string& path);
// The properties of the first path; nothing for an empty list.
void ShowShellPropertiesOfList(const std::vector<std::string>& paths);
// The user's web browser shows the address.
void OpenWebAddress(const std::string& address);
// The web browser shows the maker's page about the file.
void OpenOnlineInfo(const std::string& path);
// The file explorer opens the file's folder with the file selected.
void OpenContainingFolder(HWND owner, const std::string& path);

// "win", "winsys" or "winsys32" for a file directly in the Windows folder or
// its System or System32 folder; "atypical" for any other place.
std::string GetDirectoryType(const std::string& path);

// The address OpenOnlineInfo opens: name, size in bytes (0 for a folder, left
// out when nothing is found) and directory type, each percent-encoded.
std::string BuildOnlineInfoAddress(const std::string& path);
// The explorer's parameters selecting the file: the path is quoted, since a
// comma in it would otherwise start another switch.
std::string BuildSelectParameters(const std::string& path);
