#pragma once
// The keys both list pages answer in their lists.
#include <windows.h>

class IPageCommands;

// Insert and Ctrl+N: new; Delete: remove or kill; Alt+Enter: properties;
// F3: online information; F5: refresh. 0 for any other key, and for N or
// Enter without their modifier.
int KeyToCommand(UINT key, bool controlDown, bool altDown);
// The same, with Control and Alt as they are held at this moment.
int KeyToCommand(UINT key);

// The lists report only plain key presses (LVN_KEYDOWN); Alt+Enter comes as a
// system key. This hands it to the page's RunCommand as the properties command
// for as long as the list lives.
void PassAltEnterToPage(HWND list, IPageCommands& page);
