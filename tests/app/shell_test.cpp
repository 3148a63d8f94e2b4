// Start-up, the device list, the dispatcher and the wait, on the whole dialog.
#include "flow_fixture.h"

namespace {

using devsim::kEveryTime;
using devsim::NoReply;
using devsim::ReplyPayload;
using devsim::ReplyText;
using Ids = std::vector<int32_t>;
using Texts = std::vector<std::string>;

TEST_F(FlowTest, StartUpReadsEverythingInOrderFromTheDevice) {
    devsim::Device& dev = AddDevice("1234", 1);
    OnMain().Escape();
    dlg.DoModal();
    EXPECT_EQ(dev.CommandIds(), (Ids{11, 20, 19, 25, 30, 21, 22, 42}));
    EXPECT_EQ(Control(IDC_DEVICE_COMBO)->entries,
              Texts{"USB001 PID:1234 Quillo R7 Network Module FW 1.01.02\n"});
    EXPECT_EQ(Control(IDC_SSID)->text, "HomeNet");
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(FlowTest, NoDeviceSaysSoAndSendsNothingThenComesAndGoes) {
    devsim::Device& dev = AddDevice();
    dev.SetPresent(false);
    OnMain()
        .Call([&] {
            EXPECT_TRUE(dev.CommandIds().empty());
            EXPECT_EQ(dlg.m_selDevice, -1);
            EXPECT_EQ(dlg.m_wifiStatus, 0u);  // the status request failed quietly
            dlg.m_ssid = "stale";
            EXPECT_FALSE(dlg.LoadSsid());
            EXPECT_EQ(Control(IDC_SSID)->text, "");  // not refreshed with "stale"
            dev.SetPresent(true);
        })
        .Click(IDC_DEVICE_SCAN)
        .Call([&] {
            EXPECT_EQ(dlg.m_selDevice, 0);
            dev.SetPresent(false);
        })
        .Click(IDC_DEVICE_SCAN)
        .Call([&] {
            EXPECT_EQ(dlg.m_selDevice, -1);
            EXPECT_TRUE(Control(IDC_DEVICE_COMBO)->entries.empty());
        })
        .Escape();
    dlg.DoModal();
    EXPECT_EQ(Boxes(), (Texts{"Device not found!!!", "Device not found!!!"}));
}

TEST_F(FlowTest, DeviceLabelsFromTheIdentityTexts) {
    const std::string cut = "USB001 PID:1234 " + std::string(126, 'a') + " xyz\n";
    struct {
        std::string info, extra;
        std::vector<devsim::FaultRule> faults;
        std::string label;
        int asksAlt;
    } cases[] = {
        {"abc", "xyz", {}, "USB001 PID:1234 abc xyz\n", 0},
        {"abc", "", {}, "USB001 PID:1234 abc alt\n", 1},              // 20 empty: 19
        {"abc", "", {NoReply().On(20)}, "USB001 PID:1234 abc\n", 0},  // 20 fails
        {"abc", "x", {NoReply().On(11), NoReply().On(20)}, "USB001 PID:1234\n", 0},
        {"abc", "xyz", {ReplyPayload({'n', 'o', 'n'}).On(11)}, "USB001 PID:1234 non xyz\n", 0},
        {std::string(200, 'a'), "xyz", {}, cut, 0}};
    for (const auto& c : cases) {
        FreshRun& run = RunFresh([&](devsim::Device& dev) {
            dev.State().info = c.info;
            dev.State().extra = c.extra;
            dev.State().extraAlt = "alt";
            for (const auto& f : c.faults) dev.Inject(f);
        });
        EXPECT_EQ(run.dlg->m_selDeviceLabel, c.label);
        EXPECT_EQ(Count(*run.dev, 19), c.asksAlt) << c.label;
    }
}

TEST_F(FlowTest, SelectionFollowsTheLabelAcrossRefreshesAndAddressesTheDevice) {
    devsim::Device& first = AddDevice("1111", 1);
    devsim::Device& second = AddDevice("2222", 2);
    second.State().info = "Second unit";
    // Which device the next command goes to: the selected one only.
    auto loadGoesTo = [&](devsim::Device& to, devsim::Device& notTo) {
        to.ClearRequests();
        notTo.ClearRequests();
        dlg.LoadSsid();
        EXPECT_EQ(to.CommandIds(), Ids{CMD_GET_SSID});
        EXPECT_TRUE(notTo.CommandIds().empty());
    };
    OnMain()
        .Call([&] { second.ClearRequests(); })
        .Select(IDC_DEVICE_COMBO, 1)
        .Call([&] {
            // A change of device reloads what the window shows, from that device.
            EXPECT_EQ(second.CommandIds(), (Ids{25, 30, 21, 22, 42}));
            loadGoesTo(second, first);
        })
        .DropDown(IDC_DEVICE_COMBO)
        .Call([&] {
            EXPECT_EQ(Control(IDC_DEVICE_COMBO)->sel, 1);
            loadGoesTo(second, first);
            second.State().info = "Renamed";  // its label changes: the first is selected
        })
        .Click(IDC_DEVICE_SCAN)
        .Call([&] {
            EXPECT_EQ(dlg.m_selDevice, 0);
            loadGoesTo(first, second);
        })
        .Escape();
    dlg.DoModal();
}

TEST_F(FlowTest, DispatcherCases) {
    devsim::Device& dev = AddDevice();
    auto ask = [&](devsim::FaultRule reply, int32_t id) {
        dev.Inject(reply.On(id));
        return dlg.DoDeviceCommand(id);
    };
    OnMain()
        .Call([&] {
            dev.ClearRequests();
            EXPECT_TRUE(dlg.DoDeviceCommand(33));  // no such case: nothing is sent
            EXPECT_TRUE(dev.CommandIds().empty());
            dlg.m_ssid = "kept";
            EXPECT_FALSE(ask(ReplyPayload({}), CMD_GET_SSID));
            EXPECT_EQ(dlg.m_ssid, "kept");
            EXPECT_FALSE(dlg.DoDeviceCommand(CMD_SET_ETH_IPCFG));  // answered empty
            EXPECT_TRUE(ask(ReplyPayload({7, 7}), CMD_SET_ETH_IPCFG));
            dlg.m_done = 9;
            EXPECT_TRUE(ask(ReplyPayload({0, 1}), CMD_POLL_DONE));
            EXPECT_EQ(dlg.m_done, 0);
            EXPECT_TRUE(ask(ReplyText("1c"), CMD_GET_WIFI_STATUS));
            EXPECT_EQ(dlg.m_wifiStatus, 0x1Cu);
            EXPECT_TRUE(ask(ReplyText("zz"), CMD_GET_WIFI_STATUS));
            EXPECT_EQ(dlg.m_wifiStatus, 0x1Cu);
            ask(ReplyText("a-much-longer-name"), CMD_GET_SSID);
            ask(ReplyText("short"), CMD_GET_SSID);
            EXPECT_EQ(dlg.m_ssid, "short");
        })
        .Escape();
    dlg.DoModal();
}

TEST_F(FlowTest, WaitEndsAtCompletionAfterTheSettleDelayOrAtTheTimeOut) {
    devsim::Device& dev = AddDevice();
    struct {
        int notDone;  // polls answered "not done" before "done"; kEveryTime: never done
        int32_t settleMs, totalMs;
        uint32_t escapeAfter, returnsAfter;  // escapeAfter 0: the user waits
        bool done;
        int32_t seconds, polls;  // the count when the dialog closed, the polls sent
    } cases[] = {{0, 0, 60000, 0, 1500, true, 0, 1},
                 {20, 0, 60000, 0, 11500, true, 10, 21},
                 {kEveryTime, 0, 60000, 0, 61500, false, 61, 122},
                 {0, 3000, 120000, 0, 4500, true, 3, 1},  // no poll after done
                 {kEveryTime, 0, 60000, 1200, 1700, false, 1, 2}};
    int run = 0;
    for (const auto& c : cases) {
        uint32_t opened = 0, returned = 0;
        if (c.escapeAfter) User().OnDialog(IDD_WAIT, run + 1).Wait(c.escapeAfter).Escape();
        User()
            .OnDialog(IDD_NETCFG_DIALOG, ++run)
            .Call([&] {
                dev.ClearFaults();
                dev.ClearRequests();
                if (c.notDone) dev.Inject(ReplyPayload({0}).On(CMD_POLL_DONE).Times(c.notDone));
                dev.Inject(ReplyPayload({1}).On(CMD_POLL_DONE).Times(kEveryTime));
                dlg.m_done = 1;  // a wait never inherits completion
                opened = base::GetTickCount();
                dlg.RunWait("Msg", c.settleMs, c.totalMs);
                returned = base::GetTickCount();
            })
            .Escape();
        dlg.DoModal();
        SCOPED_TRACE(run);
        EXPECT_EQ(returned - opened, c.returnsAfter);
        EXPECT_EQ(dlg.m_done != 0, c.done);
        EXPECT_EQ(dlg.m_waitDlg.m_seconds, c.seconds);
        EXPECT_EQ(static_cast<int>(dev.CommandIds().size()), c.polls);
        // The client fits " 0000", the message and 30 pixels (8 pixels a byte here).
        EXPECT_EQ(backend.FindDialog(IDD_WAIT)->ClientSize().cx, 5 * 8 + 3 * 8 + 30);
    }
}

TEST_F(FlowTest, WaitShowsTheCountAndSurvivesAWriteTimeOutNotice) {
    devsim::Device& dev = AddDevice();
    std::string atTen;
    User().OnDialog(IDD_WAIT).Wait(10100).Call(
        [&] { atTen = Control(IDC_WAIT_TEXT, IDD_WAIT)->text; });
    // The second poll's write stalls; the user takes two seconds to dismiss the notice,
    // while the wait's timers keep firing inside the box.
    User().OnMessageBox("Write to USB Timeout", 2000);
    OnMain()
        .Call([&] {
            dev.Inject(ReplyPayload({0}).On(CMD_POLL_DONE));
            dev.Inject(devsim::StallWrite().On(CMD_POLL_DONE));
            dev.Inject(ReplyPayload({0}).On(CMD_POLL_DONE).Times(20));
            dev.Inject(ReplyPayload({1}).On(CMD_POLL_DONE).Times(kEveryTime));
            dlg.RunWait("Msg", 0, 60000);
        })
        .Escape();
    dlg.DoModal();
    EXPECT_EQ(atTen, "Msg 10");
    EXPECT_EQ(Boxes(), Texts{"Write to USB Timeout"});
    EXPECT_NE(dlg.m_done, 0);
}

}  // namespace
