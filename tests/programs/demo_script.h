// The demo program's session as a user meets it, written once for every desktop backend:
// the main window as it opens, the Ethernet address changed with DHCP off (the wait
// window and its count), a network joined through the list and the password dialog. A
// backend's GUI test reads the screen through a Screen of its own and adds its own steps
// where the script offers them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tests/ui/screen.h"
#include "tests/ui/semantics.h"
#include "ui/scripted_user.h"

class DemoDevices;

namespace demo {

using uitest::Screen;

// Steps a backend's test adds, each given the script of the window it acts in.
struct Extras {
    std::function<void(ui::DialogScript&)> mainOpened;
    std::function<void(ui::DialogScript&)> ipEdited;  // before the Set button
    std::function<void(ui::DialogScript&)> waitShown;
    std::function<void(ui::DialogScript&)> listShown;  // before the pick
    std::function<void()> pressScan;                   // the test's own press of the scan button
};

// Plays the session on the program, run as the demo, and checks what it leaves and that
// the user's script ran whole and without faults; `main` gives the main dialog, `top` the
// innermost modal dialog.
void PlayChangeAndJoin(uitest::Harness& harness, Screen& screen, DemoDevices& devices,
                       std::function<ui::Handle()> main, std::function<ui::Handle()> top,
                       const Extras& extras);

}  // namespace demo
