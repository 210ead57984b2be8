#include "orvane/OrvApp.h"

namespace {
COrvApp theApp;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    theApp.InitInstance();
    // Returning runs the static destructors: the settings store saves itself.
    return 0;
}
