// netcfg-cli run as a process against its simulated devices, on virtual time, with the log
// of what the devices received (the --sim testing aids of docs/cli.md).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/text_out.h"
#include "protocol/commands.h"

namespace {

// A request as a simulated device logged it.
struct Request {
    int device = 0;
    uint32_t at = 0;
    int32_t cmd = 0;
    std::string payload;
};

struct Result {
    int status = -1;
    std::string out, err;
    std::vector<Request> received;
};

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// Runs `netcfg-cli --sim COMMAND` (shell words) with `input` on its standard input and the
// testing `aids` beyond virtual time and the log.
Result RunCli(const std::string& command, const std::string& input = "",
              const std::string& aids = "") {
    const std::string dir = ::testing::TempDir() + "cli_process_" + std::to_string(getpid());
    const std::string in = dir + ".in", out = dir + ".out", err = dir + ".err", log = dir + ".log";
    std::ofstream(in, std::ios::binary) << input;
    std::string shell = "NETCFG_SIM_TEST=virtual-time,log=" + log + (aids.empty() ? "" : ",") +
                        aids + " '" NETCFG_CLI "' --sim " + command + " <" + in + " >" + out +
                        " 2>" + err;
    int ws = std::system(shell.c_str());
    Result r{WIFEXITED(ws) ? WEXITSTATUS(ws) : -1, ReadFile(out), ReadFile(err), {}};
    std::istringstream lines(ReadFile(log));
    for (std::string line; std::getline(lines, line);) {
        Request q;
        std::string hex;
        std::istringstream(line) >> q.device >> q.at >> q.cmd >> hex;
        for (size_t i = 0; i + 1 < hex.size(); i += 2)
            q.payload += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
        r.received.push_back(q);
    }
    for (const std::string& f : {in, out, err, log}) std::remove(f.c_str());
    return r;
}

// The testing aid that has the devices answer `cmd` with `payload`.
std::string Reply(int32_t cmd, const std::string& payload) {
    std::string aid = "reply=" + std::to_string(cmd) + ":";
    for (unsigned char b : payload)
        aid += "0123456789abcdef"[b >> 4], aid += "0123456789abcdef"[b & 15];
    return aid;
}

struct Case {
    std::string command;
    int status;
    // Standard output when it succeeds, standard error when it fails, the other stream
    // staying empty: exact (an error after "netcfg-cli: "), or a prefix when it ends in "...".
    std::string printed;
    int32_t sent = 0;       // the one request with a payload, a change to the device -d names
    std::string text = "";  // its text, sent with the NUL
    std::string aids = "";
    std::string input = "";  // a password, one line
};

TEST(CliProcess, Subcommands) {
    const std::string cafe = "Caf\xc3\xa9 Z\xc3\xbcrich", usage = "usage: netcfg-cli ";
    const std::string never = Reply(CMD_POLL_DONE, {'\0'}), early = Reply(CMD_POLL_DONE, {'\1'});
    // One country, and a current index past it.
    const char oneCountry[] = "\1\0\0\0\1\0\0\0\0\0\0\0\3\0\0\0US\0United States";
    const Case cases[] = {
        {"list", 0,
         "1  USB001 PID:0001 Quillo R7 Network Module FW 1.01.02\n2  USB002 PID:0002 Quillo R7 "
         "Network Module (lab) FW 1.01.01\n"},
        {"list", 3, "no device found\n", 0, "", "devices=0"},
        {"show", 2,
         "2 devices found, pick one with -d N:\n  1  USB001 PID:0001 Quillo"
         " R7 Network Module FW 1.01.02\n  2  USB002 PID:0002 Quillo R7 Network Module"
         " (lab) FW 1.01.01\n"},
        {"show", 0, "Ethernet:     DHCP on, address 192.168.1.57,...", 0, "", "devices=1"},
        {"-d 3 show", 3, "no device 3 (2 found)\n"},
        {"-d 1 show", 1, "reading the joined network failed\n", 0, "", "no-reply=30"},
        {"-d 2 ip wifi static 10.1.2.3 255.255.0.0", 0,
         "WiFi: DHCP off, address 10.1.2.3, mask 255.255.0.0, gateway 0.0.0.0\n",
         CMD_SET_WIFI_IPCFG, "0,10.1.2.3,255.255.0.0,0.0.0.0"},
        // DHCP on sends the lease the device shows, as the dialog does.
        {"-d 1 ip wifi dhcp", 0,
         "WiFi: DHCP on, address 192.168.1.61, mask 255.255.255.0, gateway 192.168.1.1\n",
         CMD_SET_WIFI_IPCFG, "1,192.168.1.61,255.255.255.0,192.168.1.1"},
        // Prefix 0 parses (a mask no network uses), as does a 9 in an address.
        {"-d 1 ip eth static 10.0.0.9/0", 2, "refused: Invalid Mask!!!\n"},
        {"-d 1 ip eth static 10.0.0.256/24", 2, "not an IPv4 address: 10.0.0.256\n"},
        {"-d 1 ip eth static 10.0.0.0005/24", 2, "not an IPv4 address: 10.0.0.0005\n"},
        {"-d 1 ip lan dhcp", 2, "not an interface (eth or wifi): lan\n"},
        {"-d 1 ip --json eth dhcp", 2, "ip has no --json\n"},
        {"-d 1 ip eth dhcp", 1, "the device locks its Ethernet IP configuration\n", 0, "",
         Reply(CMD_GET_ETH_IPCFG, "4,1,10.0.0.5,255.0.0.0,10.0.0.1,10.0.0.5,255.0.0.0,10.0.0.1")},
        {"-d 1 ip eth static 10.0.0.5/20", 1,
         "setting the Ethernet IP configuration did not complete within 60 s\n", CMD_SET_ETH_IPCFG,
         "0,10.0.0.5,255.255.240.0,0.0.0.0", never},
        {"-d 1 ip eth dhcp", 1, "reading the Ethernet IP configuration failed\n", 0, "",
         "no-reply=21"},
        // A change never written is not waited for: the idle device would answer "done".
        {"-d 1 ip wifi dhcp", 1, "sending the WiFi IP configuration to the device failed\n", 0, "",
         "stall=" + std::to_string(CMD_SET_WIFI_IPCFG)},
        {"-d 1 countries", 0, "  US  United States\n  CA  Canada\n..."},
        {"-d 1 countries --json", 0,
         "{\"current\":null,\"countries\":[{\"code\":\"US\",\"name\":\"United "
         "States\",\"current\":false}]}\n",
         0, "", Reply(CMD_GET_COUNTRY_LIST, std::string(oneCountry, sizeof oneCountry))},
        {"-d 1 country us", 0, "Country: US United States\n", CMD_SET_COUNTRY, "US"},
        {"-d 1 country de", 0, "Country: DE Germany\n"},
        {"-d 1 country XX", 2, "the device offers no country XX (see 'netcfg-cli countries')\n"},
        {"-d 1 country FR", 1, "setting the country did not complete within 60 s\n",
         CMD_SET_COUNTRY, "FR", never},
        {"-d 1 country FR", 1, "the device did not take country FR\n", CMD_SET_COUNTRY, "FR",
         early},
        {"-d 1 join Office-5G", 0, "Joined 'Office-5G'\n", CMD_CONNECT_WIFI, "1,09,00,Office-5G,"},
        {"-d 1 join HomeNet", 0, "Already joined to 'HomeNet'\n"},
        // The password reaches the device's connect text and no output.
        {"-d 1 join --password-stdin '" + cafe + "'", 0, "Joined '" + cafe + "'\n",
         CMD_CONNECT_WIFI, "0,13,08," + cafe + ",espresso", "", "espresso\n"},
        {"-d 1 join --password-stdin Warehouse", 1,
         "joining 'Warehouse' failed: Password not match!!!\n", CMD_CONNECT_WIFI,
         "0,09,09,Warehouse,wrong-one", "", "wrong-one\n"},
        {"-d 1 join Warehouse", 2,
         "'Warehouse' needs a password: run at a terminal or give --password-stdin\n"},
        {"-d 1 join Nowhere", 1, "the scan did not find 'Nowhere'\n"},
        {"-d 1 join HomeNet", 1, "the WiFi scan failed\n", 0, "", "no-reply=27"},
        {"-d 1 join 'Guest Lounge'", 1, "joining 'Guest Lounge' did not complete within 120 s\n",
         CMD_CONNECT_WIFI, "0,12,00,Guest Lounge,", never},
        {"-d 2 forget Office-5G", 0, "Asked the device to delete its profile of 'Office-5G'\n",
         CMD_DELETE_PROFILE, "Office-5G"},
        {"forget " + std::string(64, 'n'), 2, "a network name is at most 63 bytes\n"},
        {"frobnicate", 2, "unknown command frobnicate (see --help)\n"},
        {"country", 2,
         "wrong number of operands for country; usage: netcfg-cli country CODE "
         "[-d N]\n"},
        {"--bogus list", 2, "unknown option --bogus (see --help)\n"},
        {"-d x list", 2, "not a device number: x\n"},
        {"show --password-stdin", 2, "--password-stdin is for join only\n"},
        {"", 2, usage + "[-d N] [--json] COMMAND [ARGS]\n..."},
        {"--help", 0,
         usage + "[-d N] [--json] COMMAND [ARGS]\nReads and changes the network settings of the "
                 "maker's USB-attached devices.\n\ncommands:\n  list [--json]\n..."},
        {"join --help", 0, usage + "join SSID [-d N] [--password-stdin]\n..."},
    };
    for (const Case& c : cases) {
        Result r = RunCli(c.command, c.input, c.aids);
        EXPECT_EQ(r.status, c.status) << c.command;
        bool prefix = c.printed.ends_with("...");
        std::string want = (c.status && !prefix ? "netcfg-cli: " : "") +
                           c.printed.substr(0, c.printed.size() - (prefix ? 3 : 0));
        const std::string& printed = c.status ? r.err : r.out;
        EXPECT_EQ(prefix ? printed.substr(0, want.size()) : printed, want) << c.command;
        EXPECT_EQ(c.status ? r.out : r.err, "") << c.command;
        // Nothing changes the device before the checks pass, and only the one change.
        std::string changes, sent;
        uint32_t changedAt = 0;
        for (const Request& q : r.received) {
            if (q.payload.empty()) continue;
            changes +=
                std::to_string(q.device) + " " + std::to_string(q.cmd) + " " + q.payload + "\n";
            changedAt = q.at;
        }
        if (c.sent)
            sent = (c.command.starts_with("-d 2") ? "2 " : "1 ") + std::to_string(c.sent) + " " +
                   c.text + '\0' + "\n";
        EXPECT_EQ(changes, sent) << c.command;
        // A completion that never comes: polled each period to the end of the wait, and
        // nothing read back after it.
        if (c.aids == never) {
            int polls = 0;
            for (const Request& q : r.received) polls += q.cmd == CMD_POLL_DONE;
            int32_t total =
                c.sent == CMD_CONNECT_WIFI ? CMD_CONNECT_WAIT_TOTAL_MS : CMD_WAIT_TOTAL_MS;
            EXPECT_EQ(polls, total / CMD_POLL_PERIOD_MS) << c.command;
            EXPECT_EQ(r.received.back().cmd, CMD_POLL_DONE) << c.command;
            EXPECT_EQ(r.received.back().at - changedAt, static_cast<uint32_t>(total)) << c.command;
        }
        std::string password = c.input.substr(0, c.input.find('\n'));
        EXPECT_TRUE(password.empty() || (r.out + r.err).find(password) == std::string::npos);
    }
}

// Every example of docs/cli.md, the JSON objects and the text transcripts, is what the
// program prints.
TEST(CliProcess, DocumentedExamples) {
    std::ifstream doc(NETCFG_CLI_DOC);
    std::vector<std::pair<std::string, std::string>> examples;  // command, output
    std::string line, named;
    bool block = false, open = false;
    while (std::getline(doc, line)) {
        if (line.starts_with("```")) {
            block = !block;
            open = block && line == "```json";
            if (open) examples.push_back({named, ""});
        } else if (block && line.starts_with("$ netcfg-cli ")) {
            examples.push_back({line.substr(13), ""});
            open = true;
        } else if (block && open) {
            examples.back().second += line + "\n";
        } else if (line.starts_with("`netcfg-cli ")) {
            named = line.substr(12, line.find('`', 1) - 12);
        }
    }
    int json = 0;
    for (const auto& [command, out] : examples) {
        Result r = RunCli(command);
        EXPECT_EQ(r.status, 0) << command << "\n" << r.err;
        EXPECT_EQ(r.out, out) << command;
        json += command.ends_with("--json");
    }
    EXPECT_EQ(json, 4);  // list, show, countries, scan
    EXPECT_GT(examples.size(), 4u);
}

// Device text that is neither printable nor UTF-8 still makes valid JSON: valid UTF-8
// passes, any other byte (overlong, surrogate, past U+10FFFF, a lead byte without its
// continuation, cut short) is escaped.
TEST(CliProcess, JsonEscapesAnyBytes) {
    EXPECT_EQ(Json("a\"b\\\x01\xc3\xa9\xe2\x82\xac\xf0\x90\x80\x80|\xe0\x9f\xbf|\xed\xa0\x80|"
                   "\xf0\x8f\xbf\xbf|\xf4\x90\x80\x80|\xc3z\xc3"),
              "\"a\\\"b\\\\\\u0001\xc3\xa9\xe2\x82\xac\xf0\x90\x80\x80|\\u00e0\\u009f\\u00bf|"
              "\\u00ed\\u00a0\\u0080|\\u00f0\\u008f\\u00bf\\u00bf|\\u00f4\\u0090\\u0080\\u0080|"
              "\\u00c3z\\u00c3\"");
}

}  // namespace
