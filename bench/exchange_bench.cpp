// The exchange path: a request built and a full-size reply to it validated (its checksum
// the bulk of the work), and a whole CmdTransact against a simulated device (virtual time,
// so only our own work is timed).
#include <benchmark/benchmark.h>

#include <vector>

#include "base/clock.h"
#include "devsim/device.h"
#include "protocol/commands.h"
#include "protocol/packet.h"
#include "protocol/transact.h"
#include "usb/device_table.h"
#include "usb/pipe.h"
#include "usb/sim/sim_link.h"

namespace {

void BM_BuildAndCheck(benchmark::State& state) {
    g_cmdAppHeader = CMD_APP_HEADER;
    g_cmdLetter = CMD_LETTER;
    uint8_t request[64];
    std::vector<uint8_t> reply(PKT_REPLY_MAX, 0);
    for (auto _ : state) {
        PacketBuild(request, CMD_GET_SSID, 0, nullptr);
        // A full-size reply to it: the checksum over 1294 bytes dominates.
        reply[0] = PKT_REPLY_LEAD;
        PutBE(&reply[1], PKT_REPLY_MAX, 2);
        PutBE(&reply[3], g_cmdAppHeader, 4);
        PutBE(&reply[7], g_cmdSeq, 4);
        reply[11] = CMD_GET_SSID;
        PutBE(&reply[12], PKT_STATUS_MAX, 2);
        PutBE(&reply[PKT_REPLY_MAX - 4],
              Crc32MsbUpdate(Crc32MsbInit(), reply.data(), PKT_REPLY_MAX - 4), 4);
        benchmark::DoNotOptimize(PacketCheck(reply.data()));
    }
}
BENCHMARK(BM_BuildAndCheck);

void BM_TransactOverSim(benchmark::State& state) {
    base::ScopedVirtualClock clock;
    devsim::Device device;
    SimUsbLink link;
    link.Attach(device);
    UsbSetLink(&link);
    UsbEnumDevices();
    CmdChannelInit(CMD_APP_HEADER, CMD_LETTER, 0);
    uint8_t dst[PKT_STATUS_MAX];
    for (auto _ : state) {
        benchmark::DoNotOptimize(CmdTransact(CMD_GET_ETH_IPCFG, dst, 0, nullptr, CMD_TIMEOUT_MS));
        if (state.iterations() % 1024 == 0) device.ClearRequests();  // keep the record small
    }
    UsbClose(0);
    UsbSetLink(nullptr);
}
BENCHMARK(BM_TransactOverSim);

}  // namespace

BENCHMARK_MAIN();
