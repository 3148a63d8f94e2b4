// netcfg: the maker's devices among the USB printer interfaces of this machine.
#include <memory>

#include "app/netcfg_app.h"
#include "programs/desktop.h"

CNetCfgApp theApp;

int main(int argc, char** argv) {
    std::unique_ptr<UsbLink> link = NewPlatformUsbLink();
    return RunDesktopProgram(argc, argv, *link);
}
