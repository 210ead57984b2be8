#pragma once
// What both list pages share: the keys that run page commands and the small
// icons of the files their rows name.
#include <windows.h>

#include <string>

// Insert and Ctrl+N: new; Delete: remove or kill; Alt+Enter: properties;
// F3: online information; F5: refresh; 0 for any other key. The modifier
// keys are read as they are held now.
int KeyToCommand(WORD key);

// The index in the system's small-icon list of the icon of the file the text
// names (a command line counts as its executable). Answers are kept for the
// program's life.
int GetFileIconIndex(const std::string& pathOrCommandLine);
