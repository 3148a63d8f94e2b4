#include "cli/cli.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "base/fixed_text.h"
#include "cli/device.h"
#include "cli/text_out.h"
#include "protocol/commands.h"
#include "settings/country_record.h"
#include "settings/ip_check.h"
#include "settings/ipcfg_text.h"
#include "settings/scan_reply.h"
#include "settings/wifi_text.h"

namespace {

constexpr char kProgram[] = "netcfg-cli";

struct Options {
    int device = 0;  // from 1; 0 when not given
    bool json = false;
    bool passwordStdin = false;
    bool help = false;
    std::vector<std::string> args;  // the subcommand and its operands
};

struct Run {
    Options opt;
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    CliTerminal terminal;
    CliDevices devices;

    int Fail(int status, const std::string& message) {
        err << kProgram << ": " << message << "\n";
        return status;
    }
};

struct Command {
    const char* name;
    const char* usage;
    const char* help;
    bool json;
    size_t minArgs, maxArgs;  // operands after the name
    int (*fn)(Run&);
};

extern const Command kCommands[];
extern const size_t kCommandCount;

const Command* FindCommand(const std::string& name) {
    for (size_t i = 0; i < kCommandCount; ++i)
        if (name == kCommands[i].name) return &kCommands[i];
    return nullptr;
}

void ProgramHelp(std::ostream& out) {
    out << "usage: " << kProgram << " [-d N] [--json] COMMAND [ARGS]\n"
        << "Reads and changes the network settings of the maker's USB-attached devices.\n\n"
        << "commands:\n";
    for (size_t i = 0; i < kCommandCount; ++i) out << "  " << kCommands[i].usage << "\n";
    out << "\noptions:\n"
        << "  -d N              the device numbered N by 'list' (needed when there are several)\n"
        << "  --json            one JSON object on standard output (list, show, countries, scan)\n"
        << "  --password-stdin  join: read the password from standard input\n"
        << "  --sim             two simulated devices instead of the USB devices\n"
        << "  -h, --help        this text; 'COMMAND --help' for one command\n\n"
        << "exit status: 0 done, 1 the device refused, failed or did not complete in time,\n"
        << "2 usage, 3 no device (or not the one named)\n";
}

void CommandHelp(std::ostream& out, const Command& c) {
    out << "usage: " << kProgram << " " << c.usage << "\n" << c.help;
}

// Picks the device every exchange of this run goes to; a status other than CLI_OK when
// there is none to pick.
int SelectDevice(Run& r) {
    int n = r.devices.Walk();
    if (n == 0) return r.Fail(CLI_NO_DEVICE, "no device found");
    if (r.opt.device > n)
        return r.Fail(CLI_NO_DEVICE, "no device " + std::to_string(r.opt.device) + " (" +
                                         std::to_string(n) + " found)");
    if (r.opt.device == 0 && n > 1) {
        r.Fail(CLI_USAGE, std::to_string(n) + " devices found, pick one with -d N:");
        for (int i = 0; i < n; ++i)
            r.err << "  " << i + 1 << "  " << Shown(r.devices.Label(i)) << "\n";
        return CLI_USAGE;
    }
    r.devices.Address(r.opt.device ? r.opt.device - 1 : 0);
    return CLI_OK;
}

// A change the device never got is not waited for: an idle device answers the poll with
// "done", which would report the change as made.
int SendChange(Run& r, int32_t cmdId, const std::string& text, const std::string& what) {
    if (CliSendText(cmdId, text)) return CLI_OK;
    return r.Fail(CLI_FAILED, "sending " + what + " to the device failed");
}

// --- list -----------------------------------------------------------------------------

int CmdList(Run& r) {
    int n = r.devices.Walk();
    if (n == 0) return r.Fail(CLI_NO_DEVICE, "no device found");
    if (r.opt.json) r.out << "{\"devices\":[";
    for (int i = 0; i < n; ++i) {
        std::string label = r.devices.Label(i);
        if (r.opt.json) {
            r.out << (i ? "," : "") << "{\"index\":" << i + 1
                  << ",\"port\":" << Json(r.devices.Port(i))
                  << ",\"productId\":" << Json(r.devices.ProductId(i))
                  << ",\"label\":" << Json(label) << "}";
        } else {
            r.out << i + 1 << "  " << Shown(label) << "\n";
        }
    }
    if (r.opt.json) r.out << "]}\n";
    return CLI_OK;
}

// --- show -----------------------------------------------------------------------------

const char* InterfaceName(int32_t getCmd) {
    return getCmd == CMD_GET_ETH_IPCFG ? "Ethernet" : "WiFi";
}

std::string IpText(const CliIpConfig& c) {
    const IpAddrSet& s = c.InUse();
    std::string t = std::string("DHCP ") + (c.state.dhcp ? "on" : "off") + ", address " +
                    Shown(s.addr) + ", mask " + Shown(s.mask) + ", gateway " + Shown(s.gateway);
    return c.Locked() ? t + ", locked" : t;
}

std::string IpJson(const CliIpConfig& c) {
    const IpAddrSet& s = c.InUse();
    return std::string("{\"dhcp\":") + (c.state.dhcp ? "true" : "false") +
           ",\"address\":" + Json(s.addr) + ",\"mask\":" + Json(s.mask) +
           ",\"gateway\":" + Json(s.gateway) + ",\"locked\":" + (c.Locked() ? "true" : "false") +
           "}";
}

int ReadIp(Run& r, int32_t getCmd, CliIpConfig* c) {
    if (CliReadIpConfig(getCmd, c)) return CLI_OK;
    return r.Fail(CLI_FAILED,
                  std::string("reading the ") + InterfaceName(getCmd) + " IP configuration failed");
}

// The country list reply with the record that points into it.
struct Countries {
    std::vector<uint8_t> reply;
    CountryRecord record;
    const CountryEntry* Current() const {
        if (record.current < 0 || static_cast<size_t>(record.current) >= record.entries.size())
            return nullptr;
        return &record.entries[static_cast<size_t>(record.current)];
    }
};

int ReadCountries(Run& r, Countries* c) {
    if (CliRead(CMD_GET_COUNTRY_LIST, CMD_TIMEOUT_MS, &c->reply) &&
        ParseCountryRecord(c->reply.data(), c->reply.size(), &c->record))
        return CLI_OK;
    return r.Fail(CLI_FAILED, "reading the country list failed");
}

int CmdShow(Run& r) {
    if (int s = SelectDevice(r)) return s;
    CliIpConfig eth, wifi;
    Countries countries;
    std::string ssid, statusText;
    uint32_t status = 0;
    if (int s = ReadIp(r, CMD_GET_ETH_IPCFG, &eth)) return s;
    if (int s = ReadIp(r, CMD_GET_WIFI_IPCFG, &wifi)) return s;
    if (int s = ReadCountries(r, &countries)) return s;
    if (!CliReadText(CMD_GET_SSID, &ssid))
        return r.Fail(CLI_FAILED, "reading the joined network failed");
    if (!CliReadText(CMD_GET_WIFI_STATUS, &statusText) ||
        !ParseWifiStatus(statusText.c_str(), &status))
        return r.Fail(CLI_FAILED, "reading the WiFi status failed");
    const CountryEntry* current = countries.Current();
    const char* message = WifiStatusMessage(status);
    char hex[16];
    base::TextFormat(hex, sizeof hex, "0x%02x", status);
    if (r.opt.json) {
        r.out << "{\"ethernet\":" << IpJson(eth) << ",\"wifi\":" << IpJson(wifi) << ",\"country\":";
        if (current)
            r.out << "{\"code\":" << Json(current->code) << ",\"name\":" << Json(current->name)
                  << "}";
        else
            r.out << "null";
        r.out << ",\"network\":" << Json(ssid) << ",\"wifiStatus\":" << status
              << ",\"wifiStatusMessage\":" << (message ? Json(message) : "null") << "}\n";
        return CLI_OK;
    }
    r.out << "Ethernet:     " << IpText(eth) << "\n"
          << "WiFi:         " << IpText(wifi) << "\n"
          << "Country:      "
          << (current ? Shown(current->code) + " " + Shown(current->name) : "(none)") << "\n"
          << "Network:      " << (ssid.empty() ? "(none)" : Shown(ssid)) << "\n"
          << "WiFi status:  " << hex << (message ? std::string(" ") + message : "") << "\n";
    return CLI_OK;
}

// --- ip -------------------------------------------------------------------------------

// A dotted IPv4 address of four decimal fields 0 to 255.
bool ParseAddress(const std::string& text, IpEntry* e) {
    const char* p = text.c_str();
    for (int i = 0; i < 4; ++i) {
        if (i > 0 && *p++ != '.') return false;
        int value = 0, digits = 0;
        while (*p >= '0' && *p <= '9' && digits < 4) value = value * 10 + (*p++ - '0'), ++digits;
        if (digits == 0 || digits > 3 || value > 255) return false;
        e->field[i] = static_cast<uint8_t>(value);
    }
    e->filled = 4;
    return *p == '\0';
}

std::string Dotted(const IpEntry& e) {
    return std::to_string(e.field[0]) + "." + std::to_string(e.field[1]) + "." +
           std::to_string(e.field[2]) + "." + std::to_string(e.field[3]);
}

IpEntry MaskOfPrefix(int prefix) {
    uint32_t m = prefix == 0 ? 0 : ~uint32_t{0} << (32 - prefix);
    return IpEntry{{static_cast<uint8_t>(m >> 24), static_cast<uint8_t>(m >> 16),
                    static_cast<uint8_t>(m >> 8), static_cast<uint8_t>(m)},
                   4};
}

// ADDRESS/PREFIX [GATEWAY] or ADDRESS MASK [GATEWAY], into addr, mask, gateway.
int ParseStatic(Run& r, const std::vector<std::string>& a, IpEntry* addr, IpEntry* mask,
                IpEntry* gw) {
    size_t next;
    std::string first = a[0];
    size_t slash = first.find('/');
    if (slash != std::string::npos) {
        std::string prefix = first.substr(slash + 1);
        first.resize(slash);
        char* end = nullptr;
        long n = std::strtol(prefix.c_str(), &end, 10);
        if (prefix.empty() || *end != '\0' || n < 0 || n > 32 || prefix[0] < '0' || prefix[0] > '9')
            return r.Fail(CLI_USAGE, "not a prefix length from 0 to 32: " + Shown(prefix));
        *mask = MaskOfPrefix(static_cast<int>(n));
        next = 1;
    } else {
        if (a.size() < 2)
            return r.Fail(CLI_USAGE, "ip static needs ADDRESS/PREFIX or ADDRESS MASK");
        if (!ParseAddress(a[1], mask)) return r.Fail(CLI_USAGE, "not an IPv4 mask: " + Shown(a[1]));
        next = 2;
    }
    if (!ParseAddress(first, addr))
        return r.Fail(CLI_USAGE, "not an IPv4 address: " + Shown(first));
    *gw = IpEntry{{0, 0, 0, 0}, 4};  // 0.0.0.0: no gateway
    if (a.size() > next + 1) return r.Fail(CLI_USAGE, "too many operands for ip static");
    if (a.size() == next + 1 && !ParseAddress(a[next], gw))
        return r.Fail(CLI_USAGE, "not an IPv4 gateway: " + Shown(a[next]));
    return CLI_OK;
}

// Progress of a wait, on a terminal only: the message and the seconds so far.
std::function<void(uint32_t)> Progress(Run& r, const std::string& message) {
    if (!r.terminal.err) return nullptr;
    return [&r, message](uint32_t seconds) {
        r.err << "\r" << message << " " << seconds << " s" << std::flush;
    };
}

void EndProgress(Run& r) {
    if (r.terminal.err) r.err << "\n";
}

int CmdIp(Run& r) {
    const std::vector<std::string>& a = r.opt.args;
    int32_t getCmd, setCmd;
    if (a[1] == "eth") {
        getCmd = CMD_GET_ETH_IPCFG, setCmd = CMD_SET_ETH_IPCFG;
    } else if (a[1] == "wifi") {
        getCmd = CMD_GET_WIFI_IPCFG, setCmd = CMD_SET_WIFI_IPCFG;
    } else {
        return r.Fail(CLI_USAGE, "not an interface (eth or wifi): " + Shown(a[1]));
    }
    IpAddrSet set{};
    bool dhcp = a[2] == "dhcp";
    if (dhcp) {
        if (a.size() > 3) return r.Fail(CLI_USAGE, "ip dhcp takes no addresses");
    } else if (a[2] == "static") {
        if (a.size() < 4)
            return r.Fail(CLI_USAGE, "ip static needs ADDRESS/PREFIX or ADDRESS MASK");
        IpEntry addr, mask, gw;
        if (int s = ParseStatic(r, {a.begin() + 3, a.end()}, &addr, &mask, &gw)) return s;
        // The same checks as the dialog's: an address no network could use stays here.
        if (const char* refusal = CheckStaticIpConfig(addr, mask, gw))
            return r.Fail(CLI_USAGE, std::string("refused: ") + refusal);
        base::TextCopy(set.addr, Dotted(addr).c_str());
        base::TextCopy(set.mask, Dotted(mask).c_str());
        base::TextCopy(set.gateway, Dotted(gw).c_str());
    } else {
        return r.Fail(CLI_USAGE, "not a mode (dhcp or static): " + Shown(a[2]));
    }

    if (int s = SelectDevice(r)) return s;
    CliIpConfig before;
    if (int s = ReadIp(r, getCmd, &before)) return s;
    if (before.Locked())
        return r.Fail(CLI_FAILED, std::string("the device locks its ") + InterfaceName(getCmd) +
                                      " IP configuration");
    // DHCP on sends the set the device shows while DHCP is on, as the dialog does.
    if (dhcp) set = before.state.sets[1];
    char text[IPCFG_SET_CAPACITY];
    BuildIpSetText(text, dhcp ? 1 : 0, set);
    if (int s = SendChange(r, setCmd, text,
                           std::string("the ") + InterfaceName(getCmd) + " IP configuration"))
        return s;
    bool done = CliWaitDone(0, CMD_WAIT_TOTAL_MS, Progress(r, "IP configuration"));
    EndProgress(r);
    if (!done)
        return r.Fail(CLI_FAILED, std::string("setting the ") + InterfaceName(getCmd) +
                                      " IP configuration did not complete within " +
                                      std::to_string(CMD_WAIT_TOTAL_MS / 1000) + " s");
    CliIpConfig after;
    if (int s = ReadIp(r, getCmd, &after)) return s;
    r.out << InterfaceName(getCmd) << ": " << IpText(after) << "\n";
    return CLI_OK;
}

// --- countries, country ---------------------------------------------------------------

int CmdCountries(Run& r) {
    if (int s = SelectDevice(r)) return s;
    Countries c;
    if (int s = ReadCountries(r, &c)) return s;
    const CountryEntry* current = c.Current();
    if (r.opt.json) {
        r.out << "{\"current\":" << (current ? Json(current->code) : "null") << ",\"countries\":[";
        for (size_t i = 0; i < c.record.entries.size(); ++i) {
            const CountryEntry& e = c.record.entries[i];
            r.out << (i ? "," : "") << "{\"code\":" << Json(e.code) << ",\"name\":" << Json(e.name)
                  << ",\"current\":" << (&e == current ? "true" : "false") << "}";
        }
        r.out << "]}\n";
        return CLI_OK;
    }
    for (const CountryEntry& e : c.record.entries)
        r.out << (&e == current ? "* " : "  ") << Padded(Shown(e.code), 4) << Shown(e.name) << "\n";
    return CLI_OK;
}

int CmdCountry(Run& r) {
    const std::string& code = r.opt.args[1];
    if (int s = SelectDevice(r)) return s;
    Countries c;
    if (int s = ReadCountries(r, &c)) return s;
    const CountryEntry* chosen = nullptr;
    for (const CountryEntry& e : c.record.entries)
        if (base::TextEqualNoCase(e.code, code.c_str())) chosen = &e;
    if (!chosen)
        return r.Fail(CLI_USAGE, "the device offers no country " + Shown(code) + " (see '" +
                                     kProgram + " countries')");
    const std::string chosenCode = chosen->code;  // the reply goes with the next read
    if (chosen != c.Current()) {
        if (int s = SendChange(r, CMD_SET_COUNTRY, chosenCode, "the country")) return s;
        bool done = CliWaitDone(0, CMD_WAIT_TOTAL_MS, Progress(r, "Country"));
        EndProgress(r);
        if (!done)
            return r.Fail(CLI_FAILED, "setting the country did not complete within " +
                                          std::to_string(CMD_WAIT_TOTAL_MS / 1000) + " s");
    }
    Countries after;
    if (int s = ReadCountries(r, &after)) return s;
    const CountryEntry* now = after.Current();
    if (!now || chosenCode != now->code)
        return r.Fail(CLI_FAILED, "the device did not take country " + Shown(chosenCode));
    r.out << "Country: " << Shown(now->code) << " " << Shown(now->name) << "\n";
    return CLI_OK;
}

// --- scan, join, forget ---------------------------------------------------------------

struct Scan {
    std::vector<uint8_t> reply;
    ScanTable table;
    // The row whose name is exactly `name`, or -1.
    int32_t Find(const std::string& name) const {
        for (int32_t row = 0; row < table.rows; ++row)
            if (table.columns >= SCAN_NAME_COLUMN && table.Cell(row, SCAN_NAME_COLUMN) == name)
                return row;
        return -1;
    }
};

int ReadScan(Run& r, Scan* s) {
    if (CliRead(CMD_SCAN_WIFI, CMD_SCAN_TIMEOUT_MS, &s->reply) &&
        ParseScanReply(s->reply.data(), s->reply.size(), &s->table))
        return CLI_OK;
    return r.Fail(CLI_FAILED, "the WiFi scan failed");
}

std::string FlagMarks(int32_t flags) {
    std::string m = "---";
    if (flags & AP_CONNECTED) m[0] = '*';
    if (flags & AP_HAS_PROFILE) m[1] = 'P';
    if (flags & AP_NO_PASSWORD) m[2] = 'O';
    return m;
}

int CmdScan(Run& r) {
    if (int s = SelectDevice(r)) return s;
    Scan scan;
    if (int s = ReadScan(r, &scan)) return s;
    const ScanTable& t = scan.table;
    if (r.opt.json) {
        r.out << "{\"columns\":[";
        for (int32_t c = 0; c < t.columns; ++c) r.out << (c ? "," : "") << Json(t.titles[c]);
        r.out << "],\"networks\":[";
        for (int32_t row = 0; row < t.rows; ++row) {
            int32_t flags = ScanRowFlags(t, row);
            r.out << (row ? "," : "") << "{\"cells\":[";
            for (int32_t c = 1; c <= t.columns; ++c)
                r.out << (c > 1 ? "," : "") << Json(t.Cell(row, c));
            r.out << "],\"current\":" << ((flags & AP_CONNECTED) ? "true" : "false")
                  << ",\"profile\":" << ((flags & AP_HAS_PROFILE) ? "true" : "false")
                  << ",\"open\":" << ((flags & AP_NO_PASSWORD) ? "true" : "false") << "}";
        }
        r.out << "]}\n";
        return CLI_OK;
    }
    std::vector<size_t> widths(static_cast<size_t>(t.columns));
    for (int32_t c = 0; c < t.columns; ++c) {
        widths[c] = ShownWidth(Shown(t.titles[c]));
        for (int32_t row = 0; row < t.rows; ++row)
            widths[c] = std::max(widths[c], ShownWidth(Shown(t.Cell(row, c + 1))));
    }
    auto line = [&](const std::string& flags, auto cell) {
        std::string l = flags;
        for (int32_t c = 0; c < t.columns; ++c) l += "  " + Padded(Shown(cell(c)), widths[c]);
        while (!l.empty() && l.back() == ' ') l.pop_back();
        r.out << l << "\n";
    };
    line("FLG", [&](int32_t c) { return t.titles[c]; });
    for (int32_t row = 0; row < t.rows; ++row)
        line(FlagMarks(ScanRowFlags(t, row)), [&](int32_t c) { return t.Cell(row, c + 1); });
    return CLI_OK;
}

// The password, from standard input: a terminal with its echo off, or any input with
// --password-stdin. It goes nowhere but into the connect text.
int ReadPassword(Run& r, const std::string& name, std::string* password) {
    if (!r.opt.passwordStdin && !r.terminal.in)
        return r.Fail(
            CLI_USAGE,
            "'" + Shown(name) + "' needs a password: run at a terminal or give --password-stdin");
    bool echoOff = false;
    if (!r.opt.passwordStdin) {
        r.err << "Password for '" << Shown(name) << "': " << std::flush;
        echoOff = CliSetEcho(false);
    }
    bool got = static_cast<bool>(std::getline(r.in, *password));
    if (echoOff) CliSetEcho(true);
    if (!r.opt.passwordStdin) r.err << "\n";
    if (!password->empty() && password->back() == '\r') password->pop_back();
    if (!got || password->empty()) return r.Fail(CLI_USAGE, "no password given");
    if (password->size() > WIFI_PASSWORD_MAX)
        return r.Fail(CLI_USAGE, "the password is longer than " +
                                     std::to_string(WIFI_PASSWORD_MAX) + " characters");
    return CLI_OK;
}

// The connect and delete commands carry a name of at most 63 bytes; a longer one is no
// network the device can take back.
int CheckNetworkName(Run& r, const std::string& name) {
    if (name.size() < WIFI_NAME_CAPACITY) return CLI_OK;
    return r.Fail(CLI_USAGE,
                  "a network name is at most " + std::to_string(WIFI_NAME_CAPACITY - 1) + " bytes");
}

int CmdJoin(Run& r) {
    const std::string& name = r.opt.args[1];
    if (int s = CheckNetworkName(r, name)) return s;
    if (int s = SelectDevice(r)) return s;
    Scan scan;
    if (int s = ReadScan(r, &scan)) return s;
    int32_t row = scan.Find(name);
    if (row < 0) return r.Fail(CLI_FAILED, "the scan did not find '" + Shown(name) + "'");
    int32_t flags = ScanRowFlags(scan.table, row);
    if (flags & AP_CONNECTED) {
        r.out << "Already joined to '" << Shown(name) << "'\n";
        return CLI_OK;
    }
    // As the dialog asks: only for a network with no stored profile that is not open.
    std::string password;
    if (!(flags & (AP_HAS_PROFILE | AP_NO_PASSWORD)))
        if (int s = ReadPassword(r, name, &password)) return s;
    char text[WIFI_CONNECT_CAPACITY];
    bool built = BuildConnectText(text, sizeof text, flags, name.c_str(), password.c_str());
    password.assign(password.size(), '\0');
    if (!built)
        return r.Fail(CLI_USAGE, "the network name and password do not fit the connect text");
    int sendStatus = SendChange(r, CMD_CONNECT_WIFI, text, "the join of '" + Shown(name) + "'");
    std::memset(text, 0, sizeof text);
    if (sendStatus) return sendStatus;
    bool done = CliWaitDone(CMD_CONNECT_SETTLE_MS, CMD_CONNECT_WAIT_TOTAL_MS,
                            Progress(r, "Joining '" + Shown(name) + "'"));
    EndProgress(r);
    if (!done)
        return r.Fail(CLI_FAILED, "joining '" + Shown(name) + "' did not complete within " +
                                      std::to_string(CMD_CONNECT_WAIT_TOTAL_MS / 1000) + " s");
    std::string statusText;
    uint32_t status = 0;
    if (!CliReadText(CMD_GET_WIFI_STATUS, &statusText) ||
        !ParseWifiStatus(statusText.c_str(), &status))
        return r.Fail(CLI_FAILED,
                      "reading the WiFi status after joining '" + Shown(name) + "' failed");
    if (const char* failure = WifiStatusMessage(status))
        return r.Fail(CLI_FAILED, "joining '" + Shown(name) + "' failed: " + failure);
    std::string ssid;
    if (!CliReadText(CMD_GET_SSID, &ssid))
        return r.Fail(CLI_FAILED, "reading the joined network failed");
    r.out << "Joined '" << Shown(ssid) << "'\n";
    return CLI_OK;
}

int CmdForget(Run& r) {
    const std::string& name = r.opt.args[1];
    if (int s = CheckNetworkName(r, name)) return s;
    if (int s = SelectDevice(r)) return s;
    // The device answers a deletion with nothing to tell, and no completion follows.
    if (int s = SendChange(r, CMD_DELETE_PROFILE, name,
                           "the deletion of the profile of '" + Shown(name) + "'"))
        return s;
    r.out << "Asked the device to delete its profile of '" << Shown(name) << "'\n";
    return CLI_OK;
}

const Command kCommands[] = {
    {"list", "list [--json]", "Lists the devices: number, port, product id and identity.\n", true,
     0, 0, CmdList},
    {"show", "show [-d N] [--json]",
     "Shows the Ethernet and WiFi IP configuration, the country, the joined network and the\n"
     "WiFi status word.\n",
     true, 0, 0, CmdShow},
    {"ip", "ip eth|wifi dhcp | static ADDRESS/PREFIX [GATEWAY] | static ADDRESS MASK [GATEWAY]",
     "Sets an interface's IP configuration, waits for the device to apply it (up to 60 s) and\n"
     "prints what it now uses. A static address no network could use is refused.\n",
     false, 2, 5, CmdIp},
    {"countries", "countries [-d N] [--json]",
     "Lists the countries the device offers; '*' marks the current one.\n", true, 0, 0,
     CmdCountries},
    {"country", "country CODE [-d N]",
     "Sets the WiFi country, waits for the device (up to 60 s) and prints it.\n", false, 1, 1,
     CmdCountry},
    {"scan", "scan [-d N] [--json]",
     "Has the device scan for WiFi networks. FLG: '*' joined, 'P' stored profile, 'O' open.\n",
     true, 0, 0, CmdScan},
    {"join", "join SSID [-d N] [--password-stdin]",
     "Joins a network found by a scan; waits up to 120 s. A password is asked for a network\n"
     "that is not open and has no stored profile: typed at the terminal (not shown), or one\n"
     "line of standard input with --password-stdin. Never on the command line.\n",
     false, 1, 1, CmdJoin},
    {"forget", "forget SSID [-d N]", "Deletes the device's stored profile of a network.\n", false,
     1, 1, CmdForget},
};
const size_t kCommandCount = sizeof kCommands / sizeof kCommands[0];

}  // namespace

int CliMain(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err,
            CliTerminal terminal) {
    Run r{{}, in, out, err, terminal, {}};
    bool operandsOnly = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (operandsOnly || a.empty() || a[0] != '-' || a == "-") {
            r.opt.args.push_back(a);
        } else if (a == "--") {
            operandsOnly = true;
        } else if (a == "-h" || a == "--help") {
            r.opt.help = true;
        } else if (a == "--json") {
            r.opt.json = true;
        } else if (a == "--password-stdin") {
            r.opt.passwordStdin = true;
        } else if (a == "--sim") {
            // Chosen by the program's entry before this runs.
        } else if (a == "-d" || a == "--device") {
            if (++i == argc) return r.Fail(CLI_USAGE, a + " needs a device number");
            char* end = nullptr;
            long n = std::strtol(argv[i], &end, 10);
            if (*argv[i] < '0' || *argv[i] > '9' || *end != '\0' || n < 1 || n > 999)
                return r.Fail(CLI_USAGE, "not a device number: " + Shown(argv[i]));
            r.opt.device = static_cast<int>(n);
        } else {
            return r.Fail(CLI_USAGE, "unknown option " + Shown(a) + " (see --help)");
        }
    }
    if (r.opt.args.empty()) {
        if (r.opt.help) {
            ProgramHelp(out);
            return CLI_OK;
        }
        ProgramHelp(err);
        return CLI_USAGE;
    }
    const Command* c = FindCommand(r.opt.args[0]);
    if (!c) return r.Fail(CLI_USAGE, "unknown command " + Shown(r.opt.args[0]) + " (see --help)");
    if (r.opt.help) {
        CommandHelp(out, *c);
        return CLI_OK;
    }
    size_t operands = r.opt.args.size() - 1;
    if (operands < c->minArgs || operands > c->maxArgs)
        return r.Fail(CLI_USAGE, std::string("wrong number of operands for ") + c->name +
                                     "; usage: " + kProgram + " " + c->usage);
    if (r.opt.json && !c->json) return r.Fail(CLI_USAGE, std::string(c->name) + " has no --json");
    if (r.opt.passwordStdin && c->fn != CmdJoin)
        return r.Fail(CLI_USAGE, "--password-stdin is for join only");
    int status = c->fn(r);
    r.devices.CloseAll();
    return status;
}
