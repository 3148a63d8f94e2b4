#include "cli/sim.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "protocol/commands.h"

bool CliSim::Configure(const char* test, std::string* error) {
    std::vector<std::string> items;
    std::string rest = test ? test : "";
    while (!rest.empty()) {
        size_t comma = rest.find(',');
        items.push_back(rest.substr(0, comma));
        rest = comma == std::string::npos ? "" : rest.substr(comma + 1);
    }
    // The clock goes first: the devices stamp their requests with it.
    for (const std::string& item : items)
        if (item == "virtual-time") m_clock = std::make_unique<base::ScopedVirtualClock>();
    m_start = base::GetTickCount();
    m_demo = std::make_unique<DemoDevices>();
    devsim::Device* devices[] = {&m_demo->first, &m_demo->second};
    for (const std::string& item : items) {
        if (item == "virtual-time") {
            // installed above
        } else if (item.rfind("log=", 0) == 0) {
            m_log = item.substr(4);
        } else if (item == "devices=0" || item == "devices=1") {
            for (int i = item.back() - '0'; i < 2; ++i) devices[i]->SetPresent(false);
        } else if (item == "never-done") {
            for (devsim::Device* d : devices)
                d->Inject(devsim::ReplyPayload({0}).On(CMD_POLL_DONE).Times(devsim::kEveryTime));
        } else if (item.rfind("no-reply=", 0) == 0 && item.size() > 9 &&
                   item.find_first_not_of("0123456789", 9) == std::string::npos) {
            int32_t id = static_cast<int32_t>(std::strtol(item.c_str() + 9, nullptr, 10));
            for (devsim::Device* d : devices)
                d->Inject(devsim::NoReply().On(id).Times(devsim::kEveryTime));
        } else if (item == "eth-locked") {
            for (devsim::Device* d : devices) d->State().eth.flags |= devsim::kIpLocked;
        } else {
            *error = "NETCFG_SIM_TEST: not a testing aid: " + item;
            return false;
        }
    }
    return true;
}

bool CliSim::Finish() {
    if (m_log.empty()) return true;
    FILE* f = std::fopen(m_log.c_str(), "w");
    if (!f) return false;
    // One line a request: device (from 1), milliseconds since the start, command id, and
    // the payload in hex. A join's payload carries its password: this is for tests.
    int number = 1;
    for (const devsim::Device* d : {&m_demo->first, &m_demo->second}) {
        for (const devsim::ReceivedRequest& r : d->Requests()) {
            std::fprintf(f, "%d %u %d ", number, static_cast<unsigned>(r.at - m_start),
                         static_cast<int>(r.cmdId));
            for (uint8_t b : r.payload) std::fprintf(f, "%02x", b);
            std::fputc('\n', f);
        }
        ++number;
    }
    return std::fclose(f) == 0;
}
