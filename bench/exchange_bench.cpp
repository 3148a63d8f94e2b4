// The exchange path: a request built and a full-size reply to it validated (its checksum
// the bulk of the work), and a whole CmdTransact against a simulated device (virtual time,
// so only our own work is timed).
#include <benchmark/benchmark.h>

#include <vector>

#include "base/clock.h"
#include "devsim/device.h"
#include "devsim/wire.h"
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
    // A full-size reply to the request: the checksum over 1294 bytes dominates.
    const uint32_t seq = g_cmdSeq;
    const std::vector<uint8_t> status(PKT_STATUS_MAX, 0xA5);
    const std::vector<uint8_t> reply =
        devsim::BuildReply(CMD_APP_HEADER, seq + 1, CMD_GET_SSID, status.data(), status.size());
    for (auto _ : state) {
        g_cmdSeq = seq;  // so that each request is the one the reply answers
        PacketBuild(request, CMD_GET_SSID, 0, nullptr);
        if (!PacketCheck(reply.data())) {
            state.SkipWithError("the reply was refused");
            break;
        }
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
        if (!CmdTransact(CMD_GET_ETH_IPCFG, dst, 0, nullptr, CMD_TIMEOUT_MS)) {
            state.SkipWithError("the exchange failed");
            break;
        }
        if (state.iterations() % 1024 == 0) device.ClearRequests();  // keep the record small
    }
    UsbClose(0);
    UsbSetLink(nullptr);
}
BENCHMARK(BM_TransactOverSim);

}  // namespace

BENCHMARK_MAIN();
