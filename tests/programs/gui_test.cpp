// The demo program as a user meets it: its application on the wx backend against the two
// simulated devices, driven through the toolkit's controls by a scripted user on the real
// clock, under Xvfb. What is checked is what the windows show. The main window's picture
// is saved in the build tree (NETCFG_GUI_SCREENSHOT).
#include <gmock/gmock.h>
#include <wx/checkbox.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/dialog.h>
#include <wx/imagpng.h>
#include <wx/listctrl.h>
#include <wx/odcombo.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>

#include "app/netcfg_app.h"
#include "app/netcfg_dlg.h"
#include "app/resource.h"
#include "programs/demo_devices.h"
#include "programs/icon.h"
#include "tests/ui/wx/wx_harness.h"
#include "ui/wx/ip_ctrl.h"

namespace {

using testing::ElementsAre;
using testing::IsEmpty;

// What a window shows, as UTF-8.
std::string Shown(const wxString& s) { return std::string(s.utf8_str()); }

class GuiTest : public testing::Test {
protected:
    void SetUp() override {
        RegisterNetCfgIcon();
        // Changes complete sooner than on the demo's believable clock.
        for (devsim::Device* d : {&m_devices.first, &m_devices.second}) {
            d->State().timing = {.replyMs = 0,
                                 .scanMs = 200,
                                 .ipApplyMs = 700,
                                 .countryApplyMs = 700,
                                 .connectMs = 700};
        }
        UsbSetLink(&m_devices.link);
    }
    void TearDown() override {
        UsbSetLink(nullptr);
        EXPECT_THAT(m_harness.TakeErrors(), IsEmpty());
        EXPECT_THAT(User().Unused(), IsEmpty());
    }

    ui::ScriptedUser& User() { return m_harness.User(); }
    ui::wx::WxBackend& B() { return m_harness.Backend(); }
    HWND Main() { return m_app.m_pMainWnd ? m_app.m_pMainWnd->m_hWnd : 0; }
    template <class T>
    T* Native(int id, HWND dialog = 0) {
        return dynamic_cast<T*>(B().Window(B().GetControl(dialog ? dialog : Main(), id)));
    }
    std::string Ip(int id) {
        auto* ip = Native<ui::wx::IpAddressCtrl>(id);
        std::string text;
        for (int i = 0; i < 4; ++i) text += (i ? "." : "") + Shown(ip->Field(i)->GetValue());
        return text;
    }
    bool Checked(int id) { return Native<wxCheckBox>(id)->GetValue(); }
    bool Usable(int id) { return Native<wxWindow>(id)->IsEnabled(); }
    int RunProgram() {
        char name[] = "netcfg-demo";
        char* argv[] = {name, nullptr};
        return ui::RunApplication(1, argv);
    }
    void SaveScreenshot(wxWindow& window, const char* path) {
        if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
        wxRect r = window.GetScreenRect();
        wxBitmap picture(r.width, r.height);
        wxMemoryDC memory(picture);
        wxScreenDC screen;
        memory.Blit(0, 0, r.width, r.height, &screen, r.x, r.y);
        memory.SelectObject(wxNullBitmap);
        EXPECT_TRUE(picture.SaveFile(path, wxBITMAP_TYPE_PNG)) << path;
    }

    uitest::WxHarness m_harness;
    CNetCfgApp m_app;
    DemoDevices m_devices;
};

TEST_F(GuiTest, StartChangeTheEthernetAddressAndJoinANetwork) {
    ui::DialogScript& main = User().OnDialog(IDD_NETCFG_DIALOG);
    main.Wait(300).Call([&] {
        auto* window = dynamic_cast<wxDialog*>(B().Window(Main()));
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(Shown(window->GetTitle()), "Quillo R7 USB Net Config Tool  V1.01-02");
        int shownWindows = 0;
        for (wxWindow* w : wxTopLevelWindows) shownWindows += w->IsShown();
        EXPECT_EQ(shownWindows, 1);  // the main dialog is the program's only window
        EXPECT_TRUE(window->GetIcon().IsOk());

        auto* devices = Native<wxOwnerDrawnComboBox>(IDC_DEVICE_COMBO);
        ASSERT_EQ(devices->GetCount(), 2u);
        EXPECT_EQ(Shown(devices->GetString(0)),
                  "USB001 PID:0001 Quillo R7 Network Module FW 1.01.02");
        EXPECT_EQ(devices->GetSelection(), 0);
        auto* countries = Native<wxOwnerDrawnComboBox>(IDC_COUNTRY_COMBO);
        EXPECT_EQ(Shown(countries->GetValue()), "*Germany");
        EXPECT_EQ(Shown(Native<wxTextCtrl>(IDC_SSID)->GetValue()), "HomeNet");

        // Ethernet on DHCP: its lease, not to be edited; WiFi static and editable.
        EXPECT_TRUE(Checked(IDC_ETH_DHCP));
        EXPECT_EQ(Ip(IDC_ETH_ADDR), "192.168.1.57");
        EXPECT_FALSE(Usable(IDC_ETH_ADDR));
        EXPECT_FALSE(Checked(IDC_WIFI_DHCP));
        EXPECT_EQ(Ip(IDC_WIFI_ADDR), "192.168.1.200");
        EXPECT_FALSE(Usable(IDC_ETH_SET));
        SaveScreenshot(*window, NETCFG_GUI_SCREENSHOT);
    });

    // Ethernet: DHCP off shows the static set, which the user edits and sets.
    main.Click(IDC_ETH_DHCP)
        .Call([&] {
            EXPECT_EQ(Ip(IDC_ETH_ADDR), "192.168.1.100");
            EXPECT_TRUE(Usable(IDC_ETH_ADDR));
        })
        .SetIp(IDC_ETH_ADDR, "192.168.1.120")
        .Call([&] { EXPECT_TRUE(Usable(IDC_ETH_SET)); })
        .Click(IDC_ETH_SET)
        .Call([&] {
            EXPECT_FALSE(Checked(IDC_ETH_DHCP));
            EXPECT_EQ(Ip(IDC_ETH_ADDR), "192.168.1.120");
            EXPECT_FALSE(Usable(IDC_ETH_SET));  // what the device has now
        });
    std::vector<std::string> waits;
    auto watchWait = [&](int nth) {
        User().OnDialog(IDD_WAIT, nth).Wait(100).Call([&] {
            const ui::wx::ModalFrame& top = B().ModalStack().back();
            EXPECT_TRUE(B().Window(top.dialog)->IsShown());
            EXPECT_FALSE(B().IsEnabled(Main()));
            waits.push_back(Shown(Native<wxStaticText>(IDC_WAIT_TEXT, top.dialog)->GetLabel()));
        });
    };
    watchWait(1);

    // WiFi: the network list, a network that needs a password, the password dialog.
    main.Click(IDC_SSID_SCAN).Call([&] {
        EXPECT_EQ(Shown(Native<wxTextCtrl>(IDC_SSID)->GetValue()), "Lab,Bench 2");
        EXPECT_EQ(m_devices.first.State().joined, "Lab,Bench 2");
    });
    User()
        .OnDialog(IDD_AP_LIST)
        .Wait(100)
        .Call([&] {
            auto* list = Native<wxListCtrl>(IDC_AP_LIST, B().ModalStack().back().dialog);
            ASSERT_EQ(list->GetItemCount(), 7);
            EXPECT_EQ(Shown(list->GetItemText(0, 0)), "*");  // joined now
            EXPECT_EQ(Shown(list->GetItemText(4, 1)), "Lab,Bench 2");
        })
        .DoubleClickRow(IDC_AP_LIST, 4);
    User().OnDialog(IDD_AP_PASSWORD).Type(IDC_PASSWORD, "solder-fumes").Click(IDC_CONNECT);
    watchWait(2);
    main.Escape();

    EXPECT_EQ(RunProgram(), 0);
    EXPECT_THAT(waits, ElementsAre(testing::StartsWith("IP Config Setting....."),
                                   testing::StartsWith("Connect to 'Lab,Bench 2'......")));
    EXPECT_THAT(User().MessageBoxes(), IsEmpty());  // every change worked
}

}  // namespace
