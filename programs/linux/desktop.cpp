#include "programs/desktop.h"

#include <cstdio>

#include "programs/linux/icon.h"
#include "ui/app.h"
#include "ui/wx/wx_backend.h"

int RunDesktopProgram(int argc, char** argv, UsbLink& link) {
    ui::wx::WxBackend backend(argc, argv);
    if (!backend.Ready()) {
        std::fprintf(stderr, "%s: cannot open the display\n", argv[0]);
        return 1;
    }
    ui::ScopedBackend installed(backend);
    RegisterNetCfgIcon();
    UsbSetLink(&link);
    int status = ui::RunApplication(argc, argv);
    UsbSetLink(nullptr);
    return status;
}
