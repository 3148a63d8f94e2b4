#include "programs/desktop.h"

#include "ui/app.h"
#include "ui/win32/win32_backend.h"

// The icon needs no registering: the backend loads resource 128 from the executable.
int RunDesktopProgram(int argc, char** argv, UsbLink& link) {
    ui::win32::Win32Backend backend;
    ui::ScopedBackend installed(backend);
    UsbSetLink(&link);
    int status = ui::RunApplication(argc, argv);
    UsbSetLink(nullptr);
    return status;
}
