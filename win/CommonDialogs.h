#pragma once
// The system's common dialogs, from a library loaded when the first of them
// opens: it brings printing support along, which a program that waits in the
// tray all day should not carry from its start.
#include <windows.h>

#include <commdlg.h>

namespace win {

// As ChooseColorA, GetOpenFileNameA and GetSaveFileNameA; false also when the library or the
// function is missing.
bool ChooseColour(CHOOSECOLORA& choose);
bool ChooseFileToOpen(OPENFILENAMEA& dialog);
bool ChooseFileToSave(OPENFILENAMEA& dialog);

} // namespace win
