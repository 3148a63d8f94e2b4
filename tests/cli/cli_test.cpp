// netcfg-cli's entry run in-process against simulated devices on virtual time.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "base/clock.h"
#include "cli/cli.h"
#include "devsim/device.h"
#include "protocol/commands.h"
#include "usb/sim/sim_link.h"

namespace {

struct Result {
    int status;
    std::string out, err;
};

class CliTest : public ::testing::Test {
protected:
    CliTest() { UsbSetLink(&link); }
    ~CliTest() override { UsbSetLink(nullptr); }

    devsim::Device& AddDevice() {
        devices.push_back(std::make_unique<devsim::Device>());
        link.Attach(*devices.back(), devices.size() == 1 ? "0001" : "0002",
                    static_cast<uint32_t>(devices.size()));
        return *devices.back();
    }

    Result Run(std::vector<std::string> args, const std::string& input = "") {
        args.insert(args.begin(), "netcfg-cli");
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        std::istringstream in(input);
        std::ostringstream out, err;
        int status = CliMain(static_cast<int>(argv.size()), argv.data(), in, out, err);
        return {status, out.str(), err.str()};
    }

    base::ScopedVirtualClock clock{1000};
    std::vector<std::unique_ptr<devsim::Device>> devices;
    SimUsbLink link;
};

struct Case {
    std::vector<std::string> args;
    std::string input;
    int status;
    std::string out;      // contained in the standard output
    std::string err;      // contained in the error output
    int32_t sentCmd = 0;  // a change the device must have received, with sentText
    std::string sentText = "";
};

TEST_F(CliTest, SubcommandsSendAndPrint) {
    const Case cases[] = {
        {{"list"}, "", 0, "1  USB001 PID:0001 Quillo R7 Network Module FW 1.01.02\n", ""},
        {{"show"}, "", 0, "Ethernet:     DHCP on, address 192.168.1.57, mask 255.255.255.0", ""},
        {{"ip", "eth", "static", "10.0.0.5/24", "10.0.0.1"},
         "",
         0,
         "Ethernet: DHCP off, address 10.0.0.5, mask 255.255.255.0, gateway 10.0.0.1\n",
         "",
         CMD_SET_ETH_IPCFG,
         "0,10.0.0.5,255.255.255.0,10.0.0.1"},
        {{"ip", "wifi", "static", "10.1.2.3", "255.255.0.0"},
         "",
         0,
         "WiFi: DHCP off",
         "",
         CMD_SET_WIFI_IPCFG,
         "0,10.1.2.3,255.255.0.0,0.0.0.0"},
        // DHCP on sends the lease the device shows, as the dialog does.
        {{"ip", "wifi", "dhcp"},
         "",
         0,
         "WiFi: DHCP on, address 192.168.1.61",
         "",
         CMD_SET_WIFI_IPCFG,
         "1,192.168.1.61,255.255.255.0,192.168.1.1"},
        {{"ip", "eth", "static", "127.0.0.1/8"}, "", 2, "", "IP Addr is reserved"},
        {{"ip", "eth", "static", "10.0.0.5/24", "10.1.0.1"}, "", 2, "", "outside the subnet"},
        {{"ip", "eth", "static", "10.0.0.256/24"}, "", 2, "", "not an IPv4 address"},
        {{"ip", "lan", "dhcp"}, "", 2, "", "not an interface"},
        {{"countries"}, "", 0, "* DE  Germany\n", ""},
        {{"country", "fr"}, "", 0, "Country: FR France\n", "", CMD_SET_COUNTRY, "FR"},
        {{"country", "XX"}, "", 2, "", "offers no country XX"},
        // Columns as wide as their widest cell; flags: current, stored profile, open.
        {{"scan"},
         "",
         0,
         "*P-  HomeNet        a4:2b:b0:11:22:33  6    92%     11n   WPA2-PSK  AES\n"
         "-P-  Office-5G      a4:2b:b0:44:55:66  36   71%     11ac  WPA2-PSK  AES\n"
         "--O  Guest Lounge   0c:80:63:0a:0b:0c  11   64%     11n   --        --\n",
         ""},
        {{"join", "Guest Lounge"},
         "",
         0,
         "Joined 'Guest Lounge'\n",
         "",
         CMD_CONNECT_WIFI,
         "0,12,00,Guest Lounge,"},
        {{"join", "Office-5G"},
         "",
         0,
         "Joined 'Office-5G'",
         "",
         CMD_CONNECT_WIFI,
         "1,09,00,Office-5G,"},
        {{"join", "--password-stdin", "Caf\xc3\xa9 Z\xc3\xbcrich"},
         "espresso\n",
         0,
         "Joined",
         "",
         CMD_CONNECT_WIFI,
         "0,13,08,Caf\xc3\xa9 Z\xc3\xbcrich,espresso"},
        {{"join", "--password-stdin", "Warehouse"},
         "wrong-one\n",
         1,
         "",
         "joining 'Warehouse' failed: Password not match!!!",
         CMD_CONNECT_WIFI,
         "0,09,09,Warehouse,wrong-one"},
        {{"join", "Warehouse"}, "", 2, "", "needs a password"},
        {{"join", "Nowhere"}, "", 1, "", "the scan did not find 'Nowhere'"},
        {{"forget", "Office-5G"}, "", 0, "Office-5G", "", CMD_DELETE_PROFILE, "Office-5G"},
        {{"show", "-d", "2"}, "", 3, "", "no device 2 (1 found)"},
        {{"ip", "--json", "eth", "dhcp"}, "", 2, "", "ip has no --json"},
        {{"frobnicate"}, "", 2, "", "unknown command frobnicate"},
        {{"country"}, "", 2, "", "wrong number of operands for country"},
        {{"--help"}, "", 0, "usage: netcfg-cli", ""},
        {{"join", "--help"}, "", 0, "usage: netcfg-cli join SSID", ""},
    };
    for (const Case& c : cases) {
        link = SimUsbLink();
        devices.clear();
        devsim::Device& dev = AddDevice();
        Result r = Run(c.args, c.input);
        std::string what = c.args[0] + (c.args.size() > 1 ? " " + c.args[1] : "");
        EXPECT_EQ(r.status, c.status) << what << "\n" << r.err;
        EXPECT_NE(r.out.find(c.out), std::string::npos) << what << "\n" << r.out;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << what << "\n" << r.err;
        if (c.status != 0) {
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << what;
        }
        bool sent = false;
        for (const devsim::ReceivedRequest& q : dev.Requests()) {
            if (q.cmdId == c.sentCmd) {
                EXPECT_EQ(q.Text(), c.sentText) << what;
                EXPECT_EQ(q.payload.size(), c.sentText.size() + 1) << what;  // with its NUL
                sent = true;
            }
            // Nothing changes the device before its input has passed the checks.
            if (c.sentCmd == 0) {
                EXPECT_TRUE(q.cmdId != CMD_SET_ETH_IPCFG && q.cmdId != CMD_SET_WIFI_IPCFG &&
                            q.cmdId != CMD_SET_COUNTRY && q.cmdId != CMD_CONNECT_WIFI &&
                            q.cmdId != CMD_DELETE_PROFILE)
                    << what << " sent " << q.cmdId;
            }
        }
        EXPECT_EQ(sent, c.sentCmd != 0) << what;
        // A password never shows, whatever happened.
        if (!c.input.empty()) {
            std::string password = c.input.substr(0, c.input.size() - 1);
            EXPECT_EQ(r.out.find(password), std::string::npos) << what;
            EXPECT_EQ(r.err.find(password), std::string::npos) << what;
        }
    }
}

// The JSON objects are the ones docs/cli.md shows.
TEST_F(CliTest, JsonIsTheDocumentedObject) {
    AddDevice();
    EXPECT_EQ(Run({"list", "--json"}).out,
              "{\"devices\":[{\"index\":1,\"port\":\"USB001\",\"productId\":\"0001\","
              "\"label\":\"USB001 PID:0001 Quillo R7 Network Module FW 1.01.02\"}]}\n");
    EXPECT_EQ(Run({"show", "--json"}).out,
              "{\"ethernet\":{\"dhcp\":true,\"address\":\"192.168.1.57\",\"mask\":"
              "\"255.255.255.0\",\"gateway\":\"192.168.1.1\",\"locked\":false},\"wifi\":{"
              "\"dhcp\":false,\"address\":\"192.168.1.200\",\"mask\":\"255.255.255.0\","
              "\"gateway\":\"192.168.1.1\",\"locked\":false},\"country\":{\"code\":\"DE\","
              "\"name\":\"Germany\"},\"network\":\"HomeNet\",\"wifiStatus\":0,"
              "\"wifiStatusMessage\":null}\n");
    // Device text that is neither printable nor UTF-8 still makes valid JSON.
    devices[0]->State().joined = "a\"b\\\x01\xff";
    EXPECT_NE(Run({"show", "--json"}).out.find("\"network\":\"a\\\"b\\\\\\u0001\\u00ff\""),
              std::string::npos);
}

TEST_F(CliTest, SeveralDevicesNeedAChoice) {
    AddDevice();
    AddDevice();
    Result r = Run({"show"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("2 devices found"), std::string::npos);
    EXPECT_NE(r.err.find("  2  USB002 PID:0002"), std::string::npos);
    EXPECT_EQ(Run({"-d", "2", "show"}).status, 0);
    link = SimUsbLink();
    devices.clear();
    r = Run({"list"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "netcfg-cli: no device found\n");
}

TEST_F(CliTest, CompletionThatNeverComesFailsAfterTheWait) {
    devsim::Device& dev = AddDevice();
    dev.Inject(devsim::ReplyPayload({0}).On(CMD_POLL_DONE).Times(devsim::kEveryTime));
    uint32_t start = clock.Now();
    Result r = Run({"country", "FR"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "netcfg-cli: setting the country did not complete within 60 s\n");
    uint32_t waited = clock.Now() - start;
    EXPECT_GE(waited, 60000u);
    EXPECT_LT(waited, 61000u);
    // Polled every period, and nothing read back after the failure.
    std::vector<int32_t> ids = dev.CommandIds();
    EXPECT_EQ(std::count(ids.begin(), ids.end(), CMD_POLL_DONE), 120);
    EXPECT_EQ(ids.back(), CMD_POLL_DONE);
}

TEST_F(CliTest, LockedInterfaceIsNotChanged) {
    devsim::Device& dev = AddDevice();
    dev.State().eth.flags = devsim::kIpLocked;
    Result r = Run({"ip", "eth", "dhcp"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "netcfg-cli: the device locks its Ethernet IP configuration\n");
}

}  // namespace
