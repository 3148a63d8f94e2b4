// The whole main dialog on the headless backend against simulated devices, on virtual
// time, with a scripted user; shared by the flow tests and the fault matrix.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <memory>
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

class FlowTest : public testing::Test {
protected:
    FlowTest() : m_backendScope(backend) {
        app.m_appName = "netcfg";
        RegisterNetCfgTemplates();
        InstallWriteTimeoutNotice();
        UsbSetLink(&link);
    }
    ~FlowTest() override {
        UsbSetLink(nullptr);
        UsbSetNoticeFn(nullptr);
    }
    void TearDown() override {
        EXPECT_EQ(backend.Errors(), std::vector<std::string>{});
        EXPECT_EQ(User().Unused(), std::vector<std::string>{});
    }

    // Attaches the first device, the default one.
    devsim::Device& AddDevice(const char* productId = "1234", uint32_t port = 1) {
        devices.push_back(std::make_unique<devsim::Device>());
        link.Attach(*devices.back(), productId, port);
        return *devices.back();
    }

    ui::ScriptedUser& User() { return backend.User(); }
    ui::DialogScript& OnMain() { return User().OnDialog(IDD_NETCFG_DIALOG); }

    // The main dialog runs with dlg.DoModal(); the test's script for dialog 102 must end it.
    // One more run of a fresh main dialog against a fresh default device that `prepare`
    // sets up; the dialog only starts and closes. For table-driven cases.
    struct FreshRun {
        std::unique_ptr<devsim::Device> dev = std::make_unique<devsim::Device>();
        std::unique_ptr<CNetCfgDlg> dlg;
    };
    FreshRun& RunFresh(const std::function<void(devsim::Device&)>& prepare,
                       const std::function<void(ui::DialogScript&)>& script = {}) {
        FreshRun& run = runs.emplace_back();
        prepare(*run.dev);
        SimUsbLink freshLink;
        freshLink.Attach(*run.dev, "1234", 1);
        UsbSetLink(&freshLink);
        run.dlg = std::make_unique<CNetCfgDlg>();
        ui::DialogScript& main = User().OnDialog(IDD_NETCFG_DIALOG, static_cast<int>(runs.size()));
        if (script) script(main);
        main.Escape();
        run.dlg->DoModal();
        UsbSetLink(&link);
        return run;
    }

    // For each pick: opens the list, double-clicks network `first` and lets `second` act
    // in the password dialog; without `second` the list must stay open, and the user closes
    // it (the last pick only).
    using Pick = std::pair<int, std::function<void(ui::DialogScript&)>>;
    void RunPicks(const std::vector<Pick>& picks) {
        int n = 0;
        ui::DialogScript& main = OnMain();
        for (const Pick& p : picks) {
            ui::DialogScript& list = User().OnDialog(IDD_AP_LIST, ++n);
            list.DoubleClickRow(IDC_AP_LIST, p.first);
            p.second ? p.second(User().OnDialog(IDD_AP_PASSWORD, n)) : (void)list.Escape();
            main.Click(IDC_SSID_SCAN);
        }
        main.Escape();
        dlg.DoModal();
    }
    // How many requests with command `id` the device has received.
    static int Count(devsim::Device& dev, int32_t id) {
        const std::vector<int32_t> ids = dev.CommandIds();
        return static_cast<int>(std::count(ids.begin(), ids.end(), id));
    }
    std::vector<std::string> RequestTexts(devsim::Device& dev, int32_t id) {
        std::vector<std::string> texts;
        for (const auto& r : dev.Requests()) {
            if (r.cmdId != id) continue;
            texts.push_back(r.Text());
            EXPECT_EQ(r.payload.size(), texts.back().size() + 1) << "the text and its NUL only";
        }
        return texts;
    }
    std::vector<std::string> Boxes() const {
        std::vector<std::string> texts;
        for (const auto& b : backend.MessageBoxes()) texts.push_back(b.text);
        return texts;
    }
    const ui::headless::ControlState* Control(int id, int templateId = IDD_NETCFG_DIALOG) {
        return backend.FindDialog(templateId)->Control(id);
    }

    base::ScopedVirtualClock clock{100000};
    ui::headless::HeadlessBackend backend;
    ui::ScopedBackend m_backendScope;
    CNetCfgApp app;
    SimUsbLink link;
    std::vector<std::unique_ptr<devsim::Device>> devices;
    std::deque<FreshRun> runs;
    CNetCfgDlg dlg;
};
