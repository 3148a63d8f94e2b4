// netcfg-cli: the network settings of the maker's devices from a command line. The
// program's whole behaviour is CliMain, run on whatever USB link is installed
// (UsbSetLink), so tests run it in-process against simulated devices.
#pragma once

#include <iosfwd>

// Which of the program's streams are terminals: progress goes to a terminal only, and a
// password is read from one with its echo off.
struct CliTerminal {
    bool in = false;
    bool err = false;
};

// Exit statuses.
inline constexpr int CLI_OK = 0;
inline constexpr int CLI_FAILED = 1;  // the device refused, failed or did not complete in time
inline constexpr int CLI_USAGE = 2;
inline constexpr int CLI_NO_DEVICE = 3;  // none found, or not the one named

int CliMain(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err,
            CliTerminal terminal = {});

// Switches the echo of typed characters on standard input; false when it cannot.
bool CliSetEcho(bool on);
