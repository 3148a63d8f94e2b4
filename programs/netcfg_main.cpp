// netcfg: the maker's devices on the USB printer nodes of this machine.
#include "app/netcfg_app.h"
#include "programs/desktop.h"
#include "usb/linux/linux_link.h"

CNetCfgApp theApp;

int main(int argc, char** argv) {
    LinuxUsbLink link;
    return RunDesktopProgram(argc, argv, link);
}
