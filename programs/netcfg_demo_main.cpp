// netcfg-demo: the same program against two simulated devices, on real time.
#include <cstdio>

#include "app/netcfg_app.h"
#include "programs/demo_devices.h"
#include "programs/icon.h"
#include "ui/wx/wx_backend.h"

CNetCfgApp theApp;

int main(int argc, char** argv) {
    ui::wx::WxBackend backend(argc, argv);
    if (!backend.Ready()) {
        std::fprintf(stderr, "%s: cannot open the display\n", argv[0]);
        return 1;
    }
    ui::ScopedBackend installed(backend);
    RegisterNetCfgIcon();
    DemoDevices devices;
    UsbSetLink(&devices.link);
    int status = ui::RunApplication(argc, argv);
    UsbSetLink(nullptr);
    return status;
}
