#include "win/CommonDialogs.h"

#include "win/EntryPoint.h"

namespace win {

namespace {

struct CommonDialogFunctions {
    BOOL(WINAPI* ChooseColorA)(CHOOSECOLORA* choose) = nullptr;
    BOOL(WINAPI* GetOpenFileNameA)(OPENFILENAMEA* dialog) = nullptr;
    BOOL(WINAPI* GetSaveFileNameA)(OPENFILENAMEA* dialog) = nullptr;
};

CommonDialogFunctions BindCommonDialogs() {
    CommonDialogFunctions functions;
    // Stays loaded for the rest of the process, as a static import would.
    const HMODULE library = ::LoadLibraryA("comdlg32.dll");
    BindEntryPoint(library, "ChooseColorA", functions.ChooseColorA);
    BindEntryPoint(library, "GetOpenFileNameA", functions.GetOpenFileNameA);
    BindEntryPoint(library, "GetSaveFileNameA", functions.GetSaveFileNameA);
    return functions;
}

const CommonDialogFunctions& CommonDialogs() {
    static const CommonDialogFunctions functions = BindCommonDialogs();
    return functions;
}

} // namespace

bool ChooseColour(CHOOSECOLORA& choose) {
    const auto function = CommonDialogs().ChooseColorA;
    return function != nullptr && function(&choose) != FALSE;
}

bool ChooseFileToOpen(OPENFILENAMEA& dialog) {
    const auto function = CommonDialogs().GetOpenFileNameA;
    return function != nullptr && function(&dialog) != FALSE;
}

bool ChooseFileToSave(OPENFILENAMEA& dialog) {
    const auto function = CommonDialogs().GetSaveFileNameA;
    return function != nullptr && function(&dialog) != FALSE;
}

} // namespace win
