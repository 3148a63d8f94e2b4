// Every parser of device text, on the same bytes: none may read past the payload, write
// past a field, or accept a table it cannot walk.
#include <cstring>
#include <string>

#include "fuzz/seeds.h"
#include "settings/country_record.h"
#include "settings/ipcfg_text.h"
#include "settings/scan_reply.h"
#include "settings/wifi_text.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

std::vector<uint8_t> WithHeader(uint32_t w0, uint32_t w3, const std::string& body, bool scan) {
    std::vector<uint8_t> b(16, 0);
    auto put = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put(0, w0);
    if (scan)
        put(8, static_cast<uint32_t>(body.size()) - 4);
    else
        put(12, w3);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

}  // namespace

std::vector<std::vector<uint8_t>> FuzzSeeds() {
    using namespace std::string_literals;
    return {
        Bytes("0,1,192.168.1.57,255.255.255.0,192.168.1.1,192.168.1.200,255.255.255.0,1.1.1.1"s),
        WithHeader(2, 6, "AT\0Austria\0BE\0Belgium\0"s, false),
        WithHeader(1, 0, "2\0003\0004\0T\0U\0001\0name\0--\0"s, true),
        WithHeader(1, 0,
                   "6\0002\00032\0004\0004\0004\0004\0a\0b\0c\0d\0e\0f\0003\0n\0x\0y\0z\0w\0--\0"s,
                   true),
        Bytes("1c"s),
    };
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // As the dispatcher hands texts on: the payload, terminated just past its end.
    std::vector<uint8_t> payload(data, data + size);
    payload.push_back(0);
    const char* text = reinterpret_cast<const char*>(payload.data());

    int32_t flags = 0;
    IpCfgState state{};
    if (ParseIpConfigText(text, &flags, &state)) {
        char set[IPCFG_SET_CAPACITY];
        BuildIpSetText(set, state.dhcp, state.sets[state.dhcp]);
    }

    CountryRecord record;
    if (ParseCountryRecord(data, size, &record)) {
        for (size_t i = 0; i < record.entries.size(); ++i) {
            if (CountryEntryText(record, i).size() > COUNTRY_NAME_MAX + 1) __builtin_trap();
        }
    }

    ScanTable table;
    if (ParseScanReply(data, size, &table)) {
        for (int32_t r = 0; r < table.rows; ++r) {
            ScanRowFlags(table, r);
            for (int32_t c = 0; c <= table.columns; ++c) table.Cell(r, c);
        }
    }

    uint32_t status = 0;
    ParseWifiStatus(text, &status);
    return 0;
}
