// The demo program as a user meets it on Windows: its application on the Win32 backend
// against the two simulated devices, driven through the native controls by the scripted
// user on the real clock, under Wine. The session is the one the wx test plays
// (demo_script.h). The main window's layout is checked against its template, and a picture
// of it is saved in the build tree (NETCFG_GUI_SCREENSHOTS) for the README.
#include <gmock/gmock.h>

#include "app/netcfg_app.h"
#include "app/resource.h"
#include "app/templates.h"
#include "programs/demo_devices.h"
#include "tests/programs/demo_script.h"
#include "tests/ui/win32/win32_harness.h"
#include "tests/ui/win32/win32_screen.h"
#include "usb/sim/sim_link.h"

namespace {

TEST(Win32GuiTest, StartChangeTheEthernetAddressAndJoinANetwork) {
    uitest::Win32Harness harness;
    CNetCfgApp app;
    DemoDevices devices;
    UsbSetLink(&devices.link);
    ui::win32::Win32Backend& b = uitest::SharedWin32Backend();
    std::unique_ptr<uitest::Screen> screen = uitest::MakeWin32Screen(b);
    auto main = [&] { return app.m_pMainWnd ? app.m_pMainWnd->m_hWnd : 0; };
    ui::win32::Hwnd shown = nullptr;

    demo::Extras extras;
    extras.mainOpened = [&](ui::DialogScript& script) {
        script.Call([&] {
            shown = b.Window(main());
            // Laid out in the font its sizes were chosen for.
            const ui::DialogTemplate& t = MainDialogTemplate();
            EXPECT_EQ(t.fontName + " " + std::to_string(t.fontSize), "MS Sans Serif 8");
            uitest::ExpectLaidOutAsTemplate(b, main(), t);
            // The program's icon, from the demo's resources, at each window icon size.
            EXPECT_TRUE(uitest::IconsAtSystemSizes(shown));
            uitest::Picture p = uitest::TakePicture(shown);
            // Drawn: more than one colour, and the frame as large as the window.
            ASSERT_GT(p.width, 300);
            EXPECT_NE(std::count(p.pixels.begin(), p.pixels.end(), p.pixels[0]),
                      static_cast<std::ptrdiff_t>(p.pixels.size()));
            EXPECT_TRUE(uitest::SavePng(p, NETCFG_GUI_SCREENSHOTS "/netcfg-windows.png"));
        });
    };
    demo::PlayChangeAndJoin(
        harness, *screen, devices, main,
        [&] { return b.ModalStack().empty() ? 0 : b.ModalStack().back().dialog; }, extras);
    EXPECT_FALSE(uitest::WindowExists(shown));  // the backend destroyed what it made
    UsbSetLink(nullptr);
}

}  // namespace
