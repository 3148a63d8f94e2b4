#include "tests/programs/demo_script.h"

#include <gmock/gmock.h>

#include <cstdlib>

#include "app/resource.h"
#include "programs/demo_devices.h"
#include "ui/app.h"

namespace demo {

using testing::ElementsAre;

void PlayChangeAndJoin(uitest::Harness& harness, Screen& screen, DemoDevices& devices,
                       std::function<ui::Handle()> main, std::function<ui::Handle()> top,
                       const Extras& extras) {
    // Changes complete sooner than on the demo's believable clock.
    for (devsim::Device* d : {&devices.first, &devices.second}) {
        d->State().timing = {.replyMs = 0,
                             .scanMs = 200,
                             .ipApplyMs = 1600,
                             .countryApplyMs = 700,
                             .connectMs = 700};
    }
    ui::ScriptedUser& user = harness.User();
    std::vector<std::string> waits;  // what each wait window showed
    auto control = [](ui::Handle dialog, int id) {
        return ui::GetBackend()->GetControl(dialog, id);
    };
    auto at = [main, control](int id) { return control(main(), id); };
    ui::DialogScript& script = user.OnDialog(IDD_NETCFG_DIALOG);
    script.Wait(300).Call([&screen, main, at] {
        EXPECT_EQ(screen.Text(main()), "Quillo R7 USB Net Config Tool  V1.01-02");
        EXPECT_EQ(screen.ShownTopWindows(), 1);  // the main dialog is the program's only window
        EXPECT_TRUE(screen.HasIcon(main()));
        EXPECT_TRUE(ui::GetBackend()->IsEnabled(main()));  // until the wait runs over it
        const char* first = "USB001 PID:0001 Quillo R7 Network Module FW 1.01.02";
        EXPECT_THAT(screen.Entries(at(IDC_DEVICE_COMBO)),
                    ElementsAre(first, testing::StartsWith("USB002 PID:0002 ")));
        EXPECT_EQ(screen.Text(at(IDC_DEVICE_COMBO)), first);
        EXPECT_EQ(screen.Text(at(IDC_COUNTRY_COMBO)), "*Germany");
        EXPECT_EQ(screen.Text(at(IDC_SSID)), "HomeNet");
        // Ethernet on DHCP: its lease, not to be edited; WiFi static and editable.
        EXPECT_TRUE(screen.Checked(at(IDC_ETH_DHCP)));
        EXPECT_EQ(screen.Text(at(IDC_ETH_ADDR)), "192.168.1.57");
        EXPECT_FALSE(screen.Usable(at(IDC_ETH_ADDR)));
        EXPECT_FALSE(screen.Checked(at(IDC_WIFI_DHCP)));
        EXPECT_EQ(screen.Text(at(IDC_WIFI_ADDR)), "192.168.1.200");
        EXPECT_FALSE(screen.Usable(at(IDC_ETH_SET)));
    });
    if (extras.mainOpened) extras.mainOpened(script);

    // Ethernet: DHCP off shows the static set, which the user edits and sets.
    script.Click(IDC_ETH_DHCP)
        .Call([&screen, at] {
            EXPECT_EQ(screen.Text(at(IDC_ETH_ADDR)), "192.168.1.100");
            EXPECT_TRUE(screen.Usable(at(IDC_ETH_ADDR)));
        })
        .SetIp(IDC_ETH_ADDR, "192.168.1.120")
        .Call([&screen, at] { EXPECT_TRUE(screen.Usable(at(IDC_ETH_SET))); });
    if (extras.ipEdited) extras.ipEdited(script);
    script.Click(IDC_ETH_SET).Call([&screen, &devices, at] {
        EXPECT_FALSE(screen.Checked(at(IDC_ETH_DHCP)));
        EXPECT_EQ(screen.Text(at(IDC_ETH_ADDR)), "192.168.1.120");
        EXPECT_FALSE(screen.Usable(at(IDC_ETH_SET)));  // what the device has now
        EXPECT_EQ(devices.first.State().eth.dhcp, 0);
        EXPECT_EQ(devices.first.State().eth.staticSet.addr, "192.168.1.120");
    });

    for (int nth : {1, 2}) {
        ui::DialogScript& wait = user.OnDialog(IDD_WAIT, nth);
        wait.Wait(100).Call([&screen, &waits, main, top, control, nth] {
            ui::Handle w = top();
            EXPECT_FALSE(ui::GetBackend()->IsEnabled(main()));  // the wait is modal
            waits.push_back(screen.Text(control(w, IDC_WAIT_TEXT)));
            // Centred over the main window, as wide as its message and count need.
            ui::Rect own = screen.Frame(w), over = screen.Frame(main());
            EXPECT_LE(std::abs((own.left + own.right) - (over.left + over.right)), 2) << nth;
            EXPECT_LE(std::abs((own.top + own.bottom) - (over.top + over.bottom)), 2) << nth;
            std::string message =
                nth == 1 ? "IP Config Setting....." : "Connect to 'Lab,Bench 2'......";
            EXPECT_EQ(screen.ClientWidth(w),
                      screen.TextWidth(w, " 0000") + screen.TextWidth(w, message) + 30);
        });
        if (extras.waitShown) extras.waitShown(wait);
        // The count of seconds follows the message (the address change takes 1.6 s).
        if (nth == 1) {
            wait.Wait(1100).Call([&screen, top, control] {
                EXPECT_EQ(screen.Text(control(top(), IDC_WAIT_TEXT)), "IP Config Setting..... 1");
            });
        }
    }

    // WiFi: the network list, a network that needs a password, the password dialog.
    (extras.pressScan ? script.Call(extras.pressScan) : script.Click(IDC_SSID_SCAN))
        .Call([&screen, &devices, at] {
            EXPECT_EQ(screen.Text(at(IDC_SSID)), "Lab,Bench 2");
            EXPECT_EQ(devices.first.State().joined, "Lab,Bench 2");
        });
    ui::DialogScript& list = user.OnDialog(IDD_AP_LIST);
    list.Wait(100).Call([&screen, top, control] {
        ui::Handle rows = control(top(), IDC_AP_LIST);
        ASSERT_EQ(screen.Rows(rows), 7);
        EXPECT_EQ(screen.Cell(rows, 0, 0), "*");  // joined now
        EXPECT_EQ(screen.Cell(rows, 4, 1), "Lab,Bench 2");
    });
    if (extras.listShown) extras.listShown(list);
    list.DoubleClickRow(IDC_AP_LIST, 4);
    user.OnDialog(IDD_AP_PASSWORD).Type(IDC_PASSWORD, "solder-fumes").Click(IDC_CONNECT);
    script.Escape();

    char name[] = "netcfg-demo";  // the program, run as the demo
    char* argv[] = {name, nullptr};
    EXPECT_EQ(ui::RunApplication(1, argv), 0);
    EXPECT_THAT(waits, ElementsAre(testing::StartsWith("IP Config Setting....."),
                                   testing::StartsWith("Connect to 'Lab,Bench 2'......")));
    EXPECT_THAT(user.MessageBoxes(), testing::IsEmpty());  // every change worked
    EXPECT_THAT(harness.TakeErrors(), testing::IsEmpty());
    EXPECT_THAT(user.Unused(), testing::IsEmpty());
}

}  // namespace demo
