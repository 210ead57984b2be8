#include "orvane/OrvApp.h"

#include "app/ExportCommand.h"
#include "ui/ReportExport.h"

namespace {
COrvApp theApp;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // An export is no copy of the program: it writes its file and ends,
    // leaving a copy in the tray and its window alone.
    const ExportCommand command = ParseExportCommand(::GetCommandLineA());
    if (command.kind != ExportKind::None) {
        return RunExport(command);
    }
    theApp.InitInstance();
    // Returning runs the static destructors: the settings store saves itself.
    return 0;
}
