// The IP panels, the country list, the network list and the connect and delete flows.
#include "flow_fixture.h"

namespace {

using devsim::kEveryTime;
using devsim::NoReply;
using devsim::ReplyPayload;
using devsim::ReplyText;
using Bytes = std::vector<uint8_t>;
using Texts = std::vector<std::string>;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

// A record with a 16-byte header (words 0, 1 and 3) and strings; for scan replies word 2 is
// the length L.
Bytes Record(uint32_t w0, uint32_t w1, uint32_t w3, const Texts& strings, bool scan = false) {
    size_t text = 0;
    for (const std::string& s : strings) text += s.size() + 1;
    Bytes b;
    for (uint32_t w : {w0, w1, scan ? static_cast<uint32_t>(text - 4) : 0u, w3})
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(w >> (8 * i)));
    for (const std::string& s : strings) b.insert(b.end(), s.c_str(), s.c_str() + s.size() + 1);
    return b;
}

TEST_F(FlowTest, IpPanelsFollowTheDeviceAndTheEdits) {
    devsim::Device& dev = AddDevice();
    // "x" when DHCP is checked, the address, then "+" or "-" for check, address and Set enabled.
    auto panel = [&](int check, int addr, int set) {
        auto on = [&](int id) { return Control(id)->enabled ? "+" : "-"; };
        return std::string(Control(check)->check == BST_CHECKED ? "x " : "  ") +
               dlg.GetDlgItem(addr)->GetWindowText() + " " + on(check) + on(addr) + on(set);
    };
    auto eth = [&] { return panel(IDC_ETH_DHCP, IDC_ETH_ADDR, IDC_ETH_SET); };
    auto wifi = [&] { return panel(IDC_WIFI_DHCP, IDC_WIFI_ADDR, IDC_WIFI_SET); };
    OnMain()
        .Call([&] { EXPECT_EQ(eth(), "x 192.168.1.57 +--"); })  // DHCP on: the lease
        .Click(IDC_ETH_DHCP)
        .Call([&] { EXPECT_EQ(eth(), "  192.168.1.100 +++"); })  // off: the static set
        .SetIp(IDC_ETH_ADDR, "192.168.1.101")
        .Click(IDC_ETH_DHCP)  // back to DHCP, but the static set was edited meanwhile
        .Call([&] { EXPECT_EQ(eth(), "x 192.168.1.57 +-+"); })
        .SetIp(IDC_WIFI_ADDR, "192.168.1.201")
        .Call([&] { EXPECT_EQ(wifi(), "  192.168.1.201 +++"); })
        .SetIp(IDC_WIFI_ADDR, "192.168.1.200")
        .Call([&] { EXPECT_EQ(wifi(), "  192.168.1.200 ++-"); })  // edited back
        .SetIp(IDC_WIFI_ADDR, "10.0.0.7")
        .Click(IDC_WIFI_SET)
        .Call([&] {
            EXPECT_EQ(RequestTexts(dev, CMD_SET_WIFI_IPCFG),
                      Texts{"0,10.0.0.7,255.255.255.0,192.168.1.1"});
            EXPECT_EQ(wifi(), "  10.0.0.7 ++-");  // read back after completion: clean again
        })
        .Click(IDC_WIFI_DHCP)
        .Click(IDC_WIFI_SET)
        .Call([&] {
            EXPECT_EQ(RequestTexts(dev, CMD_SET_WIFI_IPCFG).back(),
                      "1,192.168.1.61,255.255.255.0,192.168.1.1");
            dev.Inject(ReplyPayload({0}).On(CMD_POLL_DONE).Times(kEveryTime));
        })
        .Click(IDC_WIFI_DHCP)
        .SetIp(IDC_WIFI_ADDR, "10.0.0.9")
        .Call([&] { dev.ClearRequests(); })
        .Click(IDC_WIFI_SET)  // fails: the edits stay, nothing is read back
        .Call([&] {
            EXPECT_EQ(wifi(), "  10.0.0.9 +++");
            EXPECT_EQ(Count(dev, CMD_GET_ETH_IPCFG) + Count(dev, CMD_GET_WIFI_IPCFG), 0);
        })
        .Escape();
    dlg.DoModal();
    EXPECT_EQ(Boxes(), Texts{"IP Config Setting Failed!!!"});
}

TEST_F(FlowTest, IpRepliesThatLockFailOrBreakTheFormat) {
    struct {
        const char* reply;  // to 21; nullptr: none
        bool ethEnabled, wifiRead;
        const char* line;
    } cases[] = {{"4,0,1.1.1.1,2.2.2.2,3.3.3.3,4.4.4.4,5.5.5.5,6.6.6.6", false, true, ""},
                 {"3,0,1.1.1.1,2.2.2.2,3.3.3.3,4.4.4.4,5.5.5.5,6.6.6.6", true, true, ""},
                 {nullptr, false, false, ""},
                 {"0,0,1.1.1.1,2.2.2.2,3.3.3.3,1234567890123456,5,6", false, false,
                  "IP Cfg Field 6 Len 16 > 15 Error!!!\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply ? c.reply : "no reply");
        CaptureStdout();
        FreshRun& run = RunFresh([&](devsim::Device& dev) {
            dev.Inject((c.reply ? ReplyText(c.reply) : NoReply()).On(CMD_GET_ETH_IPCFG));
        });
        EXPECT_EQ(GetCapturedStdout(), c.line);
        // Never read, or locked: none of the five controls takes input. Read and
        // unlocked, with DHCP off: all but Set do.
        for (int id : {IDC_ETH_DHCP, IDC_ETH_ADDR, IDC_ETH_MASK, IDC_ETH_GATEWAY})
            EXPECT_EQ(Control(id)->enabled, c.ethEnabled) << id;
        EXPECT_FALSE(Control(IDC_ETH_SET)->enabled);
        EXPECT_EQ(Count(*run.dev, CMD_GET_WIFI_IPCFG), c.wifiRead ? 1 : 0);
    }
}

TEST_F(FlowTest, CountryListMarksTheCurrentEntry) {
    struct {
        Bytes reply;
        Texts entries;
        int sel;
        const char* line = "";
    } cases[] = {{Record(5, 2, 15, {"AA", "A", "BB", "B", "CC", "C", "DD", "D", "EE", "E"}),
                  {" A", " B", "*C", " D", " E"},
                  2},
                 {Record(2, 5, 6, {"AA", "A", "BB", "B"}), {" A", " B"}, -1},
                 {Record(2, 9, 6, {"AT", "Austria", "XX", "austria"}),
                  {},
                  -1,
                  "Country Entry 1 Repeats 0 Error!!!\n"}};
    for (const auto& c : cases) {
        CaptureStdout();
        RunFresh([&](devsim::Device& dev) {
            dev.Inject(ReplyPayload(c.reply).On(CMD_GET_COUNTRY_LIST));
        });
        EXPECT_EQ(GetCapturedStdout(), c.line);
        EXPECT_EQ(Control(IDC_COUNTRY_COMBO)->entries, c.entries);
        EXPECT_EQ(Control(IDC_COUNTRY_COMBO)->sel, c.sel);
    }
}

TEST_F(FlowTest, CountrySet) {
    devsim::Device& dev = AddDevice();
    auto combo = [&] { return Control(IDC_COUNTRY_COMBO); };
    OnMain()
        .Call([&] { EXPECT_EQ(combo()->sel, 5); })  // "*Germany"
        .Click(IDC_COUNTRY_SET)
        .Call([&] { EXPECT_TRUE(RequestTexts(dev, CMD_SET_COUNTRY).empty()); })
        .Select(IDC_COUNTRY_COMBO, 9)
        .Click(IDC_COUNTRY_SET)
        .Call([&] {
            EXPECT_EQ(RequestTexts(dev, CMD_SET_COUNTRY), Texts{"JP"});
            EXPECT_EQ(combo()->entries[9], "*Japan");
            EXPECT_EQ(combo()->sel, 9);
            dev.Inject(ReplyPayload({0}).On(CMD_POLL_DONE).Times(kEveryTime));
        })
        .Select(IDC_COUNTRY_COMBO, 1)
        .Click(IDC_COUNTRY_SET)
        .Call([&] {
            EXPECT_EQ(combo()->sel, 1);  // kept for another try
            EXPECT_EQ(combo()->entries[9], "*Japan");
            dlg.m_countryCombo.SetCurSel(-1);
        })
        .Click(IDC_COUNTRY_SET)  // no entry selected: nothing happens
        .Escape();
    dlg.DoModal();
    EXPECT_EQ(Boxes(), Texts{"Set Country Code Failed!!!"});
    EXPECT_EQ(RequestTexts(dev, CMD_SET_COUNTRY), (Texts{"JP", "CA"}));
}

TEST_F(FlowTest, NetworkListColumnsRowsAndScans) {
    devsim::Device& dev = AddDevice();
    Bytes seven =
        Record(2, 0, 0, {"7",  "2",   "32",  "17",   "4", "5", "8", "6",   "F", "SSID", "BSSID",
                         "Ch", "dBm", "Sec", "Mode", "1", "A", "b", "c",   "d", "e",    "--",
                         "g",  "0",   "B",   "b",    "c", "d", "e", "WPA", "g"},
               true);
    // The column widths, then the first cell of each row.
    auto look = [&] {
        const auto* list = Control(IDC_AP_LIST, IDD_AP_LIST);
        std::string text;
        for (const auto& col : list->columns) text += std::to_string(col.width) + ",";
        for (const auto& row : list->rows) text += row[0];
        return text;
    };
    const std::string shown = "15,20,320,170,40,50,80,60,* ";
    User().OnDialog(IDD_AP_LIST, 1).Call([&] { EXPECT_EQ(look(), "15,"); }).Escape();
    User()
        .OnDialog(IDD_AP_LIST, 2)
        .Call([&] {
            EXPECT_EQ(look(), shown);
            EXPECT_EQ(dlg.m_apListDlg.m_rowFlags[0], AP_CONNECTED | AP_NO_PASSWORD);
        })
        .DoubleClickRow(IDC_AP_LIST, -1)
        .Escape();  // no row picked: the list stays open
    // A failed scan shows the last one that succeeded.
    User().OnDialog(IDD_AP_LIST, 3).Call([&] { EXPECT_EQ(look(), shown); }).Escape();
    OnMain()
        .Call([&] { dev.Inject(NoReply().On(CMD_SCAN_WIFI)); })
        .Click(IDC_SSID_SCAN)  // before any scan succeeded: the flag column and no rows
        .Call([&] { dev.Inject(ReplyPayload(seven).On(CMD_SCAN_WIFI)); })
        .Click(IDC_SSID_SCAN)
        .Call([&] { dev.Inject(ReplyPayload(Bytes(12, 0)).On(CMD_SCAN_WIFI)); })
        .Click(IDC_SSID_SCAN)
        .Escape();
    CaptureStdout();
    dlg.DoModal();
    EXPECT_EQ(GetCapturedStdout(), "Scan Reply Length Error!!!\n");
    EXPECT_TRUE(Boxes().empty());
}

class ConnectTest : public FlowTest {
protected:
    // For each pick: opens the list, double-clicks network `first` and lets `second` act
    // in the password dialog.
    using Pick = std::pair<int, std::function<void(ui::DialogScript&)>>;
    void Run(const std::vector<Pick>& picks) {
        int n = 0;
        ui::DialogScript& main = OnMain();
        for (const Pick& p : picks) {
            User().OnDialog(IDD_AP_LIST, ++n).DoubleClickRow(IDC_AP_LIST, p.first);
            p.second(User().OnDialog(IDD_AP_PASSWORD, n));
            main.Click(IDC_SSID_SCAN);
        }
        main.Escape();
        dlg.DoModal();
    }
    // Title|message|then "+" or "-" for Connect enabled, Delete, password and message shown.
    std::string Look() {
        const auto* d = backend.FindDialog(IDD_AP_PASSWORD);
        auto on = [&](int id, bool visible) {
            return (visible ? d->Control(id)->visible : d->Control(id)->enabled) ? "+" : "-";
        };
        return d->caption + "|" + d->Control(IDC_PASSWORD_MSG)->text + "|" +
               on(IDC_CONNECT, false) + on(IDC_DELETE, true) + on(IDC_PASSWORD, true) +
               on(IDC_PASSWORD_LABEL, true) + on(IDC_PASSWORD_MSG, true);
    }
};

TEST_F(ConnectTest, PasswordDialogRules) {
    devsim::Device& dev = AddDevice();
    // One row per flag word; the words come straight from the flag cells.
    const char* flags[] = {"0", "4", "2", "1", "5", "3"};
    Texts strings = {"1", "8", "Name"};
    for (int i = 0; i < 6; ++i) strings.insert(strings.end(), {flags[i], "n" + std::to_string(i)});
    dev.Inject(ReplyPayload(Record(6, 0, 0, strings, true)).On(CMD_SCAN_WIFI).Times(kEveryTime));
    Texts seen;
    std::vector<Pick> picks;
    for (int i = 0; i < 6; ++i) {
        picks.emplace_back(i, [&](ui::DialogScript& s) {
            s.Call([&] { seen.push_back(Look()); })
                .Enter()  // changes nothing: the dialog is still open
                .Call([&] { EXPECT_TRUE(backend.FindDialog(IDD_AP_PASSWORD)->running); })
                .Escape();
        });
    }
    Run(picks);
    EXPECT_EQ(seen, (Texts{"Connect|Connect to 'n0'|+-++-", "Connect|Connect to 'n1'|+---+",
                           "Connect|Connect to 'n2'|++--+", "Current|Current Connected: 'n3'|--++-",
                           "Current|Current Connected: 'n4'|----+",
                           "Delete|Delete Profile of 'n5'|-+--+"}));
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
        (Texts{"0,13,08,Caf\xc3\xa9 Z\xc3\xbcrich,espresso", "0,12,00,Guest Lounge,",
               "0,11,32,Lab,Bench 2," + std::string(32, 'p'), "0,13,09,NEIGHBOUR-2.4,wrong-one"}));
    EXPECT_EQ(Boxes(), (Texts{"Password not match!!!", "Password not match!!!"}));
    EXPECT_EQ(dlg.m_ssid, "");  // refreshed after the failed join
}

TEST_F(ConnectTest, StatusWordsAndFailedWaits) {
    // The reply to the status request after the join; nullptr: the wait fails.
    for (const char* status : {"18", "14", "04", "1", "0", static_cast<const char*>(nullptr)}) {
        int nth = static_cast<int>(runs.size()) + 1;
        User().OnDialog(IDD_AP_LIST, nth).DoubleClickRow(IDC_AP_LIST, 2);
        User().OnDialog(IDD_AP_PASSWORD, nth).Click(IDC_CONNECT);
        FreshRun& run = RunFresh(
            [&](devsim::Device& dev) {
                dev.Inject(ReplyText("0").On(CMD_GET_WIFI_STATUS));  // the one at start-up
                dev.Inject(status ? ReplyText(status).On(CMD_GET_WIFI_STATUS)
                                  : ReplyPayload({0}).On(CMD_POLL_DONE).Times(kEveryTime));
            },
            [](ui::DialogScript& main) { main.Click(IDC_SSID_SCAN); });
        // After a failed wait, neither the status nor the name is asked again.
        EXPECT_EQ(Count(*run.dev, CMD_GET_WIFI_STATUS), status ? 2 : 1) << nth;
        EXPECT_EQ(Count(*run.dev, CMD_GET_SSID), status ? 2 : 1) << nth;
    }
    // One box for each status word but 1 and 0, in order.
    EXPECT_EQ(Boxes(), (Texts{"Password not match!!!", "Connection error!!!", "SSID not found!!!",
                              "Re-Connecting Failed!!!"}));
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
    EXPECT_EQ(RequestTexts(dev, CMD_DELETE_PROFILE), Texts{"Office-5G"});
    EXPECT_TRUE(RequestTexts(dev, CMD_CONNECT_WIFI).empty());
    EXPECT_EQ(Boxes(), Texts{"SSID name too long!!!"});
}

}  // namespace
