// The IP panels, the country list, the network list and the connect and delete flows.
#include "flow_fixture.h"

namespace {

using devsim::NoReply;
using devsim::ReplyPayload;
using devsim::ReplyText;
using Ids = std::vector<int32_t>;
using Bytes = std::vector<uint8_t>;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

void PutLE(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A record with a 16-byte header (word 0, word 1, word 3) and strings; for scan replies
// word 2 is L.
Bytes Record(int32_t w0, int32_t w1, uint32_t w3, const std::vector<std::string>& strings,
             bool scan = false) {
    Bytes b(16, 0);
    PutLE(b, 0, static_cast<uint32_t>(w0));
    PutLE(b, 4, static_cast<uint32_t>(w1));
    PutLE(b, 12, w3);
    for (const std::string& s : strings) b.insert(b.end(), s.c_str(), s.c_str() + s.size() + 1);
    if (scan) PutLE(b, 8, static_cast<uint32_t>(b.size() - 20));
    return b;
}

struct PanelView {
    int check;
    std::string addr;
    bool checkEnabled, addrEnabled, setEnabled;
};

class FeatureTest : public FlowTest {
protected:
    PanelView Panel(int check, int addr, int set) {
        const auto* c = Control(check);
        const auto* a = Control(addr);
        return {c->check, dlg.m_ethAddr.GetSafeHwnd() ? CtrlText(addr) : "", c->enabled, a->enabled,
                Control(set)->enabled};
    }
    std::string CtrlText(int id) {
        CWnd* w = dlg.GetDlgItem(id);
        return w ? w->GetWindowText() : "";
    }
    std::vector<std::string> RequestTexts(devsim::Device& dev, int32_t id) {
        std::vector<std::string> texts;
        for (const auto& r : dev.Requests())
            if (r.cmdId == id) texts.push_back(r.Text());
        return texts;
    }
};

TEST_F(FeatureTest, IpPanelsFollowTheDeviceAndTheEdits) {
    devsim::Device& dev = AddDevice();
    auto eth = [&] { return Panel(IDC_ETH_DHCP, IDC_ETH_ADDR, IDC_ETH_SET); };
    auto wifi = [&] { return Panel(IDC_WIFI_DHCP, IDC_WIFI_ADDR, IDC_WIFI_SET); };
    OnMain()
        .Call([&] {
            PanelView v = eth();  // DHCP on: the lease, in disabled controls, Set disabled
            EXPECT_EQ(v.check, BST_CHECKED);
            EXPECT_EQ(v.addr, "192.168.1.57");
            EXPECT_TRUE(v.checkEnabled);
            EXPECT_FALSE(v.addrEnabled);
            EXPECT_FALSE(v.setEnabled);
        })
        .Click(IDC_ETH_DHCP)
        .Call([&] {
            PanelView v = eth();  // unchecked: the static set, editable, and Set enabled
            EXPECT_EQ(v.addr, "192.168.1.100");
            EXPECT_TRUE(v.addrEnabled);
            EXPECT_TRUE(v.setEnabled);
        })
        .SetIp(IDC_ETH_ADDR, "192.168.1.101")
        .Click(IDC_ETH_DHCP)
        .Call([&] {
            PanelView v = eth();  // back to DHCP, but the static set was edited meanwhile
            EXPECT_EQ(v.addr, "192.168.1.57");
            EXPECT_TRUE(v.setEnabled);
        })
        .SetIp(IDC_WIFI_ADDR, "192.168.1.201")
        .Call([&] { EXPECT_TRUE(wifi().setEnabled); })
        .SetIp(IDC_WIFI_ADDR, "192.168.1.200")
        .Call([&] { EXPECT_FALSE(wifi().setEnabled); })  // edited back to the device's
        .SetIp(IDC_WIFI_ADDR, "10.0.0.7")
        .Click(IDC_WIFI_SET)
        .Call([&] {
            EXPECT_EQ(RequestTexts(dev, CMD_SET_WIFI_IPCFG),
                      std::vector<std::string>{"0,10.0.0.7,255.255.255.0,192.168.1.1"});
            PanelView v = wifi();  // read back after completion: clean again
            EXPECT_EQ(v.addr, "10.0.0.7");
            EXPECT_FALSE(v.setEnabled);
        })
        .Click(IDC_WIFI_DHCP)
        .Click(IDC_WIFI_SET)
        .Call([&] {
            EXPECT_EQ(RequestTexts(dev, CMD_SET_WIFI_IPCFG).back(),
                      "1,192.168.1.61,255.255.255.0,192.168.1.1");
        })
        .Escape();
    RunMain();
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(FeatureTest, FailedIpSetKeepsTheEdits) {
    devsim::Device& dev = AddDevice();
    OnMain()
        .Call([&] { dev.Inject(ReplyPayload({0}).On(CMD_POLL_DONE).Times(devsim::kEveryTime)); })
        .SetIp(IDC_WIFI_ADDR, "10.0.0.9")
        .Call([&] { dev.ClearRequests(); })
        .Click(IDC_WIFI_SET)
        .Call([&] {
            EXPECT_EQ(CtrlText(IDC_WIFI_ADDR), "10.0.0.9");
            EXPECT_TRUE(Control(IDC_WIFI_SET)->enabled);
            Ids ids = dev.CommandIds();
            EXPECT_EQ(std::count(ids.begin(), ids.end(), CMD_GET_ETH_IPCFG), 0);
        })
        .Escape();
    RunMain();
    EXPECT_EQ(Boxes(), std::vector<std::string>{"IP Config Setting Failed!!!"});
}

TEST_F(FeatureTest, IpRepliesThatLockFailOrBreakTheFormat) {
    struct {
        const char* name;
        std::vector<devsim::FaultRule> faults;
        bool ethEnabled, wifiRead;
        const char* line;
    } cases[] = {
        {"lock flag 4",
         {ReplyText("4,0,1.1.1.1,2.2.2.2,3.3.3.3,4.4.4.4,5.5.5.5,6.6.6.6").On(21)},
         false,
         true,
         ""},
        {"flag 3 does not lock",
         {ReplyText("3,0,1.1.1.1,2.2.2.2,3.3.3.3,4.4.4.4,5.5.5.5,6.6.6.6").On(21)},
         true,
         true,
         ""},
        {"failed Ethernet read", {NoReply().On(21)}, false, false, ""},
        {"address over 15",
         {ReplyText("0,0,1.1.1.1,2.2.2.2,3.3.3.3,1234567890123456,5,6").On(21)},
         false,
         false,
         "IP Cfg Field 6 Len 16 > 15 Error!!!\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CaptureStdout();
        FreshRun& run = RunFresh([&](devsim::Device& dev) {
            for (const auto& f : c.faults) dev.Inject(f);
        });
        EXPECT_EQ(GetCapturedStdout(), c.line);
        const auto* main = backend.FindDialog(IDD_NETCFG_DIALOG);
        // Never read, or locked: none of the five controls takes input. Read and
        // unlocked, with DHCP off: all but Set do.
        for (int id : {IDC_ETH_DHCP, IDC_ETH_ADDR, IDC_ETH_MASK, IDC_ETH_GATEWAY})
            EXPECT_EQ(main->Control(id)->enabled, c.ethEnabled) << id;
        EXPECT_FALSE(main->Control(IDC_ETH_SET)->enabled);
        Ids ids = run.dev->CommandIds();
        EXPECT_EQ(std::count(ids.begin(), ids.end(), CMD_GET_WIFI_IPCFG), c.wifiRead ? 1 : 0);
    }
}

TEST_F(FeatureTest, CountryListMarksTheCurrentEntry) {
    struct {
        const char* name;
        Bytes reply;
        std::vector<std::string> entries;
        int sel;
        const char* line = "";
    } cases[] = {
        {"five, current 2",
         Record(
             5, 2, 15,
             {"AT", "Austria", "BE", "Belgium", "CA", "Canada", "DK", "Denmark", "EE", "Estonia"}),
         {" Austria", " Belgium", "*Canada", " Denmark", " Estonia"},
         2},
        {"current out of range",
         Record(2, 5, 6, {"AT", "Austria", "BE", "Belgium"}),
         {" Austria", " Belgium"},
         -1},
        {"none", Record(0, 0, 0, {}), {}, -1},
        {"equal entries: refused",
         Record(2, 9, 6, {"AT", "Austria", "XX", "austria"}),
         {},
         -1,
         "Country Entry 1 Repeats 0 Error!!!\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CaptureStdout();
        RunFresh([&](devsim::Device& dev) {
            dev.Inject(ReplyPayload(c.reply).On(CMD_GET_COUNTRY_LIST));
        });
        EXPECT_EQ(GetCapturedStdout(), c.line);
        const auto* combo = backend.FindDialog(IDD_NETCFG_DIALOG)->Control(IDC_COUNTRY_COMBO);
        EXPECT_EQ(combo->entries, c.entries);
        EXPECT_EQ(combo->sel, c.sel);
    }
}

TEST_F(FeatureTest, CountrySet) {
    devsim::Device& dev = AddDevice();
    OnMain()
        .Call([&] { EXPECT_EQ(Control(IDC_COUNTRY_COMBO)->sel, 5); })  // "*Germany"
        .Click(IDC_COUNTRY_SET)
        .Call([&] { EXPECT_TRUE(RequestTexts(dev, CMD_SET_COUNTRY).empty()); })
        .Select(IDC_COUNTRY_COMBO, 9)
        .Click(IDC_COUNTRY_SET)
        .Call([&] {
            EXPECT_EQ(RequestTexts(dev, CMD_SET_COUNTRY), std::vector<std::string>{"JP"});
            EXPECT_EQ(Control(IDC_COUNTRY_COMBO)->entries[9], "*Japan");
            EXPECT_EQ(Control(IDC_COUNTRY_COMBO)->sel, 9);
            dev.Inject(ReplyPayload({0}).On(CMD_POLL_DONE).Times(devsim::kEveryTime));
        })
        .Select(IDC_COUNTRY_COMBO, 1)
        .Click(IDC_COUNTRY_SET)
        .Call([&] {
            EXPECT_EQ(Control(IDC_COUNTRY_COMBO)->sel, 1);  // kept for another try
            EXPECT_EQ(Control(IDC_COUNTRY_COMBO)->entries[9], "*Japan");
            dlg.m_countryCombo.SetCurSel(-1);
        })
        .Click(IDC_COUNTRY_SET)  // no entry selected: nothing happens
        .Escape();
    RunMain();
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Set Country Code Failed!!!"});
    EXPECT_EQ(RequestTexts(dev, CMD_SET_COUNTRY), (std::vector<std::string>{"JP", "CA"}));
}

TEST_F(FeatureTest, NetworkListColumnsRowsAndScans) {
    devsim::Device& dev = AddDevice();
    Bytes seven =
        Record(2, 0, 0, {"7",  "2",   "32",  "17",   "4", "5", "8", "6",   "F", "SSID", "BSSID",
                         "Ch", "dBm", "Sec", "Mode", "1", "A", "b", "c",   "d", "e",    "--",
                         "g",  "0",   "B",   "b",    "c", "d", "e", "WPA", "g"},
               true);
    std::vector<int> widths;
    std::vector<std::string> column0;
    auto look = [&] {
        widths.clear();
        column0.clear();
        const auto* list = Control(IDC_AP_LIST, IDD_AP_LIST);
        for (const auto& col : list->columns) widths.push_back(col.width);
        for (const auto& row : list->rows) column0.push_back(row[0]);
    };
    User().OnDialog(IDD_AP_LIST, 1).Call(look).Escape();
    User()
        .OnDialog(IDD_AP_LIST, 2)
        .Call([&] {
            look();
            EXPECT_EQ(widths, (std::vector<int>{15, 20, 320, 170, 40, 50, 80, 60}));
            EXPECT_EQ(column0, (std::vector<std::string>{"*", " "}));
            EXPECT_EQ(dlg.m_apListDlg.m_rowFlags[0], AP_CONNECTED | AP_NO_PASSWORD);
        })
        .DoubleClickRow(IDC_AP_LIST, -1)
        .Escape();  // no row picked: the list stays open
    User()
        .OnDialog(IDD_AP_LIST, 3)
        .Call([&] {
            look();  // a failed scan shows the last one that succeeded
            EXPECT_EQ(widths.size(), 8u);
        })
        .Escape();
    OnMain()
        .Call([&] { dev.Inject(NoReply().On(CMD_SCAN_WIFI)); })
        .Click(IDC_SSID_SCAN)
        .Call([&] {
            // Before any scan succeeded: the flag column and no rows.
            EXPECT_EQ(widths, std::vector<int>{15});
            EXPECT_TRUE(column0.empty());
            dev.Inject(ReplyPayload(seven).On(CMD_SCAN_WIFI));
        })
        .Click(IDC_SSID_SCAN)
        .Call([&] { dev.Inject(ReplyPayload(Bytes(12, 0)).On(CMD_SCAN_WIFI)); })
        .Click(IDC_SSID_SCAN)
        .Escape();
    CaptureStdout();
    RunMain();
    EXPECT_EQ(GetCapturedStdout(), "Scan Reply Length Error!!!\n");
    EXPECT_TRUE(Boxes().empty());
}

// Opens the list, double-clicks network `row` and lets `pwd` act in the password dialog.
struct Pick {
    int row;
    std::function<void(ui::DialogScript&)> pwd;
};

class ConnectTest : public FeatureTest {
protected:
    void Run(const std::vector<Pick>& picks, const std::function<void()>& between = {}) {
        int n = 0;
        ui::DialogScript& main = OnMain();
        for (const Pick& p : picks) {
            ++n;
            User().OnDialog(IDD_AP_LIST, n).DoubleClickRow(IDC_AP_LIST, p.row);
            p.pwd(User().OnDialog(IDD_AP_PASSWORD, n));
            main.Click(IDC_SSID_SCAN);
            if (between) main.Call(between);
        }
        main.Escape();
        RunMain();
    }
    struct PwdView {
        std::string title, message;
        bool connectEnabled, deleteShown, passwordShown, messageShown;
    };
    PwdView Look() {
        const auto* d = backend.FindDialog(IDD_AP_PASSWORD);
        return {d->caption,
                d->Control(IDC_PASSWORD_MSG)->text,
                d->Control(IDC_CONNECT)->enabled,
                d->Control(IDC_DELETE)->visible,
                d->Control(IDC_PASSWORD)->visible && d->Control(IDC_PASSWORD_LABEL)->visible,
                d->Control(IDC_PASSWORD_MSG)->visible};
    }
};

TEST_F(ConnectTest, PasswordDialogRules) {
    devsim::Device& dev = AddDevice();
    // One row per flag word; the words come straight from the flag cells.
    struct Row {
        const char* flag;
        PwdView view;
    } rows[] = {
        {"0", {"Connect", "Connect to 'n0'", true, false, true, false}},
        {"4", {"Connect", "Connect to 'n1'", true, false, false, true}},
        {"2", {"Connect", "Connect to 'n2'", true, true, false, true}},
        {"1", {"Current", "Current Connected: 'n3'", false, false, true, false}},
        {"5", {"Current", "Current Connected: 'n4'", false, false, false, true}},
        {"3", {"Delete", "Delete Profile of 'n5'", false, true, false, true}},
    };
    std::vector<std::string> strings = {"1", "8", "Name"};
    for (int i = 0; i < 6; ++i)
        strings.insert(strings.end(), {rows[i].flag, "n" + std::to_string(i)});
    dev.Inject(
        ReplyPayload(Record(6, 0, 0, strings, true)).On(CMD_SCAN_WIFI).Times(devsim::kEveryTime));
    std::vector<PwdView> seen;
    std::vector<Pick> picks;
    for (int i = 0; i < 6; ++i) {
        picks.push_back({i, [&](ui::DialogScript& s) {
                             s.Call([&] { seen.push_back(Look()); })
                                 .Enter()
                                 .Call([&] {
                                     // Enter changed nothing: the dialog is still open.
                                     EXPECT_TRUE(backend.FindDialog(IDD_AP_PASSWORD)->running);
                                 })
                                 .Escape();
                         }});
    }
    Run(picks);
    ASSERT_EQ(seen.size(), 6u);
    for (size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(rows[i].flag);
        const PwdView& want = rows[i].view;
        EXPECT_EQ(seen[i].title, want.title);
        EXPECT_EQ(seen[i].message, want.message);
        EXPECT_EQ(seen[i].connectEnabled, want.connectEnabled);
        EXPECT_EQ(seen[i].deleteShown, want.deleteShown);
        EXPECT_EQ(seen[i].passwordShown, want.passwordShown);
        EXPECT_EQ(seen[i].messageShown, want.messageShown);
    }
    EXPECT_TRUE(RequestTexts(dev, CMD_CONNECT_WIFI).empty());
    EXPECT_TRUE(RequestTexts(dev, CMD_DELETE_PROFILE).empty());
}

TEST_F(ConnectTest, ConnectSendsTheTextAndReportsTheStatus) {
    devsim::Device& dev = AddDevice();
    auto connect = [](const char* password) {
        return [password](ui::DialogScript& s) {
            if (*password) s.Type(IDC_PASSWORD, password);
            s.Click(IDC_CONNECT);
        };
    };
    const std::string longPassword(40, 'p');  // the edit takes 32 of them
    Run({{3, connect("espresso")},
         {2, connect("")},
         {4, connect(longPassword.c_str())},
         {5, connect("wrong-one")}});
    EXPECT_EQ(
        RequestTexts(dev, CMD_CONNECT_WIFI),
        (std::vector<std::string>{
            "0,13,08,Caf\xc3\xa9 Z\xc3\xbcrich,espresso", "0,12,00,Guest Lounge,",
            "0,11,32,Lab,Bench 2," + std::string(32, 'p'), "0,13,09,NEIGHBOUR-2.4,wrong-one"}));
    EXPECT_EQ(Boxes(),
              (std::vector<std::string>{"Password not match!!!", "Password not match!!!"}));
    EXPECT_EQ(dlg.m_ssid, "");  // refreshed after the failed join
}

TEST_F(ConnectTest, StatusWordsAndFailedWaits) {
    struct {
        std::vector<devsim::FaultRule> faults;
        std::vector<std::string> boxes;
    } cases[] = {
        {{ReplyText("18").On(CMD_GET_WIFI_STATUS)}, {"Password not match!!!"}},
        {{ReplyText("14").On(CMD_GET_WIFI_STATUS)}, {"Connection error!!!"}},
        {{ReplyText("04").On(CMD_GET_WIFI_STATUS)}, {"SSID not found!!!"}},
        {{ReplyText("1").On(CMD_GET_WIFI_STATUS)}, {}},
        {{ReplyText("0").On(CMD_GET_WIFI_STATUS)}, {}},
        {{ReplyPayload({0}).On(CMD_POLL_DONE).Times(devsim::kEveryTime)},
         {"Re-Connecting Failed!!!"}},
    };
    for (const auto& c : cases) {
        size_t before = backend.MessageBoxes().size();
        int nth = static_cast<int>(runs.size()) + 1;
        User().OnDialog(IDD_AP_LIST, nth).DoubleClickRow(IDC_AP_LIST, 2);
        User().OnDialog(IDD_AP_PASSWORD, nth).Click(IDC_CONNECT);
        FreshRun& run = RunFresh([&](devsim::Device&) {},
                                 [&](ui::DialogScript& main) {
                                     main.Call([&] {
                                             runs.back().dev->ClearRequests();
                                             for (const auto& f : c.faults)
                                                 runs.back().dev->Inject(f);
                                         })
                                         .Click(IDC_SSID_SCAN);
                                 });
        std::vector<std::string> boxes = Boxes();
        boxes.erase(boxes.begin(), boxes.begin() + static_cast<long>(before));
        EXPECT_EQ(boxes, c.boxes) << nth;
        Ids ids = run.dev->CommandIds();
        bool failedWait = nth == 6;
        EXPECT_EQ(std::count(ids.begin(), ids.end(), CMD_GET_WIFI_STATUS), failedWait ? 0 : 1);
        EXPECT_EQ(std::count(ids.begin(), ids.end(), CMD_GET_SSID), failedWait ? 0 : 1);
    }
}

TEST_F(ConnectTest, DeleteSendsTheNameAndLongNamesAreRefused) {
    devsim::Device& dev = AddDevice();
    dev.State().networks[6].name = std::string(64, 'L');
    User().OnMessageBox("SSID name too long!!!");
    Run({{1, [](ui::DialogScript& s) { s.Click(IDC_DELETE); }}});
    // The long name: refused at the pick, the list stays open until the user closes it.
    User().OnDialog(IDD_AP_LIST, 2).DoubleClickRow(IDC_AP_LIST, 6).Escape();
    User().OnDialog(IDD_NETCFG_DIALOG, 2).Click(IDC_SSID_SCAN).Escape();
    dlg.DoModal();
    EXPECT_EQ(RequestTexts(dev, CMD_DELETE_PROFILE), std::vector<std::string>{"Office-5G"});
    EXPECT_TRUE(RequestTexts(dev, CMD_CONNECT_WIFI).empty());
    EXPECT_EQ(Boxes(), std::vector<std::string>{"SSID name too long!!!"});
}

}  // namespace
