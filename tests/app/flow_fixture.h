// The whole main dialog on the headless backend against simulated devices, on virtual
// time, with a scripted user; shared by the flow tests and the fault matrix.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/netcfg_app.h"
#include "app/netcfg_dlg.h"
#include "app/templates.h"
#include "base/clock.h"
#include "devsim/device.h"
#include "protocol/commands.h"
#include "ui/app.h"
#include "ui/headless/headless_backend.h"
#include "usb/sim/sim_link.h"

// A panel as the user sees it: "x " when DHCP is checked, the address, then "+" or "-" for
// the check box, the address and Set enabled.
inline std::string Panel(CNetCfgDlg& d, CButton& check, int addr, int set) {
    std::string text = check.GetCheck() == BST_CHECKED ? "x " : "  ";
    text += d.GetDlgItem(addr)->GetWindowText() + " ";
    for (int id : {check.GetDlgCtrlID(), addr, set})
        text += d.GetDlgItem(id)->IsWindowEnabled() ? "+" : "-";
    return text;
}
inline std::string EthPanel(CNetCfgDlg& d) {
    return Panel(d, d.m_ethDhcp, IDC_ETH_ADDR, IDC_ETH_SET);
}
inline std::string WifiPanel(CNetCfgDlg& d) {
    return Panel(d, d.m_wifiDhcp, IDC_WIFI_ADDR, IDC_WIFI_SET);
}

using Bytes = std::vector<uint8_t>;
using Ids = std::vector<int32_t>;
using Texts = std::vector<std::string>;

// How many requests with command `id` the device has received.
inline int Count(devsim::Device& dev, int32_t id) {
    return static_cast<int>(std::ranges::count(dev.CommandIds(), id));
}
// The texts of the requests with command `id`, each sent with its NUL and nothing more.
inline Texts RequestTexts(devsim::Device& dev, int32_t id) {
    Texts texts;
    for (const auto& r : dev.Requests()) {
        if (r.cmdId != id) continue;
        texts.push_back(r.Text());
        EXPECT_EQ(r.payload.size(), texts.back().size() + 1) << "the text and its NUL only";
    }
    return texts;
}

// One main dialog with a backend, a link and a device "1234" at port 1 of its own; the
// user's script must leave nothing unused.
struct Session {
    Session() {
        link.Attach(dev, "1234", 1);
        UsbSetLink(&link);
    }
    ~Session() {
        UsbSetLink(nullptr);
        EXPECT_EQ(backend.Errors(), Texts{});
        EXPECT_EQ(User().Unused(), Texts{});
    }
    ui::ScriptedUser& User() { return backend.User(); }
    ui::DialogScript& On(int templateId, int nth = 1) { return User().OnDialog(templateId, nth); }
    ui::DialogScript& OnMain(int nth = 1) { return On(IDD_NETCFG_DIALOG, nth); }
    // The main dialog after `script`, then the user's Escape.
    Session& Go(const std::function<void(ui::DialogScript&)>& script = {}) {
        ui::DialogScript& main = OnMain();
        if (script) script(main);
        main.Escape();
        dlg.DoModal();
        return *this;
    }
    Texts Boxes() const {
        Texts texts;
        for (const auto& b : backend.MessageBoxes()) texts.push_back(b.text);
        return texts;
    }
    const ui::headless::ControlState* Control(int id, int templateId = IDD_NETCFG_DIALOG) {
        return backend.FindDialog(templateId)->Control(id);
    }

    ui::headless::HeadlessBackend backend;
    ui::ScopedBackend scope{backend};
    devsim::Device dev, second;
    SimUsbLink link;
    CNetCfgDlg dlg;
};

// The clock and the application, there before any run.
struct FlowEnv {
    FlowEnv() {
        app.m_appName = "netcfg";
        RegisterNetCfgTemplates();
        InstallWriteTimeoutNotice();
    }
    ~FlowEnv() { UsbSetNoticeFn(nullptr); }
    base::ScopedVirtualClock clock{100000};
    CNetCfgApp app;
};

// The test's own run; a table case or a matrix cell makes a fresh Session on top of it.
class FlowTest : public testing::Test, protected FlowEnv, protected Session {
protected:
    // For each pick: opens the list, double-clicks network `first` and lets `second` act
    // in the password dialog; without `second` the list must stay open, and the user closes
    // it (the last pick only).
    using Pick = std::pair<int, std::function<void(ui::DialogScript&)>>;
    void RunPicks(const std::vector<Pick>& picks) {
        int lists = 0, passwords = 0;
        ui::DialogScript& main = OnMain();
        for (const Pick& p : picks) {
            ui::DialogScript& list = On(IDD_AP_LIST, ++lists);
            list.DoubleClickRow(IDC_AP_LIST, p.first);
            p.second ? p.second(On(IDD_AP_PASSWORD, ++passwords)) : (void)list.Escape();
            main.Click(IDC_SSID_SCAN);
        }
        main.Escape();
        dlg.DoModal();
    }
};
