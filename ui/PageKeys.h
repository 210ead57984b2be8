#pragma once
// The keys both list pages answer in their lists.
#include <windows.h>

// Insert and Ctrl+N: new; Delete: remove or kill; Alt+Enter: properties;
// F3: online information; F5: refresh. 0 for any other key, and for N or
// Enter without their modifier.
int KeyToCommand(UINT key, bool controlDown, bool altDown);
// The same, with Control and Alt as they are held at this moment.
int KeyToCommand(UINT key);
