// netcfg-demo: the same program against two simulated devices, on real time.
#include "app/netcfg_app.h"
#include "programs/demo_devices.h"
#include "programs/icon.h"
#include "ui/wx/wx_backend.h"

CNetCfgApp theApp;

int main(int argc, char** argv) {
    ui::wx::WxBackend backend(argc, argv);
    if (!backend.Ready()) return 1;  // the toolkit has said why (no display)
    ui::ScopedBackend installed(backend);
    RegisterNetCfgIcon();
    DemoDevices devices;
    UsbSetLink(&devices.link);
    int status = ui::RunApplication(argc, argv);
    UsbSetLink(nullptr);
    return status;
}
