// Every user flow under every link fault. Each fault hits the flow's first exchange and, in
// a fresh run, a later one; the table says what the user then sees, as the difference from
// what the same flow shows when nothing goes wrong. The whole dialog runs on the headless
// backend against the simulated device on virtual time, so a hang ends at the backend's
// time limit and fails the cell.
#include <algorithm>
#include <map>
#include <regex>

#include "flow_fixture.h"

namespace {

using Script = ui::DialogScript;
using View = std::map<std::string, std::string>;

constexpr char kPassword[] = "forklift-7";

enum Fault { NoReply, Late, Stale, BadCrc, BadHeader, Truncated, Split, Stall, Vanish, Flood };
using Faults = std::vector<Fault>;

// The fault as the device acts it out, and what the exchanges print for it (the whole
// output): the hit exchange's line, and for a stale reply or the flood the next one's.
const struct FaultKind {
    const char* name;
    devsim::FaultRule rule;
    const char* lines;
} kFaults[] = {
    {"no reply", devsim::NoReply(), ""},
    // 100 ms after the command's time-out: read by the next exchange (which fails), or
    // dropped before the next write when that comes later.
    {"late", devsim::LateReply(100), "(Pkt CmdSeq [0-9a-f]+ != [0-9a-f]+ Error!!!\n)?"},
    {"stale", devsim::StaleReply(), "Pkt CmdSeq [0-9a-f]+ != [0-9a-f]+ Error!!!\n"},
    {"bad checksum", devsim::BadChecksum(), "CRC [0-9a-f]{8} != [0-9a-f]{8} Error!!!\n"},
    {"bad app header", devsim::BadAppHeader(), "Pkt AppHeader 6462706b != 4442504b Error!!!\n"},
    {"truncated", devsim::Truncated(), "CRC [0-9a-f]{8} != 00000000 Error!!!\n"},
    {"split", devsim::Split(16, 5), ""},
    {"stalled write", devsim::StallWrite(), ""},
    {"vanish and return", devsim::Vanish(), ""},
    // 2 KB more than the link drops before a write: the next exchange reads the rest.
    {"garbage flood", devsim::Garbage(66 * 1024),
     "Pkt Header ee != 1b Error!!!\nPkt Header ee != 1b Error!!!\n"},
};
int32_t TimeoutOf(int32_t c) {
    return c == CMD_SCAN_WIFI      ? CMD_SCAN_TIMEOUT_MS
           : c < CMD_GET_ETH_IPCFG ? CMD_IDENTITY_TIMEOUT_MS
                                   : CMD_TIMEOUT_MS;
}

// One run of the main dialog, with short device labels.
struct Cell : Session {
    Cell() {
        for (devsim::Device* d : {&dev, &second}) {
            d->State().info = "R7";
            d->State().extraAlt = "FW1";
            d->State().wifiStatus = 0x20;  // no message of its own; 0 after a join
        }
        backend.SetTimeLimit(600000);
    }
    void NoteLabel() {  // after "USB001 PID:", without the line feed
        const std::string& l = dlg.m_selDeviceLabel;
        labels += (labels.empty() ? "" : " / ") + l.substr(11, l.size() - 12);
    }
    void NoteList() {
        const auto* list = backend.FindDialog(IDD_AP_LIST)->Control(IDC_AP_LIST);
        lists += (lists.empty() ? "" : "/") + std::to_string(list->rows.size());
    }

    std::string labels, lists;      // the labels and list rows the flow showed
    devsim::Device* target = &dev;  // the device the flow talks to
};

// What the user sees, item by item, and what the device holds.
View Look(Cell& c) {
    CNetCfgDlg& d = c.dlg;
    int sel = d.m_countryCombo.GetCurSel();
    devsim::DeviceState& s = c.dev.State();
    std::string device = std::to_string(s.eth.dhcp) + s.eth.staticSet.addr + " " +
                         std::to_string(s.wifi.dhcp) + s.wifi.staticSet.addr + " " +
                         std::to_string(s.currentCountry) + " " + s.joined;
    for (const auto& n : s.networks)
        if (n.hasProfile) device += " " + n.name;
    return {{"label", c.labels},
            {"country", (sel >= 0 ? d.m_countryCombo.GetLBText(sel) : "") + "/" +
                            std::to_string(d.m_countryCombo.GetCount())},
            {"ssid", d.GetDlgItem(IDC_SSID)->GetWindowText()},
            {"eth", EthPanel(d)},
            {"wifi", WifiPanel(d)},
            {"status", std::to_string(d.m_wifiStatus)},
            {"lists", c.lists},
            {"device", device}};
}

void EditEth(Cell&, Script& s) { s.Click(IDC_ETH_DHCP).SetIp(IDC_ETH_ADDR, "192.168.1.101"); }
void ClickEthSet(Cell&, Script& s) { s.Click(IDC_ETH_SET); }
// A scan kept beforehand, so that the list has rows to pick from whatever the scan does.
void KeepAScan(Cell& c, Script& s) {
    s.Click(IDC_SSID_SCAN);
    c.On(IDD_AP_LIST).Escape();
}
// The SSID Scan, then a pick in the list and a choice in the password dialog.
auto Pick(int row, std::function<void(Script&)> choose) {
    return [=](Cell& c, Script& s) {
        s.Click(IDC_SSID_SCAN);
        c.On(IDD_AP_LIST, 2).DoubleClickRow(IDC_AP_LIST, row);
        choose(c.On(IDD_AP_PASSWORD));
    };
}
Ids Polls(size_t n) { return Ids(n, CMD_POLL_DONE); }
Ids operator+(Ids a, const Ids& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct Flow {
    const char* name;
    Ids exchanges;        // what the device receives when nothing goes wrong
    size_t first, later;  // the exchanges the faults hit
    const char* failure;  // the message that reports the flow's failure
    const char* changes;  // the items the flow changes when nothing goes wrong
    std::function<void(Cell&, Script&)> prepare, act;  // before the flow, and the flow
};
const Flow kFlows[] = {
    {"start-up", Ids{11, 20, 19, 25, 30, 21, 22, 42}, 0, 5, "",
     "country eth label ssid status wifi", nullptr, nullptr},
    // With the Ethernet panel edited: a refresh must not lose the edits.
    {"device Scan", Ids{11, 20, 19, 11, 20, 19}, 0, 4, "", "label", EditEth,
     [](Cell& c, Script& s) {
         s.Click(IDC_DEVICE_SCAN).Call([&c] { c.NoteLabel(); });
         s.DropDown(IDC_DEVICE_COMBO).Call([&c] { c.NoteLabel(); });
     }},
    // To the second device, whose settings all differ from the first's.
    {"change of device", Ids{25, 30, 21, 22, 42}, 0, 2, "", "country eth label ssid status wifi",
     [](Cell& c, Script&) {
         c.link.Attach(c.second, "2222", 2);
         c.target = &c.second;
         devsim::DeviceState& s = c.second.State();
         s.eth = s.wifi = {
             0, 0, {"10.0.0.9", "255.0.0.0", "10.0.0.1"}, {"10.0.0.5", "255.0.0.0", "10.0.0.1"}};
         s.eth.dhcpSet.gateway.clear();  // its reply has no fields past the fourth
         s.currentCountry = 9;
         s.joined = "Office-5G";
         s.wifiStatus = 0x40;
     },
     [](Cell& c, Script& s) { s.Select(IDC_DEVICE_COMBO, 1).Call([&c] { c.NoteLabel(); }); }},
    {"Ethernet Set", Ids{23} + Polls(6) + Ids{21, 22}, 0, 7, "IP Config Setting Failed!!!",
     "device eth", EditEth, ClickEthSet},
    {"WiFi Set", Ids{24} + Polls(6) + Ids{21, 22}, 0, 8, "IP Config Setting Failed!!!",
     "device wifi", [](Cell&, Script& s) { s.SetIp(IDC_WIFI_ADDR, "192.168.1.7"); },
     [](Cell&, Script& s) { s.Click(IDC_WIFI_SET); }},
    {"country Set", Ids{26} + Polls(4) + Ids{25}, 0, 5, "Set Country Code Failed!!!",
     "country device", [](Cell&, Script& s) { s.Select(IDC_COUNTRY_COMBO, 0); },
     [](Cell&, Script& s) { s.Click(IDC_COUNTRY_SET); }},
    // Two scans; between them a network goes out of range.
    {"SSID Scan", Ids{27, 27}, 0, 1, "", "lists", nullptr,
     [](Cell& c, Script& s) {
         s.Click(IDC_SSID_SCAN).Click(IDC_SSID_SCAN);
         c.On(IDD_AP_LIST)
             .Call([&c] {
                 c.NoteList();
                 c.dev.State().networks[6].inRange = false;
             })
             .Escape();
         c.On(IDD_AP_LIST, 2).Call([&c] { c.NoteList(); }).Escape();
     }},
    {"connect", Ids{27, 28} + Polls(12) + Ids{42, 30, 21, 22}, 0, 1, "Re-Connecting Failed!!!",
     "device ssid status", KeepAScan,
     Pick(6, [](Script& p) { p.Type(IDC_PASSWORD, kPassword).Click(IDC_CONNECT); })},
    {"delete", Ids{27, 31}, 0, 1, "", "device", KeepAScan,
     Pick(1, [](Script& p) { p.Click(IDC_DELETE); })},
    // The Ethernet Set again, the faults at its first poll and at the one that sees done.
    {"wait poll", Ids{23} + Polls(6) + Ids{21, 22}, 1, 6, "IP Config Setting Failed!!!",
     "device eth", EditEth, ClickEthSet},
};

// An outcome in the words of the table: the boxes shown ("notice" for "Write to USB
// Timeout", "failed" for the flow's failure message), then each item that differs from
// the fault-free run: "kept" as before the flow, "empty" as never read, or what it shows.
struct Outcome {
    View before, after;
    Texts boxes;
};
std::string Describe(const Flow& flow, const Outcome& r, const View& clean, const View& empty) {
    std::string text;
    auto say = [&](const std::string& w) { text += (text.empty() ? "" : ", ") + w; };
    for (const std::string& b : r.boxes)
        say(b == "Write to USB Timeout" ? "notice" : b == flow.failure ? "failed" : b);
    for (const auto& [item, value] : r.after) {
        if (value == clean.at(item)) continue;
        say(item + "=" +
            (value == r.before.at(item) ? "kept"
             : value == empty.at(item)  ? "empty"
                                        : value));
    }
    return text;
}

// One run of `flow` with `fault` at exchange `at`, or with none (then it must send just the
// flow's exchanges). What every run must do besides is checked here.
Outcome RunFlow(const Flow& flow, const FaultKind* fault, size_t at, const View& empty) {
    Outcome r;
    Cell c;
    Script& main = c.OnMain();
    if (flow.prepare) flow.prepare(c, main);
    devsim::Device& target = *c.target;
    auto inject = [&] {
        target.ClearRequests();
        if (!fault) return;
        devsim::FaultRule rule = fault->rule;
        if (fault == &kFaults[Late]) rule.delayMs += TimeoutOf(flow.exchanges.at(at));
        target.Inject(rule.After(static_cast<int>(at)));
    };
    // The user takes two seconds over the notice, while the window's timers go on.
    if (fault == &kFaults[Stall]) c.User().OnMessageBox("Write to USB Timeout", 2000);
    if (!flow.act) {  // the start-up: the fault is there before the window opens
        inject();
        r.before = empty;
        main.Call([&] { c.NoteLabel(); });
    } else {
        main.Call([&] {
            r.before = Look(c);
            inject();
        });
        flow.act(c, main);
    }
    main.Call([&] {
        r.after = Look(c);
        EXPECT_TRUE(fault || target.CommandIds() == flow.exchanges);
        // The exchanges after the fault succeed: the second at the latest, when the first
        // is the one a late reply costs.
        c.dlg.LoadSsid();
        EXPECT_TRUE(c.dlg.LoadSsid()) << "the exchange after the fault's last victim failed";
    });
    main.Escape();
    testing::internal::CaptureStdout();
    c.dlg.DoModal();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(std::regex_match(out, std::regex(fault ? fault->lines : ""))) << out;
    EXPECT_EQ(out.find(kPassword), std::string::npos);
    for (const auto& b : c.backend.MessageBoxes()) {
        r.boxes.push_back(b.text);
        EXPECT_EQ(b.text.find(kPassword), std::string::npos);
        // The pipe's notice has no caption of its own; the window's boxes have its name.
        EXPECT_EQ(b.caption, b.text == "Write to USB Timeout" ? "" : "netcfg");
    }
    return r;
}

// Each row: a flow, the faults that have the same outcome there, and what the user sees
// with the fault at the flow's first exchange and at its later one, in the words of
// Describe; "" is what the flow shows without a fault, and what every cell left out must
// show. A failed read is silent and leaves its part of the window as it was; a late, stale
// or flooded reply makes the next exchange fail too, and no more; a reply in pieces is read
// whole; the reply to a change is not used, but a change whose request never got out is
// reported failed at once; a pipe that died with its device is opened again by the next
// exchange; a failed scan or poll before a join, a delete or a wait's end is made good.
const Faults kLost = {NoReply, BadCrc, BadHeader, Truncated, Vanish};
const Faults kLostAndNext = {Late, Stale, Flood};
const Faults kAllLost = {NoReply, Late, Stale, BadCrc, BadHeader, Truncated, Vanish, Flood};
const struct Row {
    const char* flow;
    Faults faults;
    const char* first;
    const char* later;
} kRows[] = {
    // Start-up: a failed identity query leaves its part of the label out; a failed Ethernet
    // read leaves both panels unread, since the WiFi one is not asked then.
    {"start-up", kLost, "label=1234 FW1", "eth=kept, wifi=kept"},
    {"start-up", kLostAndNext, "label=1234", "eth=kept, status=kept, wifi=kept"},
    {"start-up", Faults{Stall}, "notice, label=1234 FW1", "notice, eth=kept, wifi=kept"},
    // The device Scan, then the drop-down: only the label shows the failed query; the same
    // device stays selected, so nothing is read again and the Ethernet edits stay.
    {"device Scan", kLost, "label=1234 FW1 / 1234 R7 FW1", "label=1234 R7 FW1 / 1234 R7"},
    {"device Scan", kLostAndNext, "label=1234 / 1234 R7 FW1", "label=1234 R7 FW1 / 1234 R7"},
    {"device Scan", Faults{Stall}, "notice, label=1234 FW1 / 1234 R7 FW1",
     "notice, label=1234 R7 FW1 / 1234 R7"},
    // A change of device: what the new device did not answer stays empty, never showing the
    // old device's values.
    {"change of device", kLost, "country=empty", "eth=empty, wifi=empty"},
    {"change of device", kLostAndNext, "country=empty, ssid=empty",
     "eth=empty, status=empty, wifi=empty"},
    {"change of device", Faults{Stall}, "notice, country=empty", "notice, eth=empty, wifi=empty"},
    // Ethernet and WiFi Set, country Set: the device carried the change out whatever became
    // of its reply, and the wait sees it; a failed read-back leaves the edited panel, or the
    // list with the user's unmarked pick, as it was. A change that never reached the device
    // fails at once, with the edits.
    {"Ethernet Set", kAllLost, "", "eth=kept"},
    {"Ethernet Set", Faults{Stall}, "notice, failed, device=kept, eth=kept", "notice, eth=kept"},
    {"WiFi Set", kAllLost, "", "wifi=kept"},
    {"WiFi Set", Faults{Stall}, "notice, failed, device=kept, wifi=kept", "notice, wifi=kept"},
    {"country Set", kAllLost, "", "country=kept"},
    {"country Set", Faults{Stall}, "notice, failed, country=kept, device=kept",
     "notice, country=kept"},
    // Two SSID scans, the rows each list showed: a failed scan shows the last one that came,
    // none before the first.
    {"SSID Scan", kLost, "lists=0/6", "lists=7/7"},
    {"SSID Scan", kLostAndNext, "lists=0/0", "lists=7/7"},
    {"SSID Scan", Faults{Stall}, "notice, lists=0/6", "notice, lists=7/7"},
    // Connect and delete, the faults at the scan and at the request: the kept scan still
    // offers the network. A join the device never got is reported failed and nothing is
    // read again; a delete reports nothing of its own.
    {"connect", Faults{Stall}, "notice", "notice, failed, device=kept, ssid=kept, status=kept"},
    {"delete", Faults{Stall}, "notice", "notice, device=kept"},
    // A poll that fails, at the first or at the one that would see done: the next one polls
    // again and the wait ends as without the fault.
    {"wait poll", Faults{Stall}, "notice", "notice"},
};

// Each cell runs with a backend, a link and a window of its own.
class FaultMatrix : public FlowTest {};

TEST_F(FaultMatrix, EveryFlowUnderEveryFault) {
    View empty;  // the window of a device that never answered
    Cell none;
    none.dev.SetPresent(false);
    none.Go([&](Script& s) { s.Call([&] { empty = Look(none); }); });
    EXPECT_EQ(none.Boxes(), Texts{"Device not found!!!"});
    EXPECT_TRUE(none.dev.CommandIds().empty());
    std::vector<Outcome> clean;
    for (const Flow& flow : kFlows) {
        SCOPED_TRACE(flow.name);
        const Outcome& c = clean.emplace_back(RunFlow(flow, nullptr, 0, empty));
        EXPECT_EQ(c.boxes, Texts{});
        // What a row calls "kept" must differ from what the flow shows without a fault.
        std::string changed;
        for (const auto& [item, value] : c.after)
            if (value != c.before.at(item)) changed += (changed.empty() ? "" : " ") + item;
        EXPECT_EQ(changed, flow.changes);
    }
    // What the second device's Ethernet reply leaves out stays as the panel held it: empty
    // after the change of device, never the first device's static address.
    EXPECT_EQ(clean[2].after.at("eth"), "  0.0.0.0 ++-");
    for (size_t i = 0; i < std::size(kFlows); ++i) {
        const Flow& flow = kFlows[i];
        for (size_t f = 0; f < std::size(kFaults); ++f) {
            Row row = {flow.name, {}, "", ""};
            for (const Row& r : kRows)
                if (r.flow == std::string(flow.name) &&
                    std::ranges::count(r.faults, static_cast<Fault>(f)))
                    row = r;
            for (size_t at : {flow.first, flow.later}) {
                SCOPED_TRACE(std::string(flow.name) + ", " + kFaults[f].name + " at exchange " +
                             std::to_string(at));
                Outcome r = RunFlow(flow, &kFaults[f], at, empty);
                EXPECT_EQ(Describe(flow, r, clean[i].after, empty),
                          at == flow.first ? row.first : row.later);
            }
        }
    }
}

}  // namespace
