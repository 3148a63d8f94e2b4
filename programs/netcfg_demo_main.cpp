// netcfg-demo, on Linux and Windows: the same program against two simulated devices, on
// real time.
#include "app/netcfg_app.h"
#include "programs/demo_devices.h"
#include "programs/desktop.h"

CNetCfgApp theApp;

int main(int argc, char** argv) {
    DemoDevices devices;
    return RunDesktopProgram(argc, argv, devices.link);
}
