#include "cli/sim.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// A command id: up to nine decimal digits.
bool ParseId(const std::string& text, int32_t* id) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *id = static_cast<int32_t>(std::strtol(text.c_str(), nullptr, 10));
    return true;
}

// ID:HEX, a command id and the payload of its replies.
bool ParseReply(const std::string& text, int32_t* id, std::vector<uint8_t>* payload) {
    size_t colon = text.find(':');
    if (colon == std::string::npos || !ParseId(text.substr(0, colon), id)) return false;
    std::string hex = text.substr(colon + 1);
    if (hex.size() % 2 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    for (size_t i = 0; i < hex.size(); i += 2)
        payload->push_back(
            static_cast<uint8_t>(std::strtol(hex.substr(i, 2).c_str(), nullptr, 16)));
    return true;
}

}  // namespace

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
        int32_t id = 0;
        std::vector<uint8_t> payload;
        if (item == "virtual-time") {
            // installed above
        } else if (item.rfind("log=", 0) == 0) {
            m_log = item.substr(4);
        } else if (item == "devices=0" || item == "devices=1") {
            for (int i = item.back() - '0'; i < 2; ++i) devices[i]->SetPresent(false);
        } else if (item.rfind("no-reply=", 0) == 0 && ParseId(item.substr(9), &id)) {
            for (devsim::Device* d : devices)
                d->Inject(devsim::NoReply().On(id).Times(devsim::kEveryTime));
        } else if (item.rfind("stall=", 0) == 0 && ParseId(item.substr(6), &id)) {
            for (devsim::Device* d : devices)
                d->Inject(devsim::StallWrite().On(id).Times(devsim::kEveryTime));
        } else if (item.rfind("reply=", 0) == 0 && ParseReply(item.substr(6), &id, &payload)) {
            for (devsim::Device* d : devices)
                d->Inject(devsim::ReplyPayload(payload).On(id).Times(devsim::kEveryTime));
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
