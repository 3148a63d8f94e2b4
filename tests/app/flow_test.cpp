// The whole main dialog: start-up, the device list, the dispatcher, the wait, the IP panels,
// the country list, the network list and the connect and delete flows.
#include "flow_fixture.h"

namespace {

using devsim::kEveryTime;
using devsim::NoReply;
using devsim::ReplyPayload;
using devsim::ReplyText;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

// A control that shares its id with another is unreachable by that id.
TEST(Templates, EachControlHasItsOwnId) {
    for (const ui::DialogTemplate* t :
         {&MainDialogTemplate(), &ApListTemplate(), &ApPasswordTemplate(), &WaitTemplate()}) {
        std::vector<int> ids;
        for (const ui::ControlTemplate& c : t->controls) ids.push_back(c.id);
        std::sort(ids.begin(), ids.end());
        EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end()) << t->id;
    }
}

// The WiFi panel stands 150 units right of the Ethernet one, control for control; only
// the labels' widths differ, and those are the toolkit's to stretch.
TEST(Templates, TheWifiPanelMirrorsTheEthernetPanel) {
    const auto& controls = MainDialogTemplate().controls;
    auto shape = [](const ui::ControlTemplate& c, int dx) {
        return std::tuple(c.kind, c.x + dx, c.y, c.kind == ui::WindowKind::Static ? 0 : c.cx, c.cy);
    };
    int twins = 0;
    for (const ui::ControlTemplate& eth : controls) {
        if (eth.y < 64 || eth.x >= 157) continue;  // not in the Ethernet panel
        twins += std::any_of(controls.begin(), controls.end(),
                             [&](const auto& wifi) { return shape(wifi, 0) == shape(eth, 150); });
    }
    EXPECT_EQ(twins, 9);
}

TEST_F(FlowTest, TheDispatcherCasesAndTheHelp) {
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
            ask(ReplyText("a-much-longer-name"), CMD_GET_SSID);
            ask(ReplyPayload({'s', 'h', 'o', 'r', 't'}), CMD_GET_SSID);  // without its NUL
            EXPECT_EQ(dlg.m_ssid, "short");
            // Every equal entry goes, whatever its case; the text comes last, unselected.
            ComboAddUnique(dlg.m_countryCombo, " canada");
            ComboAddUnique(dlg.m_countryCombo, " CANADA");
            EXPECT_EQ(Control(IDC_COUNTRY_COMBO)->entries.size(), 12u);
            EXPECT_EQ(Control(IDC_COUNTRY_COMBO)->entries.back(), " CANADA");
            EXPECT_EQ(Control(IDC_COUNTRY_COMBO)->sel, -1);
        })
        .Key(VK_F1)
        .Escape();
    dlg.DoModal();
    ASSERT_EQ(backend.MessageBoxes().size(), 1u);
    EXPECT_TRUE(backend.MessageBoxes()[0].text.starts_with(std::string(NETCFG_TITLE) + "\n\n"));
    EXPECT_EQ(backend.MessageBoxes()[0].caption, "netcfg");
}

TEST_F(FlowTest, RepliesArriveWithinTheirCommandsTimeOuts) {
    // 4 s for every reply: the identity queries (500 ms) miss theirs, the reads do not;
    // the scan's takes 20 s.
    On(IDD_AP_LIST).Escape();
    dev.State().timing.replyMs = 4000;
    dev.State().timing.scanMs = 20000;
    Go([](ui::DialogScript& main) { main.Click(IDC_SSID_SCAN); });
    EXPECT_EQ(dlg.m_selDeviceLabel, "USB001 PID:1234\n");
    EXPECT_EQ(dlg.m_ssid, "HomeNet");
    EXPECT_TRUE(dlg.m_ethPanel.loaded && dlg.m_wifiPanel.loaded);
    EXPECT_NE(dlg.m_apListDlg.m_scanReply, nullptr);
}

// What the window shows of the addressed device: both panels, the country list, the SSID,
// a kept scan.
std::string View(CNetCfgDlg& dlg) {
    return EthPanel(dlg) + "|" + WifiPanel(dlg) + "|" +
           std::to_string(dlg.m_countryCombo.GetCount()) + " " +
           dlg.GetDlgItem(IDC_SSID)->GetWindowText() + " " +
           (dlg.m_apListDlg.m_scanReply ? "scan" : "-");
}

// The selection follows the label across refreshes and says where every command goes; what
// a change of device leaves unread is the fault matrix's.
TEST_F(FlowTest, TheSelectedDeviceIsAddressedAndFollowsItsLabel) {
    link.Attach(second, "2222", 2);
    // A read goes to `to` only; where nothing was read, the Sets have nothing to send.
    auto onlyTo = [&](devsim::Device& to, devsim::Device& notTo, bool forgotten) {
        to.ClearRequests();
        notTo.ClearRequests();
        dlg.LoadSsid();
        if (forgotten) {
            dlg.OnEthSet();
            dlg.OnWifiSet();
        }
        EXPECT_EQ(to.CommandIds(), Ids{CMD_GET_SSID});
        EXPECT_TRUE(notTo.CommandIds().empty());
    };
    On(IDD_AP_LIST, 0).Escape();
    OnMain()
        .Select(IDC_DEVICE_COMBO, 1)
        .Select(IDC_DEVICE_COMBO, 0)  // the first position is a device too
        .Call([&] { onlyTo(dev, second, false); })
        .Select(IDC_DEVICE_COMBO, 1)
        .DropDown(IDC_DEVICE_COMBO)  // rebuilt: the second stays selected
        .Click(IDC_SSID_SCAN)
        .Call([&] {
            EXPECT_EQ(View(dlg), "x 192.168.1.57 +--|  192.168.1.200 ++-|12 HomeNet scan");
            onlyTo(second, dev, false);
            // Its label changes, so the device Scan selects the first, whose panels fail
            // to load while its country list and SSID come.
            second.State().info = "Renamed";
            dev.Inject(NoReply().On(CMD_GET_ETH_IPCFG).Times(kEveryTime));
            dev.State().joined = "FirstNet";
        })
        .Click(IDC_DEVICE_SCAN)
        .Call([&] {
            EXPECT_EQ(View(dlg), "  0.0.0.0 ---|  0.0.0.0 ---|12 FirstNet -");
            onlyTo(dev, second, true);
            dev.SetPresent(false);
            second.SetPresent(false);
        })
        .Click(IDC_DEVICE_SCAN)  // both gone: nothing shown, nothing addressed
        .Call([&] {
            EXPECT_EQ(View(dlg), "  0.0.0.0 ---|  0.0.0.0 ---|0  -");
            EXPECT_TRUE(Control(IDC_DEVICE_COMBO)->entries.empty());
            EXPECT_FALSE(dlg.LoadSsid());
            dev.SetPresent(true);
        })
        .Click(IDC_DEVICE_SCAN)  // back: read again
        .Call([&] { EXPECT_EQ(View(dlg), "  0.0.0.0 ---|  0.0.0.0 ---|12 FirstNet -"); })
        .Escape();
    dlg.DoModal();
    EXPECT_EQ(Boxes(), Texts{"Device not found!!!"});
}

TEST_F(FlowTest, WaitEndsAtCompletionAfterTheSettleDelayOrAtTheTimeOut) {
    struct {
        int notDone;  // polls answered "not done" before "done"; kEveryTime: never done
        int32_t settleMs, totalMs;
        uint32_t escapeAfter, returnsAfter;  // escapeAfter 0: the user waits
        bool done;
        int32_t seconds, polls;  // the count when the dialog closed, the polls sent
        const char* text;        // what it showed last
        devsim::FaultRule notDoneReply = ReplyPayload({0});  // NoReply: waits out its 5 s
        uint32_t startAt = 100000;                           // the tick count at the start
    } cases[] = {{0, 0, 60000, 0, 1500, true, 0, 1, "Msg"},
                 {20, 0, 60000, 0, 11500, true, 10, 21, "Msg 10"},
                 // An empty reply never inherits the done of an earlier wait.
                 {kEveryTime, 0, 60000, 0, 61500, false, 61, 122, "Msg 60", ReplyPayload({})},
                 {0, 3000, 120000, 0, 4500, true, 3, 1, "Msg 3"},  // no poll after done
                 {0, 3000, 120000, 0, 4500, true, 3, 1, "Msg 3", {}, 0xFFFFF1F0},  // past 2^32
                 {kEveryTime, 0, 60000, 1200, 1700, false, 1, 2, "Msg 1"},
                 // The total is the total, however long each poll blocks.
                 {kEveryTime, 0, 60000, 0, 66500, false, 66, 12, "Msg 60", NoReply()}};
    int run = 0;
    for (const auto& c : cases) {
        uint32_t opened = 0, returned = 0;
        if (c.escapeAfter) On(IDD_WAIT, run + 1).Wait(c.escapeAfter).Escape();
        OnMain(++run)
            .Call([&] {
                dev.ClearFaults();
                dev.ClearRequests();
                devsim::FaultRule notDone = c.notDoneReply;
                if (c.notDone) dev.Inject(notDone.On(CMD_POLL_DONE).Times(c.notDone));
                dev.Inject(ReplyPayload({1}).On(CMD_POLL_DONE).Times(kEveryTime));
                dlg.m_done = 1;  // left over from an earlier wait
                opened = base::GetTickCount();
                dlg.RunWait("Msg", c.settleMs, c.totalMs);
                returned = base::GetTickCount();
            })
            .Escape();
        clock.Set(c.startAt);
        dlg.DoModal();
        SCOPED_TRACE(run);
        EXPECT_EQ(returned - opened, c.returnsAfter);
        EXPECT_EQ(dlg.m_done != 0, c.done);
        EXPECT_EQ(dlg.m_waitDlg.m_seconds, c.seconds);
        EXPECT_EQ(Control(IDC_WAIT_TEXT, IDD_WAIT)->text, c.text);
        EXPECT_EQ(static_cast<int>(dev.CommandIds().size()), c.polls);
        // The client fits " 0000", the message and 30 pixels (8 pixels a byte here),
        // and keeps the template's height (32 dialog units, 2 pixels each).
        EXPECT_EQ(backend.FindDialog(IDD_WAIT)->ClientSize().cx, 5 * 8 + 3 * 8 + 30);
        EXPECT_EQ(backend.FindDialog(IDD_WAIT)->ClientSize().cy, 64);
    }
}

// A record with a 16-byte header (words 0, 1 and 3) and the space-separated strings, each
// with its NUL; for scan replies word 2 is the length L.
Bytes Record(uint32_t w0, uint32_t w1, uint32_t w3, std::string strings, bool scan = false) {
    std::ranges::replace(strings += ' ', ' ', '\0');
    Bytes b;
    for (uint32_t w : {w0, w1, scan ? static_cast<uint32_t>(strings.size() - 4) : 0u, w3})
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(w >> (8 * i)));
    b.insert(b.end(), strings.begin(), strings.end());
    return b;
}

// The panels follow the device and the edits. A static set that no network could use is
// refused before anything is sent, and the edits stay; Enter, pressed on the way, neither
// ends the window nor drops them. With DHCP on nothing is checked: the static set edited
// meanwhile is not sent. The country Set on the device's own (marked) entry, or on none,
// sends and says nothing.
TEST_F(FlowTest, SetsSendWhatThePanelsShowOrNothing) {
    OnMain()
        .Call([&] { EXPECT_EQ(Control(IDC_COUNTRY_COMBO)->sel, 5); })  // "*Germany"
        .Click(IDC_COUNTRY_SET)
        .Call([&] { dlg.m_countryCombo.SetCurSel(-1); })
        .Click(IDC_COUNTRY_SET)
        .Call([&] { EXPECT_EQ(EthPanel(dlg), "x 192.168.1.57 +--"); })  // DHCP on: the lease
        .Click(IDC_ETH_DHCP)
        .Call([&] { EXPECT_EQ(EthPanel(dlg), "  192.168.1.100 +++"); })  // off: the static set
        .SetIp(IDC_ETH_ADDR, "127.0.0.1")
        .Click(IDC_ETH_DHCP)
        .Call([&] { EXPECT_EQ(EthPanel(dlg), "x 192.168.1.57 +-+"); })
        .Click(IDC_ETH_SET)
        .SetIp(IDC_WIFI_ADDR, "192.168.1.201")
        .Call([&] { EXPECT_EQ(WifiPanel(dlg), "  192.168.1.201 +++"); })
        .SetIp(IDC_WIFI_ADDR, "192.168.1.200")
        .Call([&] { EXPECT_EQ(WifiPanel(dlg), "  192.168.1.200 ++-"); })  // edited back
        .SetIp(IDC_WIFI_ADDR, "192.168.1.0")
        .Enter()
        .Click(IDC_WIFI_SET)
        .Call([&] { EXPECT_EQ(WifiPanel(dlg), "  192.168.1.0 +++"); })
        .SetIpField(IDC_WIFI_ADDR, 3, 7)
        .SetIpField(IDC_WIFI_GATEWAY, 2, -1)
        .Click(IDC_WIFI_SET)
        .SetIpField(IDC_WIFI_GATEWAY, 2, 1)
        .SetIp(IDC_WIFI_MASK, "255.255.0.0")
        .Click(IDC_WIFI_SET)
        .Call([&] { EXPECT_EQ(WifiPanel(dlg), "  192.168.1.7 ++-"); })  // read back: clean again
        .Click(IDC_WIFI_DHCP)
        .Click(IDC_WIFI_SET)
        .Escape();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(Boxes(), (Texts{"IP Addr is the network address of its subnet!!!",
                              "Gateway has an empty field!!!"}));
    EXPECT_EQ(dlg.m_waitDlg.m_message, "IP Config Setting.....");
    EXPECT_EQ(Count(dev, CMD_SET_COUNTRY), 0);
    EXPECT_EQ(RequestTexts(dev, CMD_SET_ETH_IPCFG),
              Texts{"1,192.168.1.57,255.255.255.0,192.168.1.1"});
    EXPECT_EQ(RequestTexts(dev, CMD_SET_WIFI_IPCFG),
              (Texts{"0,192.168.1.7,255.255.0.0,192.168.1.1",
                     "1,192.168.1.61,255.255.255.0,192.168.1.1"}));
    // Start-up and the three Sets read both panels.
    EXPECT_EQ(Count(dev, CMD_GET_ETH_IPCFG) + Count(dev, CMD_GET_WIFI_IPCFG), 8);
}

// What the start-up shows after the device's replies: the label, the country list (the
// selected entry's position last), each IP panel's DHCP, address, mask, gateway and Set as
// "+" when they take input, the identity queries sent and the WiFi reads; and what it printed.
TEST_F(FlowTest, StartUpRepliesAndWhatTheyShow) {
    const std::string ip = "1.1.1.1,2.2.2.2,3.3.3.3,";
    struct {
        std::vector<devsim::FaultRule> replies;
        std::string shown;
        const char* line = "";
    } cases[] = {
        {{}, "abc xyz| A,*B,1|+---- ++++-|11 20 wifi 1"},
        {{ReplyText("").On(20)}, "abc alt| A,*B,1|+---- ++++-|11 20 19 wifi 1"},  // 20 empty: 19
        {{ReplyPayload({'n', 'o', 'n'}).On(11)}, "non xyz| A,*B,1|+---- ++++-|11 20 wifi 1"},
        {{ReplyText(std::string(200, 'a')).On(11)},
         std::string(126, 'a') + " xyz| A,*B,1|+---- ++++-|11 20 wifi 1"},
        // Locked, unlocked with DHCP off, a field too long: the WiFi panel is read after.
        {{ReplyText("4,0," + ip + "4.4.4.4,5.5.5.5,6.6.6.6").On(CMD_GET_ETH_IPCFG)},
         "abc xyz| A,*B,1|----- ++++-|11 20 wifi 1"},
        {{ReplyText("3,0," + ip + "4.4.4.4,5.5.5.5,6.6.6.6").On(CMD_GET_ETH_IPCFG)},
         "abc xyz| A,*B,1|++++- ++++-|11 20 wifi 1"},
        {{ReplyText("0,0," + ip + "1234567890123456,5,6").On(CMD_GET_ETH_IPCFG)},
         "abc xyz| A,*B,1|----- -----|11 20 wifi 0",
         "IP Cfg Field 6 Len 16 > 15 Error!!!\n"},
        // The current entry marked; one past the list marks none; a list with two equal
        // names is refused.
        {{ReplyPayload(Record(5, 2, 15, "AA A BB B CC C DD D EE E")).On(CMD_GET_COUNTRY_LIST)},
         "abc xyz| A, B,*C, D, E,2|+---- ++++-|11 20 wifi 1"},
        {{ReplyPayload(Record(2, 5, 6, "AA A BB B")).On(CMD_GET_COUNTRY_LIST)},
         "abc xyz| A, B,-1|+---- ++++-|11 20 wifi 1"},
        {{ReplyPayload(Record(2, 9, 6, "AA Ab XX ab")).On(CMD_GET_COUNTRY_LIST)},
         "abc xyz|-1|+---- ++++-|11 20 wifi 1",
         "Country Entry 1 Repeats 0 Error!!!\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        CaptureStdout();
        Session run;
        devsim::DeviceState& s = run.dev.State();
        s.info = "abc";
        s.extra = "xyz";
        s.extraAlt = "alt";
        s.countries = {{"AA", "A"}, {"BB", "B"}};
        s.currentCountry = 1;
        for (const auto& r : c.replies) run.dev.Inject(r);
        const std::string& label = run.Go().dlg.m_selDeviceLabel;
        std::string shown = label.substr(16, label.size() - 17) + "|";
        for (const std::string& e : run.Control(IDC_COUNTRY_COMBO)->entries) shown += e + ",";
        shown += std::to_string(run.Control(IDC_COUNTRY_COMBO)->sel) + "|";
        for (int id : std::initializer_list<int>{
                 IDC_ETH_DHCP, IDC_ETH_ADDR, IDC_ETH_MASK, IDC_ETH_GATEWAY, IDC_ETH_SET, 0,
                 IDC_WIFI_DHCP, IDC_WIFI_ADDR, IDC_WIFI_MASK, IDC_WIFI_GATEWAY, IDC_WIFI_SET})
            shown += id == 0 ? " " : run.Control(id)->enabled ? "+" : "-";
        shown += "|";
        for (int32_t id : run.dev.CommandIds())
            if (id < CMD_GET_ETH_IPCFG) shown += std::to_string(id) + " ";
        EXPECT_EQ(shown + "wifi " + std::to_string(Count(run.dev, CMD_GET_WIFI_IPCFG)), c.shown);
        EXPECT_EQ(GetCapturedStdout(), c.line);
    }
}

// The list's columns and rows, and the password dialog for each flag word: the words come
// from the flag cells and from the security column ("--": no password).
TEST_F(FlowTest, NetworkListAndPasswordDialogRules) {
    const char* strings =
        "7 2 32 17 4 5 8 6 F SSID BSSID Ch dBm Sec Mode 0 n0 b c d e WPA g 0 n1 b c d e -- g "
        "2 n2 b c d e WPA g 1 n3 b c d e WPA g 1 n4 b c d e -- g 3 n5 b c d e WPA g";
    dev.Inject(ReplyPayload(Record(6, 0, 0, strings, true)).On(CMD_SCAN_WIFI).Times(kEveryTime));
    // Title|message|then "+" or "-" for Connect enabled, Delete, password and message shown.
    auto look = [&] {
        const auto* d = backend.FindDialog(IDD_AP_PASSWORD);
        auto on = [&](int id, bool visible) {
            return (visible ? d->Control(id)->visible : d->Control(id)->enabled) ? "+" : "-";
        };
        return d->caption + "|" + d->Control(IDC_PASSWORD_MSG)->text + "|" +
               on(IDC_CONNECT, false) + on(IDC_DELETE, true) + on(IDC_PASSWORD, true) +
               on(IDC_PASSWORD_LABEL, true) + on(IDC_PASSWORD_MSG, true);
    };
    Texts seen;
    auto pwd = [&](ui::DialogScript& s) {
        s.Call([&] { seen.push_back(look()); }).Enter().Escape();  // Enter must change nothing
    };
    // Last, no row picked: the list stays open.
    RunPicks({{0, pwd}, {1, pwd}, {2, pwd}, {3, pwd}, {4, pwd}, {5, pwd}, {-1, nullptr}});
    // The column widths, then the flag cell of each row.
    const auto* list = Control(IDC_AP_LIST, IDD_AP_LIST);
    std::string text;
    for (const auto& col : list->columns) text += std::to_string(col.width) + ",";
    for (const auto& row : list->rows) text += row[0];
    EXPECT_EQ(text, "15,20,320,170,40,50,80,60,   ***");
    EXPECT_EQ(list->rows[5], (Texts{"*", "n5", "b", "c", "d", "e", "WPA", "g"}));  // every column
    EXPECT_EQ(seen, (Texts{"Connect|Connect to 'n0'|+-++-", "Connect|Connect to 'n1'|+---+",
                           "Connect|Connect to 'n2'|++--+", "Current|Current Connected: 'n3'|--++-",
                           "Current|Current Connected: 'n4'|----+",
                           "Delete|Delete Profile of 'n5'|-+--+"}));
    for (int nth = 1; nth <= 6; ++nth)
        EXPECT_EQ(backend.FindDialog(IDD_AP_PASSWORD, nth)->result, IDCANCEL) << nth;
    EXPECT_TRUE(RequestTexts(dev, CMD_CONNECT_WIFI).empty());
    EXPECT_TRUE(RequestTexts(dev, CMD_DELETE_PROFILE).empty());
}

TEST_F(FlowTest, ConnectAndDeleteSendTheirTextsAndLongNamesAreRefused) {
    dev.State().networks[6].name = std::string(64, 'L');
    dev.State().networks[5].name = std::string(63, 'N');
    User().OnMessageBox("SSID name too long!!!");
    User().OnMessageBox("SSID name too long!!!");
    auto connect = [](const char* password) {
        return [password](ui::DialogScript& s) {
            if (*password) s.Type(IDC_PASSWORD, password);
            s.Click(IDC_CONNECT);
        };
    };
    const std::string longPassword(40, 'p');  // the edit takes 32 of them
    // No later scan may inherit a choice: the delete first, then a list closed without
    // one; the join that fails last, then another such list.
    RunPicks({{1, [](ui::DialogScript& s) { s.Click(IDC_DELETE); }},
              {6, nullptr},  // the long name: refused at the pick
              {3, connect("espresso")},
              {2, connect("")},
              {4, connect(longPassword.c_str())},
              {5, connect("wrong-one")},
              {6, nullptr}});
    EXPECT_EQ(RequestTexts(dev, CMD_CONNECT_WIFI),
              (Texts{"0,13,08,Caf\xc3\xa9 Z\xc3\xbcrich,espresso", "0,12,00,Guest Lounge,",
                     "0,11,32,Lab,Bench 2," + std::string(32, 'p'),
                     "0,63,09," + std::string(63, 'N') + ",wrong-one"}));
    EXPECT_EQ(RequestTexts(dev, CMD_DELETE_PROFILE), Texts{"Office-5G"});
    EXPECT_EQ(Boxes(), (Texts{"SSID name too long!!!", "Password not match!!!",
                              "Password not match!!!", "SSID name too long!!!"}));
    EXPECT_EQ(dlg.m_ssid, "");  // refreshed after the failed join
    EXPECT_EQ(dlg.m_waitDlg.m_message, "Connect to '" + std::string(63, 'N') + "'......");
}

// Each status word after a join and the box it brings; with the wait failed (nullptr),
// neither the status nor the name is asked again.
TEST_F(FlowTest, StatusWordsAndFailedWaits) {
    const std::pair<const char*, Texts> cases[] = {
        {"18", {"Password not match!!!"}}, {"0", {}}, {nullptr, {"Re-Connecting Failed!!!"}}};
    for (const auto& [status, boxes] : cases) {
        Session run;
        run.On(IDD_AP_LIST).DoubleClickRow(IDC_AP_LIST, 2);
        run.On(IDD_AP_PASSWORD).Click(IDC_CONNECT);
        run.dev.Inject(ReplyText("0").On(CMD_GET_WIFI_STATUS));  // the one at start-up
        run.dev.Inject(status ? ReplyText(status).On(CMD_GET_WIFI_STATUS)
                              : ReplyPayload({0}).On(CMD_POLL_DONE).Times(kEveryTime));
        run.Go([](ui::DialogScript& main) { main.Click(IDC_SSID_SCAN); });
        EXPECT_EQ(run.Boxes(), boxes) << (status ? status : "failed wait");
        EXPECT_EQ(Count(run.dev, CMD_GET_WIFI_STATUS), status ? 2 : 1);
        EXPECT_EQ(Count(run.dev, CMD_GET_SSID), status ? 2 : 1);
    }
}

}  // namespace
