// The demo program on Windows: its application on the Win32 backend, linked with
// netcfg-demo.exe's own resources, so that what Windows makes of them is checked where it
// matters: the icon loads for both sizes, the manifest brings the UTF-8 code page and the
// common controls 6, and the main window starts with its title and both devices.
#include <gmock/gmock.h>

#include "app/netcfg_app.h"
#include "app/netcfg_dlg.h"
#include "app/resource.h"
#include "programs/demo_devices.h"
#include "tests/programs/win32_native.h"
#include "tests/ui/win32/win32_harness.h"

namespace {

using testing::HasSubstr;
using testing::IsEmpty;

TEST(Win32Demo, StartsWithItsIconTitleManifestAndBothDevices) {
    uitest::Win32Harness harness;
    CNetCfgApp app;
    DemoDevices devices;
    UsbSetLink(&devices.link);
    ui::win32::Win32Backend& b = harness.Backend();
    bool seen = false;
    harness.User()
        .OnDialog(IDD_NETCFG_DIALOG)
        .Call([&] {
            seen = true;
            HWND main = app.m_pMainWnd->m_hWnd;
            ui::win32::Hwnd window = b.Window(main);
            EXPECT_EQ(native::Title(window), NETCFG_TITLE);
            // The one image is 32 pixels; Wine hands it over unscaled for the small icon.
            EXPECT_EQ(native::IconWidth(window, true), native::SystemIconWidth(true));
            EXPECT_GT(native::IconWidth(window, false), 0);
            EXPECT_EQ(b.ComboCount(b.GetControl(main, IDC_DEVICE_COMBO)), 2);
        })
        .Close();
    char name[] = "netcfg-demo";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(ui::RunApplication(1, argv), 0);
    UsbSetLink(nullptr);

    EXPECT_TRUE(seen);
    EXPECT_EQ(native::CodePage(), 65001u);
    EXPECT_THAT(native::CommonControlsPath(),
                HasSubstr("microsoft.windows.common-controls_6595b64144ccf1df_6."));
    EXPECT_THAT(harness.TakeErrors(), IsEmpty());
    EXPECT_THAT(harness.User().Unused(), IsEmpty());
}

}  // namespace
