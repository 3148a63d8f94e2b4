// The pty adapter seen from the slave side, as a character-device backend sees it.
#include "devsim/pty_server.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <vector>

#include "base/clock.h"
#include "devsim/device.h"
#include "protocol/transact.h"

namespace {

using namespace devsim;
using Bytes = std::vector<uint8_t>;

// Reads until `want` bytes came, or nothing more came for two seconds; counts the reads.
Bytes Read(int fd, size_t want, size_t* reads) {
    Bytes got;
    pollfd p = {fd, POLLIN, 0};
    for (uint8_t chunk[PKT_REPLY_MAX]; got.size() < want && ::poll(&p, 1, 2000) == 1;) {
        ssize_t n = ::read(fd, chunk, std::min(sizeof chunk, want - got.size()));
        if (n > 0) got.insert(got.end(), chunk, chunk + n), ++*reads;
    }
    return got;
}

// The exchange layer's own verdict on a reply.
int Check(Bytes reply) {
    reply.resize(PKT_REPLY_MAX);
    return PacketCheck(reply.data());
}

TEST(PtyServerTest, FramesARequestOutOfTheStreamAndSendsASplitReplyInPieces) {
    base::ScopedVirtualClock clock;
    Device device;
    PtyServer server(device);
    CmdChannelInit(CMD_APP_HEADER, CMD_LETTER, 0);
    ASSERT_TRUE(server.Open());
    const int fd = ::open(server.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_TRUE(server.Start());
    auto put = [&](const Bytes& b) {
        ASSERT_EQ(::write(fd, b.data(), b.size()), ssize_t(b.size()));
    };
    Bytes request(64);  // sent twice, so that the second reply also bears the last number
    request.resize(PacketBuild(request.data(), kCmdQueryInfo, 0, nullptr));
    Bytes noisy = {0x00, 0x1A, 0x1A, '$', 'x', 0x1A};  // line noise, then the request in two writes
    noisy.insert(noisy.end(), request.begin(), request.begin() + 9);
    put(noisy);
    put(Bytes(request.begin() + 9, request.end()));
    size_t reads = 0;
    Bytes reply = Read(fd, 18 + device.State().info.size() + 1, &reads);
    EXPECT_EQ(Check(reply), 1);
    EXPECT_EQ(reinterpret_cast<const char*>(&reply.at(14)), device.State().info);

    device.State().info = std::string(PKT_STATUS_MAX - 1, 'x');  // 1298 bytes in all
    device.Inject(Split(100));
    put(request);
    reads = 0;
    reply = Read(fd, PKT_REPLY_MAX, &reads);
    EXPECT_EQ(reply.size(), PKT_REPLY_MAX);
    EXPECT_EQ(Check(reply), 1);
    EXPECT_GE(reads, 2u);
    server.Stop();
    ::close(fd);
}

}  // namespace
