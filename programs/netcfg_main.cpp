// netcfg: the maker's devices on the USB printer nodes of this machine.
#include "app/netcfg_app.h"
#include "programs/icon.h"
#include "ui/wx/wx_backend.h"
#include "usb/linux/linux_link.h"

CNetCfgApp theApp;

int main(int argc, char** argv) {
    ui::wx::WxBackend backend(argc, argv);
    if (!backend.Ready()) return 1;  // the toolkit has said why (no display)
    ui::ScopedBackend installed(backend);
    RegisterNetCfgIcon();
    LinuxUsbLink link;
    UsbSetLink(&link);
    int status = ui::RunApplication(argc, argv);
    UsbSetLink(nullptr);
    return status;
}
