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
#include "ui/scripted_user.h"

class DemoDevices;

namespace demo {

using uitest::Screen;

// Steps a backend's test adds, each given the script of the window it acts in.
struct Extras {
    std::function<void(ui::DialogScript&)> mainOpened;
    std::function<void(ui::DialogScript&)> ipEdited;  // before the Set button
    std::function<void(ui::DialogScript&, int nth)> waitShown;
    std::function<void(ui::DialogScript&)> listShown;  // before the pick
};

struct Session {
    std::vector<std::string> waits;  // what each wait window showed
};

// Scripts the session; `main` gives the main dialog, `top` the innermost modal dialog.
void ScriptChangeAndJoin(ui::ScriptedUser& user, Screen& screen, DemoDevices& devices,
                         std::function<ui::Handle()> main, std::function<ui::Handle()> top,
                         const Extras& extras, Session& session);

// Changes complete sooner than on the demo's believable clock.
void Quicken(DemoDevices& devices);
// Runs the program as the demo; its exit code.
int RunDemo();

// What the session leaves, checked after the program ended.
void ExpectChangedAndJoined(const ui::ScriptedUser& user, const Session& session);

}  // namespace demo
