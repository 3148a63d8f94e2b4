// Start-up, the device list, the dispatcher and the wait, on the whole dialog.
#include <cstring>

#include "flow_fixture.h"
#include "protocol/transact.h"

namespace {

using devsim::NoReply;
using devsim::ReplyPayload;
using devsim::ReplyText;
using Ids = std::vector<int32_t>;

TEST_F(FlowTest, StartUpReadsEverythingInOrderFromTheDevice) {
    devsim::Device& dev = AddDevice("1234", 1);
    OnMain().Escape();
    RunMain();
    EXPECT_EQ(dev.CommandIds(),
              (Ids{CMD_QUERY_INFO, CMD_QUERY_EXTRA, CMD_QUERY_EXTRA_ALT, CMD_GET_COUNTRY_LIST,
                   CMD_GET_SSID, CMD_GET_ETH_IPCFG, CMD_GET_WIFI_IPCFG, CMD_GET_WIFI_STATUS}));
    const ui::headless::DialogState* main = backend.FindDialog(IDD_NETCFG_DIALOG);
    EXPECT_EQ(main->caption, NETCFG_TITLE);
    EXPECT_EQ(main->Control(IDC_DEVICE_COMBO)->entries,
              std::vector<std::string>{"USB001 PID:1234 Quillo R7 Network Module FW 1.01.02\n"});
    EXPECT_EQ(Control(IDC_SSID)->text, "HomeNet");
    EXPECT_EQ(dlg.m_selDevice, 0);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(FlowTest, NoDeviceSaysSoAndReadsNothing) {
    OnMain().Escape();
    RunMain();
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Device not found!!!"});
    EXPECT_EQ(backend.MessageBoxes()[0].caption, "netcfg");
    EXPECT_EQ(dlg.m_selDevice, -1);
    EXPECT_EQ(dlg.m_wifiStatus, 0u);  // the status request failed quietly
    EXPECT_TRUE(Control(IDC_DEVICE_COMBO)->entries.empty());
}

TEST_F(FlowTest, DeviceLabelsFromTheIdentityTexts) {
    struct {
        const char* name;
        std::string info, extra;
        std::vector<devsim::FaultRule> faults;
        const char* label;
        bool asksAlt;
    } cases[] = {
        {"both texts", "abc", "xyz", {}, "USB001 PID:1234 abc xyz\n", false},
        {"20 empty: 19 is used", "abc", "", {}, "USB001 PID:1234 abc alt\n", true},
        {"20 fails: 19 is not tried",
         "abc",
         "",
         {NoReply().On(CMD_QUERY_EXTRA)},
         "USB001 PID:1234 abc\n",
         false},
        {"both fail",
         "abc",
         "xyz",
         {NoReply().On(CMD_QUERY_INFO), NoReply().On(CMD_QUERY_EXTRA)},
         "USB001 PID:1234\n",
         false},
        {"no terminator in the reply",
         "abc",
         "xyz",
         {ReplyPayload({'n', 'o', 'n', 'u', 'l'}).On(11)},
         "USB001 PID:1234 nonul xyz\n",
         false},
        {"overlong text cut to 126", std::string(200, 'a'), "xyz", {}, nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FreshRun& run = RunFresh([&](devsim::Device& dev) {
            dev.State().info = c.info;
            dev.State().extra = c.extra;
            dev.State().extraAlt = "alt";
            for (const auto& f : c.faults) dev.Inject(f);
        });
        std::string expected =
            c.label ? c.label : "USB001 PID:1234 " + std::string(126, 'a') + " xyz\n";
        EXPECT_EQ(run.dlg->m_selDeviceLabel, expected);
        Ids ids = run.dev->CommandIds();
        EXPECT_EQ(std::count(ids.begin(), ids.end(), CMD_QUERY_EXTRA_ALT), c.asksAlt ? 1 : 0);
    }
}

TEST_F(FlowTest, SelectionFollowsTheLabelAcrossRefreshesAndAddressesTheDevice) {
    devsim::Device& first = AddDevice("1111", 1);
    devsim::Device& second = AddDevice("2222", 2);
    second.State().info = "Second unit";
    OnMain()
        .Call([&] {
            first.ClearRequests();
            second.ClearRequests();
        })
        .Select(IDC_DEVICE_COMBO, 1)
        .Call([&] {
            EXPECT_EQ(dlg.m_selDevice, 1);
            // A change of device reloads what the window shows, from that device.
            EXPECT_EQ(second.CommandIds(),
                      (Ids{CMD_GET_COUNTRY_LIST, CMD_GET_SSID, CMD_GET_ETH_IPCFG,
                           CMD_GET_WIFI_IPCFG, CMD_GET_WIFI_STATUS}));
            EXPECT_TRUE(first.CommandIds().empty());
        })
        .DropDown(IDC_DEVICE_COMBO)
        .Call([&] {
            EXPECT_EQ(dlg.m_selDevice, 1);
            EXPECT_EQ(Control(IDC_DEVICE_COMBO)->sel, 1);
            second.ClearRequests();
            dlg.LoadSsid();
            EXPECT_EQ(second.CommandIds(), Ids{CMD_GET_SSID});
            second.State().info = "Renamed";  // its label changes: the first is selected
        })
        .Click(IDC_DEVICE_SCAN)
        .Call([&] {
            EXPECT_EQ(dlg.m_selDevice, 0);
            EXPECT_EQ(dlg.m_selDeviceLabel.substr(0, 15), "USB001 PID:1111");
            first.ClearRequests();
            second.ClearRequests();
            dlg.LoadSsid();  // the refresh talked to both; the commands go to the selected
            EXPECT_EQ(first.CommandIds(), Ids{CMD_GET_SSID});
            EXPECT_TRUE(second.CommandIds().empty());
        })
        .Escape();
    RunMain();
}

TEST_F(FlowTest, DeviceGoneAndBack) {
    devsim::Device& dev = AddDevice();
    OnMain()
        .Call([&] { dev.SetPresent(false); })
        .Click(IDC_DEVICE_SCAN)
        .Call([&] {
            EXPECT_EQ(dlg.m_selDevice, -1);
            EXPECT_TRUE(Control(IDC_DEVICE_COMBO)->entries.empty());
            dev.SetPresent(true);
        })
        .Click(IDC_DEVICE_SCAN)
        .Call([&] { EXPECT_EQ(dlg.m_selDevice, 0); })
        .Escape();
    RunMain();
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Device not found!!!"});
}

TEST_F(FlowTest, DispatcherCases) {
    devsim::Device& dev = AddDevice();
    OnMain()
        .Call([&] {
            dev.ClearRequests();
            EXPECT_TRUE(dlg.DoDeviceCommand(33));  // no such case: nothing is sent
            EXPECT_TRUE(dev.CommandIds().empty());

            dlg.m_ssid = "kept";
            dev.Inject(ReplyPayload({}).On(CMD_GET_SSID));
            EXPECT_FALSE(dlg.DoDeviceCommand(CMD_GET_SSID));  // empty read: a failure
            EXPECT_EQ(dlg.m_ssid, "kept");
            dev.Inject(ReplyText("").On(CMD_GET_SSID));
            EXPECT_TRUE(dlg.DoDeviceCommand(CMD_GET_SSID));
            EXPECT_EQ(dlg.m_ssid, "");

            EXPECT_FALSE(dlg.DoDeviceCommand(CMD_SET_ETH_IPCFG));  // answered empty
            dev.Inject(ReplyPayload({7, 7}).On(CMD_SET_ETH_IPCFG));
            EXPECT_TRUE(dlg.DoDeviceCommand(CMD_SET_ETH_IPCFG));

            dlg.m_done = 9;
            dev.Inject(ReplyPayload({}).On(CMD_POLL_DONE));
            EXPECT_FALSE(dlg.DoDeviceCommand(CMD_POLL_DONE));
            EXPECT_EQ(dlg.m_done, 9);
            dev.Inject(ReplyPayload({0, 1}).On(CMD_POLL_DONE));
            EXPECT_TRUE(dlg.DoDeviceCommand(CMD_POLL_DONE));
            EXPECT_EQ(dlg.m_done, 0);

            dev.Inject(ReplyText("1c").On(CMD_GET_WIFI_STATUS));
            EXPECT_TRUE(dlg.DoDeviceCommand(CMD_GET_WIFI_STATUS));
            EXPECT_EQ(dlg.m_wifiStatus, 0x1Cu);
            dev.Inject(ReplyText("zz").On(CMD_GET_WIFI_STATUS));
            EXPECT_TRUE(dlg.DoDeviceCommand(CMD_GET_WIFI_STATUS));
            EXPECT_EQ(dlg.m_wifiStatus, 0x1Cu);

            dev.Inject(ReplyText("a-much-longer-name").On(CMD_GET_SSID));
            dlg.DoDeviceCommand(CMD_GET_SSID);
            dev.Inject(ReplyText("short").On(CMD_GET_SSID));
            dlg.DoDeviceCommand(CMD_GET_SSID);
            EXPECT_EQ(dlg.m_ssid, "short");
        })
        .Escape();
    RunMain();
}

TEST_F(FlowTest, LoadSsidWithoutADeviceSendsNothing) {
    OnMain()
        .Call([&] {
            dlg.m_ssid = "stale";
            EXPECT_FALSE(dlg.LoadSsid());
        })
        .Escape();
    RunMain();
    EXPECT_EQ(Control(IDC_SSID)->text, "");  // the box was not refreshed with "stale"
}

TEST_F(FlowTest, WaitEndsAtCompletionAfterTheSettleDelayOrAtTheTimeOut) {
    using devsim::kEveryTime;
    devsim::Device& dev = AddDevice();
    struct Case {
        const char* name;
        std::vector<devsim::FaultRule> polls;  // how the device answers CMD_POLL_DONE
        int32_t settleMs, totalMs;
        uint32_t escapeAfter;  // 0: the user waits
        uint32_t returnsAfter;
        bool done;
        int32_t seconds;  // the count when the dialog closed
        int polls_sent;
    } cases[] = {
        {"done at the first poll",
         {ReplyPayload({1}).Times(kEveryTime)},
         0,
         60000,
         0,
         1500,
         true,
         0,
         1},
        {"done after ten seconds",
         {ReplyPayload({0}).Times(20), ReplyPayload({1}).Times(kEveryTime)},
         0,
         60000,
         0,
         11500,
         true,
         10,
         21},
        {"never done: the 61st second closes",
         {ReplyPayload({0}).Times(kEveryTime)},
         0,
         60000,
         0,
         61500,
         false,
         61,
         122},
        {"settle delay: no poll after done",
         {ReplyPayload({1}).Times(kEveryTime)},
         3000,
         120000,
         0,
         4500,
         true,
         3,
         1},
        {"Escape ends it at once",
         {ReplyPayload({0}).Times(kEveryTime)},
         0,
         60000,
         1200,
         1700,
         false,
         1,
         2},
    };
    int run = 0;
    for (const Case& c : cases) {
        ++run;
        uint32_t opened = 0, returned = 0;
        if (c.escapeAfter) User().OnDialog(IDD_WAIT, run).Wait(c.escapeAfter).Escape();
        User()
            .OnDialog(IDD_NETCFG_DIALOG, run)
            .Call([&] {
                dev.ClearFaults();
                dev.ClearRequests();
                for (const auto& f : c.polls) dev.Inject(devsim::FaultRule(f).On(CMD_POLL_DONE));
                dlg.m_done = 1;  // a wait never inherits completion
                opened = base::GetTickCount();
                dlg.RunWait("Msg", c.settleMs, c.totalMs);
                returned = base::GetTickCount();
            })
            .Escape();
        RunMain();
        SCOPED_TRACE(c.name);
        EXPECT_EQ(returned - opened, c.returnsAfter);
        EXPECT_EQ(dlg.m_done != 0, c.done);
        EXPECT_EQ(dlg.m_waitDlg.m_seconds, c.seconds);
        EXPECT_EQ(static_cast<int>(dev.CommandIds().size()), c.polls_sent);
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
            dev.Inject(ReplyPayload({1}).On(CMD_POLL_DONE).Times(devsim::kEveryTime));
            dlg.RunWait("Msg", 0, 60000);
        })
        .Escape();
    RunMain();
    EXPECT_EQ(atTen, "Msg 10");
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Write to USB Timeout"});
    EXPECT_NE(dlg.m_done, 0);
}

}  // namespace
