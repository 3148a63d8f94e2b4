// Every parser of device text, on the same bytes: none may read past the payload, write
// past a field, or accept a table it cannot walk.
#include <cstring>
#include <vector>

#include "settings/country_record.h"
#include "settings/ipcfg_text.h"
#include "settings/scan_reply.h"
#include "settings/wifi_text.h"

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
