// netcfg-cli: the USB devices of this machine, or two simulated ones with --sim.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>

#include "base/diag.h"
#include "cli/cli.h"
#include "cli/sim.h"

#ifdef _WIN32
#include <io.h>

#include "usb/win32/win32_link.h"
using PlatformLink = Win32UsbLink;
bool IsTerminal(FILE* f) { return _isatty(_fileno(f)) != 0; }
#else
#include <unistd.h>

#include "usb/linux/linux_link.h"
using PlatformLink = LinuxUsbLink;
bool IsTerminal(FILE* f) { return isatty(fileno(f)) != 0; }
#endif

int main(int argc, char** argv) {
    bool sim = false;
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i)
        if (std::strcmp(argv[i], "--sim") == 0) sim = true;
    // Standard output carries the results (JSON too): protocol faults go with the errors.
    base::SetDiagFile(stderr);
    std::unique_ptr<CliSim> simulation;
    std::unique_ptr<PlatformLink> platform;
    if (sim) {
        simulation = std::make_unique<CliSim>();
        std::string error;
        if (!simulation->Configure(std::getenv("NETCFG_SIM_TEST"), &error)) {
            std::cerr << "netcfg-cli: " << error << "\n";
            return CLI_USAGE;
        }
        UsbSetLink(simulation->Link());
    } else {
        platform = std::make_unique<PlatformLink>();
        UsbSetLink(platform.get());
    }
    int status = CliMain(argc, argv, std::cin, std::cout, std::cerr,
                         CliTerminal{IsTerminal(stdin), IsTerminal(stderr)});
    UsbSetLink(nullptr);
    if (simulation && !simulation->Finish()) {
        std::cerr << "netcfg-cli: NETCFG_SIM_TEST: the log could not be written\n";
        return CLI_USAGE;
    }
    return status;
}
