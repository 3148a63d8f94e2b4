// netcfg: the maker's devices on the USB printer nodes of this machine.
#include <cstdio>

#include "app/netcfg_app.h"
#include "programs/icon.h"
#include "ui/wx/wx_backend.h"
#include "usb/linux/linux_link.h"

CNetCfgApp theApp;

int main(int argc, char** argv) {
    ui::wx::WxBackend backend(argc, argv);
    if (!backend.Ready()) {
        std::fprintf(stderr, "%s: cannot open the display\n", argv[0]);
        return 1;
    }
    ui::ScopedBackend installed(backend);
    RegisterNetCfgIcon();
    LinuxUsbLink link;
    UsbSetLink(&link);
    int status = ui::RunApplication(argc, argv);
    UsbSetLink(nullptr);
    return status;
}
