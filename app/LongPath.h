#pragma once
// The long form of a path, every short (8.3) component replaced by its long
// name.
#include <windows.h>

#include <string>

// Empty when the path does not name an existing file or folder (a command
// line with arguments, unexpanded %NAME% references), when the long form has
// 600 characters or more, and on systems without GetLongPathNameA.
std::string GetLongPath(const std::string& path);

using GetLongPathNameAFunction = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD);

// Tests stand in for the system's GetLongPathNameA (nullptr: a system that
// lacks it); ResetLongPathBindingForTesting returns to the system's.
void SetLongPathBindingForTesting(GetLongPathNameAFunction function);
void ResetLongPathBindingForTesting();
